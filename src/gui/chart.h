#pragma once
// One time-series chart: line series against time in seconds, plus the marker
// series "Mkr" that highlights one chart point. With another bottom title and
// points given series by series it also plots one quantity against another.
// ColorMap shows a quantity over a grid of two others in colour.
// The only wrappers of the chart library, so that it can be replaced without
// touching the rest of the window.

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <span>
#include <utility>
#include <vector>

class QCustomPlot;
class QPaintDevice;
class QCPGraph;
class QPainter;
class QPixmap;
class QMouseEvent;

namespace skarvel::gui {

// The charts' face: a serif Japanese face when one is installed.
QString ChartFontFamily();

class Chart : public QWidget {
    Q_OBJECT
  public:
    // How a series is drawn: its points joined by lines (in order of x),
    // its points alone as dots, or both.
    enum class Style { Line, Points, LineAndPoints };
    struct Series {
        QString title;
        QColor color;
        Style style = Style::Line;
    };
    struct Range {
        double lower = 0;
        double upper = 0;
    };
    // Room an emptied series keeps once the chart has been cleared before:
    // 90 s of flight at one point per 50 ms.
    static constexpr int kReservedPoints = 1800;

    Chart(const QString& leftTitle, std::vector<Series> series, QWidget* parent = nullptr);
    ~Chart() override;

    // Line series only; the marker series is not counted.
    int seriesCount() const;
    QString seriesTitle(int series) const;
    QColor seriesColor(int series) const;
    QString leftTitle() const;
    QString bottomTitle() const;
    // The titles the legend shows, top left first.
    QStringList legendTitles() const;
    // The face the axes and the legend use.
    QString fontFamily() const;
    // The legend's rows: as many items a row as fit the chart's width, so
    // that no title is cut; and where it is drawn.
    int legendRows() const;
    QRect legendRect() const;

    // Fixes both axes at their present ranges and empties every series, the
    // marker included. From the second clearing on, emptied series keep room
    // for kReservedPoints points.
    void clear();
    // One point per line series at time t; no rescaling and no drawing.
    void append(double t, std::span<const double> values);
    // One point (x, y) of one line series alone; no rescaling and no drawing.
    void appendPoint(int series, double x, double y);
    // Both axes fixed at these ranges, then drawn.
    void setRanges(Range x, Range y);
    void setBottomTitle(const QString& title);
    void setLeftTitle(const QString& title);
    // Empties one line series; no rescaling and no drawing.
    void clearSeries(int series);
    // Both axes back to automatic scaling fitted to the line series, then drawn.
    void autoScale();
    bool automaticScaling() const { return automatic_; }

    int pointCount() const; // points of the first series
    int pointCount(int series) const;
    double pointX(int k) const;
    double pointY(int series, int k) const;
    Range xRange() const;
    Range yRange() const;

    // Marks chart point k: the marker series gets, for every line series, the
    // point (x of the first series' point k, y of that series' point k).
    // Nothing when k is not a point of the first series.
    void setMarker(int k);
    int markerPointCount() const;
    double markerX(int j) const;
    double markerY(int j) const;

    // The time under widget column pixelX; nothing outside the plotting area.
    std::optional<double> timeAt(int pixelX) const;
    // The widget pixel where the point (x, y) is drawn.
    QPoint pixelOf(double x, double y) const;

    bool dirty() const { return dirty_; }
    // Draws again only when points were added or removed since the last drawing.
    void replotIfDirty();
    void replot();

    // Pictures of the chart at width x height: a bitmap, or drawn on a whole
    // device (a metafile).
    QPixmap toPixmap(int width, int height);
    void renderTo(QPaintDevice& device, int width, int height);

  Q_SIGNALS:
    // The mouse moved over the plotting area with no button and no Shift, Ctrl
    // or Alt held; t is the time under it.
    void mouseTime(double t);
    // The left button went down in the plotting area with no Shift, Ctrl or
    // Alt held; (x, y) is the point under it.
    void clicked(double x, double y);

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Wraps the legend into as many rows as its titles need at `width`.
    void fitLegend(int width);
    void onMouseMove(QMouseEvent* event);
    void onMousePress(QMouseEvent* event);
    void fitAxes();

    QCustomPlot* plot_ = nullptr;
    std::vector<QCPGraph*> lines_;
    QCPGraph* marker_ = nullptr;
    std::vector<Series> series_;
    QString family_;
    bool dirty_ = false;
    bool automatic_ = true;
    bool reserveOnClear_ = false;
};

} // namespace skarvel::gui
