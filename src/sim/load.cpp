#include "sim/load.h"

#include "data/numtext.h"
#include "data/tables.h"
#include "sim/checked.h"
#include "sim/units.h"

#include <algorithm>
#include <cmath>

namespace skarvel::sim {

using data::CellNumber;
namespace in_row = data::input;
namespace par = data::param;

namespace {

double InputValue(const data::Table& t, int row) {
    return CellNumber(t, in_row::kValueColumn, row);
}
double Degrees(const data::Table& t, int row) {
    return DegreesToRadians(InputValue(t, row));
}
double ParamValue(const data::Table& t, int row) {
    return CellNumber(t, par::kValueColumn, row);
}

} // namespace

FlightSample LaunchFromInput(const data::Table& input) {
    FlightSample s;
    const double speed =
        InputValue(input, in_row::LaunchSpeed) * kMetresPerKilometre / kSecondsPerHour;
    const double alpha = Degrees(input, in_row::AngleOfAttack);
    const double beta = Degrees(input, in_row::Sideslip);
    s.z = -InputValue(input, in_row::Altitude);
    s.x = InputValue(input, in_row::PositionX);
    s.y = InputValue(input, in_row::PositionY);
    s.theta = Degrees(input, in_row::ClimbAngle) + alpha;
    s.phi = Degrees(input, in_row::BankAngle);
    s.psi = Degrees(input, in_row::Heading) - beta;
    s.u = speed * std::cos(beta) * std::cos(alpha);
    s.v = speed * std::sin(beta);
    s.w = speed * std::cos(beta) * std::sin(alpha);
    s.ua = s.u;
    s.va = s.v;
    s.wa = s.w;
    // Each rate row feeds the rate its caption names.
    s.q = InputValue(input, in_row::PitchRate);
    s.p = InputValue(input, in_row::RollRate);
    s.r = InputValue(input, in_row::YawRate);
    return s;
}

void WriteLaunchRows(data::Table& input, const FlightSample& s) {
    // LaunchFromInput forms u = V cos(beta) cos(alpha), v = V sin(beta),
    // w = V cos(beta) sin(alpha), theta = climb + alpha, psi = heading - beta.
    const double V = std::sqrt(s.u * s.u + s.v * s.v + s.w * s.w);
    const double beta = V == 0 ? 0.0 : std::asin(std::clamp(s.v / V, -1.0, 1.0));
    const double alpha = std::atan2(s.w, s.u);
    const auto write = [&input](int row, double value) {
        input.setCell(in_row::kValueColumn, row, data::FormatShortest(value));
    };
    write(in_row::LaunchSpeed, V * kSecondsPerHour / kMetresPerKilometre);
    write(in_row::ClimbAngle, RadiansToDegrees(s.theta - alpha));
    write(in_row::BankAngle, RadiansToDegrees(s.phi));
    write(in_row::AngleOfAttack, RadiansToDegrees(alpha));
    write(in_row::Sideslip, RadiansToDegrees(beta));
    write(in_row::PitchRate, s.q);
    write(in_row::RollRate, s.p);
    write(in_row::YawRate, s.r);
}

FlightSample LaunchPreview(const data::Table& input) {
    FlightSample s = LaunchFromInput(input);
    s.p = s.q = s.r = 0;
    return s;
}

void LoadInputSet(const data::Table& input, const data::Table& parameter, InputSet& in) {
    try {
        in.windSpeed = InputValue(input, in_row::WindSpeed);
        in.thermalStrength = InputValue(input, in_row::ThermalStrength);
        in.thermalRadius = InputValue(input, in_row::ThermalRadius);
        in.launchSpeed =
            InputValue(input, in_row::LaunchSpeed) * kMetresPerKilometre / kSecondsPerHour;
        in.climbAngle = Degrees(input, in_row::ClimbAngle);
        in.bankAngle = Degrees(input, in_row::BankAngle);
        in.heading = Degrees(input, in_row::Heading);
        in.angleOfAttack = Degrees(input, in_row::AngleOfAttack);
        in.sideslip = Degrees(input, in_row::Sideslip);
        in.ih = Degrees(input, in_row::TailSetting);
        in.it = Degrees(input, in_row::StabTilt);
        in.iv = Degrees(input, in_row::FinSetting);
        in.iw = Degrees(input, in_row::WingTwist);
        in.zcg = InputValue(input, in_row::CgVertical) / kPercentPerWhole;
        in.ycg = InputValue(input, in_row::CgLateral) / kPercentPerWhole;
        in.initial = LaunchFromInput(input);

        in.S = ParamValue(parameter, par::S) / kSquareCentimetresPerSquareMetre;
        in.b = ParamValue(parameter, par::b) / kMillimetresPerMetre;
        in.mass = ParamValue(parameter, par::mass) / kGramsPerKilogram;
        in.Ixx = ParamValue(parameter, par::Ixx) / kGramSquareCentimetresPerKilogramSquareMetre;
        in.Iyy = ParamValue(parameter, par::Iyy) / kGramSquareCentimetresPerKilogramSquareMetre;
        in.Izz = ParamValue(parameter, par::Izz) / kGramSquareCentimetresPerKilogramSquareMetre;
        in.hn = ParamValue(parameter, par::hn) / kPercentPerWhole - 0.25;
        in.h = ParamValue(parameter, par::h) / kPercentPerWhole - 0.25;
        in.hnreal = ParamValue(parameter, par::hnreal) / kPercentPerWhole - 0.25;
        double* const derivatives[] = {
            &in.CD0,    &in.Cm0,    &in.CLa,    &in.CLq,    &in.CLih,   &in.Cma,    &in.Cmq,
            &in.Cmih,   &in.Cyb,    &in.Cyp,    &in.Cyr,    &in.Cydr,   &in.Clb,    &in.Clb_CL,
            &in.Clp,    &in.Clr_CL, &in.Cldr,   &in.Cnb,    &in.Cnb_CL, &in.Cnp_CL, &in.Cnr,
            &in.Cnr_CD, &in.Cndr,   &in.Cmb_it, &in.Cmr_it, &in.Cna_it, &in.Cnq_it, &in.Cl_iw};
        int row = par::CD0;
        for (double* field : derivatives) {
            *field = ParamValue(parameter, row++);
        }

        in.cbar = checkedDiv(in.S, in.b);
        in.A = checkedDiv(in.b, in.cbar);
        in.e = 0.8;
    } catch (const ArithmeticError&) {
        // The fields reached so far keep their new values; the run goes on.
    }
}

} // namespace skarvel::sim
