#pragma once
// The paper dialog "紙の設定": the catalogue as a list, from which the design
// table picks a paper's name, weight and thickness. The list only shows the
// catalogue state of the core; selection, sorting and the choice live there.

#include "model/paper_catalogue.h"

#include <QDialog>
#include <QString>

#include <cstddef>
#include <optional>

class QAction;
class QKeyEvent;
class QTableView;
class QTableWidget;

namespace skarvel::gui {

class TFormPaper : public QDialog {
    Q_OBJECT
  public:
    // Reads the catalogue now; a missing file gives an empty list, silently.
    explicit TFormPaper(QString catalogueFile, QWidget* parent = nullptr);

    // Reads the catalogue again, rows numbered from 1. A missing file leaves
    // the list (and its selection) as it was.
    void reload();

    // The three texts exchanged with the caller.
    void setSelected(const QString& name, const QString& weight, const QString& thickness);
    QString selectedName() const;
    QString selectedWeight() const;
    QString selectedThickness() const;

    // Before showing: selects and focuses the first row named exactly like
    // selectedName(), or leaves the list without selection or focus mark.
    void prepareShow();

    // Shows the dialog modally for the paper passed in. The references get the
    // dialog's values afterwards (those passed in after Cancel, or after OK
    // with no row selected). Returns whether OK closed the dialog.
    bool choose(QString& name, QString& weight, QString& thickness);

    // For tests and the caller's layout.
    QTableView* list() const;
    int rowCount() const;
    QString cell(int row, int column) const;
    QAction* okAction() const { return ok_; }
    QAction* cancelAction() const { return cancel_; }
    QAction* reloadAction() const { return reload_; }

  public Q_SLOTS:
    // OK takes the selected row's name, weight and thickness and accepts.
    // With no row selected the values stay as passed in; the dialog still
    // closes with OK, so the caller writes back what it already had.
    void takeSelection();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void fill();
    void fitColumns();
    void sortBy(int column);
    // The list's selected row (the state's index), or none.
    std::optional<std::size_t> viewSelection() const;
    void showSelection(std::optional<std::size_t> row);

    model::PaperDialogState state_;
    QTableWidget* table_;
    QAction* ok_;
    QAction* cancel_;
    QAction* reload_;
};

} // namespace skarvel::gui
