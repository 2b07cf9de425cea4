#include "gui/pick_list.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace skarvel::gui {

PickList::PickList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("PickList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::Box);
    hide();
}

void PickList::open(const QRect& cell, std::span<const std::string_view> items,
                    std::optional<std::size_t> selected) {
    clear();
    for (std::string_view item : items) {
        addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    }
    clearSelection();
    setCurrentRow(-1);
    if (selected && *selected < items.size()) {
        setCurrentRow(static_cast<int>(*selected));
    }
    const int rows = count() > 0 ? sizeHintForRow(0) * count() : 0;
    // As wide as the cell, or as its longest item needs.
    const int width = std::max(cell.width() + 2, sizeHintForColumn(0) + 2 * frameWidth());
    setGeometry(cell.left(), cell.bottom() + 2, width, rows + 2 * frameWidth());
    opener_ = QApplication::focusWidget();
    show();
    raise();
    setFocus(Qt::PopupFocusReason);
}

void PickList::close() {
    if (opener_ != nullptr && hasFocus()) {
        opener_->setFocus(Qt::OtherFocusReason);
    }
    hide();
}

void PickList::choose(std::optional<std::size_t> item) {
    close();
    Q_EMIT chosen(item);
}

void PickList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        const QList<QListWidgetItem*> picked = selectedItems();
        choose(picked.isEmpty()
                   ? std::nullopt
                   : std::optional<std::size_t>(static_cast<std::size_t>(row(picked.front()))));
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void PickList::mousePressEvent(QMouseEvent* event) {
    // A press on an item chooses it at once (a double click presses first).
    QListWidgetItem* item = itemAt(event->position().toPoint());
    if (item != nullptr) {
        choose(static_cast<std::size_t>(row(item)));
        return;
    }
    QListWidget::mousePressEvent(event);
}

void PickList::focusOutEvent(QFocusEvent* event) {
    // Leaving the list changes nothing.
    QListWidget::focusOutEvent(event);
    if (isVisible()) {
        hide();
    }
}

} // namespace skarvel::gui
