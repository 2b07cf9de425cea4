#include "gui/key_map.h"

#include <map>

namespace skarvel::gui {

namespace {

int PageStep(int key, Qt::KeyboardModifiers mods) {
    if (key == Qt::Key_Tab && mods == Qt::ControlModifier) {
        return 1;
    }
    if (key == Qt::Key_Backtab &&
        (mods == (Qt::ControlModifier | Qt::ShiftModifier) || mods == Qt::ControlModifier)) {
        return -1;
    }
    if (mods == Qt::ControlModifier && (key == Qt::Key_PageDown || key == Qt::Key_PageUp)) {
        return key == Qt::Key_PageDown ? 1 : -1;
    }
    return 0;
}

std::optional<Command> LetterCommand(QChar letter) {
    static const std::map<QChar, Command> kLetters = {
        {u'A', Command::Fit},         {u'a', Command::Fit},         {u'F', Command::FitXY},
        {u'f', Command::FitXY},       {u'O', Command::Origin},      {u'o', Command::Origin},
        {u'z', Command::ZoomIn},      {u'Z', Command::ZoomOut},     {u'T', Command::ZoomOut},
        {u't', Command::ZoomOut},     {u'U', Command::Up},          {u'u', Command::Up},
        {u'D', Command::Down},        {u'd', Command::Down},        {u'L', Command::Left},
        {u'l', Command::Left},        {u'R', Command::Right},       {u'r', Command::Right},
        {u'B', Command::ReplayStart}, {u'b', Command::ReplayStart}, {u'P', Command::PlayForward},
        {u'p', Command::PlayForward}};
    const auto it = kLetters.find(letter);
    return it == kLetters.end() ? std::nullopt : std::optional(it->second);
}

} // namespace

KeyMeaning MeaningOfKey(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    const Qt::KeyboardModifiers mods =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    KeyMeaning meaning;
    meaning.pageStep = PageStep(key, mods);
    if (meaning.pageStep != 0) {
        return meaning;
    }
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    const bool arrow = horizontal || key == Qt::Key_Up || key == Qt::Key_Down;
    if (arrow && mods == Qt::AltModifier) {
        meaning.angle = horizontal ? KeyMeaning::Angle::Horizontal : KeyMeaning::Angle::Vertical;
        meaning.angleStep = key == Qt::Key_Left || key == Qt::Key_Up ? -1 : 1;
    } else if (arrow && mods == (Qt::AltModifier | Qt::ShiftModifier)) {
        meaning.command = key == Qt::Key_Left    ? Command::Left
                          : key == Qt::Key_Right ? Command::Right
                          : key == Qt::Key_Up    ? Command::Up
                                                 : Command::Down;
    } else if ((mods & (Qt::ControlModifier | Qt::AltModifier)) == 0 && text.size() == 1) {
        meaning.command = LetterCommand(text.front());
        meaning.letter = meaning.command.has_value();
    }
    return meaning;
}

bool IsUndoKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers mods =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return (key == Qt::Key_Z &&
            (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))) ||
           (key == Qt::Key_Y && mods == Qt::ControlModifier);
}

} // namespace skarvel::gui
