// Pictures of the charts and the trajectory: the files and clipboard copies
// the picture commands make, and how independent renderers read the charts.

#include "app/workspace.h"
#include "common/temp_dir.h"
#include "data/textfile.h"
#include "gui/chart.h"
#include "gui/chart_panel.h"
#include "gui/form_sim.h"
#include "gui/picture_export.h"
#include "gui/trajectory_view.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using skarvel::gui::Command;
using skarvel::test::TempDir;

// Pixels clearly darker than the white background.
int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return dark;
}

bool Shell(const std::string& command) {
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

struct Exports : ::testing::Test {
    TempDir dir;
    QString nextFile;
    skarvel::app::Workspace ws{dir.file("skarvel")};
    std::unique_ptr<skarvel::gui::TFormSim> form;

    void SetUp() override {
        skarvel::gui::Dialogs d = skarvel::gui::Dialogs::Standard();
        d.saveFile = [this](QWidget*, const QString&, const QString&, const QString&) {
            return nextFile;
        };
        d.error = [](QWidget*, const QString& text) { ADD_FAILURE() << text.toStdString(); };
        form = std::make_unique<skarvel::gui::TFormSim>(
            ws, QStringList{}, QString::fromStdString(dir.file("skarvel")), d);
        form->resize(800, 600);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->findChild<QTabWidget*>("RightTabs")->setCurrentIndex(2);
        QTest::qWait(20);
    }
    void save(Command c, const std::string& name) {
        nextFile = QString::fromStdString(dir.file(name));
        form->action(c)->trigger();
    }
};

TEST_F(Exports, FilesAndNames) {
    save(Command::SaveChart, "plot.png");
    EXPECT_TRUE(fs::exists(dir.file("plot.emf")));
    EXPECT_FALSE(fs::exists(dir.file("plot.png")));
    save(Command::SaveChart, "plot.BMP");
    EXPECT_EQ(skarvel::data::ReadFileBytes(dir.file("plot.BMP")).substr(0, 2), "BM");
    save(Command::SaveChart, "plot.wmf");
    EXPECT_EQ(skarvel::data::ReadFileBytes(dir.file("plot.wmf")).substr(0, 4), "\xD7\xCD\xC6\x9A");
    save(Command::Save3D, "flight.emf");
    EXPECT_EQ(skarvel::data::ReadFileBytes(dir.file("flight.bmp")).substr(0, 2), "BM");
    EXPECT_FALSE(fs::exists(dir.file("flight.emf")));
}

TEST_F(Exports, Clipboard) {
    QApplication::clipboard()->clear();
    form->action(Command::CopyChart)->trigger();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->data(QStringLiteral("image/x-emf")).mid(40, 4), QByteArray(" EMF"));
    EXPECT_TRUE(mime->hasImage());
    form->action(Command::Copy3D)->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().size(),
              form->findChild<skarvel::gui::TrajectoryView*>("TrajectoryView")->picture().size());
    QApplication::clipboard()->clear();
    form->action(Command::CopyWindow)->trigger();
    EXPECT_FALSE(QApplication::clipboard()->image().isNull());
}

// The metafiles as other programs see them: the chart's lines, legend and
// Japanese axis title come out, with about as much ink as the bitmap.
TEST_F(Exports, IndependentRenderersReadTheCharts) {
    auto* chart =
        form->findChild<skarvel::gui::ChartPanel*>("ChartPanel")
            ->chart(form->findChild<skarvel::gui::ChartPanel*>("ChartPanel")->currentChart());
    const int bitmapInk = DarkPixels(chart->toPixmap(chart->width(), chart->height()).toImage());
    ASSERT_GT(bitmapInk, 500);

    save(Command::SaveChart, "chart.emf");
    if (fs::exists("/usr/bin/emf2svg-conv") && fs::exists("/usr/bin/rsvg-convert")) {
        const std::string svg = dir.file("chart.svg");
        ASSERT_TRUE(Shell("emf2svg-conv -i '" + dir.file("chart.emf") + "' -o '" + svg + "'"));
        const std::string text = skarvel::data::ReadFileBytes(svg);
        // (Qt splits a text into runs by script: "時間(" and "s)".)
        EXPECT_NE(text.find("時間("), std::string::npos);
        EXPECT_NE(text.find("高度("), std::string::npos);
        ASSERT_TRUE(Shell("rsvg-convert -b white -o '" + dir.file("emf.png") + "' '" + svg + "'"));
        const int ink = DarkPixels(QImage(QString::fromStdString(dir.file("emf.png"))));
        EXPECT_GT(ink, bitmapInk / 3);
        EXPECT_LT(ink, bitmapInk * 3);
    }
    save(Command::SaveChart, "chart.wmf");
    if (fs::exists("/usr/bin/wmf2svg") && fs::exists("/usr/bin/rsvg-convert")) {
        // wmf2svg copies the Shift-JIS text bytes as they are and leaves the
        // fill of polylines to the SVG default (black): both are put right
        // before the picture is drawn.
        const std::string svg = dir.file("wmf.svg");
        ASSERT_TRUE(Shell("wmf2svg -o '" + dir.file("raw.svg") + "' '" + dir.file("chart.wmf") +
                          "' && iconv -f CP932 -t UTF-8 '" + dir.file("raw.svg") +
                          "' | sed 's/<polyline /<polyline fill=\"none\" /' > '" + svg + "'"));
        const std::string text = skarvel::data::ReadFileBytes(svg);
        EXPECT_NE(text.find("時間("), std::string::npos);
        EXPECT_NE(text.find("高度("), std::string::npos);
        ASSERT_TRUE(Shell("rsvg-convert -b white -o '" + dir.file("wmf.png") + "' '" + svg + "'"));
        const int ink = DarkPixels(QImage(QString::fromStdString(dir.file("wmf.png"))));
        EXPECT_GT(ink, bitmapInk / 3);
        EXPECT_LT(ink, bitmapInk * 3);
    }
}

} // namespace
