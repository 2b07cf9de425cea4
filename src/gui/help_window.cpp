#include "gui/help_window.h"

#include <QUrl>

namespace skarvel::gui {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("ヘルプ"));
    setOpenExternalLinks(true);
    resize(640, 560);
}

void HelpWindow::showFile(const QString& path) {
    setSource(QUrl::fromLocalFile(path));
    show();
    raise();
    activateWindow();
}

} // namespace skarvel::gui
