#include "app/sweep_model.h"

#include "app/error_text.h"
#include "data/numtext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace skarvel::app {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string WithUnit(std::string_view name, std::string_view unit) {
    std::string label(name);
    return unit.empty() ? label : label + " (" + std::string(unit) + ")";
}

std::string Trimmed(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1));
}

std::string Fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// A time to go: seconds, minutes and seconds, or hours and minutes.
std::string Duration(double seconds) {
    const long long s = std::llround(std::ceil(std::max(0.0, seconds)));
    if (s < 60) {
        return std::to_string(s) + " 秒";
    }
    if (s < 3600) {
        return std::to_string(s / 60) + " 分 " + std::to_string(s % 60) + " 秒";
    }
    return std::to_string(s / 3600) + " 時間 " + std::to_string(s % 3600 / 60) + " 分";
}

// The sweep's reason for refusing a variable, in the window's words.
std::string Refusal(const SweepError& e, const std::string& which, const SweepEntry& entry) {
    using Reason = SweepError::Reason;
    const std::string limit = std::to_string(kMaxSweepPoints);
    switch (e.reason()) {
    case Reason::NotANumber:
        if (e.part() == "FROM") {
            return which + "の開始値「" + entry.from + "」は数値ではありません";
        }
        if (e.part() == "TO") {
            return which + "の終了値「" + entry.to + "」は数値ではありません";
        }
        return which + "の刻み「" + entry.step + "」は数値ではありません";
    case Reason::ZeroStep:
        return which + "の刻みに 0 は使えません";
    case Reason::AwayFromTo:
        return which + "の刻みの符号が逆です（開始値から終了値へ向かいません）";
    case Reason::TooMany:
        return (e.part().empty()
                    ? which + "の点数が多すぎます（上限 " + limit + " 点）"
                    : which + "の点数 " + e.part() + " は上限 " + limit + " 点を超えています") +
               "。範囲を狭めるか刻みを大きくしてください";
    case Reason::Overflow:
        return which + "の範囲が大きすぎて計算できません（開始値・終了値・刻みの値が大きすぎます）";
    default:
        return which + "は受け付けられません: " + e.what();
    }
}

// Checks one variable's fields into `variables`, multiplying `count` by its
// values; the refusal, or empty. Stops short of the values of a grid that
// is already too large for the window.
std::string CheckEntry(const SweepEntry& entry, const std::string& which,
                       std::vector<SweepVariable>& variables, double& count) {
    const std::pair<const std::string*, const char*> fields[] = {
        {&entry.from, "開始値"}, {&entry.to, "終了値"}, {&entry.step, "刻み"}};
    for (const auto& [text, part] : fields) {
        if (text->empty()) {
            return which + "の" + part + "を入力してください";
        }
    }
    const std::string spec = entry.name + "=" + entry.from + ":" + entry.to + ":" + entry.step;
    try {
        count *= static_cast<double>(SweepValueCount(spec));
        if (count <= static_cast<double>(kWindowSweepPoints)) {
            variables.push_back(ParseSweepVariable(spec));
        }
    } catch (const SweepError& e) {
        return Refusal(e, which, entry);
    }
    return {};
}

std::string CountText(const SweepGrid& grid) {
    std::string sizes;
    for (const SweepVariable& v : grid.variables()) {
        sizes += (sizes.empty() ? "" : " × ") + std::to_string(v.values.size());
    }
    const std::string total = std::to_string(grid.size());
    return grid.variables().size() > 1 ? "点数: " + sizes + " = " + total : "点数: " + total;
}

} // namespace

