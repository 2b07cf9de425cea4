#include "app/stability_view.h"

#include "data/tables.h"
#include "sim/load.h"
#include "sim/units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

namespace skarvel::app {

const std::array<const char*, kTrimRows> kTrimCaptions = {
    "速度(m/s)",        "迎角(度)",   "横滑り角(度)", "ピッチ角(度)", "バンク角(度)",
    "旋回角速度(度/s)", "経路角(度)", "沈下率(m/s)",  "滑空比",       "旋回半径(地面)(m)",
    "揚力係数",         "抗力係数",   "失速",
};

const std::array<const char*, kModeColumns> kModeHeaders = {
    "モード", "実部(1/s)", "虚部(rad/s)",       "固有角振動数(rad/s)",
    "減衰比", "周期(s)",   "半減・倍増時間(s)",
};

namespace {

// A value with `decimals` places, a tie rounded away from zero; "-" for one
// that is not a number, and no "-0.00" for a value that rounds to zero.
std::string Number(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "-";
    }
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (std::fma(value, scale, -scaled) == 0 && std::abs(scaled - std::trunc(scaled)) == 0.5) {
        // Exactly halfway: the next value away from zero rounds outwards.
        value = std::nextafter(value, value > 0 ? HUGE_VAL : -HUGE_VAL);
    }
    const int size = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    text.pop_back();
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string Number(const std::optional<double>& value, int decimals) {
    return value ? Number(*value, decimals) : "-";
}

// "-6 度", "+0.5〜+6 度": a run of tail settings as the chart's axis reads.
std::string SettingRun(const std::pair<double, double>& run) {
    const auto setting = [](double v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", v);
        std::string text = v > 0 ? "+" : "";
        return text + buffer;
    };
    return run.first == run.second ? setting(run.first) + " 度"
                                   : setting(run.first) + "〜" + setting(run.second) + " 度";
}

} // namespace

const char* ModeCaption(sim::ModeKind kind) {
    switch (kind) {
    case sim::ModeKind::Phugoid:
        return "フゴイド";
    case sim::ModeKind::PhugoidReal:
        return "フゴイド(実根)";
    case sim::ModeKind::ShortPeriod:
        return "短周期";
    case sim::ModeKind::ShortPeriodReal:
        return "短周期(実根)";
    case sim::ModeKind::DutchRoll:
        return "ダッチロール";
    case sim::ModeKind::LateralOscillatory:
        return "横方向振動";
    case sim::ModeKind::RollSubsidence:
        return "ロール収束";
    case sim::ModeKind::Spiral:
        return "スパイラル";
    case sim::ModeKind::LateralReal:
        return "横方向実根";
    }
    return "-";
}

namespace {

// A range around [lower, upper] with some room on both sides; one unit
// either side of a single value.
PlotRange Padded(double lower, double upper) {
    if (!(upper > lower)) {
        const double room = std::max(1.0, std::abs(lower) * 0.1);
        return {lower - room, upper + room};
    }
    const double room = (upper - lower) * 0.08;
    return {lower - room, upper + room};
}

// The smallest and largest of values gathered one by one.
struct Extent {
    double lower = 0;
    double upper = 0;
    bool any = false;
    void add(double v) {
        if (!std::isfinite(v)) {
            return;
        }
        lower = any ? std::min(lower, v) : v;
        upper = any ? std::max(upper, v) : v;
        any = true;
    }
    PlotRange padded(PlotRange none) const { return any ? Padded(lower, upper) : none; }
};

std::string NoTrimMessage(const sim::StabilityAnalysis& analysis) {
    std::string text;
    if (!analysis.loaded) {
        text = "空力微係数の推定に失敗しました。入力データを確かめてください。\n\n";
    }
    return text + "定常滑空は、計算の初期値からは見つかりませんでした。"
                  "これは定常滑空が存在しないことを示すものではありません"
                  "（失速のモデルは不連続で、スパイラル降下にしか落ち着かない機体もあります）。";
}

void ViewTrim(const sim::StabilityAnalysis& analysis, StabilityView& view) {
    const std::optional<sim::GlideTrim>& trim = analysis.trim;
    if (!trim) {
        view.message = NoTrimMessage(analysis);
        view.trim.fill("-");
        return;
    }
    constexpr double deg = sim::kDegreesPerRadian;
    view.trim = {
        Number(trim->V, 2),
        Number(trim->alpha * deg, 2),
        Number(trim->beta * deg, 2),
        Number(trim->theta * deg, 2),
        Number(trim->phi * deg, 2),
        Number(trim->omega * deg, 2),
        Number(trim->gamma * deg, 2),
        Number(trim->sink, 3),
        Number(trim->ratio, 2),
        Number(trim->radius, 1),
        Number(trim->CL, 3),
        Number(trim->CD, 4),
        trim->stalled ? "はい" : "いいえ",
    };
}

void ViewMargin(const sim::StabilityAnalysis& analysis, StabilityView& view) {
    if (!analysis.staticMargin) { // finite whenever there is one
        view.margin = "静安定余裕: -（求められません）";
        return;
    }
    const double margin = *analysis.staticMargin;
    view.margin = "静安定余裕: " + Number(margin, 1) + " %（平均翼弦に対する割合）";
    view.marginNote = margin >= 0 ? "正の値: 重心が中立点より前にあり、機首上げ・下げに対して"
                                    "静的に安定です。"
                                  : "負の値: 重心が中立点より後ろにあります。機体は動安定余裕"
                                    "（機動余裕）と失速時のモーメントで支えられます。"
                                    "支えられているかどうかは下のモードが示します。";
}

ModeRow ViewMode(const sim::Mode& m) {
    std::string time = "-";
    if (m.timeTo && std::isfinite(*m.timeTo)) {
        time = (m.grows() ? "倍増 " : "半減 ") + Number(*m.timeTo, 2);
    }
    return {{ModeCaption(m.kind), Number(m.root.real(), 3), Number(m.root.imag(), 3),
             Number(m.naturalFrequency, 3), Number(m.damping, 3), Number(m.period, 2), time},
            m.grows()};
}

Plot PlotRoots(const std::vector<sim::Mode>& modes) {
    Plot plot;
    Extent re;
    Extent im;
    re.add(0);
    im.add(0);
    for (const sim::Mode& m : modes) {
        const double x = m.root.real();
        const double y = m.root.imag();
        if (!std::isfinite(x) || !std::isfinite(y)) {
            continue;
        }
        const int series = m.grows() ? GrowingRoots : DecayingRoots;
        plot.points.push_back({series, x, y});
        if (y != 0) {
            // The pair's other root.
            plot.points.push_back({series, x, -y});
        }
        re.add(x);
        im.add(std::abs(y));
        im.add(-std::abs(y));
    }
    plot.x = re.padded({-1, 1});
    plot.y = im.padded({-1, 1});
    return plot;
}

std::string PolarNote(const sim::GlidePolar& polar, bool unstable) {
    std::string note;
    const double first = sim::kPolarFirstSetting;
    const double last = first + sim::kPolarStep * (sim::kPolarRows - 1);
    const auto untrimmed = sim::UntrimmedSettings(polar);
    if (untrimmed.size() == 1 && untrimmed[0].first == first && untrimmed[0].second == last) {
        note = "どの水平尾翼取付角でもトリムが見つかりませんでした。";
    } else if (!untrimmed.empty()) {
        note = "トリムが見つからない水平尾翼取付角: ";
        for (std::size_t i = 0; i < untrimmed.size(); ++i) {
            note += (i > 0 ? "、" : "") + SettingRun(untrimmed[i]);
        }
        note += "（点がありません）。";
    }
    if (unstable) {
        note += note.empty() ? "" : " ";
        note += "赤い点は不安定なトリム（発散するモードがある）で、"
                "機体はそこにとどまりません。最良滑空比と最小沈下率は、"
                "安定で失速していないトリムから選んでいます。";
    }
    return note;
}

void PlotPolar(const sim::GlidePolar& polar, StabilityView& view) {
    Extent speed;
    Extent sink;
    Extent ratio;
    bool unstable = false;
    for (std::size_t i = 0; i < polar.rows.size(); ++i) {
        const sim::PolarRow& row = polar.rows[i];
        if (!row.trim) {
            continue;
        }
        const sim::GlideTrim& t = *row.trim;
        // A stalled trim shows as stalled, an unstable one that is not
        // stalled as unstable.
        const int series = t.stalled      ? StalledPoints
                           : row.stable() ? TrimmedPoints
                                          : UnstablePoints;
        unstable = unstable || series == UnstablePoints;
        if (std::isfinite(t.V) && std::isfinite(t.sink)) {
            view.sink.points.push_back({series, t.V, t.sink});
            if (polar.leastSink == i) {
                view.sink.points.push_back({BestPoint, t.V, t.sink});
            }
            speed.add(t.V);
            sink.add(t.sink);
        }
        if (t.ratio && std::isfinite(*t.ratio)) {
            view.ratio.points.push_back({series, row.tailSetting, *t.ratio});
            if (polar.bestRatio == i) {
                view.ratio.points.push_back({BestPoint, row.tailSetting, *t.ratio});
            }
            ratio.add(*t.ratio);
        }
    }
    view.sink.x = speed.padded({0, 10});
    view.sink.y = sink.padded({0, 2});
    const double first = sim::kPolarFirstSetting;
    const double last = first + sim::kPolarStep * (sim::kPolarRows - 1);
    view.ratio.x = {first - sim::kPolarStep, last + sim::kPolarStep};
    view.ratio.y = ratio.padded({0, 10});
    view.polarNote = PolarNote(polar, unstable);
}

} // namespace

StabilityView ViewStability(const sim::StabilityAnalysis& analysis, const sim::GlidePolar& polar,
                            const std::string& failure) {
    StabilityView view;
    ViewTrim(analysis, view);
    if (!failure.empty()) {
        view.message = "解析中にエラーが発生しました: " + failure;
    }
    ViewMargin(analysis, view);
    for (const sim::Mode& m : analysis.modes) {
        view.modes.push_back(ViewMode(m));
    }
    view.roots = PlotRoots(analysis.modes);
    PlotPolar(polar, view);
    return view;
}

SettleView ViewSettling(const sim::SettleAnalysis& a) {
    SettleView view;
    const sim::Settling& s = a.settling;
    const auto ends = std::find_if(a.equilibria.begin(), a.equilibria.end(),
                                   [](const sim::Equilibrium& e) { return e.endsHere; });
    const std::string stalled = ends != a.equilibria.end() && ends->trim.stalled ? "失速した" : "";
    std::string what;
    if (!a.loaded) {
        what = "微係数の推算に失敗したため、飛行できません";
    } else if (s.kind == sim::SettleKind::Glide) {
        what = s.radius ? stalled + "定常旋回 (半径 " + Number(*s.radius, 1) + " m) に落ち着く"
                        : stalled + "直線滑空 (速度 " + Number(s.V, 2) + " m/s) に落ち着く";
        if (!s.equilibrium) {
            what += "（この状態は釣り合いとしては求められません）";
        }
    } else if (s.kind == sim::SettleKind::Cycle) {
        what = "周期 " + Number(s.period, 1) + " s の振動が続く (速度 " + Number(s.vMin, 1) + "–" +
               Number(s.vMax, 1) + " m/s)";
    } else if (s.kind == sim::SettleKind::Divergence) {
        what = Number(s.time, 1) + " s で発散する";
    } else {
        what = Number(s.time, 1) + " s で地面に達する";
    }
    view.sentence = "この発射では: " + what;
    int n = 0;
    for (const sim::Equilibrium& e : a.equilibria) {
        const sim::GlideTrim& t = e.trim;
        view.equilibria.push_back(
            "定常滑空 " + std::to_string(++n) + ": 速度 " + Number(t.V, 2) + " m/s、沈下率 " +
            Number(t.sink, 3) + " m/s、滑空比 " + Number(t.ratio, 2) + "、旋回半径 " +
            (t.radius ? Number(*t.radius, 1) + " m" : std::string("- (直線)")) + "、" +
            (e.stable() ? "安定" : "不安定") + (t.stalled ? "、失速" : "") +
            (e.endsHere ? "（この発射の行き先）" : ""));
    }
    return view;
}

std::string LaunchRowsNote() {
    std::string rows;
    for (const int row : sim::kLaunchStateRows) {
        rows += (rows.empty() ? "" : "・") +
                std::string(data::input::kCaptions[static_cast<std::size_t>(row)]);
    }
    return "入力データの" + rows +
           "をトリムの値に書き換えて飛行しました（高度・位置・方位角はそのままです）。";
}

} // namespace skarvel::app
