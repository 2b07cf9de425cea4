#include "view/chart_series.h"

#include "sim/simulator.h"

namespace skarvel::view {

ChartSample ChartValues(const sim::FlightSample& s, double airspeed) {
    using sim::WrapDegrees;
    ChartSample c;
    c.t = s.t;
    c.angles = {WrapDegrees(s.psi), WrapDegrees(s.theta), WrapDegrees(s.phi)};
    c.velocities = {s.u, s.v, s.w};
    c.rates = {s.p, s.q, s.r};
    c.position = {s.x, s.y, -s.z};
    c.overview = {-s.z, airspeed, WrapDegrees(s.theta), 100 * s.CL};
    return c;
}

namespace {

constexpr Rgb kBlack{0x00, 0x00, 0x00};
constexpr Rgb kRed{0xFF, 0x00, 0x00};
constexpr Rgb kBlue{0x00, 0x00, 0xFF};
constexpr Rgb kLime{0x00, 0xFF, 0x00};

} // namespace

const std::array<ChartSpec, kChartCount>& ChartSpecs() {
    static const std::array<ChartSpec, kChartCount> specs = {
        ChartSpec{ChartId::Overview,
                  "概要",
                  "",
                  {{"高度(m)", kBlack},
                   {"速度(m/s)", kRed},
                   {"ピッチ角(deg)", kBlue},
                   {"揚力係数(×100)", kLime}},
                  [](const ChartSample& c) { return std::span<const double>(c.overview); }},
        ChartSpec{ChartId::Position,
                  "位置",
                  "座標(m)",
                  {{"x（平面上の0度方位）", kBlack},
                   {"y（平面上の90度方位）", kRed},
                   {"z（高度）", kBlue}},
                  [](const ChartSample& c) { return std::span<const double>(c.position); }},
        ChartSpec{ChartId::Angles,
                  "角度",
                  "角度(deg)",
                  {{"Ψ（ヨー角）", kBlack}, {"Θ（ピッチ角）", kRed}, {"Φ（ロール角）", kBlue}},
                  [](const ChartSample& c) { return std::span<const double>(c.angles); }},
        ChartSpec{ChartId::Velocities,
                  "速度",
                  "速度(m/s)",
                  {{"u（機体軸方向速度）", kBlack},
                   {"v（横すべり速度）", kRed},
                   {"w（下すべり速度）", kBlue}},
                  [](const ChartSample& c) { return std::span<const double>(c.velocities); }},
        ChartSpec{ChartId::Rates,
                  "角速度",
                  "角速度(rad/s)",
                  {{"p（ロール角速度）", kBlack},
                   {"q（ピッチ角速度）", kRed},
                   {"r（ヨー角速度）", kBlue}},
                  [](const ChartSample& c) { return std::span<const double>(c.rates); }},
    };
    return specs;
}

const ChartSpec& SpecOf(ChartId id) {
    return ChartSpecs()[static_cast<std::size_t>(id)];
}

} // namespace skarvel::view
