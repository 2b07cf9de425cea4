#include "gui/chart_panel.h"

#include "gui/chart.h"
#include "sim/flight_record.h"
#include "view/chart_series.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace skarvel::gui {

namespace {

// Positions of the charts on the panel.
enum : int { kOverview = 0, kPosition = 1, kAngles = 2, kVelocities = 3, kRates = 4 };

// The order the run driver works through them: Chart1 (angles) to Chart5 (overview).
constexpr std::array<int, ChartPanel::kCharts> kRunOrder = {kAngles, kVelocities, kRates, kPosition,
                                                            kOverview};

const QColor kBlack(0x00, 0x00, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kLime(0x00, 0xFF, 0x00);

Chart* MakeChart(int index) {
    switch (index) {
    case kOverview:
        return new Chart(QString(), {{QStringLiteral("高度(m)"), kBlack},
                                     {QStringLiteral("速度(m/s)"), kRed},
                                     {QStringLiteral("ピッチ角(deg)"), kBlue},
                                     {QStringLiteral("揚力係数(×100)"), kLime}});
    case kPosition:
        return new Chart(QStringLiteral("座標(m)"),
                         {{QStringLiteral("x（平面上の0度方位）"), kBlack},
                          {QStringLiteral("y（平面上の90度方位）"), kRed},
                          {QStringLiteral("z（高度）"), kBlue}});
    case kAngles:
        return new Chart(QStringLiteral("角度(deg)"), {{QStringLiteral("Ψ（ヨー角）"), kBlack},
                                                       {QStringLiteral("Θ（ピッチ角）"), kRed},
                                                       {QStringLiteral("Φ（ロール角）"), kBlue}});
    case kVelocities:
        return new Chart(QStringLiteral("速度(m/s)"),
                         {{QStringLiteral("u（機体軸方向速度）"), kBlack},
                          {QStringLiteral("v（横すべり速度）"), kRed},
                          {QStringLiteral("w（下すべり速度）"), kBlue}});
    default:
        return new Chart(QStringLiteral("角速度(rad/s)"),
                         {{QStringLiteral("p（ロール角速度）"), kBlack},
                          {QStringLiteral("q（ピッチ角速度）"), kRed},
                          {QStringLiteral("r（ヨー角速度）"), kBlue}});
    }
}

} // namespace

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
        buttons_->addButton(b, page);
        row->addWidget(b);
        Chart* c = MakeChart(page);
        charts_[std::size_t(page)] = c;
        pages_->addWidget(c);
        connect(c, &Chart::mouseTime, this, [this, page](double t) { Q_EMIT mouseTime(page, t); });
        ++page;
    }
    row->addStretch(1);
    connect(buttons_, &QButtonGroup::idClicked, this, &ChartPanel::pick);
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
        charts_[std::size_t(index)]->replotIfDirty();
    }
}

void ChartPanel::pick(int index) {
    showChart(index);
    Q_EMIT chartShown(index);
}

Chart* ChartPanel::chart(int index) const {
    return index >= 0 && index < kCharts ? charts_[std::size_t(index)] : nullptr;
}

void ChartPanel::clearAll() {
    for (int index : kRunOrder) {
        charts_[std::size_t(index)]->clear();
    }
}

void ChartPanel::appendSample(const sim::FlightSample& s, double airspeed) {
    const view::ChartSample v = view::ChartValues(s, airspeed);
    charts_[kAngles]->append(v.t, v.angles);
    charts_[kVelocities]->append(v.t, v.velocities);
    charts_[kRates]->append(v.t, v.rates);
    charts_[kPosition]->append(v.t, v.position);
    charts_[kOverview]->append(v.t, v.overview);
}

void ChartPanel::autoScaleAll() {
    for (int index : kRunOrder) {
        charts_[std::size_t(index)]->autoScale();
    }
}

void ChartPanel::moveMarker(int k) {
    for (Chart* c : charts_) {
        c->setMarker(k);
    }
}

void ChartPanel::replotVisibleIfDirty() {
    // A flight computes many simulated seconds per displayed frame: the
    // chart is drawn at most once a frame, and only when it can be seen.
    constexpr qint64 kFrameMilliseconds = 1000 / 60;
    if (!isVisible() || (replotClock_.isValid() && replotClock_.elapsed() < kFrameMilliseconds)) {
        return;
    }
    if (Chart* c = chart(currentChart()); c != nullptr && c->dirty()) {
        c->replotIfDirty();
        replotClock_.start();
    }
}

} // namespace skarvel::gui
