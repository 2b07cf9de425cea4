#pragma once
// The design table's choosers: a double click, Enter or Space on a cell
// with a pick list (edge shapes, wing and tail types) opens the list, on a
// paper name cell the paper dialog "紙の設定". The answer goes to the
// workspace; each column is wide enough for every name its lists offer.

#include "app/workspace.h"
#include "gui/dialogs.h"

#include <QObject>

#include <functional>

namespace skarvel::gui {

class PickList;
class TableView;
class TFormPaper;

class DesignChooser : public QObject {
    Q_OBJECT
  public:
    // Runs a command as the window runs its commands (errors shown, views
    // refreshed afterwards).
    using Guard = std::function<void(const std::function<void()>&)>;

    // The paper dialog reads `paperFile`; it and the pick list belong to
    // `window`, over which the dialog opens.
    DesignChooser(app::Workspace& ws, TableView& design, Dialogs dialogs, const QString& paperFile,
                  Guard guarded, QWidget& window);

  private:
    void reserveWidths();
    // A double click, Enter or Space on a design cell.
    void open(int column, int row);
    void choosePaper(int column);

    app::Workspace& ws_;
    TableView& design_;
    Dialogs dialogs_;
    Guard guarded_;
    QWidget& window_;
    PickList* list_;
    TFormPaper* paper_;
    int column_ = 0;
    int row_ = 0;
};

} // namespace skarvel::gui
