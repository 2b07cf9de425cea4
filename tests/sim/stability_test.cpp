// The steady glide, its modes and the glide polar, checked against flights
// of the full equations of motion.

#include "sim/analysis_text.h"
#include "sim/glide_polar.h"
#include "sim/load.h"
#include "sim/modes.h"
#include "sim/simulator.h"
#include "sim/trim.h"
#include "sim_fixture.h"

#include "common/golden.h"
#include <Eigen/Eigenvalues>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <memory>

namespace {

namespace sim = skarvel::sim;
namespace in = skarvel::data::input;
using skarvel::test::DefaultTables;

sim::StabilityAnalysis Analyse(const DefaultTables& d) {
    return sim::AnalyseStability(d.tables.input, d.tables.parameter, nullptr);
}

// Drops the polar's "none" rows that lie between two trimmed rows: near the
// stall the moment is discontinuous and whether Newton finds a trim there
// is not promised.
std::string WithoutGaps(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at + 1));
        at = end + 1;
    }
    const auto none = [&](std::size_t i) {
        return lines[i].rfind("polar\t", 0) == 0 && lines[i].find("\tnone") != std::string::npos;
    };
    std::string kept;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool gap = none(i) && i > 0 && i + 1 < lines.size() && !none(i - 1) && !none(i + 1) &&
                         lines[i - 1].rfind("polar\t", 0) == 0;
        if (!gap) {
            kept += lines[i];
        }
    }
    return kept;
}

// The default data's analysis and polar as the CLI prints them. The default
// glider settles into a steady turn with the centre of gravity behind the
// neutral point; above a tail setting of 0 the method finds no glide.
TEST(Stability, DefaultDataGolden) {
    const DefaultTables d;
    const sim::GlidePolar polar =
        sim::ComputeGlidePolar(d.tables.input, d.tables.parameter, nullptr);
    const std::string text = WithoutGaps(sim::StabilityText(Analyse(d)) + sim::PolarText(polar));
    EXPECT_EQ(text, skarvel::test::Golden(__FILE__, "analysis_default.golden", text));
    // The settings without a trim end with those above 0, as the window names them.
    const auto untrimmed = sim::UntrimmedSettings(polar);
    ASSERT_FALSE(untrimmed.empty());
    EXPECT_EQ(untrimmed.back(), (std::pair<double, double>{0.5, 6}));
}

// The steady glide is where a flight of the default data ends up: the last
// seconds before landing fly it.
TEST(Stability, TheDefaultFlightSettlesIntoTheSteadyGlide) {
    DefaultTables d;
    const sim::StabilityAnalysis a = Analyse(d);
    ASSERT_TRUE(a.trim);
    d.prepare();
    auto record = std::make_unique<sim::FlightRecord>();
    sim::RunStatistics stats;
    sim::RunObserver quiet;
    sim::RunFlight(d.in, nullptr, *record, stats, quiet);
    const sim::FlightSample& end = record->sample(record->lastIndex - 100);
    const sim::GlideTrim& t = *a.trim;
    EXPECT_NEAR(std::hypot(end.u, end.v, end.w), t.V, 1e-3 * t.V);
    EXPECT_NEAR(end.theta, t.theta, 1e-3);
    EXPECT_NEAR(end.phi, t.phi, 1e-3);
    EXPECT_NEAR(end.r, t.state.r, 1e-3);
}

TEST(Stability, ASymmetricGliderGlidesStraight) {
    DefaultTables d;
    d.setInput(in::StabTilt, "0");
    const sim::StabilityAnalysis a = Analyse(d);
    ASSERT_TRUE(a.trim);
    EXPECT_EQ(a.trim->omega, 0.0);
    EXPECT_EQ(a.trim->beta, 0.0);
    EXPECT_EQ(a.trim->phi, 0.0);
    EXPECT_FALSE(a.trim->radius);
    EXPECT_EQ(a.trim->V, a.trim->straight.V);
}

