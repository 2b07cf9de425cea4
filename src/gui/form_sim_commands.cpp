// The main window's own commands: the handlers of the command table with
// the questions they ask.

#include "gui/form_sim.h"

#include "gui/window_edits.h"

#include "app/data_files.h"
#include "app/error_text.h"
#include "data/numtext.h"
#include "gui/help_window.h"
#include "gui/optimise_dialog.h"
#include "gui/pattern_print.h"
#include "gui/qt_text.h"
#include "gui/stability_dialog.h"
#include "gui/sweep_dialog.h"
#include "gui/table_view.h"
#include "gui/trajectory_view.h"
#include "gui/window_edits.h"
#include "gui/window_files.h"
#include "gui/window_pages.h"
#include "picture/pattern_file.h"
#include "picture/qt_page_canvas.h"

#include <QFileInfo>
#include <QFont>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>

#include <utility>

namespace skarvel::gui {

namespace {

const QString kPatternFilters = QStringLiteral("型紙 (*.pdf *.svg *.emf *.wmf)");

// The copies of every piece typed for a class: 1 to kMaxPatternCopies; a box
// left empty is the one copy it offered. None for anything else.
std::optional<int> PatternCopies(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return 1;
    }
    const std::optional<int> n = data::ParseInteger(ToStdString(text));
    if (!n || *n < 1 || *n > view::kMaxPatternCopies) {
        return std::nullopt;
    }
    return n;
}

} // namespace

void TFormSim::printPattern() {
    if (ws_.busy()) {
        return;
    }
    if (printer_ == nullptr) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    // A design without a pattern is told before any dialog opens (PatternError
    // goes to the error box). Paper too small for the pattern is the
    // preview's to tell: there it can be changed.
    ws_.pattern().layOut(view::PaperDimensions(view::PaperSize::A4), view::kPatternMargin,
                         PatternDate());
    QPrintPreviewDialog preview(printer_.get(), this);
    preview.setWindowTitle(QStringLiteral("型紙の印刷プレビュー"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &preview](QPrinter* printer) { paintPatternPreview(printer, &preview); });
    preview.resize(size() * 9 / 10);
    preview.exec();
}

void TFormSim::paintPatternPreview(QPrinter* printer, QWidget* preview) {
    // Called from inside the preview: nothing may leave it as an exception.
    QString problem;
    try {
        PrintPatternPages(*printer, PatternForPrinter(ws_, *printer, PatternDate()));
        return;
    } catch (const std::exception& e) {
        problem = ToQString(app::ErrorText(e));
    }
    // The preview shows the reason in place of the pages; a real print
    // prints nothing.
    if (printer->paintEngine() != nullptr &&
        printer->paintEngine()->type() == QPaintEngine::Picture) {
        // Large enough to read in the preview's whole-page view, well inside
        // the sheet.
        const int mm = qRound(printer->resolution() / 25.4);
        QPainter painter(printer);
        QFont big = font();
        big.setPixelSize(6 * mm);
        painter.setFont(big);
        painter.drawText(painter.viewport().adjusted(20 * mm, 20 * mm, -20 * mm, -20 * mm),
                         Qt::AlignTop | Qt::AlignLeft | Qt::TextWordWrap, problem);
    }
    // Told once the preview is done painting, not in the middle of it.
    QTimer::singleShot(0, preview, [this, problem, preview] { dialogs_.warn(preview, problem); });
}

