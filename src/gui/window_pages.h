#pragma once
// The main window's regions as it lays them out: the input, parameter and
// marker tables on the left pages; the instrument strip beside the design,
// computed-data, chart and trajectory pages; the comment box, the design
// sketch and the run history below. No splitter hides a panel. Each region
// carries an object name; the splitters and the pages shown are kept
// between sessions.

#include "app/workspace.h"

#include <QString>

#include <array>

class QSplitter;
class QTabWidget;
class QWidget;

namespace skarvel::gui {

class ChartPanel;
class CommentBox;
class DesignSketch;
class HistoryView;
class InstrumentStrip;
class TableView;
class TrajectoryView;

struct WindowPages {
    // Builds every region over `ws`; the whole is owned by `whole`, which
    // the window takes as its central widget. Typed cells go to the workspace.
    explicit WindowPages(app::Workspace& ws);

    // The five tables: input, parameter, marker, design, computed data.
    std::array<TableView*, 5> tables() const {
        return {input, parameter, marker, design, computed};
    }
    // The splitters and the pages as stored, where they are usable.
    void restore();
    void save() const;
    // A failed design computation is marked on the computed-data page
    // until one succeeds; empty: none.
    void markDesignFailure(const QString& failure);

    TableView* input;
    TableView* parameter;
    TableView* marker;
    TableView* design;
    TableView* computed;
    QTabWidget* left;
    QTabWidget* right;
    InstrumentStrip* strip;
    ChartPanel* charts;
    TrajectoryView* trajectory;
    CommentBox* comment;
    DesignSketch* sketch;
    HistoryView* history;
    // The whole window top over bottom; the tables beside the pages; the
    // comment, the sketch and the history side by side.
    QSplitter* whole;
    QSplitter* top;
    QSplitter* bottom;

  private:
    void buildLeft(app::Workspace& ws);
    void buildRight(app::Workspace& ws);
    void buildBottom(app::Workspace& ws);
    void split();
};

} // namespace skarvel::gui
