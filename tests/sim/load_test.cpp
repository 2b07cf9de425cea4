#include "sim_fixture.h"

#include "sim/load.h"

#include <gtest/gtest.h>

#include <cstring>

#include <cmath>

using namespace skarvel;
using test::DefaultTables;
namespace row = data::input;

namespace {
constexpr double kDeg = sim::kPi / 180;
}

TEST(Load, LaunchFromInputRows) {
    DefaultTables f;
    f.setInput(row::Altitude, "2");
    f.setInput(row::LaunchSpeed, "150");
    f.setInput(row::ClimbAngle, "80");
    f.setInput(row::AngleOfAttack, "5");
    f.setInput(row::Heading, "30");
    f.setInput(row::Sideslip, "10");
    f.setInput(row::PositionX, "7");
    f.setInput(row::PositionY, "-3");
    f.setInput(row::BankAngle, "12");
    f.prepare();
    const sim::FlightSample& s = f.in.initial;
    EXPECT_EQ(s.z, -2.0);
    EXPECT_EQ(s.x, 7.0);
    EXPECT_EQ(s.y, -3.0);
    EXPECT_NEAR(s.theta, 85 * kDeg, 1e-15);
    EXPECT_NEAR(s.psi, 20 * kDeg, 1e-15);
    EXPECT_NEAR(s.phi, 12 * kDeg, 1e-15);
    const double V0 = 150.0 * 1000 / 3600;
    EXPECT_NEAR(s.u, V0 * std::cos(10 * kDeg) * std::cos(5 * kDeg), 1e-12);
    EXPECT_NEAR(s.v, V0 * std::sin(10 * kDeg), 1e-12);
    EXPECT_NEAR(s.w, V0 * std::cos(10 * kDeg) * std::sin(5 * kDeg), 1e-12);
    EXPECT_EQ(s.ua, s.u);
    EXPECT_EQ(s.va, s.v);
    EXPECT_EQ(s.wa, s.w);
}

TEST(Load, SpeedWithoutAnglesIsAllForward) {
    DefaultTables f;
    f.setInput(row::LaunchSpeed, "150");
    f.prepare();
    EXPECT_DOUBLE_EQ(f.in.initial.u, 41.666666666666664);
    EXPECT_EQ(f.in.initial.v, 0.0);
    EXPECT_EQ(f.in.initial.w, 0.0);
}

TEST(Load, EachRateRowFeedsTheRateItsCaptionNames) {
    DefaultTables f;
    ASSERT_EQ(f.tables.input.cell(0, row::PitchRate), "ピッチ角速度");
    ASSERT_EQ(f.tables.input.cell(0, row::RollRate), "ロール角速度");
    f.setInput(row::PitchRate, "0.5");
    f.setInput(row::RollRate, "-1.5");
    f.setInput(row::YawRate, "2");
    f.prepare();
    EXPECT_EQ(f.in.initial.q, 0.5);
    EXPECT_EQ(f.in.initial.p, -1.5);
    EXPECT_EQ(f.in.initial.r, 2.0);
    EXPECT_EQ(sim::LaunchFromInput(f.tables.input).q, 0.5);
    // The preview while typing is the launch without its rates.
    sim::FlightSample preview = sim::LaunchPreview(f.tables.input);
    EXPECT_EQ(preview.p, 0.0);
    EXPECT_EQ(preview.q, 0.0);
    EXPECT_EQ(preview.r, 0.0);
    preview.p = -1.5;
    preview.q = 0.5;
    preview.r = 2;
    EXPECT_EQ(std::memcmp(&preview, &f.in.initial, sizeof preview), 0);
}

TEST(Load, ParameterRowsAndConversions) {
    DefaultTables f;
    f.prepare();
    auto& p = f.tables.parameter;
    p.setCell(1, data::param::h, "30");
    p.setCell(1, data::param::S, "45");
    p.setCell(1, data::param::b, "150");
    p.setCell(1, data::param::Ixx, "42");
    p.setCell(1, data::param::Cl_iw, "0.123");
    p.setCell(1, data::param::CD0, "0.07");
    f.setInput(row::CgVertical, "3.3");
    f.setInput(row::TailSetting, "-2");
    sim::LoadInputSet(f.tables.input, p, f.in);
    EXPECT_NEAR(f.in.h, 0.05, 1e-15);
    EXPECT_EQ(f.in.S, 45.0 / 10000);
    EXPECT_EQ(f.in.b, 0.15);
    EXPECT_EQ(f.in.Ixx, 42.0 / 10000000);
    EXPECT_EQ(f.in.Cl_iw, 0.123);
    EXPECT_EQ(f.in.CD0, 0.07);
    EXPECT_EQ(f.in.zcg, 0.033);
    EXPECT_NEAR(f.in.ih, -2 * kDeg, 1e-15);
    EXPECT_EQ(f.in.cbar, f.in.S / f.in.b);
    EXPECT_EQ(f.in.A, f.in.b / f.in.cbar);
    EXPECT_EQ(f.in.e, 0.8); // the estimate left 0.97 there
}

TEST(Load, ZeroSpanEndsTheLoadKeepingLaterFields) {
    DefaultTables f;
    f.prepare();
    const double cbar = f.in.cbar, A = f.in.A;
    f.in.e = 0.5;
    f.tables.parameter.setCell(1, data::param::b, "0");
    f.tables.parameter.setCell(1, data::param::Cl_iw, "9");
    sim::LoadInputSet(f.tables.input, f.tables.parameter, f.in);
    EXPECT_EQ(f.in.b, 0.0);
    EXPECT_EQ(f.in.Cl_iw, 9.0); // read before the failing division
    EXPECT_EQ(f.in.cbar, cbar);
    EXPECT_EQ(f.in.A, A);
    EXPECT_EQ(f.in.e, 0.5);
}

TEST(Load, UnreadableCellsReadAsZero) {
    DefaultTables f;
    f.setInput(row::Altitude, "abc");
    f.setInput(row::LaunchSpeed, "1e999");
    f.setInput(row::ClimbAngle, "nan");
    f.prepare();
    EXPECT_EQ(f.in.initial.z, 0.0);
    EXPECT_EQ(f.in.initial.u, 0.0);
    EXPECT_EQ(f.in.initial.theta, 0.0);
}
