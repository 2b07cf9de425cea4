// What the main window keeps between sessions: its layout, the folder of its
// file dialogs and the recent files of the file menu.

#include "gui/form_sim.h"

#include "gui/window_settings.h"

#include <QAction>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>

#include <utility>

namespace skarvel::gui {

void TFormSim::restoreLayout() {
    const QSettings settings;
    const QRect rect = settings.value(settings_key::kGeometry).toRect();
    if (UsableGeometry(rect)) {
        setGeometry(rect);
    }
    for (const auto& [splitter, key] :
         {std::pair{mainSplitter_, settings_key::kMainSplitter},
          std::pair{topSplitter_, settings_key::kTopSplitter},
          std::pair{bottomSplitter_, settings_key::kBottomSplitter}}) {
        // A state that is not a splitter's is refused and changes nothing.
        const QByteArray state = settings.value(key).toByteArray();
        if (!state.isEmpty()) {
            splitter->restoreState(state);
        }
    }
    leftTabs_->setCurrentIndex(
        StoredPage(settings_key::kLeftPage, leftTabs_->count(), leftTabs_->currentIndex()));
    rightTabs_->setCurrentIndex(
        StoredPage(settings_key::kRightPage, rightTabs_->count(), rightTabs_->currentIndex()));
    if (settings.value(settings_key::kMaximized).toBool()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void TFormSim::saveLayout() const {
    QSettings settings;
    settings.setValue(settings_key::kGeometry, isMaximized() ? normalGeometry() : geometry());
    settings.setValue(settings_key::kMaximized, isMaximized());
    settings.setValue(settings_key::kMainSplitter, mainSplitter_->saveState());
    settings.setValue(settings_key::kTopSplitter, topSplitter_->saveState());
    settings.setValue(settings_key::kBottomSplitter, bottomSplitter_->saveState());
    settings.setValue(settings_key::kLeftPage, leftTabs_->currentIndex());
    settings.setValue(settings_key::kRightPage, rightTabs_->currentIndex());
}

QString TFormSim::askOpenFile(const QString& title, const QString& filters, const QString& start) {
    const QString file = dialogs_.openFile(this, title, filters, DialogStart(start, LastFolder()));
    RememberFolderOf(file);
    return file;
}

QString TFormSim::askSaveFile(const QString& title, const QString& filters, const QString& start) {
    const QString file = dialogs_.saveFile(this, title, filters, DialogStart(start, LastFolder()));
    RememberFolderOf(file);
    return file;
}

void TFormSim::rememberFile(const QString& path) {
    if (!path.isEmpty()) {
        AddRecentFile(path);
        fillRecentMenu();
    }
}

void TFormSim::fillRecentMenu() {
    // An entry may be the one being triggered: the old ones go later.
    for (QAction* old : recentMenu_->actions()) {
        recentMenu_->removeAction(old);
        old->deleteLater();
    }
    const QStringList files = RecentFiles();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), recentMenu_);
        entry->setData(path);
        entry->setEnabled(QFileInfo(path).isFile());
        connect(entry, &QAction::triggered, this,
                [this, path] { guarded([this, path] { openRecentFile(path); }); });
        recentMenu_->addAction(entry);
    }
    recentMenu_->menuAction()->setEnabled(!files.isEmpty());
}

void TFormSim::openRecentFile(const QString& path) {
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

} // namespace skarvel::gui
