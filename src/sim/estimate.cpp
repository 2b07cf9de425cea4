#include "sim/estimate.h"

#include "data/numtext.h"
#include "data/tables.h"
#include "sim/checked.h"
#include "sim/units.h"

#include <cmath>

namespace skarvel::sim {

namespace in_row = data::input;
namespace par = data::param;

double LiftSlope(double x) {
    if (x <= 0) {
        return 0;
    }
    try {
        const double b1 = checkedDiv(1.0, checkedDiv(1.0, kPi * x) + 1 / (2 * kPi));
        const double a2 = kPi * x / 2;
        return checkedDiv(1.0, checkedSqrt(checkedDiv(1.0, b1 * b1) + checkedDiv(1.0, a2 * a2)));
    } catch (const ArithmeticError&) {
        return 0;
    }
}

namespace {

double Value(const data::Table& t, int row) {
    return data::CellNumber(t, in_row::kValueColumn, row);
}

void Estimate(const data::Table& input, data::Table& parameter, InputSet& in) {
    const double SM = Value(input, in_row::StaticMargin) / kPercentPerWhole;
    in.zcg = Value(input, in_row::CgVertical) / kPercentPerWhole;
    in.ycg = Value(input, in_row::CgLateral) / kPercentPerWhole;
    in.S = Value(input, in_row::WingArea) / kSquareCentimetresPerSquareMetre;
    in.b = Value(input, in_row::WingSpan) / kMillimetresPerMetre;
    const double lambda = Value(input, in_row::TaperRatio);
    const double Gamma = DegreesToRadians(Value(input, in_row::Dihedral));
    const double Lambda = DegreesToRadians(Value(input, in_row::Sweep));
    in.e = Value(input, in_row::SpanEfficiency);
    const double lt = Value(input, in_row::TailArm) / kMillimetresPerMetre;
    const double VH = Value(input, in_row::HTailVolume);
    const double VV = Value(input, in_row::VTailVolume);
    const double Ah = Value(input, in_row::HTailAspect);
    const double Av = Value(input, in_row::VTailAspect);
    in.mass = Value(input, in_row::Mass) / kGramsPerKilogram;
    in.Ixx = Value(input, in_row::RollInertia) / kGramSquareCentimetresPerKilogramSquareMetre;
    in.Iyy = Value(input, in_row::PitchInertia) / kGramSquareCentimetresPerKilogramSquareMetre;
    in.CD0 = Value(input, in_row::MinDrag);
    in.Cm0 = 0;

    const double S = in.S;
    const double b = in.b;
    in.cbar = checkedDiv(S, b);
    in.A = checkedDiv(b * b, S);
    in.L = checkedDiv(lt, in.cbar);
    const double L = in.L;
    const double cbar = in.cbar;
    const double A = in.A;

    in.St = checkedDiv(VH * S, L);
    const double Sv = checkedDiv(VV * S * b, lt);

    in.Izz = in.Ixx + in.Iyy;

    in.aw = LiftSlope(A * in.e);
    const double D = 1 - checkedDiv(2 * in.aw, kPi * A * in.e);
    in.atEff = LiftSlope(Ah) * checkedDiv(in.St, S) * D;
    in.CLa = in.aw + in.atEff;

    double hn = checkedDiv(L * in.atEff, in.CLa) + 0.25;
    in.h = (hn - 0.25) + SM;
    const double h = in.h;

    in.CLih = LiftSlope(Ah) * checkedDiv(in.St, S);
    in.CLq = 2 * (L - h) * in.CLih;

    in.Cma = in.aw * h - (L - h) * in.atEff;
    in.Cmq = -(L - h) * in.CLq;
    in.Cmih = -(L - h) * in.CLih;

    double hnreal = hn - checkedDiv(0.25 * kAirDensity * S * cbar, in.mass) * in.Cmq;
    hn = hn - 0.25;
    hnreal = hnreal - 0.25;
    in.hn = hn;
    in.hnreal = hnreal;

    const double av = LiftSlope(Av);
    in.Cyb = -checkedDiv(Sv, S) * av;
    in.Cyp = 0;
    in.Cyr = checkedDiv(-2 * in.Cyb * (L - h), A);
    in.Cydr = -in.Cyb;

    const double T2 = checkedDiv(1 + 2 * lambda, 1 + lambda);
    const double T3 = checkedDiv(1 + 3 * lambda, 1 + lambda);
    in.Clb = -(2 * kPi / 6) * T2 * std::sin(Gamma);
    in.Clb_CL = -(1.0 / 6) * T2 * std::tan(Lambda);
    in.Clp = -(2 * kPi / 12) * T3;
    in.Clr_CL = (1.0 / 6) * T3;
    in.Cldr = 0;

    in.Cnb = checkedDiv(-in.Cyb * (L - h), A);
    in.Cnb_CL = -(1.0 / 12) * T2 * D * Gamma;
    in.Cnp_CL = -(1.0 / 12) * T3 * D;
    in.Cnr = checkedDiv(-2 * in.Cnb * (L - h), A);
    in.Cnr_CD = -(1.0 / 6) * T3;
    in.Cndr = -in.Cnb;

    in.Cmb_it = -in.Cmih;
    in.Cmr_it = checkedDiv(2 * in.Cmih * (L - h) * cbar, b);
    in.Cna_it = in.Cmih * checkedDiv(cbar, b) * D;
    in.Cnq_it = 2 * in.Cmih * checkedDiv(cbar, b) * (L - h);

    in.Cl_iw = (2 * kPi / 6) * T2;

    const double values[] = {S * kSquareCentimetresPerSquareMetre,
                             b * kMillimetresPerMetre,
                             in.mass * kGramsPerKilogram,
                             in.Ixx * kGramSquareCentimetresPerKilogramSquareMetre,
                             in.Iyy * kGramSquareCentimetresPerKilogramSquareMetre,
                             in.Izz * kGramSquareCentimetresPerKilogramSquareMetre,
                             (hn + 0.25) * kPercentPerWhole,
                             (h + 0.25) * kPercentPerWhole,
                             (hnreal + 0.25) * kPercentPerWhole,
                             in.CD0,
                             in.Cm0,
                             in.CLa,
                             in.CLq,
                             in.CLih,
                             in.Cma,
                             in.Cmq,
                             in.Cmih,
                             in.Cyb,
                             in.Cyp,
                             in.Cyr,
                             in.Cydr,
                             in.Clb,
                             in.Clb_CL,
                             in.Clp,
                             in.Clr_CL,
                             in.Cldr,
                             in.Cnb,
                             in.Cnb_CL,
                             in.Cnp_CL,
                             in.Cnr,
                             in.Cnr_CD,
                             in.Cndr,
                             in.Cmb_it,
                             in.Cmr_it,
                             in.Cna_it,
                             in.Cnq_it,
                             in.Cl_iw};
    static_assert(sizeof(values) / sizeof(values[0]) == par::kRows - 1);
    int row = par::S;
    for (double v : values) {
        parameter.setCell(par::kValueColumn, row++, data::FormatSignificant(5, true, v));
    }
}

} // namespace

bool EstimateDerivatives(const data::Table& input, data::Table& parameter, InputSet& in) {
    try {
        Estimate(input, parameter, in);
        return true;
    } catch (const ArithmeticError&) {
        // Quiet by design: the parameter table keeps what it showed.
        return false;
    }
}

} // namespace skarvel::sim
