#pragma once
// Parts of the sweep window: the list of a sweep's rows and the text that
// describes a point.

#include "app/sweep_model.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <string>
#include <vector>

class QTableView;

namespace skarvel::gui {

// A sweep's rows as they arrive, in the texts of its results, the best row
// tinted.
class SweepRowsModel : public QAbstractTableModel {
  public:
    SweepRowsModel(const app::SweepRun& run, QObject* parent);

    // No rows, the columns those of the results as they are now.
    void reset();
    // The rows from the last shown on have been added.
    void grown();
    // The best row has changed: the tint is redrawn.
    void bestChanged();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const app::SweepRun& run_;
    QStringList titles_;
    int shown_ = 0;
};

// A list of the model's rows: read-only, a whole row selected at a time.
QTableView* SweepRowsTable(SweepRowsModel* model);

// Parts of a text joined so that a line breaks between them only.
QString Unbroken(const std::vector<std::string>& parts);

} // namespace skarvel::gui
