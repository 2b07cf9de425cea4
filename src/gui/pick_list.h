#pragma once
// The small list a design cell opens for its names (edge shapes, dihedral
// type, tail type), placed under the cell.

#include <QListWidget>
#include <QPointer>

#include <optional>
#include <span>
#include <string_view>

namespace skarvel::gui {

class PickList : public QListWidget {
    Q_OBJECT
  public:
    explicit PickList(QWidget* parent);

    // Shows the items under `cell` (in the parent's coordinates): top one
    // pixel below it, as wide as the cell and two pixels more, with the item
    // `selected` chosen, and takes the focus.
    void open(const QRect& cell, std::span<const std::string_view> items,
              std::optional<std::size_t> selected);

  Q_SIGNALS:
    // A double click, a press on an item, Enter or Space: the item chosen,
    // none when nothing is selected. The list is hidden first.
    void chosen(std::optional<std::size_t> item);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void choose(std::optional<std::size_t> item);
    // Gives the focus back to where the list was opened from, then hides:
    // a focused widget that hides passes the focus on, and a table takes
    // that as Tab and moves its cursor.
    void close();

    QPointer<QWidget> opener_;
};

} // namespace skarvel::gui