// Moving the centre of gravity forward (the input's margin is how far it
// lies behind the neutral point) turns the static margin up and stiffens
// the pitch: the short period gets faster.
TEST(Stability, AForwardCentreOfGravityStiffensThePitch) {
    DefaultTables d;
    const sim::StabilityAnalysis before = Analyse(d);
    d.setInput(in::StaticMargin, "-4");
    const sim::StabilityAnalysis after = Analyse(d);
    ASSERT_TRUE(before.staticMargin && after.staticMargin);
    EXPECT_GT(*after.staticMargin, *before.staticMargin + 5);
    const auto shortPeriod = [](const sim::StabilityAnalysis& a) {
        for (const sim::Mode& m : a.modes) {
            if (m.kind == sim::ModeKind::ShortPeriod) {
                return m.naturalFrequency;
            }
        }
        return 0.0;
    };
    ASSERT_GT(shortPeriod(before), 0);
    EXPECT_GT(shortPeriod(after), shortPeriod(before));
}

TEST(Stability, NoTrimIsSaidNeverComputed) {
    for (const auto& [row, text] : {std::pair{in::Mass, "0"}, std::pair{in::ThermalRadius, "0"},
                                    std::pair{in::Mass, "abc"}}) {
        DefaultTables d;
        d.setInput(row, text);
        const sim::StabilityAnalysis a = Analyse(d);
        EXPECT_FALSE(a.trim) << row << " " << text;
        EXPECT_TRUE(a.modes.empty());
        const std::string lines = sim::StabilityText(a);
        EXPECT_EQ(lines.substr(0, 10), "trim\tnone\n");
        EXPECT_EQ(lines.find("nan"), std::string::npos) << lines;
        EXPECT_EQ(lines.find("inf"), std::string::npos) << lines;
    }
    DefaultTables massless;
    massless.setInput(in::Mass, "0");
    EXPECT_FALSE(Analyse(massless).loaded);
    const sim::GlidePolar polar =
        sim::ComputeGlidePolar(massless.tables.input, massless.tables.parameter, nullptr);
    EXPECT_FALSE(polar.bestRatio || polar.leastSink);
    EXPECT_NE(sim::PolarText(polar).find("best\tnone\nminsink\tnone\n"), std::string::npos);
}

