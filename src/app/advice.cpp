#include "app/advice.h"

#include "app/stability_view.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "sim/analysis_text.h"
#include "sim/modes.h"
#include "sim/trim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace skarvel::app {

namespace {

constexpr int kGridIntervals = 40;
constexpr int kBisections = 12;
constexpr int kGoldenSteps = 20;

// What a value of a setting gives.
struct Check {
    double value = 0;
    bool trims = false;
    bool stalled = false;
    std::string unstable; // the growing mode's word; empty: every mode decays
    double ratio = 0;
    double sink = 0;
    double ballast = 0;
    sim::StraightGlide straight; // where the next trim starts
    bool good() const { return trims && !stalled && unstable.empty(); }
    std::string why() const {
        return !trims ? "no-trim" : stalled ? "stall" : unstable + "-unstable";
    }
};

class Scanner {
  public:
    Scanner(const SweepBase& base, std::string name) : base_(base), name_(std::move(name)) {}

    Check check(double value, const sim::StraightGlide& start) const {
        data::Tables tables = base_.tables;
        model::SharedAircraftModel model = base_.model;
        bool computed = base_.designComputed;
        Check c;
        c.value = value;
        c.straight = start;
        ApplySettings(tables, model, computed, {name_ + "=" + data::FormatShortest(value)});
        c.ballast = model->aircraft().ballastAtTail ? -model->aircraft().ballastMass
                                                    : model->aircraft().ballastMass;
        sim::AnalysisPoint point(tables.input, tables.parameter, computed ? model.get() : nullptr);
        const auto straight = sim::TrimStraightGlide(point, start);
        if (!straight) {
            return c;
        }
        const auto trim = sim::TrimSteadyGlide(point, *straight);
        if (!trim) {
            return c;
        }
        c.trims = true;
        c.straight = *straight;
        c.stalled = trim->stalled;
        c.ratio = trim->ratio.value_or(0);
        c.sink = trim->sink;
        const auto a = sim::Linearise(point, trim->state);
        const auto modes = a ? sim::ClassifyModes(*a, trim->V, 1, 1) : std::nullopt;
        if (!modes) {
            c.unstable = "linearisation";
            return c;
        }
        const auto growing = std::max_element(
            modes->begin(), modes->end(),
            [](const sim::Mode& x, const sim::Mode& y) { return x.root.real() < y.root.real(); });
        if (growing != modes->end() && growing->root.real() >= 0) {
            c.unstable = ModeWord(growing->kind);
        }
        return c;
    }

