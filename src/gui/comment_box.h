#pragma once
// The design's comment: a plain text box whose paste takes text only, and
// nothing at all from an empty clipboard. Qt 6.4's own paste follows a null
// clipboard into a crash when no program owns the clipboard.

#include <QPlainTextEdit>

namespace skarvel::gui {

class CommentBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit CommentBox(QWidget* parent = nullptr);

    // What Ctrl+V and Shift+Insert do.
    void pasteText();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace skarvel::gui
