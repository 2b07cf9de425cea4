#pragma once
// What a key means to the main window, decided from the key alone: Ctrl+Tab,
// Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp turn a page; Alt+arrows turn the
// view angles a degree; Shift+Alt+arrows move the picture; one letter gives
// a view or replay command.

#include "gui/commands.h"

#include <QString>
#include <Qt>

#include <optional>

namespace skarvel::gui {

struct KeyMeaning {
    // The next (1) or the previous (-1) page of a tab group; 0: none.
    int pageStep = 0;
    // A step of an angle bar; 0: none.
    enum class Angle { Horizontal, Vertical };
    Angle angle = Angle::Horizontal;
    int angleStep = 0;
    std::optional<Command> command;
    // The command is a letter's, and the letter may still be typed.
    bool letter = false;
};

KeyMeaning MeaningOfKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z: the window's undo and redo, wherever the
// focus is (an open cell editor keeps its own until the cell is confirmed).
bool IsUndoKey(int key, Qt::KeyboardModifiers modifiers);

} // namespace skarvel::gui
