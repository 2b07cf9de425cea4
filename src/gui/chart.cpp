#include "gui/chart.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <QtPrintSupport/QtPrintSupport>
#include <QtWidgets/QWidget>

#include "gui/qcustomplot_include.h"
#include "view/plot_ranges.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace skarvel::gui {

namespace {

// The library's data container has no reserve(); its storage is reachable by a
// subclass, and a graph takes any container of its data type.
class ReservingData : public QCPGraphDataContainer {
  public:
    void reserve(int points) { mData.reserve(points); }
};

QSharedPointer<QCPGraphDataContainer> NewData() {
    return QSharedPointer<QCPGraphDataContainer>(new ReservingData);
}

// Every series' container is created by NewData(), so the cast is exact.
void EmptyAndReserve(QCPGraph* graph, bool reserve) {
    auto* data = static_cast<ReservingData*>(graph->data().data());
    // QList::clear() keeps the storage of an unshared list: a full run's points
    // stay allocated for the next run.
    data->clear();
    if (reserve) {
        data->reserve(Chart::kReservedPoints);
    }
}

} // namespace

QString ChartFontFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const char* family :
         {"ＭＳ Ｐ明朝", "MS PMincho", "IPAPMincho", "IPAMincho", "Noto Serif CJK JP"}) {
        const QString name = QString::fromUtf8(family);
        if (installed.contains(name)) {
            return name;
        }
    }
    return QFont().family();
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

Chart::Chart(const QString& leftTitle, std::vector<Series> series, QWidget* parent)
    : QWidget(parent), series_(std::move(series)), family_(ChartFontFamily()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    plot_ = new QCustomPlot(this);
    plot_->setMouseTracking(true);
    // Crisp one-pixel lines, and much cheaper to draw while a flight runs.
    plot_->setNotAntialiasedElements(QCP::aeAll);
    layout->addWidget(plot_);

    QFont font(family_);
    font.setPixelSize(12);
    const QColor background = palette().color(QPalette::Base);
    plot_->setBackground(background);

    for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
        axis->setLabelFont(font);
        axis->setTickLabelFont(font);
        axis->setLabelColor(Qt::black);
        axis->setTickLabelColor(Qt::black);
    }
    plot_->xAxis->setLabel(QStringLiteral("時間(s)"));
    plot_->yAxis->setLabel(leftTitle);

    // The legend in a row of its own above the plotting area, one line wide.
    QCPLegend* legend = plot_->legend;
    legend->setVisible(true);
    legend->setFont(font);
    legend->setTextColor(Qt::black);
    legend->setBrush(background);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot_->plotLayout()->insertRow(0);
    plot_->plotLayout()->addElement(0, 0, legend);
    plot_->plotLayout()->setRowStretchFactor(0, 0.001);

    for (const Series& s : series_) {
        QCPGraph* graph = plot_->addGraph();
        graph->setData(NewData());
        graph->setName(s.title);
        graph->setPen(QPen(s.color, 1));
        if (s.style != Style::Line) {
            graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, s.color, s.color, 6));
        }
        if (s.style == Style::Points) {
            graph->setLineStyle(QCPGraph::lsNone);
        }
        lines_.push_back(graph);
    }
    marker_ = plot_->addGraph();
    marker_->setData(NewData());
    marker_->setName(QStringLiteral("Mkr"));
    const QColor green(0x00, 0x80, 0x00);
    marker_->setPen(QPen(green, 1));
    marker_->setLineStyle(QCPGraph::lsNone);
    marker_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, green, Qt::white, 2));
    marker_->removeFromLegend();

    connect(plot_, &QCustomPlot::mouseMove, this, &Chart::onMouseMove);
    connect(plot_, &QCustomPlot::mousePress, this, &Chart::onMousePress);
}

Chart::~Chart() = default;

int Chart::seriesCount() const {
    return int(lines_.size());
}

QString Chart::seriesTitle(int series) const {
    return series_.at(std::size_t(series)).title;
}

QColor Chart::seriesColor(int series) const {
    return series_.at(std::size_t(series)).color;
}

QString Chart::leftTitle() const {
    return plot_->yAxis->label();
}

QString Chart::bottomTitle() const {
    return plot_->xAxis->label();
}

