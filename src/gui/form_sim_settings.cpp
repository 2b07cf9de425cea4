// What the main window keeps between sessions: its layout, the folder of its
// file dialogs and the recent files of the file menu.

#include "gui/form_sim.h"

#include "gui/command_bar.h"
#include "gui/window_pages.h"
#include "gui/window_settings.h"

#include <QSettings>

namespace skarvel::gui {

void TFormSim::restoreLayout() {
    const QSettings settings;
    const QRect rect = settings.value(settings_key::kGeometry).toRect();
    if (UsableGeometry(rect)) {
        setGeometry(rect);
    }
    pages_->restore();
    if (settings.value(settings_key::kMaximized).toBool()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void TFormSim::saveLayout() const {
    QSettings settings;
    settings.setValue(settings_key::kGeometry, isMaximized() ? normalGeometry() : geometry());
    settings.setValue(settings_key::kMaximized, isMaximized());
    pages_->save();
}

} // namespace skarvel::gui
