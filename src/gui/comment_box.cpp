#include "gui/comment_box.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>

namespace skarvel::gui {

CommentBox::CommentBox(QWidget* parent) : QPlainTextEdit(parent) {
    // Typing is undone by the window, a burst at a time, with the tables.
    setUndoRedoEnabled(false);
}

void CommentBox::pasteText() {
    const QClipboard* clipboard = QApplication::clipboard();
    insertFromMimeData(clipboard != nullptr ? clipboard->mimeData() : nullptr);
}

void CommentBox::keyPressEvent(QKeyEvent* event) {
    const bool shiftInsert =
        event->key() == Qt::Key_Insert && event->modifiers() == Qt::ShiftModifier;
    if (event == QKeySequence::Paste || shiftInsert) {
        if (!isReadOnly()) {
            pasteText();
        }
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool CommentBox::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && source->hasText();
}

void CommentBox::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) {
        return;
    }
    const QString text = source->text();
    if (!text.isEmpty()) {
        insertPlainText(text);
    }
}

} // namespace skarvel::gui