QStringList Chart::legendTitles() const {
    QStringList titles;
    for (int i = 0; i < plot_->legend->itemCount(); ++i) {
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot_->legend->item(i))) {
            titles << item->plottable()->name();
        }
    }
    return titles;
}

QString Chart::fontFamily() const {
    return family_;
}

void Chart::clear() {
    automatic_ = false;
    for (QCPGraph* graph : lines_) {
        EmptyAndReserve(graph, reserveOnClear_);
    }
    EmptyAndReserve(marker_, false);
    // The reservation counts from the next clearing on.
    reserveOnClear_ = true;
    dirty_ = true;
}

void Chart::append(double t, std::span<const double> values) {
    const std::size_t n = std::min(values.size(), lines_.size());
    for (std::size_t s = 0; s < n; ++s) {
        // A value that is no finite number (a run that failed on it) is a
        // gap in its line, not a point that would stretch the axis.
        lines_[s]->addData(t, std::isfinite(values[s]) ? values[s] : kNaN);
    }
    dirty_ = true;
}

void Chart::appendPoint(int series, double x, double y) {
    if (series < 0 || series >= seriesCount()) {
        return;
    }
    lines_[std::size_t(series)]->addData(x, y);
    dirty_ = true;
}

void Chart::setRanges(Range x, Range y) {
    automatic_ = false;
    plot_->xAxis->setRange(x.lower, x.upper);
    plot_->yAxis->setRange(y.lower, y.upper);
    replot();
}

void Chart::setBottomTitle(const QString& title) {
    plot_->xAxis->setLabel(title);
}

void Chart::setLeftTitle(const QString& title) {
    plot_->yAxis->setLabel(title);
}

void Chart::clearSeries(int series) {
    if (series < 0 || series >= seriesCount()) {
        return;
    }
    lines_[std::size_t(series)]->data()->clear();
    dirty_ = true;
}

void Chart::fitAxes() {
    // The ranges of the data themselves: a flight that ended at its first
    // point spans no time and no value, and gets one second from its start
    // and room around its values instead.
    bool any = false;
    QCPRange keys;
    QCPRange values;
    for (QCPGraph* graph : lines_) {
        bool found = false;
        const QCPRange k = graph->getKeyRange(found);
        if (!found) {
            continue;
        }
        const QCPRange v = graph->getValueRange(found);
        if (!any) {
            keys = k;
            values = v;
            any = true;
        } else {
            keys.expand(k);
            if (found) {
                values.expand(v);
            }
        }
    }
    if (!any) {
        return;
    }
    const view::AxisRange x = view::FittedKeys({keys.lower, keys.upper});
    const view::AxisRange y = view::FittedValues({values.lower, values.upper});
    plot_->xAxis->setRange(x.lower, x.upper);
    plot_->yAxis->setRange(y.lower, y.upper);
}

void Chart::autoScale() {
    automatic_ = true;
    fitAxes();
    // A hidden chart is drawn when it is shown.
    dirty_ = true;
    if (isVisible()) {
        replot();
    }
}

void Chart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    replotIfDirty();
}

void Chart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitLegend(width());
}

void Chart::fitLegend(int width) {
    QCPLegend* legend = plot_->legend;
    // A wrapped legend's grid has empty cells after its last item.
    std::vector<int> widths;
    for (int i = 0; i < legend->itemCount(); ++i) {
        if (QCPAbstractLegendItem* item = legend->item(i)) {
            widths.push_back(item->minimumOuterSizeHint().width());
        }
    }
    const int n = static_cast<int>(widths.size());
    if (n == 0) {
        return;
    }
    const QMargins m = legend->margins();
    const QMargins outer = plot_->plotLayout()->margins();
    const int room = width - m.left() - m.right() - outer.left() - outer.right() - 2;
    const int columns = view::LegendColumns(widths, legend->columnSpacing(), room);
    const int wrap = columns == n ? 0 : columns;
    if (legend->wrap() != wrap) {
        legend->setWrap(wrap);
        legend->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);
        plot_->replot(QCustomPlot::rpQueuedReplot);
    }
}

int Chart::legendRows() const {
    return plot_->legend->rowCount();
}

QRect Chart::legendRect() const {
    return plot_->legend->outerRect();
}