SweepChoices SweepChoiceLists() {
    SweepChoices choices;
    choices.first = data::input::kCaptions[data::input::LaunchSpeed];
    for (int row = 1; row < data::input::kRows; ++row) {
        if (SweepTakesCell(false, data::input::kValueColumn, row)) {
            const std::string_view caption = data::input::kCaptions[std::size_t(row)];
            choices.input.push_back(
                {std::string(caption), WithUnit(caption, data::input::kUnits[std::size_t(row)])});
        }
    }
    for (int column = data::design::MainWing; column <= data::design::NoseReinforcement; ++column) {
        for (int row = 1; row < data::design::kRows; ++row) {
            if (SweepTakesCell(true, column, row)) {
                const std::string name = std::string(data::design::kHeader[std::size_t(column)]) +
                                         "/" +
                                         std::string(data::design::kCaptions[std::size_t(row)]);
                choices.design.push_back(
                    {name, WithUnit(name, data::design::kUnits[std::size_t(row)])});
            }
        }
    }
    return choices;
}

std::string SweepVariableTitle(const SweepVariable& variable) {
    const std::string_view unit = variable.design ? data::design::kUnits[std::size_t(variable.row)]
                                                  : data::input::kUnits[std::size_t(variable.row)];
    return unit.empty() ? variable.name : variable.name + "(" + std::string(unit) + ")";
}

SweepRange SweepRangeAbout(std::string_view cellText) {
    double value = 0;
    if (!data::TryParseRealStrict(cellText, value) || !std::isfinite(value)) {
        value = 0;
    }
    const double size = value != 0 ? std::abs(value) * 0.05 : 0.5;
    int exponent = static_cast<int>(std::floor(std::log10(size)));
    const double mantissa = size / std::pow(10.0, exponent);
    double nice = mantissa < 1.5 ? 1 : mantissa < 3.5 ? 2 : mantissa < 7.5 ? 5 : 10;
    if (nice == 10) {
        nice = 1;
        ++exponent;
    }
    const double step = nice * std::pow(10.0, exponent);
    const int stepDecimals = std::max(0, -exponent);
    const std::size_t start = cellText.find_first_not_of(' ');
    const std::size_t end = cellText.find_last_not_of(' ');
    const std::optional<int> own =
        value != 0 ? TypedDecimals(cellText.substr(start, end - start + 1)) : std::optional<int>(0);
    const int decimals = std::max(stepDecimals, own.value_or(0));
    double from = value - 4 * step;
    if (value > 0 && from <= 0) {
        from = value - std::floor((value - step * 0.5) / step) * step;
    }
    const double to = value + 4 * step;
    return {TypedValue(from, decimals), TypedValue(to, decimals), TypedValue(step, stepDecimals)};
}

SweepRange SweepRangeOfCell(const data::Tables& tables, std::string_view name) {
    std::string text;
    try {
        const SweepVariable v = ParseSweepVariable(std::string(name) + "=0");
        text = Trimmed((v.design ? tables.design : tables.input).cell(v.column, v.row));
    } catch (const SweepError&) {
        // A name no sweep takes offers the range about 0.
    }
    return SweepRangeAbout(text);
}

SweepEntries CheckSweepEntries(const std::vector<SweepEntry>& entries) {
    std::vector<SweepVariable> variables;
    std::string refusal;
    double count = 1;
    for (std::size_t k = 0; k < entries.size() && refusal.empty(); ++k) {
        if (!entries[k].name.empty()) {
            refusal = CheckEntry(entries[k], "変数" + std::to_string(k + 1), variables, count);
        }
        if (count > static_cast<double>(kWindowSweepPoints)) {
            break;
        }
    }
    if (refusal.empty() && count > static_cast<double>(kWindowSweepPoints)) {
        refusal = "点数 " + Fixed(count, 0) + " はこの画面の上限 " +
                  std::to_string(kWindowSweepPoints) +
                  " 点を超えています。範囲を狭めるか刻みを大きくしてください（skarvel-cli sweep "
                  "なら、いくつものマシンに分けて計算できます）";
    }
    if (refusal.empty() && variables.size() == 2 && variables[0].name == variables[1].name) {
        refusal = "変数1と変数2に同じセルは選べません";
    }
    if (!refusal.empty()) {
        return {std::nullopt, refusal};
    }
    try {
        SweepGrid grid(std::move(variables));
        std::string text = CountText(grid);
        return {std::move(grid), std::move(text)};
    } catch (const std::exception& e) {
        return {std::nullopt, std::string("受け付けられません: ") + e.what()};
    }
}

