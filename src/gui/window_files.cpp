#include "gui/window_files.h"

#include "gui/qt_text.h"
#include "gui/window_settings.h"

#include <utility>

namespace skarvel::gui {

namespace {

const QString kInputFilters = QStringLiteral("KXSファイル(*.kxs);;すべてのファイル (*)");
const QString kDesignOpenFilters = QStringLiteral("kxファイル(*.kx);;すべてのファイル(*.*) (*)");
const QString kDesignSaveFilters = QStringLiteral("KXファイル(*.kx);;すべてのファイル (*)");
const QString kTextFilters = QStringLiteral("テキストファイル(*.txt);;すべてのファイル (*)");

} // namespace

WindowFiles::WindowFiles(app::Workspace& ws, Dialogs dialogs, QWidget& window,
                         std::function<void()> recentChanged)
    : ws_(ws), dialogs_(std::move(dialogs)), window_(window),
      recentChanged_(std::move(recentChanged)) {}

QString WindowFiles::askOpenFile(const QString& title, const QString& filters,
                                 const QString& start) {
    const QString file =
        dialogs_.openFile(&window_, title, filters, DialogStart(start, LastFolder()));
    RememberFolderOf(file);
    return file;
}

QString WindowFiles::askSaveFile(const QString& title, const QString& filters,
                                 const QString& start) {
    const QString file =
        dialogs_.saveFile(&window_, title, filters, DialogStart(start, LastFolder()));
    RememberFolderOf(file);
    return file;
}

void WindowFiles::remember(const QString& path) {
    if (!path.isEmpty()) {
        AddRecentFile(path);
        recentChanged_();
    }
}

void WindowFiles::openRecent(const QString& path) {
    if (ws_.busy()) {
        return;
    }
    switch (RecentFileKind(path)) {
    case RecentKind::Input:
        if (mayReplace_(app::Replacing::OpenInput)) {
            openInputPath(path);
        }
        break;
    case RecentKind::Design:
        if (mayReplace_(app::Replacing::OpenDesign)) {
            openDesignPath(path);
        }
        break;
    case RecentKind::None:
        break;
    }
}

bool WindowFiles::confirmUnsavable(const std::vector<std::string>& characters) {
    if (characters.empty()) {
        return true;
    }
    QString list;
    for (const std::string& c : characters) {
        list += ToQString(c);
    }
    return dialogs_.askYesNo(&window_,
                             QStringLiteral("次の文字は保存できないため「?」になります: ") + list +
                                 QStringLiteral(" 保存しますか?"));
}

void WindowFiles::openInput() {
    if (ws_.busy() || !mayReplace_(app::Replacing::OpenInput)) {
        return;
    }
    const QString file = askOpenFile(QStringLiteral("KXSファイルを開く"), kInputFilters,
                                     ToQString(ws_.dialogFiles().inputOpen));
    if (!file.isEmpty()) {
        openInputPath(file);
    }
}

void WindowFiles::openInputPath(const QString& file) {
    if (ws_.files().openInputFile(ToStdString(file))) {
        remember(file);
    }
}

bool WindowFiles::saveInput() {
    if (ws_.busy()) {
        return false;
    }
    const QString file = askSaveFile(QStringLiteral("KXSファイルに名前を付けて保存"), kInputFilters,
                                     ToQString(ws_.dialogFiles().inputSave));
    return !file.isEmpty() && writeInput(file);
}

bool WindowFiles::writeInput(const QString& file) {
    if (!confirmUnsavable(ws_.files().unsavableInputCharacters())) {
        return false;
    }
    const std::string written = ws_.files().saveInputFile(ToStdString(file));
    remember(ToQString(written));
    return !written.empty();
}

bool WindowFiles::saveInputToItsFile() {
    const std::string& file = ws_.files().state().inputFile;
    return file.empty() ? saveInput() : !ws_.busy() && writeInput(ToQString(file));
}

bool WindowFiles::saveDesignToItsFile() {
    const std::string& file = ws_.files().state().designFile;
    return file.empty() ? saveDesign() : !ws_.busy() && writeDesign(ToQString(file));
}

void WindowFiles::openDesign() {
    if (ws_.busy() || !mayReplace_(app::Replacing::OpenDesign)) {
        return;
    }
    const QString file = askOpenFile(QStringLiteral("KXファイルを開く"), kDesignOpenFilters,
                                     ToQString(ws_.dialogFiles().designOpen));
    if (!file.isEmpty()) {
        openDesignPath(file);
    }
}

void WindowFiles::openDesignPath(const QString& file) {
    const data::DesignReadResult result = ws_.files().openDesignFile(ToStdString(file));
    if (result.status != data::DesignReadStatus::NotADesignFile) {
        remember(file);
    }
    if (!result.message.empty()) {
        dialogs_.warn(&window_, ToQString(result.message));
    }
}

bool WindowFiles::saveDesign() {
    if (ws_.busy()) {
        return false;
    }
    const QString file = askSaveFile(QStringLiteral("KXファイルに名前を付けて保存"),
                                     kDesignSaveFilters, ToQString(ws_.dialogFiles().designSave));
    return !file.isEmpty() && writeDesign(file);
}

bool WindowFiles::writeDesign(const QString& file) {
    if (!confirmUnsavable(ws_.files().unsavableDesignCharacters(ToStdString(file)))) {
        return false;
    }
    const std::string written = ws_.files().saveDesignFile(ToStdString(file));
    remember(ToQString(written));
    return !written.empty();
}

void WindowFiles::exportFlightText() {
    if (ws_.busy()) {
        return;
    }
    const QString file =
        askSaveFile(QStringLiteral("計算データに名前を付けて保存"), kTextFilters, QString());
    if (!file.isEmpty()) {
        ws_.files().exportFlightText(ToStdString(file));
    }
}

} // namespace skarvel::gui
