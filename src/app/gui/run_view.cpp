#include "app/gui/run_view.h"

#include <QApplication>
#include <QCoreApplication>

namespace skarvel::gui {

WindowRunView::~WindowRunView() {
    setBusyCursor(false);
}

void WindowRunView::runStarting() {
    setBusyCursor(true);
    QCoreApplication::processEvents();
}

void WindowRunView::processEvents() {
    QCoreApplication::processEvents();
}

void WindowRunView::runFinished() {
    setBusyCursor(false);
}

void WindowRunView::setBusyCursor(bool busy) {
    if (busy == busyCursor_) {
        return;
    }
    busyCursor_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace skarvel::gui
