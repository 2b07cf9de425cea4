#include "sim/analysis_text.h"

#include "sim/units.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace skarvel::sim {

namespace {

std::string Number(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

std::string Number(const std::optional<double>& value) {
    return FieldText(value);
}

void Line(std::string& text, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& f : fields) {
        if (!first) {
            text += '\t';
        }
        text += f;
        first = false;
    }
    text += '\n';
}

// The trim line's values after its first field.
std::vector<std::string> TrimFields(const GlideTrim& t) {
    return {Number(t.V),
            Number(RadiansToDegrees(t.alpha)),
            Number(RadiansToDegrees(t.beta)),
            Number(RadiansToDegrees(t.theta)),
            Number(RadiansToDegrees(t.phi)),
            Number(RadiansToDegrees(t.omega)),
            Number(RadiansToDegrees(t.gamma)),
            Number(t.sink),
            Number(t.ratio),
            Number(t.radius),
            Number(t.CL),
            Number(t.CD),
            t.stalled ? "1" : "0"};
}

void Line(std::string& text, const std::string& first, std::vector<std::string> fields) {
    fields.insert(fields.begin(), first);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        text += (i > 0 ? "\t" : "") + fields[i];
    }
    text += '\n';
}

} // namespace

std::string FieldText(const std::optional<double>& value) {
    return value ? Number(*value) : std::string("-");
}

std::string StabilityText(const StabilityAnalysis& a) {
    std::string text;
    if (const auto& t = a.trim) {
        Line(text, "trim", TrimFields(*t));
    } else {
        Line(text, {"trim", "none"});
    }
    Line(text, {"margin", Number(a.staticMargin)});
    for (const Mode& m : a.modes) {
        Line(text,
             {"mode", std::string(ModeName(m.kind)), Number(m.root.real()), Number(m.root.imag()),
              Number(m.naturalFrequency), Number(m.damping), Number(m.period), Number(m.timeTo)});
    }
    return text;
}

std::string PolarText(const GlidePolar& polar) {
    std::string text;
    for (const PolarRow& row : polar.rows) {
        if (const auto& t = row.trim) {
            Line(text,
                 {"polar", Number(row.tailSetting), Number(t->V),
                  Number(RadiansToDegrees(t->alpha)), Number(t->sink), Number(t->ratio),
                  t->stalled ? "1" : "0", row.stable() ? "1" : "0", Number(row.largestRealPart)});
        } else {
            Line(text, {"polar", Number(row.tailSetting), "none"});
        }
    }
    if (polar.bestRatio) {
        const PolarRow& row = polar.rows[*polar.bestRatio];
        Line(text, {"best", Number(row.trim->ratio), Number(row.tailSetting), Number(row.trim->V)});
    } else {
        Line(text, {"best", "none"});
    }
    if (polar.leastSink) {
        const PolarRow& row = polar.rows[*polar.leastSink];
        Line(text,
             {"minsink", Number(row.trim->sink), Number(row.tailSetting), Number(row.trim->V)});
    } else {
        Line(text, {"minsink", "none"});
    }
    return text;
}

std::string SettleText(const SettleAnalysis& a) {
    std::string text;
    const Settling& s = a.settling;
    if (!a.loaded) {
        Line(text, {"settles", "none"});
        return text;
    }
    switch (s.kind) {
    case SettleKind::Glide:
        Line(text, {"settles", "glide", Number(s.V), Number(s.sink), Number(s.ratio),
                    Number(s.radius), Number(RadiansToDegrees(s.phi)), s.equilibrium ? "1" : "0"});
        break;
    case SettleKind::Cycle:
        Line(text, {"settles", "cycle", Number(s.period), Number(s.vMin), Number(s.vMax),
                    Number(s.meanSink), Number(s.meanRatio)});
        break;
    case SettleKind::Divergence:
        Line(text, {"settles", "divergence", Number(s.time)});
        break;
    case SettleKind::Ground:
        Line(text, {"settles", "ground", Number(s.time)});
        break;
    }
    for (const Equilibrium& e : a.equilibria) {
        std::vector<std::string> fields = TrimFields(e.trim);
        fields.push_back(e.stable() ? "1" : "0");
        fields.push_back(Number(e.largestRealPart));
        fields.push_back(e.endsHere ? "1" : "0");
        Line(text, "equilibrium", std::move(fields));
    }
    return text;
}

} // namespace skarvel::sim
