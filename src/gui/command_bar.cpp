#include "gui/command_bar.h"

#include "gui/window_settings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <utility>

namespace skarvel::gui {

CommandBar::CommandBar(QMainWindow& window, const app::Options& options, Run run,
                       OpenFile openRecent)
    : run_(std::move(run)), openRecent_(std::move(openRecent)), window_(&window) {
    buildActions(window, options);
    buildMenus(window);
    buildToolBar(window);
}

void CommandBar::buildActions(QMainWindow& window, const app::Options& options) {
    for (const CommandSpec& spec : CommandTable()) {
        auto* a = new QAction(QString::fromUtf8(spec.caption), &window);
        a->setObjectName(QString::fromUtf8(spec.objectName));
        const QString hint = QString::fromUtf8(spec.hint);
        a->setToolTip(hint.isEmpty() ? a->text().remove(QLatin1Char('&')) : hint);
        a->setStatusTip(hint);
        if (*spec.icon != '\0') {
            a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf8(spec.icon))));
        }
        if (*spec.shortcut != '\0') {
            a->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(spec.shortcut)));
        }
        if (spec.handler.option) {
            a->setCheckable(true);
            a->setChecked(options.get(*spec.handler.option));
            QObject::connect(a, &QAction::toggled, &window,
                             [this, &spec](bool on) { run_(spec, on); });
        } else {
            QObject::connect(a, &QAction::triggered, &window, [this, &spec] { run_(spec, false); });
        }
        actions_[static_cast<std::size_t>(spec.id)] = a;
    }
}

void CommandBar::buildMenus(QMainWindow& window) {
    for (const MenuSpec& spec : MenuLayout()) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(spec.caption));
        for (const BarItem& item : spec.items) {
            switch (item.kind) {
            case BarItem::Kind::Command:
                menu->addAction(action(item.command));
                break;
            case BarItem::Kind::Separator:
                menu->addSeparator();
                break;
            case BarItem::Kind::Submenu: {
                QMenu* sub = menu->addMenu(QString::fromUtf8(item.caption));
                for (Command c : item.submenu) {
                    sub->addAction(action(c));
                }
                break;
            }
            case BarItem::Kind::Label:
                break;
            }
        }
        if (menu->actions().contains(action(Command::Exit))) {
            // The files used last, above the exit command.
            recentMenu_ = new QMenu(QStringLiteral("最近使ったファイル"), menu);
            recentMenu_->setObjectName(QStringLiteral("RecentFiles"));
            menu->insertMenu(action(Command::Exit), recentMenu_);
            menu->insertSeparator(action(Command::Exit));
            QObject::connect(recentMenu_, &QMenu::aboutToShow, &window,
                             [this] { fillRecentMenu(); });
            fillRecentMenu();
        }
    }
}

void CommandBar::buildToolBar(QMainWindow& window) {
    static const std::array<std::pair<const char*, const char*>, LabelCount> kLabels = {
        {{"3", "再生ステップ"}, {"0", "横視角"}, {"20", "縦視角"}}};
    QToolBar* bar = window.addToolBar(QStringLiteral("tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setFixedHeight(24);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const BarItem& item : ToolBarLayout()) {
        if (item.kind == BarItem::Kind::Command) {
            bar->addAction(action(item.command));
        } else if (item.kind == BarItem::Kind::Separator) {
            bar->addSeparator();
        } else if (item.kind == BarItem::Kind::Label) {
            const auto [text, hint] = kLabels[static_cast<std::size_t>(item.label)];
            auto* label = new QLabel(QString::fromUtf8(text), bar);
            label->setToolTip(QString::fromUtf8(hint));
            label->setMinimumWidth(22);
            label->setAlignment(Qt::AlignCenter);
            bar->addWidget(label);
            labels_[static_cast<std::size_t>(item.label)] = label;
        }
    }
}

void CommandBar::setLabel(ToolBarLabel label, const QString& text) {
    labels_[static_cast<std::size_t>(label)]->setText(text);
}

void CommandBar::fillRecentMenu() {
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
        QObject::connect(entry, &QAction::triggered, window_, [this, path] { openRecent_(path); });
        recentMenu_->addAction(entry);
    }
    recentMenu_->menuAction()->setEnabled(!files.isEmpty());
}

} // namespace skarvel::gui