std::string SweepProgressText(const SweepProgress& progress, bool cancelled) {
    if (cancelled) {
        return "中止しています…";
    }
    const double rate = progress.pointsPerSecond;
    return std::to_string(progress.done) + " / " + std::to_string(progress.total) + " 点　" +
           Fixed(rate, rate < 10 ? 1 : 0) + " 点/秒　残り " +
           (progress.secondsLeft ? Duration(*progress.secondsLeft) : "-");
}

std::optional<std::size_t> ClickedPoint(const std::vector<Pixel>& points, Pixel click) {
    std::optional<std::size_t> nearest;
    double least = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double d = std::hypot(points[k].x - click.x, points[k].y - click.y);
        if (d <= kClickPixels && (!nearest || d < least)) {
            least = d;
            nearest = k;
        }
    }
    return nearest;
}

SweepResults::SweepResults(SweepGrid grid, SummaryFigure figure)
    : grid_(std::move(grid)), figure_(figure) {
    for (const SweepVariable& v : grid_->variables()) {
        std::vector<double> values;
        for (const std::string& text : v.values) {
            values.push_back(data::ParseRealStrict(text));
        }
        numbers_.push_back(std::move(values));
        titles_.push_back(SweepVariableTitle(v));
    }
}

bool SweepResults::add(std::vector<SweepRow> rows) {
    const std::size_t first = rows_.size();
    for (SweepRow& row : rows) {
        rows_.push_back(std::move(row));
    }
    const std::optional<std::size_t> before = best_;
    findBest(first);
    return best_ != before;
}

void SweepResults::setFigure(SummaryFigure figure) {
    figure_ = figure;
    best_.reset();
    findBest(0);
}

void SweepResults::findBest(std::size_t first) {
    for (std::size_t i = first; i < rows_.size(); ++i) {
        if (rows_[i].summary && (!best_ || BetterRow(rows_[i], rows_[*best_], figure_))) {
            best_ = i;
        }
    }
}

std::size_t SweepResults::indexOf(std::size_t point, std::size_t k) const {
    const auto& variables = grid_->variables();
    for (std::size_t j = variables.size(); j-- > k + 1;) {
        point /= variables[j].values.size();
    }
    return point % variables[k].values.size();
}

double SweepResults::figureOf(const SweepRow& row) const {
    if (!row.summary) {
        return kNaN;
    }
    const double value = SummaryFigureValue(*row.summary, figure_);
    return std::isinf(value) ? kNaN : value;
}

bool SweepResults::colourMap() const {
    return numbers_.size() == 2 && numbers_[0].size() > 1 && numbers_[1].size() > 1;
}

std::string SweepResults::variableTitle(std::size_t k) const {
    return titles_[k];
}

std::size_t SweepResults::lineVariable() const {
    for (std::size_t k = 0; k < numbers_.size(); ++k) {
        if (numbers_[k].size() > 1) {
            return k;
        }
    }
    return 0;
}

std::vector<SweepResults::LinePoint> SweepResults::line(std::size_t first) const {
    std::vector<LinePoint> points;
    const std::size_t k = lineVariable();
    for (std::size_t i = first; i < rows_.size() && !numbers_.empty(); ++i) {
        const double value = figureOf(rows_[i]);
        if (std::isfinite(value)) {
            const std::size_t point = rows_[i].point;
            points.push_back({numbers_[k][indexOf(point, k)], value, point});
        }
    }
    return points;
}

std::vector<SweepResults::MapValue> SweepResults::map(std::size_t first) const {
    std::vector<MapValue> cells;
    for (std::size_t i = first; i < rows_.size() && colourMap(); ++i) {
        const std::size_t point = rows_[i].point;
        cells.push_back({{int(indexOf(point, 0)), int(indexOf(point, 1))}, figureOf(rows_[i])});
    }
    return cells;
}

