#include "app/gui/chart_panel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace skarvel::gui {

ChartPanel::ChartPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ChartPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* row = new QHBoxLayout;
    pages_ = new QStackedWidget;
    buttons_ = new QButtonGroup(this);
    int page = 0;
    for (const char* caption : {"概要", "位置", "角度", "速度", "角速度"}) {
        auto* b = new QToolButton;
        b->setText(QString::fromUtf8(caption));
        b->setAutoRaise(true);
        b->setCheckable(true);
        b->setChecked(page == 0);
        buttons_->addButton(b, page++);
        row->addWidget(b);
        auto* surface = new QFrame;
        surface->setFrameStyle(QFrame::StyledPanel);
        surface->setAutoFillBackground(true);
        pages_->addWidget(surface);
    }
    row->addStretch(1);
    connect(buttons_, &QButtonGroup::idClicked, pages_, &QStackedWidget::setCurrentIndex);
    layout->addLayout(row);
    layout->addWidget(pages_, 1);
}

int ChartPanel::currentChart() const {
    return pages_->currentIndex();
}

void ChartPanel::showChart(int index) {
    if (QAbstractButton* b = buttons_->button(index)) {
        b->setChecked(true);
        pages_->setCurrentIndex(index);
    }
}

} // namespace skarvel::gui
