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

using view::ChartId;

// The order the run driver works through them: Chart1 (angles) to Chart5 (overview).
constexpr std::array<ChartId, ChartPanel::kCharts> kRunOrder = {
    ChartId::Angles, ChartId::Velocities, ChartId::Rates, ChartId::Position, ChartId::Overview};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Chart* MakeChart(const view::ChartSpec& spec) {
    std::vector<Chart::Series> series;
    for (const view::SeriesSpec& s : spec.series) {
        series.push_back({Text(s.name), QColor(s.colour.r, s.colour.g, s.colour.b)});
    }
    return new Chart(Text(spec.axis), std::move(series));
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
    static_assert(view::kChartCount == kCharts);
    for (const view::ChartSpec& spec : view::ChartSpecs()) {
        const int page = static_cast<int>(spec.id);
        auto* b = new QToolButton;
        b->setText(Text(spec.button));
        b->setAutoRaise(true);
        b->setCheckable(true);
        b->setChecked(page == 0);
        buttons_->addButton(b, page);
        row->addWidget(b);
        Chart* c = MakeChart(spec);
        charts_[std::size_t(page)] = c;
        pages_->addWidget(c);
        connect(c, &Chart::mouseTime, this, [this, page](double t) { Q_EMIT mouseTime(page, t); });
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
    for (ChartId id : kRunOrder) {
        charts_[std::size_t(id)]->clear();
    }
}

void ChartPanel::appendSample(const sim::FlightSample& s, double airspeed) {
    const view::ChartSample v = view::ChartValues(s, airspeed);
    for (ChartId id : kRunOrder) {
        charts_[std::size_t(id)]->append(v.t, view::SpecOf(id).values(v));
    }
}

void ChartPanel::autoScaleAll() {
    for (ChartId id : kRunOrder) {
        charts_[std::size_t(id)]->autoScale();
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
