#include "app/measured.h"

#include "data/numtext.h"
#include "data/textfile.h"
#include "sim/analysis_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace skarvel::app {

namespace {

std::string Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\"");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r\"");
    return std::string(s.substr(first, last - first + 1));
}

std::vector<std::string> Fields(std::string_view line, char delimiter) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(delimiter, start);
        out.push_back(Trim(line.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos) {
            return out;
        }
        start = end + 1;
    }
}

// A header's column: its name in lower case, and the unit in brackets.
struct Column {
    std::string name;
    std::string unit;
};

Column HeaderColumn(const std::string& text) {
    Column c;
    const std::size_t open = text.find_first_of("[(");
    std::string name = Trim(text.substr(0, open));
    for (char& ch : name) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    c.name = name;
    if (open != std::string::npos) {
        const std::size_t close = text.find_first_of("])", open);
        c.unit = Trim(text.substr(open + 1, close == std::string::npos ? close : close - open - 1));
    }
    return c;
}

} // namespace

std::optional<double> LengthUnit(std::string_view name) {
    if (name == "mm") {
        return 0.001;
    }
    if (name == "cm") {
        return 0.01;
    }
    if (name == "m") {
        return 1.0;
    }
    return std::nullopt;
}

MeasuredTrack ParseMeasuredTrack(std::string_view text, std::optional<double> unit) {
    std::vector<std::pair<int, std::string>> lines; // (line number, text)
    int number = 0;
    data::ForEachLine(std::string(text), [&](std::string_view line) {
        ++number;
        if (!Trim(line).empty()) {
            lines.emplace_back(number, std::string(line));
        }
    });
    if (lines.empty()) {
        throw MeasuredError("the track is empty");
    }
    const char delimiter = lines.front().second.find('\t') != std::string::npos ? '\t' : ',';
    const std::vector<std::string> header = Fields(lines.front().second, delimiter);
    enum Role { T, X, Y, H, Z, Roles };
    std::array<std::optional<std::size_t>, Roles> at{};
    std::array<double, Roles> scale{1, 1, 1, 1, 1};
    for (std::size_t i = 0; i < header.size(); ++i) {
        const Column c = HeaderColumn(header[i]);
        std::optional<Role> role;
        if (c.name == "t" || c.name == "time" || c.name == "時刻") {
            role = T;
        } else if (c.name == "x") {
            role = X;
        } else if (c.name == "y") {
            role = Y;
        } else if (c.name == "h" || c.name == "高度") {
            role = H;
        } else if (c.name == "z") {
            role = Z;
        }
        if (!role || at[*role]) {
            continue; // another column, or a second of one role: the first counts
        }
        at[*role] = i;
        if (*role == T) {
            if (c.unit == "ms") {
                scale[T] = 0.001;
            } else if (!c.unit.empty() && c.unit != "s") {
                throw MeasuredError("column \"" + header[i] + "\": time in s or ms, not \"" +
                                    c.unit + "\"");
            }
        } else if (!c.unit.empty()) {
            const auto u = LengthUnit(c.unit);
            if (!u) {
                throw MeasuredError("column \"" + header[i] +
                                    "\": positions in mm, cm or m, not \"" + c.unit + "\"");
            }
            scale[*role] = *u;
        } else {
            scale[*role] = unit.value_or(1.0);
        }
    }
    if (!at[T] || !at[X] || (!at[H] && !at[Z])) {
        throw MeasuredError("the header needs a time column (t, time or 時刻), x, and h (高度) "
                            "or z; it has: " +
                            lines.front().second);
    }
    MeasuredTrack track;
    track.hasY = at[Y].has_value();
    const Role height = at[H] ? H : Z;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const auto& [line, rowText] = lines[k];
        const std::vector<std::string> row = Fields(rowText, delimiter);
        std::array<double, Roles> v{};
        std::string problem;
        for (const Role r : {T, X, Y, height}) {
            if (!at[r]) {
                continue;
            }
            if (*at[r] >= row.size()) {
                problem = "line " + std::to_string(line) + ": " + std::to_string(row.size()) +
                          " fields, the header has " + std::to_string(header.size());
                break;
            }
            const std::string& cell = row[*at[r]];
            if (!data::TryParseRealStrict(cell, v[r]) || !std::isfinite(v[r])) {
                problem = "line " + std::to_string(line) + ", column " + header[*at[r]] + ": \"" +
                          cell + "\" is not a number";
                break;
            }
            v[r] *= scale[r];
        }
        if (!problem.empty()) {
            track.skipped.push_back(problem);
            continue;
        }
        track.points.push_back({v[T], v[X], v[Y], height == H ? v[H] : -v[Z]});
    }
    if (track.points.empty()) {
        throw MeasuredError("no row of the track could be read" +
                            (track.skipped.empty() ? std::string() : ": " + track.skipped.front()));
    }
    return track;
}

MeasuredTrack ReadMeasuredTrack(const std::string& path, std::optional<double> unit) {
    return ParseMeasuredTrack(data::ReadFileBytes(path, data::kDataFileLimit), unit);
}

std::array<double, 3> FlightPositionAt(const sim::FlightRecord& record, double t) {
    const int last = record.lastIndex;
    t = std::clamp(t, 0.0, record.sample(last).t);
    // The samples around t (every 10 ms; the last one may be closer).
    int i = std::clamp(static_cast<int>(std::floor(t / 0.01)), 0, last);
    while (i > 0 && record.sample(i).t > t) {
        --i;
    }
    while (i < last && record.sample(i + 1).t <= t) {
        ++i;
    }
    const sim::FlightSample& a = record.sample(i);
    const sim::FlightSample& b = record.sample(std::min(i + 1, last));
    const double f = b.t > a.t ? (t - a.t) / (b.t - a.t) : 0;
    const auto at = [f](double u, double w) { return u + f * (w - u); };
    return {at(a.x, b.x), at(a.y, b.y), -at(a.z, b.z)};
}

std::optional<TrackDistance> CompareTrack(const MeasuredTrack& track,
                                          const sim::FlightRecord& record) {
    const int last = record.lastIndex;
    const double end = record.sample(last).t;
    std::vector<double> distances;
    for (const MeasuredPoint& p : track.points) {
        if (p.t < 0 || p.t > end) {
            continue;
        }
        const std::array<double, 3> f = FlightPositionAt(record, p.t);
        const double dx = f[0] - p.x;
        const double dy = track.hasY ? f[1] - p.y : 0;
        const double dh = f[2] - p.h;
        distances.push_back(std::sqrt(dx * dx + dy * dy + dh * dh));
    }
    if (distances.empty()) {
        return std::nullopt;
    }
    std::vector<double> sorted = distances;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                     sorted.end());
    const double limit = std::max(0.1, 5 * sorted[sorted.size() / 2]);
    TrackDistance d;
    double sum = 0;
    for (const double x : distances) {
        if (x <= limit) {
            ++d.n;
            sum += x * x;
            d.max = std::max(d.max, x);
        }
    }
    d.rms = std::sqrt(sum / static_cast<double>(d.n));
    return d;
}

std::string MeasuredLine(const std::optional<TrackDistance>& d) {
    if (!d) {
        return "measured\t0\t-\t-\n";
    }
    return "measured\t" + std::to_string(d->n) + '\t' + sim::FieldText(d->rms) + '\t' +
           sim::FieldText(d->max) + '\n';
}

} // namespace skarvel::app
