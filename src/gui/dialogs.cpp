#include "gui/dialogs.h"

#include "app/workspace.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

namespace skarvel::gui {

namespace {

// What a title bar takes besides the title: the icon and the buttons.
constexpr int kTitleBarRoom = 160;

QMessageBox::StandardButton Box(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(app::kAppTitle), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// Qt's own file dialog names a folder's type in English even under its
// Japanese translation.
class JapaneseFileTypes : public QFileIconProvider {
  public:
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) {
            return QStringLiteral("フォルダ");
        }
        return QFileIconProvider::type(info);
    }
};

QString AskFile(QWidget* parent, const QString& title, const QString& filters, const QString& file,
                QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, file, filters);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    FitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

} // namespace

void FitFileDialog(QFileDialog& dialog) {
    static JapaneseFileTypes types;
    dialog.setIconProvider(&types);
    // The size, type and date columns as wide as what they show.
    for (QTreeView* details : dialog.findChildren<QTreeView*>()) {
        QHeaderView* header = details->header();
        for (int column = 1; column < header->count(); ++column) {
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
    }
}

Dialogs Dialogs::Standard() {
    Dialogs d;
    d.openFile = [](QWidget* parent, const QString& title, const QString& filters,
                    const QString& file) {
        return AskFile(parent, title, filters, file, QFileDialog::AcceptOpen);
    };
    d.saveFile = [](QWidget* parent, const QString& title, const QString& filters,
                    const QString& file) {
        return AskFile(parent, title, filters, file, QFileDialog::AcceptSave);
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
        QInputDialog dialog(parent);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(prompt);
        dialog.setTextValue(defaultText);
        // Wide enough for the whole title beside the title bar's buttons; the
        // dialog's layout takes its width from the text field.
        dialog.setStyleSheet(
            QStringLiteral("QLineEdit { min-width: %1px; }")
                .arg(dialog.fontMetrics().horizontalAdvance(caption) + kTitleBarRoom));
        return dialog.exec() == QDialog::Accepted ? dialog.textValue() : defaultText;
    };
    d.chooseItem = [](QWidget* parent, const QString& caption, const QString& prompt,
                      const QStringList& items, int current) {
        bool ok = false;
        const QString item =
            QInputDialog::getItem(parent, caption, prompt, items, current, false, &ok);
        return ok ? item : QString();
    };
    d.openDocument = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    d.askSave = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Warning, QString::fromUtf8(app::kAppTitle), text,
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
        box.setDefaultButton(QMessageBox::Save);
        box.button(QMessageBox::Save)->setText(QStringLiteral("保存"));
        box.button(QMessageBox::Discard)->setText(QStringLiteral("保存しない"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
        box.exec();
        if (box.clickedButton() == box.button(QMessageBox::Save)) {
            return SaveAnswer::Save;
        }
        return box.clickedButton() == box.button(QMessageBox::Discard) ? SaveAnswer::Discard
                                                                       : SaveAnswer::Cancel;
    };
    d.askRestore = [](QWidget* parent, const QString& text) {
        // A window of its own, beside the main window rather than over it.
        QMessageBox box(QMessageBox::Question, QString::fromUtf8(app::kAppTitle), text,
                        QMessageBox::NoButton, nullptr);
        box.setObjectName(QStringLiteral("RestoreDialog"));
        QPushButton* restore = box.addButton(QStringLiteral("復元"), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(QStringLiteral("破棄"), QMessageBox::DestructiveRole);
        box.addButton(QStringLiteral("後で"), QMessageBox::RejectRole);
        box.setDefaultButton(restore);
        if (parent != nullptr) {
            box.move(parent->geometry().center() - box.rect().center());
        }
        box.exec();
        if (box.clickedButton() == restore) {
            return RestoreAnswer::Restore;
        }
        return box.clickedButton() == discard ? RestoreAnswer::Discard : RestoreAnswer::Later;
    };
    return d;
}

void Dialogs::leaveQuestionsOut() {
    askSave = [](QWidget*, const QString&) { return SaveAnswer::Discard; };
    askRestore = [](QWidget*, const QString&) { return RestoreAnswer::Later; };
}

} // namespace skarvel::gui