std::optional<SweepResults::LinePoint> SweepResults::bestOnLine() const {
    if (!best_ || !std::isfinite(figureOf(rows_[*best_]))) {
        return std::nullopt;
    }
    return line(*best_).front();
}

std::optional<SweepResults::Cell> SweepResults::bestCell() const {
    if (!best_ || !colourMap()) {
        return std::nullopt;
    }
    const std::size_t point = rows_[*best_].point;
    return Cell{int(indexOf(point, 0)), int(indexOf(point, 1))};
}

std::pair<SweepResults::Range, SweepResults::Range> SweepResults::lineRanges() const {
    Range x;
    if (!numbers_.empty()) {
        const std::vector<double>& xs = numbers_[lineVariable()];
        const auto [lo, hi] = std::minmax_element(xs.begin(), xs.end());
        const double half = xs.size() > 1 ? (*hi - *lo) / double(xs.size() - 1) / 2
                                          : std::max(1.0, std::abs(*lo) * 0.1);
        x = {*lo - half, *hi + half};
    }
    const std::vector<LinePoint> points = line();
    Range y;
    if (!points.empty()) {
        const auto [lo, hi] = std::minmax_element(
            points.begin(), points.end(), [](const auto& a, const auto& b) { return a.y < b.y; });
        const double room =
            hi->y > lo->y ? (hi->y - lo->y) * 0.08 : std::max(1.0, std::abs(lo->y) * 0.1);
        y = {lo->y - room, hi->y + room};
    }
    return {x, y};
}

std::optional<std::size_t> SweepResults::pointNear(double x) const {
    if (!grid_ || numbers_.empty()) {
        return std::nullopt;
    }
    const std::size_t k = lineVariable();
    const std::vector<double>& xs = numbers_[k];
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < xs.size(); ++i) {
        if (std::abs(xs[i] - x) < std::abs(xs[nearest] - x)) {
            nearest = i;
        }
    }
    // The other variables have one value each: the value's index is the point.
    return nearest;
}

std::optional<std::size_t> SweepResults::pointAt(Cell cell) const {
    if (numbers_.size() != 2 || cell.column < 0 || cell.row < 0 ||
        std::size_t(cell.column) >= numbers_[0].size() ||
        std::size_t(cell.row) >= numbers_[1].size()) {
        return std::nullopt;
    }
    return std::size_t(cell.column) * numbers_[1].size() + std::size_t(cell.row);
}

std::optional<std::size_t>
SweepResults::clickedPoint(const std::function<Pixel(double, double)>& pixelOf, Pixel click) const {
    if (colourMap()) {
        return std::nullopt;
    }
    const std::vector<LinePoint> points = line();
    std::vector<Pixel> drawn;
    for (const LinePoint& p : points) {
        drawn.push_back(pixelOf(p.x, p.y));
    }
    const std::optional<std::size_t> hit = ClickedPoint(drawn, click);
    return hit ? std::optional<std::size_t>(points[*hit].point) : std::nullopt;
}

std::vector<std::string> SweepResults::describe(std::optional<std::size_t> point) const {
    const bool one = point && grid_ && *point < grid_->size();
    if (!one && !best_) {
        return {};
    }
    std::vector<std::string> parts;
    std::vector<std::string> values;
    if (one) {
        parts.push_back("点 " + std::to_string(*point));
        values = grid_->valuesOf(*point);
    } else {
        parts.push_back("最良点（" + std::string(SummaryFigureCaption(figure_)) + "）: 点 " +
                        std::to_string(rows_[*best_].point));
        values = rows_[*best_].values;
    }
    for (std::size_t k = 0; k < titles_.size(); ++k) {
        parts.push_back(titles_[k] + " = " + values[k]);
    }
    // Rows arrive in grid order without gaps: a point's row is at its index.
    if (one && *point >= rows_.size()) {
        parts.emplace_back("（未計算）");
    } else if (one && !rows_[*point].summary) {
        parts.emplace_back("Error");
    } else if (one) {
        for (const SummaryFigure f : kSummaryFigures) {
            parts.push_back(std::string(SummaryFigureCaption(f)) + " " +
                            SummaryFigureText(*rows_[*point].summary, f));
        }
    }
    return parts;
}

