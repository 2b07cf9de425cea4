#include "model/section_laws.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace skarvel::model;

namespace {
const Section kPaper{3.0, 0.1, 0.3, 0.1, 25.0};
}

TEST(SectionLaws, ReynoldsAndLimits) {
    EXPECT_DOUBLE_EQ(ReynoldsNumber(5, 30), 10000.0);
    // At Re = 10 000 the Reynolds factor is 1: only camber and thickness count.
    const double tau = (0.1 + 0.3 + 0.1) / 3 / 25 - 0.01;
    EXPECT_NEAR(MaxLiftCoefficient(10000, kPaper), 0.8 * (1 + 0.27 - 3 * tau), 1e-12);
    EXPECT_NEAR(MinLiftCoefficient(10000, kPaper), -0.8 * (1 - 0.21 - 3 * tau), 1e-12);
    EXPECT_NEAR(MinDragLiftCoefficient(10000, kPaper), (1 - 20 * tau) * std::sqrt(3.0) * 0.3,
                1e-12);
    Section negative = kPaper;
    negative.camber = -3;
    EXPECT_LT(MinDragLiftCoefficient(10000, negative), 0.0);
    EXPECT_GT(MaxLiftCoefficient(100000, kPaper), MaxLiftCoefficient(10000, kPaper));
}

TEST(SectionLaws, ProfileDragAcrossTheLiftRange) {
    const double V = 5;
    const double re = ReynoldsNumber(V, kPaper.c);
    const double cf = 1.328 / std::sqrt(re) + 4.12 / re;
    const double clmd = MinDragLiftCoefficient(re, kPaper);
    const double clmax = MaxLiftCoefficient(re, kPaper);
    const double clmin = MinLiftCoefficient(re, kPaper);
    const double d0 = ProfileDrag(clmd, V, kPaper);
    EXPECT_NEAR(ProfileDrag(clmax - 1e-9, V, kPaper), 12 * cf, 1e-4);
    EXPECT_EQ(ProfileDrag(clmax, V, kPaper), 0.2);
    EXPECT_EQ(ProfileDrag(clmin, V, kPaper), 0.2);
    EXPECT_GT(ProfileDrag(clmd + 0.3, V, kPaper), d0);
    EXPECT_GT(ProfileDrag(clmd - 0.3, V, kPaper), d0);

    // Edges: a factor 0.11 (Cf c / e)^(-1/3) on e / c; no edges, no edge drag.
    Section bare{0, 0, 0, 0, 25};
    EXPECT_NEAR(ProfileDrag(MinDragLiftCoefficient(re, bare), V, bare), 2 * cf, 1e-15);
    Section edged{0, 0.1, 0.1, 0.1, 25};
    const double factor = 0.11 * std::pow(cf * 25 / 0.1, -1.0 / 3);
    EXPECT_NEAR(ProfileDrag(MinDragLiftCoefficient(re, edged), V, edged),
                2 * cf + 2 * (0.1 / 25) * factor, 1e-15);
    // Cambered sections pay the cube of their camber, with its sign.
    Section cambered = bare;
    cambered.camber = -4;
    EXPECT_NEAR(ProfileDrag(MinDragLiftCoefficient(re, cambered), V, cambered),
                2 * cf + 55 * std::pow(-0.04, 3), 1e-15);
    // Failures read as no drag at all.
    EXPECT_EQ(ProfileDrag(0, 0, kPaper), 0.0);
    EXPECT_EQ(ProfileDrag(0, V, Section{0, 0, 0, 0, 0}), 0.0);
}

TEST(SectionLaws, StallIncrementBeyondTheBreak) {
    const double re = 20000;
    const double b = 0.56 * MaxLiftCoefficient(re, kPaper);
    EXPECT_EQ(StallPitchIncrement(b * 0.99, re, kPaper), 0.0);
    EXPECT_NEAR(StallPitchIncrement(b + 0.1, re, kPaper), -(0.05 * 3 + 0.27) * 0.1, 1e-12);
    EXPECT_NEAR(StallPitchIncrement(-b - 0.1, re, kPaper), (0.05 * 3 + 0.27) * 0.1, 1e-12);
}