  private:
    const SweepBase& base_;
    std::string name_;
};

// The edge between a good and a bad value by bisection; the bad side's
// check says what ends the range.
std::pair<double, Check> Edge(const Scanner& s, Check good, Check bad) {
    for (int i = 0; i < kBisections; ++i) {
        const Check mid = s.check((good.value + bad.value) / 2, good.straight);
        (mid.good() ? good : bad) = mid;
    }
    return {good.value, bad};
}

// The value in [a, b] where `better` is best, by golden-section search.
template <class Better>
double Refine(const Scanner& s, double a, double b, const sim::StraightGlide& start,
              Better better) {
    const double g = (std::sqrt(5.0) - 1) / 2;
    Check x1 = s.check(b - g * (b - a), start);
    Check x2 = s.check(a + g * (b - a), start);
    for (int i = 0; i < kGoldenSteps; ++i) {
        if (better(x1, x2)) {
            b = x2.value;
            x2 = x1;
            x1 = s.check(b - g * (b - a), start);
        } else {
            a = x1.value;
            x1 = x2;
            x2 = s.check(a + g * (b - a), start);
        }
    }
    return (a + b) / 2;
}

// `withBest`: also the best glide ratio's and the least sink's values.
SettingAdvice AdviseSetting(const SweepBase& base, const std::string& name, double current,
                            double boxLow, double boxHigh, bool withBest = true) {
    SettingAdvice out;
    out.name = name;
    out.current = current;
    out.boxLow = boxLow;
    out.boxHigh = boxHigh;
    if (!(boxLow < boxHigh) || !std::isfinite(boxLow) || !std::isfinite(boxHigh)) {
        out.lowLimit = out.highLimit = "no-box";
        return out;
    }
    const Scanner s(base, name);
    std::vector<double> values;
    for (int i = 0; i <= kGridIntervals; ++i) {
        values.push_back(boxLow + (boxHigh - boxLow) * i / kGridIntervals);
    }
    const bool inside = current > boxLow && current < boxHigh;
    if (inside) {
        values.push_back(current);
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    // Continuation outwards from the value nearest to the current one.
    const auto from = std::min_element(values.begin(), values.end(), [current](double a, double b) {
        return std::fabs(a - current) < std::fabs(b - current);
    });
    const auto k0 = static_cast<std::size_t>(from - values.begin());
    std::vector<Check> checks(values.size());
    checks[k0] = s.check(values[k0], {});
    for (const int dir : {1, -1}) {
        sim::StraightGlide start = checks[k0].straight;
        for (auto k = static_cast<long>(k0) + dir; k >= 0 && k < static_cast<long>(values.size());
             k += dir) {
            checks[static_cast<std::size_t>(k)] =
                s.check(values[static_cast<std::size_t>(k)], start);
            start = checks[static_cast<std::size_t>(k)].straight;
        }
    }
    // The good runs; the one holding the current value, else the nearest.
    std::optional<std::pair<std::size_t, std::size_t>> run;
    double distance = HUGE_VAL;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (!checks[i].good() || (i > 0 && checks[i - 1].good())) {
            continue;
        }
        std::size_t j = i;
        while (j + 1 < checks.size() && checks[j + 1].good()) {
            ++j;
        }
        const double d = current < values[i]   ? values[i] - current
                         : current > values[j] ? current - values[j]
                                               : 0;
        if (d < distance) {
            distance = d;
            run = {i, j};
        }
    }
    if (!run) {
        out.lowLimit = out.highLimit = checks[k0].why();
        return out;
    }
    const auto [i, j] = *run;
    if (i == 0) {
        out.low = boxLow;
        out.lowLimit = "box-edge";
    } else {
        const auto [edge, bad] = Edge(s, checks[i], checks[i - 1]);
        out.low = edge;
        out.lowLimit = bad.why();
    }
    if (j + 1 == checks.size()) {
        out.high = boxHigh;
        out.highLimit = "box-edge";
    } else {
        const auto [edge, bad] = Edge(s, checks[j], checks[j + 1]);
        out.high = edge;
        out.highLimit = bad.why();
    }
    if (!withBest) {
        return out;
    }
    // The best values: the best grid value, refined between its neighbours
    // (kept inside the range).
    const auto refine = [&](auto better) {
        std::size_t b = i;
        for (std::size_t k = i; k <= j; ++k) {
            if (better(checks[k], checks[b])) {
                b = k;
            }
        }
        const double a = std::max(*out.low, b > i ? values[b - 1] : *out.low);
        const double c = std::min(*out.high, b < j ? values[b + 1] : *out.high);
        return Refine(s, a, c, checks[b].straight, better);
    };
    out.best = refine([](const Check& x, const Check& y) {
        return x.good() && (!y.good() || x.ratio > y.ratio);
    });
    out.leastSink = refine(
        [](const Check& x, const Check& y) { return x.good() && (!y.good() || x.sink < y.sink); });
    return out;
}

double Cell(const data::Table& t, int column, int row) {
    return data::ParseReal(t.cell(column, row));
}

} // namespace

