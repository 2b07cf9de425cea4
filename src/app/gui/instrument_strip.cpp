#include "app/gui/instrument_strip.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QVBoxLayout>

namespace skarvel::gui {

namespace {
constexpr int kStripWidth = 94;
constexpr int kDialSize = 66;
} // namespace

InstrumentStrip::InstrumentStrip(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("InstrumentStrip"));
    setFixedWidth(kStripWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    auto* bars = new QHBoxLayout;
    bars->setSpacing(1);
    int i = 0;
    for (const char* caption : {"V", "Z", "dZ", "CL"}) {
        auto* column = new QVBoxLayout;
        auto* bar = new QProgressBar;
        bar->setOrientation(Qt::Vertical);
        bar->setTextVisible(false);
        bar->setValue(0);
        bar->setFixedWidth(12);
        bar->setEnabled(false);
        bars_[i++] = bar;
        column->addWidget(bar, 1, Qt::AlignHCenter);
        auto* label = new QLabel(QString::fromUtf8(caption));
        label->setAlignment(Qt::AlignCenter);
        column->addWidget(label);
        bars->addLayout(column);
    }

    auto* sliderColumn = new QHBoxLayout;
    auto* dials = new QVBoxLayout;
    for (int d = 0; d < 3; ++d) {
        auto* dial = new QFrame;
        dial->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        dial->setFixedSize(kDialSize, kDialSize);
        dials->addWidget(dial);
    }
    sliderColumn->addLayout(dials);
    slider_ = new QSlider(Qt::Vertical);
    slider_->setObjectName(QStringLiteral("MarkerSlider"));
    slider_->setEnabled(false);
    sliderColumn->addWidget(slider_);

    layout->addLayout(bars, 1);
    layout->addLayout(sliderColumn);
    fourSeconds_ = new QCheckBox(QStringLiteral("4秒表示"));
    fourSeconds_->setEnabled(false);
    layout->addWidget(fourSeconds_);
}

} // namespace skarvel::gui
