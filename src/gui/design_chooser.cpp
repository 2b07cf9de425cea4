#include "gui/design_chooser.h"

#include "gui/form_paper.h"
#include "gui/pick_list.h"
#include "gui/qt_text.h"
#include "gui/table_view.h"
#include "model/design_rules.h"

#include <QStringList>

#include <utility>

namespace skarvel::gui {

DesignChooser::DesignChooser(app::Workspace& ws, TableView& design, Dialogs dialogs,
                             const QString& paperFile, Guard guarded, QWidget& window)
    : QObject(&window), ws_(ws), design_(design), dialogs_(std::move(dialogs)),
      guarded_(std::move(guarded)), window_(window), list_(new PickList(design.viewport())),
      paper_(new TFormPaper(paperFile, &window)) {
    reserveWidths();
    connect(&design_, &TableView::chooseRequested, this,
            [this](int column, int row) { guarded_([this, column, row] { open(column, row); }); });
    connect(list_, &PickList::chosen, this, [this](std::optional<std::size_t> item) {
        design_.setFocus();
        guarded_([this, item] { ws_.choosePickItem(column_, row_, item); });
    });
}

void DesignChooser::reserveWidths() {
    // A column shows every name its pick lists offer whole.
    const data::Table& design = ws_.tables().design;
    for (int column = 1; column < design.columnCount(); ++column) {
        QStringList names;
        for (int row = 1; row < design.rowCount(); ++row) {
            if (const auto list = model::PickListFor(column, row)) {
                for (std::string_view item : model::PickListItems(*list)) {
                    names << QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
                }
            }
        }
        if (!names.isEmpty()) {
            design_.reserveWidth(column, names);
        }
    }
}

void DesignChooser::open(int column, int row) {
    if (ws_.busy()) {
        return;
    }
    const data::Table& design = ws_.tables().design;
    if (design.style(column, row).hiddenText) {
        return;
    }
    if (const auto list = model::PickListFor(column, row)) {
        column_ = column;
        row_ = row;
        const QRect cell = design_.visualRect(design_.tableModel()->indexOf(column, row));
        list_->open(cell, model::PickListItems(*list),
                    model::PickListSelection(*list, design.cell(column, row)));
    } else if (model::IsPaperCell(column, row)) {
        choosePaper(column);
    }
}

void DesignChooser::choosePaper(int column) {
    const data::Table& design = ws_.tables().design;
    QString name = ToQString(design.cell(column, data::design::PaperName));
    QString weight = ToQString(design.cell(column, data::design::PaperWeight));
    QString thickness = ToQString(design.cell(column, data::design::PaperThickness));
    if (dialogs_.choosePaper) {
        dialogs_.choosePaper(&window_, name, weight, thickness);
    } else {
        paper_->choose(name, weight, thickness);
    }
    // OK or cancel, the paper rows follow the dialog's texts.
    ws_.applyPaperChoice(column, ToStdString(name), ToStdString(weight), ToStdString(thickness));
}

} // namespace skarvel::gui
