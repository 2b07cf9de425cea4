#pragma once
// The run-history list: a report view over the workspace's history. It only
// shows the history; what the user does to it goes out as requests.

#include "sim/history.h"

#include <QAbstractTableModel>
#include <QTableView>

namespace skarvel::gui {

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit HistoryModel(const sim::RunHistory& history, QObject* parent = nullptr)
        : QAbstractTableModel(parent), history_(history) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // The rows changed (a run, a sort, a deletion).
    void refresh();

  private:
    const sim::RunHistory& history_;
};

class HistoryView : public QTableView {
    Q_OBJECT
  public:
    explicit HistoryView(const sim::RunHistory& history, QWidget* parent = nullptr);

    // Shows the history's rows and selection again. The scroll position and
    // the selection stay unless the rows changed; a new flight's row is
    // selected and scrolled into view at the top.
    void refresh();

  Q_SIGNALS:
    // Double-click or Enter on a row: run it again with its inputs.
    void rerunRequested(int row);
    void rowSelected(int row); // -1: none
    void deleteRequested();    // Delete
    void clearRequested();     // Delete with a modifier
    void sortRequested(int column);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void copyToClipboard(bool lineBreaks);
    void syncSelectionFromView();

    void showSelection();

    const sim::RunHistory& history_;
    HistoryModel* model_;
    bool syncing_ = false;
    long shownRevision_ = -1;
    long shownSummaries_ = 0;
};

} // namespace skarvel::gui
