// The main window's command handlers: the questions a command asks and the
// workspace command it gives.

#include "app/gui/form_sim.h"

#include "app/gui/help_window.h"

#include <QDir>
#include <QFileInfo>

namespace skarvel::gui {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

const QString kInputFilters = QStringLiteral("KXSファイル(*.kxs);;すべてのファイル (*)");
const QString kDesignOpenFilters = QStringLiteral("kxファイル(*.kx);;すべてのファイル(*.*) (*)");
const QString kDesignSaveFilters = QStringLiteral("KXファイル(*.kx);;すべてのファイル (*)");
const QString kTextFilters = QStringLiteral("テキストファイル(*.txt);;すべてのファイル (*)");

} // namespace

bool TFormSim::confirmUnsavable(const std::vector<std::string>& characters) {
    if (characters.empty()) {
        return true;
    }
    QString list;
    for (const std::string& c : characters) {
        list += Q(c);
    }
    return dialogs_.askYesNo(this, QStringLiteral("次の文字は保存できないため「?」になります: ") +
                                       list + QStringLiteral(" 保存しますか?"));
}

void TFormSim::openInputFile() {
    if (ws_.busy()) {
        return;
    }
    const QString file = dialogs_.openFile(this, QStringLiteral("KXSファイルを開く"), kInputFilters,
                                           Q(ws_.dialogFiles().inputOpen));
    if (!file.isEmpty()) {
        ws_.openInputFile(S(file));
    }
}

void TFormSim::saveInputFile() {
    if (ws_.busy()) {
        return;
    }
    const QString file = dialogs_.saveFile(this, QStringLiteral("KXSファイルに名前を付けて保存"),
                                           kInputFilters, Q(ws_.dialogFiles().inputSave));
    if (!file.isEmpty() && confirmUnsavable(ws_.unsavableInputCharacters())) {
        ws_.saveInputFile(S(file));
    }
}

void TFormSim::openDesignFile() {
    if (ws_.busy()) {
        return;
    }
    const QString file = dialogs_.openFile(this, QStringLiteral("KXファイルを開く"),
                                           kDesignOpenFilters, Q(ws_.dialogFiles().designOpen));
    if (file.isEmpty()) {
        return;
    }
    const data::DesignReadResult result = ws_.openDesignFile(S(file));
    if (!result.message.empty()) {
        dialogs_.warn(this, Q(result.message));
    }
}

void TFormSim::saveDesignFile() {
    if (ws_.busy()) {
        return;
    }
    const QString file = dialogs_.saveFile(this, QStringLiteral("KXファイルに名前を付けて保存"),
                                           kDesignSaveFilters, Q(ws_.dialogFiles().designSave));
    if (!file.isEmpty() && confirmUnsavable(ws_.unsavableDesignCharacters(S(file)))) {
        ws_.saveDesignFile(S(file));
    }
}

void TFormSim::convertToInput() {
    ws_.convertToInput();
}

void TFormSim::exitProgram() {
    close();
}

void TFormSim::exportFlightText() {
    if (ws_.busy()) {
        return;
    }
    const QString file = dialogs_.saveFile(this, QStringLiteral("計算データに名前を付けて保存"),
                                           kTextFilters, QString());
    if (!file.isEmpty()) {
        ws_.exportFlightText(S(file));
    }
}

void TFormSim::clearHistory() {
    ws_.clearHistory();
}

void TFormSim::resetTables() {
    if (ws_.busy()) {
        return;
    }
    if (dialogs_.askYesNo(
            this, QStringLiteral("すべてのテーブルを、プログラムの初期値にリセットします\n"))) {
        ws_.resetTables();
    }
}

void TFormSim::runFromInput() {
    ws_.runFromInput();
}

void TFormSim::runFromParameters() {
    ws_.runFromParameters();
}

void TFormSim::stop() {
    ws_.requestStop();
}

QString TFormSim::helpFile() const {
    QFileInfo program(programPath_);
    const QString hlp = program.dir().filePath(program.completeBaseName() + QStringLiteral(".HLP"));
    if (QFileInfo(hlp).isFile()) {
        return hlp;
    }
    return program.dir().filePath(QStringLiteral("skarvel-help.html"));
}

void TFormSim::showHelp() {
    const QString file = helpFile();
    const QString guide =
        QFileInfo(programPath_).dir().filePath(QStringLiteral("skarvel-help.html"));
    // A help file beside the program goes to the system's viewer; the
    // program's own guide opens in a window of the program, as does the
    // guide when no viewer takes the help file.
    if (file != guide && QFileInfo(file).isFile() && dialogs_.openDocument(file)) {
        return;
    }
    if (!QFileInfo(guide).isFile()) {
        dialogs_.error(this, QStringLiteral("ヘルプファイルが見つかりません: ") + guide);
        return;
    }
    if (helpWindow_ == nullptr) {
        helpWindow_ = new HelpWindow(this);
    }
    helpWindow_->showFile(guide);
}

void TFormSim::showAbout() {
    dialogs_.inform(this, QString::fromUtf8(app::kAppTitle) + QStringLiteral(" - Ver 0.4\n") +
                              QStringLiteral("紙飛行機シミュレータ"));
}

} // namespace skarvel::gui
