// Skarvel: the window program.

#include "app/workspace.h"
#include "gui/application.h"
#include "gui/form_sim.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

const char* const kUsageText =
    "usage: skarvel [INPUT.kxs | FOLDER] [--design DESIGN.kx] [--no-ask]\n"
    "Opens the window and flies once with the input data of INPUT.kxs, else of\n"
    "Skarvel.kxs in the current folder (FOLDER, when given), else of skarvel.kxs\n"
    "beside the program, else with the defaults; --design first opens DESIGN.kx\n"
    "and converts it into input data, as the open command does. --no-ask (or\n"
    "SKARVEL_NO_ASK=1) leaves out the questions about unsaved changes and about\n"
    "restoring the work of a window that ended without closing, for scripts.\n"
    "       skarvel --help | -h   (this text)\n"
    "       skarvel --version\n";

// --help and --version answer on standard output before any window or
// display is needed. 0 when one of them was given, else -1.
int AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* text = nullptr;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            text = kUsageText;
        } else if (std::strcmp(argv[i], "--version") == 0) {
            text = "skarvel " SKARVEL_VERSION "\n";
        } else {
            continue;
        }
        const bool written = std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0;
        if (!written) {
            std::perror("skarvel: cannot write to standard output");
            return 2;
        }
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerWithoutWindow(argc, argv); status >= 0) {
        return status;
    }
    skarvel::gui::UseJapaneseSystemLocale();
    QApplication app(argc, argv);
    skarvel::gui::ConfigureApplication(app);
    QStringList args = QApplication::arguments();
    const QString program = QApplication::applicationFilePath();
    args.removeFirst();
    skarvel::gui::Dialogs dialogs = skarvel::gui::Dialogs::Standard();
    if (args.removeAll(QStringLiteral("--no-ask")) > 0 || qgetenv("SKARVEL_NO_ASK") == "1") {
        dialogs.leaveQuestionsOut();
    }
    skarvel::app::Workspace workspace(program.toStdString());
    skarvel::gui::TFormSim window(workspace, args, program, dialogs);
    window.show();
    return QApplication::exec();
}
