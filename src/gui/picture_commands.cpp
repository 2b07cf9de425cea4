#include "gui/picture_commands.h"

#include "app/picture_files.h"
#include "data/textfile.h"
#include "gui/chart.h"
#include "gui/chart_panel.h"
#include "gui/instrument_strip.h"
#include "gui/picture_export.h"
#include "gui/qt_text.h"
#include "gui/trajectory_view.h"
#include "gui/window_pages.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <utility>

namespace skarvel::gui {

PictureCommands::PictureCommands(QWidget& window, const WindowPages& pages, AskFile askSaveFile)
    : window_(window), pages_(pages), askSaveFile_(std::move(askSaveFile)) {}

void PictureCommands::copyWindow() {
    // The window is painted whole first; this platform has no Print Screen key
    // that would put the screen on the clipboard by itself.
    pages_.strip->setFocus();
    QCoreApplication::processEvents();
    QApplication::clipboard()->setImage(ScreenPicture(window_));
}

void PictureCommands::copyChart() {
    Chart* chart = pages_.charts->chart(pages_.charts->currentChart());
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("image/x-emf"), ChartPicture(*chart, picture::Medium::Emf));
    // For programs that read no metafiles, the same picture as a bitmap.
    mime->setImageData(chart->toPixmap(chart->width(), chart->height()).toImage());
    QApplication::clipboard()->setMimeData(mime);
}

void PictureCommands::saveChart() {
    const QString file = askSaveFile_(
        QStringLiteral("グラフイメージに名前を付けて保存"),
        QStringLiteral(
            "エンハンス メタファイル (*.emf);;メタファイル (*.wmf);;ビットマップ (*.bmp);;"
            "すべてのファイル (*.dib *.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"));
    if (file.isEmpty()) {
        return;
    }
    const app::PictureFile pictureFile = app::ChartPictureFile(ToStdString(file));
    const QByteArray bytes =
        ChartPicture(*pages_.charts->chart(pages_.charts->currentChart()), pictureFile.medium);
    data::WriteFileBytes(pictureFile.path, std::string_view(bytes.constData(), bytes.size()));
}

void PictureCommands::copyTrajectory() {
    QApplication::clipboard()->setImage(pages_.trajectory->picture());
}

void PictureCommands::saveTrajectory() {
    const QString file = askSaveFile_(
        QStringLiteral("軌跡イメージに名前を付けて保存"),
        QStringLiteral("ビットマップ (*.bmp);;"
                       "すべてのファイル (*.dib *.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"));
    if (file.isEmpty()) {
        return;
    }
    const app::PictureFile pictureFile = app::TrajectoryPictureFile(ToStdString(file));
    const QByteArray bytes = BitmapBytes(pages_.trajectory->picture());
    data::WriteFileBytes(pictureFile.path, std::string_view(bytes.constData(), bytes.size()));
}

} // namespace skarvel::gui
