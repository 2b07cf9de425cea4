// A design turned into input data: the figures the input-data table gets.

#include "model_fixture.h"

#include <gtest/gtest.h>

using namespace skarvel;
using test::CleanText;
using test::DesignTables;
namespace dz = data::design;
namespace in = data::input;

TEST(DesignConversion, DefaultDesignGivesTheKnownInputData) {
    DesignTables f;
    f.convert();
    const std::pair<int, const char*> expected[] = {
        {in::WingArea, "44.78"},    {in::WingSpan, "167.9"},     {in::TaperRatio, "0.4358"},
        {in::Dihedral, "9.062"},    {in::Sweep, "13.94"},        {in::SpanEfficiency, "0.9717"},
        {in::TailArm, "133.9"},     {in::HTailVolume, "1.157"},  {in::VTailVolume, "0.07095"},
        {in::HTailAspect, "2.919"}, {in::VTailAspect, "0.7587"}, {in::Mass, "4.542"},
        {in::RollInertia, "42.07"}, {in::PitchInertia, "106.5"}, {in::StaticMargin, "5.973"},
        {in::CgVertical, "3.344"},  {in::CgLateral, "0"},        {in::MinDrag, "0"}};
    for (const auto& [row, text] : expected) {
        EXPECT_EQ(f.input(row), text) << f.tables.input.cell(0, row);
    }
    EXPECT_NEAR(f.model.aircraft().ballastMass, 1.080, 0.0005);
    // The launch rows are not the design's business.
    EXPECT_EQ(f.input(in::LaunchSpeed), "150");
    // Whole-aircraft column and the glide speed.
    EXPECT_EQ(f.computed(5, 1), "4.542");
    EXPECT_EQ(f.computed(5, 22), "5.973");
    EXPECT_EQ(f.computed(5, 24), "5.000");
    // A V tail's fin column still shows its heights, but no mass.
    EXPECT_EQ(f.computed(3, 1), "0.000");
    EXPECT_NE(f.computed(3, 15), "0.000");
}

TEST(DesignConversion, GlideSpeedBelowOneIsOne) {
    DesignTables f;
    f.set(dz::Fuselage, dz::GlideSpeed, "0.5");
    f.compute();
    EXPECT_EQ(f.computed(5, 24), "1.000");
    EXPECT_EQ(f.model.design().glideSpeed, 1.0);
}

TEST(DesignConversion, BrokenDesignsKeepTheTablesFinite) {
    for (auto [column, row, text] :
         {std::tuple{dz::MainWing, dz::Span, "0"}, std::tuple{dz::MainWing, dz::RootChord, "0"},
          std::tuple{dz::HorizontalTail, dz::Span, "0"}, std::tuple{dz::Fuselage, dz::Span, "0"},
          std::tuple{dz::MainWing, dz::TipChord, "-50"},
          std::tuple{dz::Fuselage, dz::RootChord, "x"}, std::tuple{dz::MainWing, dz::Span, "1e999"},
          std::tuple{dz::MainWing, dz::Span, "1e300"}}) {
        DesignTables f;
        f.compute();
        const data::Table before = f.tables.computed;
        f.set(column, row, text);
        const bool ok = f.compute();
        model::TransferDesignToInput(f.tables, f.model);
        for (int r = 1; r < data::computed::kRows; ++r) {
            for (int c = 1; c <= 5; ++c) {
                EXPECT_TRUE(CleanText(f.computed(c, r))) << text << " " << c << "," << r;
                if (!ok) {
                    EXPECT_EQ(f.computed(c, r), before.cell(c, r));
                }
            }
        }
        for (int r = 1; r < data::input::kRows; ++r) {
            EXPECT_TRUE(CleanText(f.input(r))) << text << " row " << r;
        }
    }
}
