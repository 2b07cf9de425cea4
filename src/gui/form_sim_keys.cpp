// The window's keys: Esc, the page keys, the view-angle keys and the
// one-letter commands of the key map.

#include "gui/form_sim.h"

#include "gui/flight_view.h"
#include "gui/key_map.h"
#include "gui/table_view.h"
#include "gui/trajectory_view.h"
#include "gui/window_pages.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTabWidget>

namespace skarvel::gui {

bool TFormSim::useKey(QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape && !ws_.stopRequested() &&
        (ws_.busy() || ws_.marker().replaying())) {
        // Esc stops a flight or a replay in progress; the key is used up only then,
        // so it also does what it does in an open cell: the edit is dropped.
        ws_.requestStop();
        replayTick();
        flightView_->setBusyCursor(false);
        for (TableView* v : pages_->tables()) {
            v->cancelOpenEditor();
        }
        return true;
    }
    const KeyMeaning meaning = MeaningOfKey(key->key(), key->modifiers(), key->text());
    if (meaning.pageStep != 0) {
        turnPage(meaning.pageStep);
        return true;
    }
    if (meaning.angleStep != 0) {
        QScrollBar* bar = meaning.angle == KeyMeaning::Angle::Horizontal
                              ? pages_->trajectory->horizontalAngleBar()
                              : pages_->trajectory->verticalAngleBar();
        bar->setValue(bar->value() + meaning.angleStep);
        return true;
    }
    if (!meaning.command) {
        return false;
    }
    if (!meaning.letter) {
        action(*meaning.command)->trigger();
        return true;
    }
    return runLetter(*meaning.command);
}

void TFormSim::turnPage(int step) {
    // The tab group holding the focus; the main pages when none does.
    QTabWidget* tabs = pages_->right;
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (w == pages_->left || w == pages_->right) {
            tabs = static_cast<QTabWidget*>(w);
            break;
        }
    }
    guarded([tabs, step] {
        const int n = tabs->count();
        tabs->setCurrentIndex((tabs->currentIndex() + step + n) % n);
        tabs->currentWidget()->setFocus(Qt::TabFocusReason);
    });
}

bool TFormSim::runLetter(Command command) {
    // The letter may be typed into a cell: its editor stays open; the
    // letter still goes on to the control.
    keyCommand_ = true;
    const auto done = qScopeGuard([this] { keyCommand_ = false; });
    action(command)->trigger();
    // It starts no editor in a cell that is not typed into, nor in the
    // marker table, whose cells the marker fills.
    auto* table = qobject_cast<TableView*>(QApplication::focusWidget());
    return table != nullptr && !table->editing() &&
           (table == pages_->marker ||
            !(table->model()->flags(table->currentIndex()) & Qt::ItemIsEditable));
}

} // namespace skarvel::gui
