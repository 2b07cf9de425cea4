#pragma once
// The window's commands as the user sees them: an action for each row of
// the command table, the menus with the recent files above the exit
// command, and the tool bar with its three number labels.

#include "app/workspace.h"
#include "gui/commands.h"

#include <QString>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;

namespace skarvel::gui {

class CommandBar {
  public:
    // Called when a command is given; `on` is a check-mark command's new state.
    using Run = std::function<void(const CommandSpec& spec, bool on)>;
    // Called when an entry of the recent files is chosen.
    using OpenFile = std::function<void(const QString& path)>;

    // Builds the actions (children of `window`, named as the table names
    // them), the menu bar and the tool bar of `window`. Check marks start
    // as `options` has them.
    CommandBar(QMainWindow& window, const app::Options& options, Run run, OpenFile openRecent);

    QAction* action(Command id) const { return actions_[static_cast<std::size_t>(id)]; }
    void setLabel(ToolBarLabel label, const QString& text);
    // The recent files' entries, a file that no longer exists greyed.
    void fillRecentMenu();

  private:
    void buildActions(QMainWindow& window, const app::Options& options);
    void buildMenus(QMainWindow& window);
    void buildToolBar(QMainWindow& window);

    Run run_;
    OpenFile openRecent_;
    QMainWindow* window_;
    std::array<QAction*, kCommandCount> actions_{};
    std::array<QLabel*, LabelCount> labels_{};
    QMenu* recentMenu_ = nullptr;
};

} // namespace skarvel::gui
