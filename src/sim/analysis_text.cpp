#include "sim/analysis_text.h"

#include "sim/units.h"

#include <cmath>
#include <cstdio>

namespace skarvel::sim {

namespace {

std::string Number(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

std::string Number(const std::optional<double>& value) {
    return value ? Number(*value) : std::string("-");
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

} // namespace

std::string StabilityText(const StabilityAnalysis& a) {
    std::string text;
    if (const auto& t = a.trim) {
        Line(text, {"trim", Number(t->V), Number(RadiansToDegrees(t->alpha)),
                    Number(RadiansToDegrees(t->beta)), Number(RadiansToDegrees(t->theta)),
                    Number(RadiansToDegrees(t->phi)), Number(RadiansToDegrees(t->omega)),
                    Number(RadiansToDegrees(t->gamma)), Number(t->sink), Number(t->ratio),
                    Number(t->radius), Number(t->CL), Number(t->CD), t->stalled ? "1" : "0"});
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

} // namespace skarvel::sim
