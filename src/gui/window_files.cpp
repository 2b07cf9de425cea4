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
        openInputPath(path);
        break;
    case RecentKind::Design:
        openDesignPath(path);
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
    if (ws_.busy()) {
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

void WindowFiles::saveInput() {
    if (ws_.busy()) {
        return;
    }
    const QString file = askSaveFile(QStringLiteral("KXSファイルに名前を付けて保存"), kInputFilters,
                                     ToQString(ws_.dialogFiles().inputSave));
    if (!file.isEmpty() && confirmUnsavable(ws_.files().unsavableInputCharacters())) {
        remember(ToQString(ws_.files().saveInputFile(ToStdString(file))));
    }
}

void WindowFiles::openDesign() {
    if (ws_.busy()) {
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

void WindowFiles::saveDesign() {
    if (ws_.busy()) {
        return;
    }
    const QString file = askSaveFile(QStringLiteral("KXファイルに名前を付けて保存"),
                                     kDesignSaveFilters, ToQString(ws_.dialogFiles().designSave));
    if (!file.isEmpty() &&
        confirmUnsavable(ws_.files().unsavableDesignCharacters(ToStdString(file)))) {
        remember(ToQString(ws_.files().saveDesignFile(ToStdString(file))));
    }
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
