#include "app/gui/dialogs.h"

#include "app/workspace.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

namespace skarvel::gui {

namespace {

QMessageBox::StandardButton Box(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(app::kAppTitle), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

Dialogs Dialogs::Standard() {
    Dialogs d;
    d.openFile = [](QWidget* parent, const QString& title, const QString& filters,
                    const QString& file) {
        return QFileDialog::getOpenFileName(parent, title, file, filters);
    };
    d.saveFile = [](QWidget* parent, const QString& title, const QString& filters,
                    const QString& file) {
        return QFileDialog::getSaveFileName(parent, title, file, filters);
    };
    d.askYesNo = [](QWidget* parent, const QString& text) {
        return Box(parent, QMessageBox::Information, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    d.warn = [](QWidget* parent, const QString& text) {
        Box(parent, QMessageBox::Warning, text, QMessageBox::Yes);
    };
    d.error = [](QWidget* parent, const QString& text) {
        QMessageBox::critical(parent, QString::fromUtf8(app::kAppTitle), text);
    };
    d.inform = [](QWidget* parent, const QString& text) {
        Box(parent, QMessageBox::Information, text, QMessageBox::Yes);
    };
    d.askText = [](QWidget* parent, const QString& caption, const QString& prompt,
                   const QString& defaultText) {
        bool ok = false;
        const QString text =
            QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, defaultText, &ok);
        return ok ? text : defaultText;
    };
    d.openDocument = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return d;
}

} // namespace skarvel::gui
