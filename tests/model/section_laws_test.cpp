#include "model/section_laws.h"

#include "common/golden.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

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

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// camber, e1, t, e2, c
const Section kSections[] = {
    {1.0369852941176469, 0.12352941176470587, 0.6765882352941176, 0.12352941176470587,
     26.666666666666664},                                       // the default wing
    {0.50082377722161264, 0.1, 0.291, 0.1, 19.068583470577035}, // its tail
    {0, 2, 2, 2, 151},                                          // its fuselage
    {0.8, 0.05, 0.3, 0.15, 20},                                 // edges that differ
    {0.5, 0, 0.2, 0, 15},                                       // no edges
    {-1.2, 0.1, 0.3, 0.1, 18},                                  // negative camber
    {0, 5, 20, 5, 10},                                          // so thick the limits turn over
    {1, 0.1, 0.3, 0.1, 0},                                      // no chord
    {0.5, -0.1, 0.3, 0.2, 20},                                  // a negative edge
    {kNaN, 0.1, 0.3, 0.1, 20},                                  // camber not a number
    {0, 0.1, 0.1, 0.1, 20},                                     // a flat sheet
    {-0.0, 0.1, 0.2, 0.1, 25},                                  // camber -0
    {0.3, 1e-4, 1e-3, 1e-4, 1e-3},                              // a tiny chord
    {0.3, 0.1, 0.3, 0.1, 1e300},                                // a huge chord
};
// 0, below 0, subnormal, so small that the Reynolds term is below 0, flying
// speeds, and overflow.
const double kSpeeds[] = {0,   -3,     1e-320, 1e-14,   1e-12, 1e-6,
                          0.3, 5.5506, 41.67,  9.9e295, kInf,  kNaN};
const double kLifts[] = {0, -0.0, 0.05, 0.3, 0.68, 1.1, 2.5, -0.2, -0.9, -3, kNaN, kInf};
constexpr std::size_t kLiftCount = std::size(kLifts);

std::uint64_t Bits(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

} // namespace

// Every section, speed and lift of the grid, one call each and then four
// sections side by side (the second given twice, at two lifts, as a V tail's
// halves are), against the drags the law gave before it was batched: bit for
// bit, 0 wherever the arithmetic fails. The golden file holds, per section,
// a digest of its drags over the speeds and lifts in order.
TEST(SectionLaws, ProfileDragsGolden) {
    std::vector<SectionLaws> laws;
    for (const Section& s : kSections) {
        laws.emplace_back(s);
    }
    const std::size_t n = laws.size();
    std::vector<SectionLaws::Memo> memos(n); // each section's, kept between calls
    std::string text;
    std::vector<double> single; // [section][speed][lift]
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t from = single.size();
        for (double V : kSpeeds) {
            for (double CL : kLifts) {
                single.push_back(ProfileDrag(CL, V, kSections[k]));
            }
        }
        const std::uint64_t digest =
            skarvel::test::Digest(&single[from], (single.size() - from) * sizeof(double));
        text += std::to_string(k) + " " + std::to_string(digest) + "\n";
    }
    ASSERT_EQ(text, skarvel::test::Golden(__FILE__, "profile_drag.golden", text));

    auto at = [&](std::size_t k, std::size_t v, std::size_t j) {
        return single[(k * std::size(kSpeeds) + v) * kLiftCount + j];
    };
    for (std::size_t v = 0; v < std::size(kSpeeds); ++v) {
        for (std::size_t k = 0; k < n; ++k) {
            for (std::size_t j = 0; j < kLiftCount; ++j) {
                const std::size_t sec[] = {k, (k + 1) % n, (k + 1) % n, (k + 2) % n};
                const std::size_t lift[] = {j, (j + 1) % kLiftCount, (j + 2) % kLiftCount,
                                            (j + 3) % kLiftCount};
                const SectionLaws* lanes[4];
                SectionLaws::Memo* laneMemos[4];
                double CL[4];
                for (int i = 0; i < 4; ++i) {
                    lanes[i] = &laws[sec[i]];
                    laneMemos[i] = &memos[sec[i]];
                    CL[i] = kLifts[lift[i]];
                }
                double drag[4];
                SectionLaws::profileDrags(lanes, laneMemos, CL, kSpeeds[v], drag, 4);
                for (int i = 0; i < 4; ++i) {
                    ASSERT_EQ(Bits(drag[i]), Bits(at(sec[i], v, lift[i])))
                        << "section " << sec[i] << " speed " << kSpeeds[v] << " lift " << CL[i]
                        << " lane " << i;
                }
            }
        }
    }
}