std::string ModeWord(sim::ModeKind kind) {
    std::string word;
    for (const char c : sim::ModeName(kind)) {
        if (c == ' ') {
            word += '-';
        } else if (c != '(' && c != ')') {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return word;
}

SettingAdvice AdviseCentreOfGravity(const SweepBase& base, bool rangeOnly) {
    namespace dz = data::design;
    const data::Table& d = base.tables.design;
    SettingAdvice a = AdviseSetting(base, "胴体/重心位置", Cell(d, dz::Fuselage, dz::CgPosition), 0,
                                    1.5 * Cell(d, dz::MainWing, dz::RootChord), !rangeOnly);
    if (a.low && a.high && a.best) {
        const Scanner s(base, a.name);
        a.ballast = std::array<double, 3>{s.check(*a.low, {}).ballast, s.check(*a.high, {}).ballast,
                                          s.check(*a.best, {}).ballast};
    }
    return a;
}

Advice Advise(const SweepBase& base, bool withDesign) {
    namespace dz = data::design;
    namespace in = data::input;
    Advice advice;
    {
        sim::AnalysisPoint point(base.tables.input, base.tables.parameter,
                                 base.designComputed ? base.model.get() : nullptr);
        advice.currentTrims = sim::TrimGlide(point).has_value();
    }
    const data::Table& d = base.tables.design;
    const data::Table& input = base.tables.input;
    const auto inputValue = [&input](int row) {
        return data::CellNumber(input, in::kValueColumn, row);
    };
    const auto add = [&](const std::string& name, double current, double low, double high) {
        advice.settings.push_back(AdviseSetting(base, name, current, low, high));
    };
    if (withDesign) {
        advice.settings.push_back(AdviseCentreOfGravity(base));
    } else {
        add("両立余裕(重心)", inputValue(in::StaticMargin), -30, 30);
    }
    add("水平尾翼取付角", inputValue(in::TailSetting), -6, 6);
    if (withDesign) {
        add("主翼/上反角", Cell(d, dz::MainWing, dz::Dihedral), 0, 20);
        const double fin = Cell(d, dz::VerticalTail, dz::Span);
        add("垂直尾翼/展開長", fin, 0.25 * fin, 3 * fin);
    } else {
        add("主翼上反角", inputValue(in::Dihedral), 0, 20);
        const double fin = inputValue(in::VTailVolume);
        add("垂直尾翼容積", fin, 0.25 * fin, 3 * fin);
    }
    return advice;
}

std::string AdviceText(const Advice& advice) {
    const auto number = [](const std::optional<double>& v) { return sim::FieldText(v); };
    std::string text;
    for (const SettingAdvice& s : advice.settings) {
        text += "setting\t" + s.name + '\t' + number(s.current) + '\t' + number(s.low) + '\t' +
                number(s.high) + '\t' + number(s.best) + '\t' + s.lowLimit + '\t' + s.highLimit +
                '\n';
        if (s.ballast) {
            text += "ballast\t" + number((*s.ballast)[0]) + '\t' + number((*s.ballast)[1]) + '\t' +
                    number((*s.ballast)[2]) + '\n';
        }
    }
    return text;
}

namespace {
int Decimals(const SettingAdvice& setting) {
    const double width = setting.boxHigh - setting.boxLow;
    return width > 0 ? std::clamp(static_cast<int>(-std::floor(std::log10(width / 1000))), 0, 9)
                     : 6;
}
} // namespace

std::string BestValueText(const SettingAdvice& s) {
    if (!s.best || !s.low || !s.high) {
        return {};
    }
    // Rounded inwards where rounding would leave the range.
    const double step = std::pow(10.0, -Decimals(s));
    double v = std::round(*s.best / step) * step;
    if (v < *s.low) {
        v = std::ceil(*s.low / step) * step;
    } else if (v > *s.high) {
        v = std::floor(*s.high / step) * step;
    }
    return AdviceValueText(s, v);
}

std::string AdviceValueText(const SettingAdvice& setting, double value) {
    const int decimals = Decimals(setting);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

namespace {

const char* UnitOf(const std::string& name) {
    if (name == "胴体/重心位置" || name == "垂直尾翼/展開長") {
        return "mm";
    }
    if (name == "両立余裕(重心)") {
        return "%";
    }
    return name == "垂直尾翼容積" ? "" : "度";
}

// What ends a range, in the window's words.
std::string LimitWords(const std::string& limit) {
    if (limit == "box-edge") {
        return "調べた範囲の端";
    }
    if (limit == "no-trim") {
        return "トリムなし";
    }
    if (limit == "stall") {
        return "失速";
    }
    for (const sim::ModeKind k :
         {sim::ModeKind::Phugoid, sim::ModeKind::PhugoidReal, sim::ModeKind::ShortPeriod,
          sim::ModeKind::ShortPeriodReal, sim::ModeKind::DutchRoll,
          sim::ModeKind::LateralOscillatory, sim::ModeKind::RollSubsidence, sim::ModeKind::Spiral,
          sim::ModeKind::LateralReal}) {
        if (limit == ModeWord(k) + "-unstable") {
            return std::string(ModeCaption(k)) + "が発散";
        }
    }
    return limit;
}

} // namespace

std::vector<AdviceRow> ViewAdvice(const Advice& advice) {
    std::vector<AdviceRow> rows;
    for (const SettingAdvice& s : advice.settings) {
        AdviceRow r;
        const std::string unit = UnitOf(s.name);
        r.caption = s.name + (unit.empty() ? "" : "（" + unit + "）");
        r.boxLow = s.boxLow;
        r.boxHigh = s.boxHigh;
        r.current = s.current;
        r.low = s.low;
        r.high = s.high;
        r.best = s.best;
        const auto v = [&s](double x) { return AdviceValueText(s, x); };
        r.boxLowText = v(s.boxLow);
        r.boxHighText = v(s.boxHigh);
        r.text = "現在 " + v(s.current) + "。";
        if (s.low && s.high) {
            r.text += "安定な範囲 " + v(*s.low) + "〜" + v(*s.high) +
                      "（下限: " + LimitWords(s.lowLimit) + "、上限: " + LimitWords(s.highLimit) +
                      "）。";
            if (s.best) {
                r.text += "最良滑空比 " + v(*s.best) + "、";
            }
            if (s.leastSink) {
                r.text += "最小沈下率 " + v(*s.leastSink) + "。";
            }
            if (s.ballast) {
                const auto g = [](double x) {
                    char b[32];
                    std::snprintf(b, sizeof b, "%.2f", x);
                    return std::string(b);
                };
                r.text += "おもり: 下限で " + g((*s.ballast)[0]) + " g、上限で " +
                          g((*s.ballast)[1]) + " g、最良値で " + g((*s.ballast)[2]) + " g。";
            }
            if (const std::string best = BestValueText(s); !best.empty() && best != v(s.current)) {
                r.applyText = "最良値 " + best + " にする";
            }
        } else {
            r.text += "調べた範囲（" + v(s.boxLow) + "〜" + v(s.boxHigh) +
                      "）に安定な値はありません（" + LimitWords(s.lowLimit) + "）。";
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

} // namespace skarvel::app