// A flight started from the steady glide with one mode added keeps that mode
// alone: its coordinate (the flight's departure from the glide through the
// inverse of the eigenvectors) turns and decays as the root says.
TEST(Stability, NonlinearFlightFollowsTheLinearModes) {
    DefaultTables d;
    const sim::StabilityAnalysis a = Analyse(d);
    ASSERT_TRUE(a.trim);
    sim::AnalysisPoint point(d.tables.input, d.tables.parameter, nullptr);
    const auto matrix = sim::Linearise(point, a.trim->state);
    ASSERT_TRUE(matrix);
    Eigen::Matrix<double, sim::kModeStates, sim::kModeStates> m;
    for (int i = 0; i < sim::kModeStates; ++i) {
        for (int j = 0; j < sim::kModeStates; ++j) {
            m(i, j) = (*matrix)[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
        }
    }
    const Eigen::EigenSolver<decltype(m)> eigen(m);
    const Eigen::Matrix<std::complex<double>, sim::kModeStates, sim::kModeStates> inverse =
        eigen.eigenvectors().inverse();
    const double sim::FlightSample::*states[] = {
        &sim::FlightSample::u,   &sim::FlightSample::v,    &sim::FlightSample::w,
        &sim::FlightSample::p,   &sim::FlightSample::q,    &sim::FlightSample::r,
        &sim::FlightSample::phi, &sim::FlightSample::theta};

    for (const auto& [kind, seconds] :
         {std::pair{sim::ModeKind::Phugoid, 6.0}, std::pair{sim::ModeKind::DutchRoll, 1.5}}) {
        std::size_t index = 0;
        while (index < a.modes.size() && a.modes[index].kind != kind) {
            ++index;
        }
        ASSERT_LT(index, a.modes.size());
        const std::complex<double> root = a.modes[index].root;
        ASSERT_LT(a.modes[index].damping, 0.5);
        int column = 0;
        for (int k = 1; k < sim::kModeStates; ++k) {
            if (std::abs(eigen.eigenvalues()[k] - root) <
                std::abs(eigen.eigenvalues()[column] - root)) {
                column = k;
            }
        }

        sim::InputSet flight = point.inputSet();
        flight.initial = sim::ExciteMode(a, index, 0.002);
        flight.initial.z = -1000; // far from the ground; nothing depends on height
        auto record = std::make_unique<sim::FlightRecord>();
        sim::RunStatistics stats;
        sim::RunObserver quiet;
        sim::RunFlight(flight, nullptr, *record, stats, quiet);
        ASSERT_GT(record->sample(record->lastIndex).t, seconds);

        // Least-squares slopes of log|eta| and of its unwrapped phase.
        double sumT = 0, sumTT = 0, sumL = 0, sumTL = 0, sumP = 0, sumTP = 0;
        double phase = 0, lastArg = 0;
        int n = 0;
        for (int k = 0; record->sample(k).t <= seconds; ++k) {
            const sim::FlightSample& s = record->sample(k);
            std::complex<double> eta = 0;
            for (int i = 0; i < sim::kModeStates; ++i) {
                eta += inverse(column, i) * (s.*states[i] - a.trim->state.*states[i]);
            }
            const double arg = std::arg(eta);
            if (n > 0) {
                phase += std::remainder(arg - lastArg, 2 * sim::kPi);
            }
            lastArg = arg;
            const double t = s.t;
            sumT += t;
            sumTT += t * t;
            sumL += std::log(std::abs(eta));
            sumTL += t * std::log(std::abs(eta));
            sumP += phase;
            sumTP += t * phase;
            ++n;
        }
        const double denominator = n * sumTT - sumT * sumT;
        const double decay = (n * sumTL - sumT * sumL) / denominator;
        const double turn = (n * sumTP - sumT * sumP) / denominator;
        const char* name = sim::ModeName(kind).data();
        EXPECT_NEAR(decay, root.real(), 0.02 * std::fabs(root.real())) << name;
        EXPECT_NEAR(std::fabs(turn), root.imag(), 0.02 * root.imag()) << name;
    }
}

// Each mode is added at the promised size: its largest component, made
// non-dimensional (velocities over V, p and r times b/2V, q times cbar/2V,
// angles as they are), is the amplitude, and no other is larger.
TEST(Stability, AnExcitedModeHasTheAmplitudeAsked) {
    DefaultTables d;
    const sim::StabilityAnalysis a = Analyse(d);
    ASSERT_TRUE(a.trim);
    const double V = a.trim->V, b = a.span, c = a.meanChord;
    using S = sim::FlightSample;
    const std::pair<double S::*, double> scaled[] = {
        {&S::u, 1 / V},       {&S::v, 1 / V},       {&S::w, 1 / V}, {&S::p, b / (2 * V)},
        {&S::q, c / (2 * V)}, {&S::r, b / (2 * V)}, {&S::phi, 1},   {&S::theta, 1}};
    for (std::size_t m = 0; m < a.modes.size(); ++m) {
        for (const double amplitude : {0.002, 0.05}) {
            const S excited = sim::ExciteMode(a, m, amplitude);
            double largest = 0;
            for (const auto& [member, scale] : scaled) {
                largest =
                    std::max(largest, std::fabs((excited.*member - a.trim->state.*member) * scale));
            }
            EXPECT_NEAR(largest, amplitude, 1e-9 * amplitude) << m;
        }
    }
}

TEST(Stability, LaunchRowsStartTheFlightInTheState) {
    DefaultTables d;
    const sim::StabilityAnalysis a = Analyse(d);
    ASSERT_TRUE(a.trim);
    const sim::FlightSample excited = sim::ExciteMode(a, 0);
    const skarvel::data::Table before = d.tables.input;
    sim::WriteLaunchRows(d.tables.input, excited);
    const sim::FlightSample launch = sim::LaunchFromInput(d.tables.input);
    for (const auto member : {&sim::FlightSample::u, &sim::FlightSample::v, &sim::FlightSample::w,
                              &sim::FlightSample::p, &sim::FlightSample::q, &sim::FlightSample::r,
                              &sim::FlightSample::theta, &sim::FlightSample::phi}) {
        EXPECT_NEAR(launch.*member, excited.*member, 1e-12);
    }
    // The glider starts where the table puts it, heading where it says.
    for (int row = 1; row < skarvel::data::input::kRows; ++row) {
        const bool written = std::find(sim::kLaunchStateRows.begin(), sim::kLaunchStateRows.end(),
                                       row) != sim::kLaunchStateRows.end();
        if (!written) {
            EXPECT_EQ(d.tables.input.cell(1, row), before.cell(1, row)) << row;
        }
    }
}

} // namespace