std::vector<std::string> SweepResults::columnTitles() const {
    std::vector<std::string> titles = {"点"};
    titles.insert(titles.end(), titles_.begin(), titles_.end());
    for (const SummaryFigure f : kSummaryFigures) {
        titles.emplace_back(SummaryFigureCaption(f));
    }
    return titles;
}

std::string SweepResults::cellText(std::size_t row, std::size_t column) const {
    const SweepRow& r = rows_[row];
    if (column == 0) {
        return std::to_string(r.point);
    }
    if (column <= r.values.size()) {
        return r.values[column - 1];
    }
    const SummaryFigure f = kSummaryFigures[column - 1 - r.values.size()];
    if (!r.summary) {
        return f == kSummaryFigures.front() ? "Error" : "";
    }
    return SummaryFigureText(*r.summary, f);
}

std::string SweepResults::statusText(bool cancelled) const {
    if (!grid_) {
        return "開始を押すと計算します";
    }
    if (cancelled) {
        return "中止しました: " + std::to_string(rows_.size()) + " / " +
               std::to_string(grid_->size()) + " 点";
    }
    const auto errors =
        std::count_if(rows_.begin(), rows_.end(), [](const SweepRow& r) { return !r.summary; });
    return "完了: " + std::to_string(rows_.size()) + " 点（Error " + std::to_string(errors) +
           " 点）";
}

std::string SweepResults::csv() const {
    std::string bytes = grid_ ? SweepCsvHeader(*grid_) : std::string();
    for (const SweepRow& row : rows_) {
        bytes += SweepCsvLine(row);
    }
    return bytes;
}

std::optional<std::string> SweepRun::start(SweepBase base, SweepGrid grid) {
    if (running()) {
        return std::nullopt;
    }
    results_ = SweepResults(grid, results_.figure());
    polled_.reset();
    cancelled_ = false;
    try {
        sweep_ = std::make_unique<Sweep>(std::move(base), std::move(grid), SweepOptions{});
    } catch (const std::exception& e) {
        return "スイープを開始できません: " + ErrorText(e);
    }
    return std::nullopt;
}

void SweepRun::cancel() {
    if (sweep_) {
        sweep_->cancel();
    }
}

SweepRun::Polled SweepRun::poll() {
    Polled polled;
    polled.first = results_.rows().size();
    if (!sweep_) {
        return polled;
    }
    polled.bestChanged = results_.add(sweep_->takeRows());
    polled_ = sweep_->progress();
    cancelledAtPoll_ = sweep_->cancelled();
    if (sweep_->finished()) {
        cancelled_ = sweep_->cancelled();
        if (const std::exception_ptr fault = sweep_->fault()) {
            polled.fault = "スイープが途中で止まりました";
            try {
                std::rethrow_exception(fault);
            } catch (const std::exception& e) {
                polled.fault += ": " + ErrorText(e);
            } catch (...) {
                // Said without a reason.
            }
        }
        // Every worker has ended or ends with its flight.
        sweep_.reset();
    }
    return polled;
}

SweepRun::Progress SweepRun::progress() const {
    if (sweep_ && !polled_) {
        const std::size_t total = results_.grid()->size();
        return {0, total, "0 / " + std::to_string(total) + " 点"};
    }
    if (sweep_) {
        return {polled_->done, polled_->total, SweepProgressText(*polled_, cancelledAtPoll_)};
    }
    const std::size_t total = results_.grid() ? results_.grid()->size() : 0;
    return {results_.rows().size(), std::max<std::size_t>(total, 1),
            results_.statusText(cancelled_)};
}

} // namespace skarvel::app
