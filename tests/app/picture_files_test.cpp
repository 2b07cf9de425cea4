// The names and formats the picture commands write.

#include "app/picture_files.h"

#include <gtest/gtest.h>

namespace {

using skarvel::app::ChartPictureFile;
using skarvel::app::PictureFormat;
using skarvel::app::TrajectoryPictureFile;

TEST(PictureFiles, ExtensionRules) {
    const struct {
        const char* chosen;
        const char* path;
        PictureFormat format;
    } charts[] = {{"plot.BMP", "plot.BMP", PictureFormat::Bmp},
                  {"plot.wmf", "plot.wmf", PictureFormat::Wmf},
                  {"plot.Emf", "plot.Emf", PictureFormat::Emf},
                  {"plot", "plot.emf", PictureFormat::Emf},
                  {"plot.png", "plot.emf", PictureFormat::Emf},
                  {"a.b/plot", "a.b/plot.emf", PictureFormat::Emf}};
    for (const auto& c : charts) {
        const auto file = ChartPictureFile(c.chosen);
        EXPECT_EQ(file.path, c.path) << c.chosen;
        EXPECT_EQ(file.format, c.format) << c.chosen;
    }
    EXPECT_EQ(TrajectoryPictureFile("flight.emf").path, "flight.bmp");
    EXPECT_EQ(TrajectoryPictureFile("flight").path, "flight.bmp");
    EXPECT_EQ(TrajectoryPictureFile("flight.BMP").path, "flight.bmp");
}

} // namespace
