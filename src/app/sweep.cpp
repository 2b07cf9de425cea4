#include "app/sweep.h"

#include "data/numtext.h"
#include "model/conversion.h"
#include "sim/checked.h"
#include "sim/dynamics.h"
#include "sim/estimate.h"
#include "sim/load.h"
#include "sim/simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <system_error>

namespace skarvel::app {

namespace {

// The styles the cells have after a reset: which cells a user can type into.
const data::Tables& StyledTables() {
    static const data::Tables tables = [] {
        data::Tables t;
        data::ResetTables(t);
        return t;
    }();
    return tables;
}

using Reason = SweepError::Reason;

[[noreturn]] void Refuse(std::string_view name, Reason reason, const std::string& why,
                         std::string part = {}) {
    throw SweepError(reason, std::string(name) + ": " + why, std::move(part));
}

// `part` names it in the message: FROM, TO, STEP or VALUE.
double Number(std::string_view name, std::string_view text, const char* part) {
    double value = 0;
    if (!data::TryParseRealStrict(text, value) || !std::isfinite(value)) {
        const std::string what = std::string(part) == "VALUE" ? "the value" : part;
        Refuse(name, Reason::NotANumber, what + " \"" + std::string(text) + "\" is not a number",
               part);
    }
    return value;
}

// The cell a name means, checked to be one a user types numbers into.
void FindCell(SweepVariable& v) {
    const std::size_t slash = v.name.find('/');
    if (slash != std::string::npos) {
        const std::string_view column(v.name.data(), slash);
        const std::string_view row(v.name.data() + slash + 1, v.name.size() - slash - 1);
        const auto& header = data::design::kHeader;
        const auto& captions = data::design::kCaptions;
        const auto c = std::find(header.begin() + 1, header.end() - 1, column);
        const auto r = std::find(captions.begin() + 1, captions.end(), row);
        if (c == header.end() - 1) {
            Refuse(v.name, Reason::UnknownName, "no design column \"" + std::string(column) + "\"");
        }
        if (r == captions.end()) {
            Refuse(v.name, Reason::UnknownName, "no design row \"" + std::string(row) + "\"");
        }
        v.design = true;
        v.column = static_cast<int>(c - header.begin());
        v.row = static_cast<int>(r - captions.begin());
        if (!SweepTakesCell(true, v.column, v.row)) {
            Refuse(v.name, Reason::NotANumberCell, "not a design cell that takes a number");
        }
        return;
    }
    const auto& captions = data::input::kCaptions;
    const auto r = std::find(captions.begin() + 1, captions.end(), v.name);
    if (r == captions.end()) {
        Refuse(v.name, Reason::UnknownName,
               "no input-data row or design cell (COLUMN/ROW) of that name");
    }
    v.row = static_cast<int>(r - captions.begin());
    v.column = data::input::kValueColumn;
    if (!SweepTakesCell(false, v.column, v.row)) {
        Refuse(v.name, Reason::NotANumberCell, "not an input-data cell that takes a number");
    }
}

void CheckAccepted(const SweepVariable& v, const std::string& text) {
    for (const char ch : text) {
        if (!data::AcceptsCharacter(data::ValueKind::Real, static_cast<unsigned char>(ch))) {
            Refuse(v.name, Reason::Refused, "the cell does not take \"" + text + "\"");
        }
    }
}

// Writes the input-data values of a point (one per variable; design cells
// are skipped) into the input table.
void WriteInputValues(data::Table& input, const std::vector<const SweepVariable*>& variables,
                      const std::vector<std::string>& values) {
    for (std::size_t k = 0; k < variables.size(); ++k) {
        if (!variables[k]->design) {
            input.setCell(variables[k]->column, variables[k]->row, values[k]);
        }
    }
}

// Writes the values (one per variable) into the tables: design cells first,
// then the design converted into input data as the window's Enter in a
// design cell does, with a model of its own, then the input cells.
void WriteValues(data::Tables& tables, model::SharedAircraftModel& model, bool& designComputed,
                 const std::vector<const SweepVariable*>& variables,
                 const std::vector<std::string>& values) {
    bool design = false;
    for (std::size_t k = 0; k < variables.size(); ++k) {
        if (variables[k]->design) {
            tables.design.setCell(variables[k]->column, variables[k]->row, values[k]);
            design = true;
        }
    }
    if (design) {
        auto changed = std::make_shared<model::AircraftModel>(*model);
        designComputed = model::ComputeDesign(tables, *changed);
        model::TransferDesignToInput(tables, *changed);
        model = std::move(changed);
        sim::InputSet ignored;
        sim::EstimateDerivatives(tables.input, tables.parameter, ignored);
    }
    WriteInputValues(tables.input, variables, values);
}

std::vector<const SweepVariable*> VariablesOf(const SweepGrid& grid) {
    std::vector<const SweepVariable*> variables;
    for (const SweepVariable& v : grid.variables()) {
        variables.push_back(&v);
    }
    return variables;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char ch : text) {
        quoted += ch;
        if (ch == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

// A variable's name, cell and range, checked, before its values are written.
struct ParsedVariable {
    SweepVariable variable; // name and cell
    std::vector<std::string_view> parts;
    double from = 0, step = 0;
    std::size_t count = 1;
};

ParsedVariable Parse(std::string_view spec) {
    ParsedVariable p;
    SweepVariable& v = p.variable;
    const std::size_t equals = spec.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        throw SweepError(Reason::Malformed,
                         "\"" + std::string(spec) +
                             "\": a variable is NAME=FROM:TO:STEP or NAME=VALUE");
    }
    v.name = std::string(spec.substr(0, equals));
    FindCell(v);
    const std::string_view range = spec.substr(equals + 1);
    for (std::size_t at = 0;;) {
        const std::size_t colon = range.find(':', at);
        p.parts.push_back(range.substr(at, colon == std::string_view::npos ? colon : colon - at));
        if (colon == std::string_view::npos) {
            break;
        }
        at = colon + 1;
    }
    if (p.parts.size() == 1) {
        p.from = Number(v.name, p.parts[0], "VALUE");
        return p;
    }
    if (p.parts.size() != 3) {
        Refuse(v.name, Reason::Malformed,
               "a range is FROM:TO:STEP, not \"" + std::string(range) + "\"");
    }
    p.from = Number(v.name, p.parts[0], "FROM");
    const double to = Number(v.name, p.parts[1], "TO");
    p.step = Number(v.name, p.parts[2], "STEP");
    if (p.step == 0) {
        Refuse(v.name, Reason::ZeroStep, "the step is 0");
    }
    const double span = to - p.from;
    if (!std::isfinite(span)) {
        Refuse(v.name, Reason::Overflow, "the range from FROM to TO overflows");
    }
    const double steps = span / p.step;
    if (steps < -0.5) {
        Refuse(v.name, Reason::AwayFromTo, "the step leads away from TO");
    }
    // A step far below the span makes more values than a double counts.
    const double count = std::floor(steps + 0.5) + 1;
    if (count > static_cast<double>(kMaxSweepPoints)) {
        constexpr double kCountable = 9007199254740992.0; // 2^53
        if (count >= kCountable) {
            Refuse(v.name, Reason::TooMany, "too many values (more than 10000000)");
        }
        const std::string text = data::FormatShortest(count);
        Refuse(v.name, Reason::TooMany, text + " values, more than 10000000", text);
    }
    p.count = static_cast<std::size_t>(count);
    // TO is reached within half a step, which may lie beyond the doubles.
    if (!std::isfinite(p.from + static_cast<double>(p.count - 1) * p.step)) {
        Refuse(v.name, Reason::Overflow, "the range's last value overflows");
    }
    return p;
}

} // namespace

bool SweepTakesCell(bool design, int column, int row) {
    const data::Tables& styled = StyledTables();
    const data::Table& t = design ? styled.design : styled.input;
    return t.isEditable(column, row) && t.style(column, row).kind == data::ValueKind::Real;
}

std::optional<int> TypedDecimals(std::string_view text) {
    if (text.find_first_of("eE") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t point = text.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

std::string TypedValue(double value, std::optional<int> decimals) {
    if (!decimals) {
        return data::FormatShortest(value);
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::min(*decimals, 300), value);
    std::string text = buffer;
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::size_t SweepValueCount(std::string_view spec) {
    return Parse(spec).count;
}

SweepVariable ParseSweepVariable(std::string_view spec) {
    ParsedVariable p = Parse(spec);
    SweepVariable& v = p.variable;
    if (p.parts.size() == 1) {
        v.values = SweepValues(std::string(p.parts[0]));
        CheckAccepted(v, v.values[0]);
        return std::move(v);
    }
    std::optional<int> decimals = TypedDecimals(p.parts[0]);
    if (const std::optional<int> d = TypedDecimals(p.parts[2]); !decimals || !d) {
        decimals.reset();
    } else {
        decimals = std::max(*decimals, *d);
    }
    // The texts of finite values have only digits, signs, points and
    // exponents, which every number cell takes.
    v.values = SweepValues(p.from, p.step, p.count, decimals);
    return std::move(v);
}

std::string SweepValues::operator[](std::size_t k) const {
    if (!range_) {
        return value_;
    }
    return TypedValue(from_ + static_cast<double>(k) * step_, decimals_);
}

SweepGrid::SweepGrid(std::vector<SweepVariable> variables) : variables_(std::move(variables)) {
    for (std::size_t i = 0; i < variables_.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (variables_[i].design == variables_[j].design &&
                variables_[i].column == variables_[j].column &&
                variables_[i].row == variables_[j].row) {
                Refuse(variables_[i].name, Reason::Refused, "varied twice");
            }
        }
        const std::size_t n = variables_[i].values.size();
        if (n == 0 || size_ > kMaxSweepPoints / n) {
            throw SweepError(Reason::TooMany, "the grid has more than 10000000 points");
        }
        size_ *= n;
    }
}

bool SweepGrid::hasDesignVariables() const {
    return std::any_of(variables_.begin(), variables_.end(),
                       [](const SweepVariable& v) { return v.design; });
}

std::vector<std::string> SweepGrid::valuesOf(std::size_t point) const {
    std::vector<std::string> values(variables_.size());
    for (std::size_t k = variables_.size(); k-- > 0;) {
        const std::size_t n = variables_[k].values.size();
        values[k] = variables_[k].values[point % n];
        point /= n;
    }
    return values;
}

SweepRow FlySweepPoint(const SweepBase& base, const SweepGrid& grid, std::size_t point,
                       sim::FlightRecord& record) {
    SweepRow row;
    row.point = point;
    row.values = grid.valuesOf(point);
    // A point owns what it changes: the input data, the parameters (the
    // estimate writes them), and the design and its model only where a
    // design cell varies. The base's model is shared, never copied.
    model::SharedAircraftModel model = base.model;
    bool designComputed = base.designComputed;
    std::optional<data::Tables> changed;
    if (grid.hasDesignVariables()) {
        changed = base.tables;
        WriteValues(*changed, model, designComputed, VariablesOf(grid), row.values);
    }
    data::Table input = changed ? std::move(changed->input) : base.tables.input;
    data::Table parameter = changed ? std::move(changed->parameter) : base.tables.parameter;
    if (!changed) {
        WriteInputValues(input, VariablesOf(grid), row.values);
    }
    // A failed estimate is an "Error" without a flight, and a design whose
    // computation failed has no laws to fly on.
    sim::RunStatistics stats;
    if (!FlyInputData(input, parameter, designComputed ? model.get() : nullptr, record, stats)) {
        return row;
    }
    row.summary = sim::Summarize(record, stats);
    return row;
}

void WriteSweepPoint(data::Tables& tables, model::SharedAircraftModel& model, bool& designComputed,
                     const SweepGrid& grid, std::size_t point) {
    WriteValues(tables, model, designComputed, VariablesOf(grid), grid.valuesOf(point));
}

void ApplySettings(data::Tables& tables, model::SharedAircraftModel& model, bool& designComputed,
                   const std::vector<std::string>& settings) {
    std::vector<SweepVariable> parsed;
    for (const std::string& s : settings) {
        SweepVariable v = ParseSweepVariable(s);
        if (v.values.size() != 1) {
            Refuse(v.name, Reason::Malformed, "a setting takes one value, not a range");
        }
        parsed.push_back(std::move(v));
    }
    const SweepGrid grid(parsed); // refuses a cell set twice
    WriteSweepPoint(tables, model, designComputed, grid, 0);
}

bool FlyInputData(const data::Table& input, const data::Table& parameter,
                  const sim::DesignAeroLaws* laws, sim::FlightRecord& record,
                  sim::RunStatistics& stats) {
    data::Table estimated = parameter;
    sim::InputSet in;
    if (!sim::EstimateDerivatives(input, estimated, in)) {
        return false;
    }
    sim::LoadInputSet(input, estimated, in);
    sim::RunObserver quiet;
    try {
        sim::RunFlight(in, laws, record, stats, quiet);
    } catch (const sim::ArithmeticError&) {
        return false;
    } catch (const sim::NoDesignError&) {
        return false;
    }
    return true;
}

std::optional<double> CellValue(const data::Tables& tables, const std::string& name) {
    const SweepVariable cell = ParseSweepVariable(name + "=0");
    const data::Table& t = cell.design ? tables.design : tables.input;
    double value = 0;
    if (!data::TryParseRealStrict(t.cell(cell.column, cell.row), value)) {
        return std::nullopt;
    }
    return value;
}

std::string SweepCsvHeader(const SweepGrid& grid) {
    std::string line = "point";
    for (const SweepVariable& v : grid.variables()) {
        line += ',' + CsvField(v.name);
    }
    for (const SummaryFigure f : kSummaryFigures) {
        line += ',' + CsvField(SummaryFigureCaption(f));
    }
    return line + ",status\n";
}

std::string SweepCsvLine(const SweepRow& row) {
    std::string line = std::to_string(row.point);
    for (const std::string& value : row.values) {
        line += ',' + CsvField(value);
    }
    for (const SummaryFigure f : kSummaryFigures) {
        line += ',';
        if (!row.summary) {
            continue;
        }
        if (f == SummaryFigure::TurnRadius && row.summary->straight) {
            line += "直線";
        } else {
            line += data::FormatShortest(SummaryFigureValue(*row.summary, f));
        }
    }
    return line + (row.summary ? ",\n" : ",Error\n");
}

// Each figure at the position of its caption.
static_assert(
    sim::kSummaryCaptions[std::size_t(SummaryFigure::AirborneTime)].starts_with("滞空時間"));
static_assert(
    sim::kSummaryCaptions[std::size_t(SummaryFigure::MaxAltitude)].starts_with("最大高度"));
static_assert(
    sim::kSummaryCaptions[std::size_t(SummaryFigure::LandingDistance)].starts_with("着地距離"));
static_assert(
    sim::kSummaryCaptions[std::size_t(SummaryFigure::TurnRadius)].starts_with("旋回半径"));
static_assert(sim::kSummaryCaptions[std::size_t(SummaryFigure::Speed)].starts_with("速度"));
static_assert(sim::kSummaryCaptions[std::size_t(SummaryFigure::SinkRate)].starts_with("沈下率"));

std::string_view SummaryFigureCaption(SummaryFigure figure) {
    return sim::kSummaryCaptions[static_cast<std::size_t>(figure)];
}

std::string SummaryFigureText(const sim::FlightSummary& s, SummaryFigure figure) {
    return sim::SummaryTexts(s)[static_cast<std::size_t>(figure)];
}

double SummaryFigureValue(const sim::FlightSummary& s, SummaryFigure figure) {
    switch (figure) {
    case SummaryFigure::AirborneTime:
        return s.airborneTime;
    case SummaryFigure::MaxAltitude:
        return s.maxAltitude;
    case SummaryFigure::LandingDistance:
        return s.landingDistance;
    case SummaryFigure::TurnRadius:
        return s.straight ? std::numeric_limits<double>::infinity() : s.turnRadius;
    case SummaryFigure::Speed:
        return s.speed;
    case SummaryFigure::SinkRate:
        break;
    }
    return s.sinkRate;
}

std::optional<SummaryFigure> SummaryFigureNamed(std::string_view name) {
    for (const SummaryFigure f : kSummaryFigures) {
        const std::string_view caption = SummaryFigureCaption(f);
        if (name == caption || name == caption.substr(0, caption.find('('))) {
            return f;
        }
    }
    return std::nullopt;
}

bool BetterRow(const SweepRow& a, const SweepRow& b, SummaryFigure figure) {
    if (!a.summary) {
        return false;
    }
    if (!b.summary) {
        return true;
    }
    const double x = SummaryFigureValue(*a.summary, figure);
    const double y = SummaryFigureValue(*b.summary, figure);
    return figure == SummaryFigure::SinkRate ? x < y : x > y;
}

Sweep::Sweep(SweepBase base, SweepGrid grid, SweepOptions options)
    : base_(std::move(base)), grid_(std::move(grid)), options_(options),
      start_(std::chrono::steady_clock::now()) {
    if (options_.shards == 0 || options_.shard >= options_.shards) {
        throw SweepError(Reason::Malformed, "a shard is I/N with I below N");
    }
    const std::size_t total = grid_.size();
    points_ = total > options_.shard ? (total - options_.shard - 1) / options_.shards + 1 : 0;
    int workers = options_.workers;
    if (workers <= 0) {
        workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    workers = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(workers),
                                                     std::max<std::size_t>(points_, 1)));
    window_ = options_.window != 0
                  ? options_.window
                  : std::max<std::size_t>(1024, 4 * static_cast<std::size_t>(workers));
    workersWanted_ = workers;
    threads_.reserve(static_cast<std::size_t>(workers));
    for (int w = 0; w < workers; ++w) {
        {
            const std::lock_guard lock(mutex_);
            ++running_;
        }
        try {
            const auto body = [this] { work(); };
            threads_.push_back(options_.startThread ? options_.startThread(body)
                                                    : std::jthread(body));
        } catch (const std::system_error& e) {
            {
                const std::lock_guard lock(mutex_);
                --running_;
            }
            workerFailure_ = e.what();
            break;
        }
    }
    if (threads_.empty()) {
        throw std::runtime_error("cannot start a worker thread: " + workerFailure_);
    }
}

Sweep::~Sweep() {
    cancel();
    threads_.clear(); // joins
}

void Sweep::work() {
    // Each worker flies on its own record; the base is only read.
    auto record = std::make_unique<sim::FlightRecord>();
    for (;;) {
        if (cancelled_) {
            break;
        }
        const std::size_t k = next_++;
        if (k >= points_) {
            break;
        }
        {
            // The rows before k are flown or being flown, so the window
            // moves on whoever waits here.
            std::unique_lock lock(mutex_);
            room_.wait(lock, [&] { return cancelled_ || k < taken_ + window_; });
            if (cancelled_) {
                break;
            }
        }
        SweepRow row;
        try {
            // A point's arithmetic failure is its "Error" row (FlySweepPoint).
            row = options_.flyPoint ? options_.flyPoint(base_, grid_, pointAt(k), *record)
                                    : FlySweepPoint(base_, grid_, pointAt(k), *record);
        } catch (...) {
            // Anything else is a fault of the program: it ends the sweep,
            // the rows before this point kept, and the caller reports it.
            {
                const std::lock_guard lock(mutex_);
                if (!fault_) {
                    fault_ = std::current_exception();
                }
            }
            cancel();
            break;
        }
        {
            const std::lock_guard lock(mutex_);
            waiting_.emplace(k, std::move(row));
        }
        ++done_;
        ready_.notify_all();
    }
    {
        const std::lock_guard lock(mutex_);
        --running_;
    }
    ready_.notify_all();
}

std::vector<SweepRow> Sweep::takeRows(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    ready_.wait_for(lock, wait, [this] { return waiting_.count(taken_) != 0 || running_ == 0; });
    std::vector<SweepRow> rows;
    for (auto at = waiting_.find(taken_); at != waiting_.end() && at->first == taken_;
         at = waiting_.erase(at)) {
        rows.push_back(std::move(at->second));
        ++taken_;
    }
    lock.unlock();
    if (!rows.empty()) {
        room_.notify_all();
    }
    return rows;
}

SweepProgress Sweep::progress() const {
    SweepProgress p;
    p.done = done_;
    p.total = points_;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (seconds > 0 && p.done > 0) {
        p.pointsPerSecond = static_cast<double>(p.done) / seconds;
        p.secondsLeft = static_cast<double>(p.total - p.done) / p.pointsPerSecond;
    }
    return p;
}

void Sweep::cancel() {
    {
        // Under the lock, so that a worker about to wait for room sees it.
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    ready_.notify_all();
    room_.notify_all();
}

std::exception_ptr Sweep::fault() const {
    const std::lock_guard lock(mutex_);
    return fault_;
}

bool Sweep::finished() const {
    const std::lock_guard lock(mutex_);
    return running_ == 0 && waiting_.count(taken_) == 0;
}

} // namespace skarvel::app
