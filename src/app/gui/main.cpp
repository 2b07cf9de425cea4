// Skarvel: the window program.

#include "app/gui/form_sim.h"
#include "app/workspace.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(skarvel::app::kAppTitle));
    QApplication::setApplicationDisplayName(QString::fromUtf8(skarvel::app::kAppTitle));
    QApplication::setFont(skarvel::gui::InterfaceFont());
    QStringList args = QApplication::arguments();
    const QString program = QApplication::applicationFilePath();
    args.removeFirst();
    skarvel::gui::TFormSim window(args, program);
    window.show();
    return QApplication::exec();
}
