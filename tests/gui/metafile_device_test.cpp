// Charts and painters drawn into a metafile, read back record by record.

#include "gui/metafile_device.h"

#include "gui/chart.h"
#include "gui/picture_export.h"
#include "picture/emf_writer.h"

#include <QFont>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using skarvel::view::Rect;

std::int32_t I32(const QByteArray& f, qsizetype at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) {
        v = v << 8 | static_cast<unsigned char>(f[at + k]);
    }
    return static_cast<std::int32_t>(v);
}

struct TextRun {
    int x, y;    // reference point
    int angle;   // of its font, tenths of a degree
    int advance; // all its characters' advances
};

// The text records with their font's angle, and every clip in force after a
// clip record (right and bottom outside).
struct Played {
    std::vector<TextRun> runs;
    std::vector<Rect> clips;
};

Played Play(const QByteArray& emf) {
    Played played;
    std::vector<int> angles(64, 0); // by handle
    int angle = 0;
    const Rect everything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    Rect clip = everything;
    for (qsizetype at = 0; at + 8 <= emf.size();) {
        const std::int32_t type = I32(emf, at), size = I32(emf, at + 4);
        if (type == 82) { // a font: handle, height, width, escapement
            angles.at(static_cast<std::size_t>(I32(emf, at + 8))) = I32(emf, at + 20);
        } else if (type == 37 && I32(emf, at + 8) >= 0) { // selecting an object of ours
            angle = angles.at(static_cast<std::size_t>(I32(emf, at + 8)));
        } else if (type == 84) {
            const int count = I32(emf, at + 44), dx = I32(emf, at + 72);
            int advance = 0;
            for (int k = 0; k < count; ++k) {
                advance += I32(emf, at + dx + 4 * k);
            }
            played.runs.push_back({I32(emf, at + 36), I32(emf, at + 40), angle, advance});
        } else if (type == 75) {
            clip = everything;
        } else if (type == 30) {
            clip = {std::max(clip.left, I32(emf, at + 8)), std::max(clip.top, I32(emf, at + 12)),
                    std::min(clip.right, I32(emf, at + 16)),
                    std::min(clip.bottom, I32(emf, at + 20))};
            played.clips.push_back(clip);
        }
        at += size;
    }
    return played;
}

// Qt splits a title into runs by script ("高度(" and "m)"); each run's
// advances reach where Qt starts the next, flat and turned upwards, and the
// turned one starts where Qt puts it.
TEST(MetafileDevice, TextRunsMeetWhereQtPutsThem) {
    skarvel::picture::EmfWriter writer(200, 200);
    {
        skarvel::gui::MetafileDevice device(writer, QSize(200, 200));
        QPainter painter(&device);
        QFont font(skarvel::gui::Chart(QStringLiteral("値"), {}).fontFamily());
        font.setPixelSize(12);
        painter.setFont(font);
        painter.drawText(QPointF(20, 30), QStringLiteral("高度(m) ピッチ角"));
        painter.translate(16, 175);
        painter.rotate(-90);
        painter.drawText(QPointF(0, 0), QStringLiteral("高度(m) ピッチ角"));
    }
    const QByteArray emf = QByteArray::fromStdString(writer.finish());
    const std::vector<TextRun> runs = Play(emf).runs;
    ASSERT_GE(runs.size(), 4u);
    int turned = 0;
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
        const TextRun &a = runs[i], &b = runs[i + 1];
        if (a.angle != b.angle) {
            continue;
        }
        if (a.angle == 0) {
            EXPECT_EQ(a.y, b.y);
            EXPECT_LE(std::abs(a.x + a.advance - b.x), 1) << "run " << i;
        } else {
            EXPECT_EQ(a.angle, 900);
            EXPECT_EQ(a.x, b.x);
            EXPECT_LE(std::abs(a.y - a.advance - b.y), 1) << "run " << i;
            ++turned;
        }
    }
    EXPECT_GE(turned, 1);
    const auto first = std::find_if(runs.begin(), runs.end(), [](auto& r) { return r.angle; });
    ASSERT_NE(first, runs.end());
    EXPECT_EQ(first->x, 16);
    EXPECT_EQ(first->y, 175);
}

// A chart clips its parts, and the whole chart to itself: that one keeps
// every row of the picture.
TEST(MetafileDevice, WholeChartClipIsThePicture) {
    skarvel::gui::Chart chart(QStringLiteral("高度(m)"), {{QStringLiteral("a"), Qt::black}});
    chart.resize(300, 200);
    const QByteArray emf = skarvel::gui::ChartPicture(chart, skarvel::picture::Medium::Emf);
    for (const Rect& clip : Play(emf).clips) {
        if (clip.left <= 0 && clip.right >= 300) {
            EXPECT_EQ(clip.top, 0);
            EXPECT_EQ(clip.bottom, 200);
        }
    }
}

} // namespace