void TFormSim::savePattern() {
    if (ws_.busy()) {
        return;
    }
    // A design without a pattern is told before anything is asked.
    ws_.pattern().layOut(view::PaperDimensions(view::PaperSize::A4), view::kPatternMargin,
                         PatternDate());
    const QString design = QFileInfo(ToQString(ws_.dialogFiles().designOpen)).completeBaseName();
    QString file =
        askSaveFile(QStringLiteral("型紙に名前を付けて保存"), kPatternFilters,
                    (design.isEmpty() ? QStringLiteral("型紙") : design) + QStringLiteral(".pdf"));
    if (file.isEmpty()) {
        return;
    }
    if (QFileInfo(file).suffix().isEmpty()) {
        file += QStringLiteral(".pdf");
    }
    const std::optional<picture::Medium> medium = picture::MediumOf(ToStdString(file));
    if (!medium || !picture::IsPatternMedium(*medium)) {
        dialogs_.error(this,
                       QStringLiteral("型紙は .pdf、.svg、.emf か .wmf のファイルに保存します: ") +
                           QFileInfo(file).fileName());
        return;
    }
    const QStringList papers = {QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("B5"),
                                QStringLiteral("Letter")};
    const QString paperName = dialogs_.chooseItem(this, QStringLiteral("型紙の用紙"),
                                                  QStringLiteral("用紙サイズ:"), papers, 0);
    const std::optional<view::PaperSize> paper = view::PaperSizeFromName(ToStdString(paperName));
    if (!paper) {
        return;
    }
    const QString copiesText = dialogs_.askText(
        this, QStringLiteral("型紙の部数"),
        QStringLiteral("部数（どの部品もこの数だけ、1〜%1）:").arg(view::kMaxPatternCopies),
        QStringLiteral("1"));
    const std::optional<int> copies = PatternCopies(copiesText);
    if (!copies) {
        dialogs_.error(this, QStringLiteral("部数は 1 から %1 までの整数で指定します: %2")
                                 .arg(view::kMaxPatternCopies)
                                 .arg(copiesText));
        return;
    }
    const view::PatternLayout layout = ws_.pattern().layOut(
        view::PaperDimensions(*paper), view::kPatternMargin, PatternDate(), *copies);
    const std::vector<std::string> written =
        picture::WritePattern(layout, ToStdString(file), *medium, picture::NewPdfDocument).written;
    if (written.size() > 1) {
        QString names;
        for (const std::string& name : written) {
            names += QStringLiteral("\n") + QFileInfo(ToQString(name)).fileName();
        }
        dialogs_.inform(this, QStringLiteral("型紙は %1 ページあるため、1ページずつ保存しました:")
                                      .arg(written.size()) +
                                  names);
    }
}

void TFormSim::exitProgram() {
    close();
}

QString TFormSim::askSaveFile(const QString& title, const QString& filters, const QString& start) {
    return files_->askSaveFile(title, filters, start);
}

void TFormSim::resetTables() {
    if (ws_.busy() || !edits_->askToSave(app::Replacing::Reset)) {
        return;
    }
    if (dialogs_.askYesNo(
            this, QStringLiteral("すべてのテーブルを、プログラムの初期値にリセットします\n"))) {
        ws_.resetTables();
    }
}

void TFormSim::runFromInput() {
    later([this] { ws_.runFromInput(); });
}

void TFormSim::runFromParameters() {
    later([this] { ws_.runFromParameters(); });
}

void TFormSim::showStability() {
    if (stability_ == nullptr) {
        const auto fly = [this](std::optional<std::size_t> mode) {
            // The flight is watched here.
            raise();
            activateWindow();
            later([this, mode] {
                // The tables may have changed since the dialog showed its trim.
                if (ws_.busy()) {
                    return;
                }
                if (!ws_.analysis().flyFromTrim(mode)) {
                    dialogs_.warn(this,
                                  QStringLiteral("定常滑空または選んだモードが見つからないため、"
                                                 "飛行できません"));
                } else if (stability_ != nullptr) {
                    stability_->launchRowsWritten();
                }
            });
        };
        // A window of its own rather than one kept above this one: it is as
        // large as this window, and the flights it starts are watched here.
        // This window deletes it.
        stability_ = new StabilityDialog(
            ws_, fly, [this](const std::function<void()>& edit) { guarded(edit); });
        // Every change of the tables the analysis reads, typed or computed,
        // reaches the views' models.
        for (TableView* v : {pages_->input, pages_->parameter}) {
            connect(v->tableModel(), &QAbstractItemModel::dataChanged, stability_,
                    &StabilityDialog::tablesChanged);
        }
    }
    stability_->show();
    stability_->raise();
    stability_->activateWindow();
}

