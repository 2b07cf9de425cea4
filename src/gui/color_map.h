#pragma once
// The colour map of a sweep over two variables, drawn by the chart library.

#include "gui/chart.h"

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

class QCustomPlot;
class QCPColorMap;
class QCPColorScale;
class QCPGraph;

namespace skarvel::gui {

// A grid of cells coloured by their values, with the colour scale beside
// it and one cell that can be marked. Cells without a value stay blank.
class ColorMap : public QWidget {
    Q_OBJECT
  public:
    struct Cell {
        int column = 0;
        int row = 0;
        friend bool operator==(const Cell&, const Cell&) = default;
    };

    explicit ColorMap(QWidget* parent = nullptr);
    ~ColorMap() override;

    // An empty grid: the cells' centres at xs (columns) and ys (rows), each
    // list evenly spaced, ascending or descending. Clears the mark.
    void reset(const QString& xTitle, std::vector<double> xs, const QString& yTitle,
               std::vector<double> ys);
    void setScaleTitle(const QString& title);
    QString scaleTitle() const;
    int columns() const { return int(xs_.size()); }
    int rows() const { return int(ys_.size()); }
    // A value that is not a number leaves the cell blank. No drawing.
    void setValue(Cell cell, double value);
    double value(Cell cell) const;
    void setMark(std::optional<Cell> cell);
    std::optional<Cell> mark() const { return mark_; }
    // The colour scale fitted to the values, then drawn.
    void replot();
    Chart::Range colourRange() const;

    // The cell under a widget pixel; nothing outside the grid.
    std::optional<Cell> cellAt(QPoint pixel) const;
    // The widget pixel at a cell's centre.
    QPoint pixelOf(Cell cell) const;

    QPixmap toPixmap(int width, int height);

  Q_SIGNALS:
    // The mouse moved over a cell with no button held; -1, -1: off the grid.
    void hovered(int column, int row);
    // The left button went down on a cell with no Shift, Ctrl or Alt held.
    void clicked(int column, int row);

  private:
    // The library's cell of a grid cell: its keys and values ascend.
    int keyIndex(int column) const;
    int valueIndex(int row) const;

    QCustomPlot* plot_ = nullptr;
    QCPColorMap* map_ = nullptr;
    QCPColorScale* scale_ = nullptr;
    QCPGraph* markGraph_ = nullptr;
    std::vector<double> xs_;
    std::vector<double> ys_;
    std::vector<double> values_; // by column, then row
    std::optional<Cell> mark_;
};

} // namespace skarvel::gui