int Chart::pointCount() const {
    return lines_.empty() ? 0 : lines_.front()->dataCount();
}

int Chart::pointCount(int series) const {
    return series < 0 || series >= seriesCount() ? 0 : lines_[std::size_t(series)]->dataCount();
}

double Chart::pointX(int k) const {
    if (k < 0 || k >= pointCount()) {
        return kNaN;
    }
    return lines_.front()->data()->at(k)->key;
}

double Chart::pointY(int series, int k) const {
    if (series < 0 || series >= seriesCount() || k < 0 ||
        k >= lines_[std::size_t(series)]->dataCount()) {
        return kNaN;
    }
    return lines_[std::size_t(series)]->data()->at(k)->value;
}

Chart::Range Chart::xRange() const {
    return {plot_->xAxis->range().lower, plot_->xAxis->range().upper};
}

Chart::Range Chart::yRange() const {
    return {plot_->yAxis->range().lower, plot_->yAxis->range().upper};
}

void Chart::setMarker(int k) {
    if (k < 0 || k >= pointCount()) {
        return;
    }
    marker_->data()->clear();
    const double x = pointX(k);
    for (std::size_t s = 0; s < lines_.size(); ++s) {
        if (k < lines_[s]->dataCount()) {
            marker_->addData(x, lines_[s]->data()->at(k)->value);
        }
    }
    // A hidden chart is drawn when it is shown. Mouse moves come in bursts:
    // draw once when the events have been handled.
    dirty_ = true;
    if (isVisible()) {
        replot();
    }
}

int Chart::markerPointCount() const {
    return marker_->dataCount();
}

double Chart::markerX(int j) const {
    return j < 0 || j >= markerPointCount() ? kNaN : marker_->data()->at(j)->key;
}

double Chart::markerY(int j) const {
    return j < 0 || j >= markerPointCount() ? kNaN : marker_->data()->at(j)->value;
}

std::optional<double> Chart::timeAt(int pixelX) const {
    const int x = pixelX - plot_->x();
    const QRect area = plot_->axisRect()->rect();
    if (x < area.left() || x > area.right()) {
        return std::nullopt;
    }
    return plot_->xAxis->pixelToCoord(x);
}

QPoint Chart::pixelOf(double x, double y) const {
    return QPoint(int(std::lround(plot_->xAxis->coordToPixel(x))),
                  int(std::lround(plot_->yAxis->coordToPixel(y)))) +
           plot_->pos();
}

void Chart::onMousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton ||
        (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (!plot_->axisRect()->rect().contains(pos)) {
        return;
    }
    Q_EMIT clicked(plot_->xAxis->pixelToCoord(pos.x()), plot_->yAxis->pixelToCoord(pos.y()));
}

void Chart::onMouseMove(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton ||
        (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (!plot_->axisRect()->rect().contains(pos)) {
        return;
    }
    Q_EMIT mouseTime(plot_->xAxis->pixelToCoord(pos.x()));
}

void Chart::replotIfDirty() {
    if (!dirty_) {
        return;
    }
    if (automatic_) {
        fitAxes();
    }
    replot();
}

void Chart::replot() {
    // A line of a single point (a flight that failed at its launch) would
    // show nothing: it is drawn as a dot.
    for (std::size_t k = 0; k < lines_.size(); ++k) {
        if (series_[k].style == Style::Line) {
            const bool lone = lines_[k]->dataCount() == 1;
            lines_[k]->setScatterStyle(
                lone ? QCPScatterStyle(QCPScatterStyle::ssDisc, series_[k].color, 5)
                     : QCPScatterStyle(QCPScatterStyle::ssNone));
        }
    }
    // Drawn when the window next handles its events, once however often asked.
    plot_->replot(QCustomPlot::rpQueuedReplot);
    dirty_ = false;
}

void Chart::renderTo(QPaintDevice& device, int width, int height) {
    // The legend wrapped for the picture's width, then for the widget's again.
    fitLegend(width);
    {
        QCPPainter painter(&device);
        plot_->toPainter(&painter, width, height);
    }
    fitLegend(this->width());
}

QPixmap Chart::toPixmap(int width, int height) {
    fitLegend(width);
    QPixmap picture = plot_->toPixmap(width, height);
    fitLegend(this->width());
    return picture;
}

} // namespace skarvel::gui
