// Skarvel: the window program.

#include "app/gui/application.h"
#include "app/gui/form_sim.h"
#include "app/workspace.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    skarvel::gui::ConfigureApplication(app);
    QStringList args = QApplication::arguments();
    const QString program = QApplication::applicationFilePath();
    args.removeFirst();
    skarvel::app::Workspace workspace(program.toStdString());
    skarvel::gui::TFormSim window(workspace, args, program);
    window.show();
    return QApplication::exec();
}
