#include "gui/color_map.h"

#include "gui/qcustomplot_include.h"
#include "view/plot_ranges.h"

#include <QMouseEvent>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace skarvel::gui {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

ColorMap::ColorMap(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    plot_ = new QCustomPlot(this);
    plot_->setMouseTracking(true);
    layout->addWidget(plot_);

    QFont font(ChartFontFamily());
    font.setPixelSize(12);
    plot_->setBackground(palette().color(QPalette::Base));
    for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
        axis->setLabelFont(font);
        axis->setTickLabelFont(font);
        axis->setLabelColor(Qt::black);
        axis->setTickLabelColor(Qt::black);
    }

    map_ = new QCPColorMap(plot_->xAxis, plot_->yAxis);
    map_->setInterpolate(false);
    scale_ = new QCPColorScale(plot_);
    plot_->plotLayout()->addElement(0, 1, scale_);
    scale_->setType(QCPAxis::atRight);
    scale_->axis()->setLabelFont(font);
    scale_->axis()->setTickLabelFont(font);
    scale_->axis()->setLabelColor(Qt::black);
    scale_->axis()->setTickLabelColor(Qt::black);
    map_->setColorScale(scale_);
    QCPColorGradient gradient(QCPColorGradient::gpJet);
    gradient.setNanHandling(QCPColorGradient::nhTransparent);
    map_->setGradient(gradient);
    // The scale as tall as the grid.
    auto* group = new QCPMarginGroup(plot_);
    plot_->axisRect()->setMarginGroup(QCP::msBottom | QCP::msTop, group);
    scale_->setMarginGroup(QCP::msBottom | QCP::msTop, group);

    markGraph_ = plot_->addGraph();
    markGraph_->setLineStyle(QCPGraph::lsNone);
    QPen markPen(Qt::black, 2);
    markGraph_->setPen(markPen);
    markGraph_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, markPen, Qt::white, 11));

    connect(plot_, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) {
        if (event->buttons() != Qt::NoButton) {
            return;
        }
        const std::optional<Cell> cell = cellAt(event->position().toPoint() + plot_->pos());
        Q_EMIT hovered(cell ? cell->column : -1, cell ? cell->row : -1);
    });
    connect(plot_, &QCustomPlot::mousePress, this, [this](QMouseEvent* event) {
        if (event->button() != Qt::LeftButton ||
            (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
            return;
        }
        if (const std::optional<Cell> cell = cellAt(event->position().toPoint() + plot_->pos())) {
            Q_EMIT clicked(cell->column, cell->row);
        }
    });
    reset(QString(), {}, QString(), {});
}

ColorMap::~ColorMap() = default;

int ColorMap::keyIndex(int column) const {
    return view::Descending(xs_) ? columns() - 1 - column : column;
}

int ColorMap::valueIndex(int row) const {
    return view::Descending(ys_) ? rows() - 1 - row : row;
}

void ColorMap::reset(const QString& xTitle, std::vector<double> xs, const QString& yTitle,
                     std::vector<double> ys) {
    xs_ = std::move(xs);
    ys_ = std::move(ys);
    values_.assign(xs_.size() * ys_.size(), kNaN);
    plot_->xAxis->setLabel(xTitle);
    plot_->yAxis->setLabel(yTitle);
    map_->data()->setSize(std::max(1, columns()), std::max(1, rows()));
    const view::AxisRange xc = view::CentreRange(xs_);
    const view::AxisRange yc = view::CentreRange(ys_);
    map_->data()->setRange(QCPRange(xc.lower, xc.upper), QCPRange(yc.lower, yc.upper));
    map_->data()->fill(kNaN);
    mark_.reset();
    markGraph_->data()->clear();
    // Whole cells at the ends.
    for (const auto& [axis, values] :
         {std::pair{plot_->xAxis, &xs_}, std::pair{plot_->yAxis, &ys_}}) {
        const view::AxisRange r = view::CellAxisRange(*values);
        axis->setRange(r.lower, r.upper);
    }
    replot();
}

void ColorMap::setScaleTitle(const QString& title) {
    scale_->axis()->setLabel(title);
}

QString ColorMap::scaleTitle() const {
    return scale_->axis()->label();
}

void ColorMap::setValue(Cell cell, double value) {
    if (cell.column < 0 || cell.column >= columns() || cell.row < 0 || cell.row >= rows()) {
        return;
    }
    values_[std::size_t(cell.column) * ys_.size() + std::size_t(cell.row)] = value;
    map_->data()->setCell(keyIndex(cell.column), valueIndex(cell.row),
                          std::isfinite(value) ? value : kNaN);
}

double ColorMap::value(Cell cell) const {
    if (cell.column < 0 || cell.column >= columns() || cell.row < 0 || cell.row >= rows()) {
        return kNaN;
    }
    return values_[std::size_t(cell.column) * ys_.size() + std::size_t(cell.row)];
}

void ColorMap::setMark(std::optional<Cell> cell) {
    mark_ = cell;
    markGraph_->data()->clear();
    if (cell && cell->column >= 0 && cell->column < columns() && cell->row >= 0 &&
        cell->row < rows()) {
        markGraph_->addData(xs_[std::size_t(cell->column)], ys_[std::size_t(cell->row)]);
    }
}

void ColorMap::replot() {
    const view::AxisRange range = view::ColourRange(values_);
    map_->setDataRange(QCPRange(range.lower, range.upper));
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

Chart::Range ColorMap::colourRange() const {
    return {map_->dataRange().lower, map_->dataRange().upper};
}

std::optional<ColorMap::Cell> ColorMap::cellAt(QPoint pixel) const {
    const QPoint pos = pixel - plot_->pos();
    if (xs_.empty() || ys_.empty() || !plot_->axisRect()->rect().contains(pos)) {
        return std::nullopt;
    }
    const double x = plot_->xAxis->pixelToCoord(pos.x());
    const double y = plot_->yAxis->pixelToCoord(pos.y());
    const std::optional<int> column = view::NearestCentre(xs_, x);
    const std::optional<int> row = view::NearestCentre(ys_, y);
    if (!column || !row) {
        return std::nullopt;
    }
    return Cell{*column, *row};
}

QPoint ColorMap::pixelOf(Cell cell) const {
    if (cell.column < 0 || cell.column >= columns() || cell.row < 0 || cell.row >= rows()) {
        return QPoint(-1, -1);
    }
    return QPoint(int(std::lround(plot_->xAxis->coordToPixel(xs_[std::size_t(cell.column)]))),
                  int(std::lround(plot_->yAxis->coordToPixel(ys_[std::size_t(cell.row)])))) +
           plot_->pos();
}

QPixmap ColorMap::toPixmap(int width, int height) {
    return plot_->toPixmap(width, height);
}

} // namespace skarvel::gui