void TFormSim::showSweep() {
    if (sweep_ == nullptr) {
        const auto fly = [this](const app::SweepGrid& grid, std::size_t point) {
            // The flight is watched here.
            raise();
            activateWindow();
            later([this, grid, point] {
                if (!ws_.busy()) {
                    ws_.sweeps().flyPoint(grid, point);
                }
            });
        };
        // A window of its own, as the analysis is; this window deletes it.
        sweep_ = new SweepDialog(ws_, dialogs_, fly);
    }
    sweep_->show();
    sweep_->raise();
    sweep_->activateWindow();
}

void TFormSim::showOptimise() {
    if (optimise_ == nullptr) {
        const auto apply = [this](const app::OptimiseOptions& options,
                                  const app::OptimiseResult& result) {
            raise();
            activateWindow();
            guarded([this, &options, &result] { ws_.analysis().applyOptimum(options, result); });
            later([this] { ws_.runFromInput(); });
        };
        // A window of its own, as the sweep is; this window deletes it.
        optimise_ = new OptimiseDialog(ws_, apply);
    }
    optimise_->show();
    optimise_->raise();
    optimise_->activateWindow();
}

void TFormSim::askHorizontalAngle() {
    const QString text = dialogs_.askText(this, QStringLiteral("左右の視角（度）を設定"),
                                          QStringLiteral("角度(-180～180の整数)"),
                                          QString::number(ws_.viewport().state().a));
    pages_->trajectory->horizontalAngleBar()->setValue(
        view::LimitHorizontalAngle(view::ParseAngleText(ToStdString(text))));
}

void TFormSim::askVerticalAngle() {
    const QString text = dialogs_.askText(this, QStringLiteral("上下の視角（度）を設定"),
                                          QStringLiteral("角度(0～90の整数)"),
                                          QString::number(ws_.viewport().state().b));
    pages_->trajectory->verticalAngleBar()->setValue(
        -view::LimitVerticalAngle(view::ParseAngleText(ToStdString(text))));
}

void TFormSim::playForward() {
    startReplay(true);
}
void TFormSim::playBackward() {
    startReplay(false);
}

void TFormSim::askReplayStep() {
    const QString current = ToQString(ws_.marker().replayStepText());
    ws_.marker().setReplayStep(
        ToStdString(dialogs_.askText(this, QStringLiteral("再生データ間隔を設定"),
                                     QStringLiteral("(-100～100の整数)"), current)));
}

void TFormSim::showHelp() {
    const QString file = ToQString(app::HelpFile(ToStdString(programPath_)));
    const QString guide =
        ToQString(app::FindDataFile(ToStdString(programPath_), app::kHelpFileName));
    // A help file beside the program goes to the system's viewer; the
    // program's own guide opens in a window of the program, as does the
    // guide when no viewer takes the help file.
    if (file != guide && QFileInfo(file).isFile() && dialogs_.openDocument(file)) {
        return;
    }
    if (!QFileInfo(guide).isFile()) {
        dialogs_.error(this, QStringLiteral("ヘルプファイルが見つかりません: ") + guide);
        return;
    }
    if (helpWindow_ == nullptr) {
        helpWindow_ = new HelpWindow(this);
    }
    helpWindow_->showFile(guide);
}

void TFormSim::showAbout() {
    dialogs_.inform(this, QString::fromUtf8(app::kAppTitle) + QStringLiteral(" - Ver 0.4\n") +
                              QStringLiteral("紙飛行機シミュレータ"));
}

} // namespace skarvel::gui
