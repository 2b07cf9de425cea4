#pragma once
// The run-history list: a report view over the workspace's history.

#include "sim/history.h"

#include <QAbstractTableModel>
#include <QTableView>

namespace skarvel::gui {

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit HistoryModel(sim::RunHistory& history, QObject* parent = nullptr)
        : QAbstractTableModel(parent), history_(history) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // The history changed (a run, a sort, a deletion).
    void refresh();

  private:
    sim::RunHistory& history_;
};

class HistoryView : public QTableView {
    Q_OBJECT
  public:
    explicit HistoryView(sim::RunHistory& history, QWidget* parent = nullptr);

    // Shows the history's rows and selection again.
    void refresh();

  signals:
    // Double-click or Enter on a row: run it again with its inputs.
    void rerunRequested(int row);
    // Delete, clear, sort: the history changed through the list.
    void historyChanged();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void copyToClipboard(bool lineBreaks);
    void syncSelectionFromView();

    sim::RunHistory& history_;
    HistoryModel* model_;
    bool syncing_ = false;
};

} // namespace skarvel::gui
