#pragma once
// The window's commands in one table: what each one is called, shows and
// does. Menus and the tool bar are lists of command ids. The table is
// checked when it compiles: one row per command, in command order, each
// with exactly one handler.

#include "app/workspace.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace skarvel::gui {

class TFormSim;

enum class Command {
    InputOpen,
    InputSaveAs,
    FileOpen,
    FileSave,
    Convert,
    SaveChanged,
    PrintPattern,
    SavePattern,
    Exit,
    Undo,
    Redo,
    EditHistory,
    CopyWindow,
    CopyChart,
    SaveChart,
    Copy3D,
    Save3D,
    SaveText,
    ClearHistory,
    Reset,
    RunFromInput,
    RunFromParameters,
    Stability,
    Sweep,
    Optimise,
    LiveCharts,
    LiveTrajectory,
    ReplayStart,
    PlayForward,
    Stop,
    PlayBackward,
    ReplayEnd,
    ReplayStep,
    CursorGround,
    GroundTrack,
    SpanVerticals,
    AutoFit,
    Fit,
    FitXY,
    Origin,
    ZoomIn,
    ZoomOut,
    Up,
    Down,
    Left,
    Right,
    ViewAngleX,
    ViewAngleY,
    Help,
    About,
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::About) + 1;

// What a command does: exactly one of the three is set.
struct CommandHandler {
    // A check-mark command flips a workspace option.
    std::optional<app::Option> option;
    // A command of the workspace alone.
    void (*run)(app::Workspace& ws) = nullptr;
    // A command the window carries out itself: one that asks the user
    // something or uses its views, its clipboard or its event loop.
    void (*window)(TFormSim& window) = nullptr;
};

struct CommandSpec {
    Command id;
    const char* objectName;
    const char* caption;
    const char* hint;     // tool tip and status tip; empty: none
    const char* icon;     // resource name under ":/icons/"; empty: none
    const char* shortcut; // empty: none; several: "Ctrl+Y; Ctrl+Shift+Z"
    CommandHandler handler;
};

// Every command, in menu order.
std::span<const CommandSpec> CommandTable();
const CommandSpec& Spec(Command id);

// One line of a menu or of the tool bar.
struct BarItem {
    enum class Kind { Command, Separator, Label, Submenu };
    Kind kind = Kind::Command;
    Command command{};
    int label = 0;                     // Label: which label (see ToolBarLabel)
    const char* caption = nullptr;     // Submenu
    std::vector<Command> submenu = {}; // Submenu
};

struct MenuSpec {
    const char* caption;
    std::vector<BarItem> items;
};

enum ToolBarLabel { ReplayStepLabel, AngleXLabel, AngleYLabel, LabelCount };

const std::vector<MenuSpec>& MenuLayout();
const std::vector<BarItem>& ToolBarLayout();

} // namespace skarvel::gui
