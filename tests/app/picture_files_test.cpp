// The names and media the picture commands write.

#include "app/picture_files.h"

#include <gtest/gtest.h>

namespace {

using skarvel::app::ChartPictureFile;
using skarvel::app::TrajectoryPictureFile;
using skarvel::picture::Medium;

TEST(PictureFiles, ChartsKeepTheirMediumOrBecomeEnhancedMetafiles) {
    const struct {
        const char* chosen;
        const char* path;
        Medium medium;
    } charts[] = {{"plot.BMP", "plot.BMP", Medium::Bmp},    {"plot.wmf", "plot.wmf", Medium::Wmf},
                  {"plot.Emf", "plot.Emf", Medium::Emf},    {"plot", "plot.emf", Medium::Emf},
                  {"plot.png", "plot.emf", Medium::Emf},    {"plot.svg", "plot.emf", Medium::Emf},
                  {"a.b/plot", "a.b/plot.emf", Medium::Emf}};
    for (const auto& c : charts) {
        const auto file = ChartPictureFile(c.chosen);
        EXPECT_EQ(file.path, c.path) << c.chosen;
        EXPECT_EQ(file.medium, c.medium) << c.chosen;
    }
}

TEST(PictureFiles, TrajectoriesAreBitmaps) {
    for (const char* chosen : {"flight.emf", "flight", "flight.BMP"}) {
        const auto file = TrajectoryPictureFile(chosen);
        EXPECT_EQ(file.path, "flight.bmp") << chosen;
        EXPECT_EQ(file.medium, Medium::Bmp) << chosen;
    }
}

} // namespace
