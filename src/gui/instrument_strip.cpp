#include "gui/instrument_strip.h"

#include "gui/painter_canvas.h"
#include "view/attitude.h"
#include "view/pixel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace skarvel::gui {

namespace {
constexpr int kStripWidth = 94;
constexpr int kDialFrame = 66;
constexpr int kDialArea = 64;
constexpr int kBarWidth = 13;
constexpr int kBarHeight = 161;
constexpr int kTrackPageStep = 10;
constexpr int kTrackTicks = 100; // one a second
} // namespace

AttitudeDial::AttitudeDial(const app::Workspace& workspace, Kind kind, QWidget* parent)
    : QFrame(parent), ws_(workspace), kind_(kind) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedSize(kDialFrame, kDialFrame);
}

void AttitudeDial::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect area = contentsRect();
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Button));
    {
        PainterCanvas canvas(palette());
        canvas.begin(image);
        const sim::FlightSample& s = ws_.marker().markerState();
        try {
            switch (kind_) {
            case Roll:
                view::DrawRollInstrument(canvas, area.width(), area.height(), s);
                break;
            case Pitch:
                view::DrawPitchInstrument(canvas, area.width(), area.height(), s);
                break;
            case Yaw:
                view::DrawYawInstrument(canvas, area.width(), area.height(), s);
                break;
            }
        } catch (const view::RangeError&) {
            // A state beyond the pixel range shows what was drawn of it.
        }
    }
    QPainter painter(this);
    painter.drawImage(area.topLeft(), image);
}

InstrumentStrip::InstrumentStrip(const app::Workspace& workspace, QWidget* parent)
    : QFrame(parent), ws_(workspace) {
    setObjectName(QStringLiteral("InstrumentStrip"));
    setFixedWidth(kStripWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);

    fourSeconds_ = new QCheckBox(QStringLiteral("4秒表示"));
    fourSeconds_->setObjectName(QStringLiteral("CheckBoxZoom"));
    layout->addWidget(fourSeconds_);
    connect(fourSeconds_, &QCheckBox::toggled, this,
            [this](bool on) { Q_EMIT fourSecondsToggled(on); });

    auto* row = new QHBoxLayout;
    row->setSpacing(1);
    slider_ = new QSlider(Qt::Vertical);
    slider_->setObjectName(QStringLiteral("TrackBarMkr"));
    slider_->setInvertedAppearance(true); // position 0 at the top
    slider_->setInvertedControls(true);
    slider_->setPageStep(kTrackPageStep);
    slider_->setTickInterval(kTrackTicks);
    slider_->setTickPosition(QSlider::TicksRight);
    slider_->setRange(0, 0);
    connect(slider_, &QSlider::valueChanged, this, [this](int p) { Q_EMIT trackMoved(p); });
    row->addWidget(slider_);

    auto* instruments = new QVBoxLayout;
    instruments->setSpacing(1);
    for (int k = AttitudeDial::Roll; k <= AttitudeDial::Yaw; ++k) {
        dials_[k] = new AttitudeDial(ws_, static_cast<AttitudeDial::Kind>(k));
        instruments->addWidget(dials_[k]);
    }
    auto* bars = new QHBoxLayout;
    bars->setSpacing(2);
    const struct {
        const char* caption;
        int low, high, initial;
    } kBars[] = {{"V", 0, 500, 350}, {"Z", 0, 500, 10}, {"dZ", -50, 50, 0}, {"CL", -100, 100, 0}};
    int i = 0;
    for (const auto& spec : kBars) {
        auto* column = new QVBoxLayout;
        column->setSpacing(0);
        auto* bar = new QProgressBar;
        bar->setOrientation(Qt::Vertical);
        bar->setTextVisible(false);
        bar->setRange(spec.low, spec.high);
        bar->setValue(spec.initial);
        bar->setFixedSize(kBarWidth, kBarHeight);
        bars_[i++] = bar;
        column->addWidget(bar, 0, Qt::AlignHCenter);
        auto* label = new QLabel(QString::fromUtf8(spec.caption));
        label->setAlignment(Qt::AlignCenter);
        column->addWidget(label);
        bars->addLayout(column);
    }
    instruments->addLayout(bars);
    instruments->addStretch(1);
    row->addLayout(instruments);
    layout->addLayout(row, 1);
}

void InstrumentStrip::showMarker() {
    {
        const QSignalBlocker block(slider_);
        slider_->setRange(0, ws_.marker().trackMax());
        slider_->setValue(ws_.marker().trackPosition());
    }
    {
        const QSignalBlocker block(fourSeconds_);
        fourSeconds_->setChecked(ws_.marker().fourSeconds());
    }
    const view::InstrumentBars b = ws_.marker().bars();
    bars_[0]->setValue(b.v);
    bars_[1]->setValue(b.z);
    bars_[2]->setValue(b.dz);
    bars_[3]->setValue(b.cl);
    for (AttitudeDial* d : dials_) {
        d->update();
    }
}

} // namespace skarvel::gui
