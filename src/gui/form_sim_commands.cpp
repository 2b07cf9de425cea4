// The main window's commands: actions, menus and the tool bar built from the
// command table, and the handlers with the questions they ask.

#include "gui/form_sim.h"

#include "app/data_files.h"
#include "app/error_text.h"
#include "app/picture_files.h"
#include "data/textfile.h"
#include "gui/chart.h"
#include "gui/chart_panel.h"
#include "gui/help_window.h"
#include "gui/instrument_strip.h"
#include "gui/pattern_print.h"
#include "gui/picture_export.h"
#include "gui/qt_text.h"
#include "gui/stability_dialog.h"
#include "gui/sweep_dialog.h"
#include "gui/table_view.h"
#include "gui/trajectory_view.h"
#include "picture/pattern_file.h"
#include "picture/qt_page_canvas.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>

#include <array>
#include <stdexcept>
#include <utility>

namespace skarvel::gui {

namespace {

const QString kInputFilters = QStringLiteral("KXSファイル(*.kxs);;すべてのファイル (*)");
const QString kDesignOpenFilters = QStringLiteral("kxファイル(*.kx);;すべてのファイル(*.*) (*)");
const QString kDesignSaveFilters = QStringLiteral("KXファイル(*.kx);;すべてのファイル (*)");
const QString kPatternFilters = QStringLiteral("型紙 (*.pdf *.svg *.emf *.wmf)");
const QString kTextFilters = QStringLiteral("テキストファイル(*.txt);;すべてのファイル (*)");

} // namespace

void TFormSim::buildCommands() {
    for (const CommandSpec& spec : CommandTable()) {
        auto* a = new QAction(QString::fromUtf8(spec.caption), this);
        a->setObjectName(QString::fromUtf8(spec.objectName));
        const QString hint = QString::fromUtf8(spec.hint);
        a->setToolTip(hint.isEmpty() ? a->text().remove(QLatin1Char('&')) : hint);
        a->setStatusTip(hint);
        if (*spec.icon != '\0') {
            a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf8(spec.icon))));
        }
        if (*spec.shortcut != '\0') {
            a->setShortcut(QKeySequence(QString::fromUtf8(spec.shortcut)));
        }
        if (spec.option) {
            const app::Option option = *spec.option;
            a->setCheckable(true);
            a->setChecked(ws_.options().get(option));
            connect(a, &QAction::toggled, this, [this, option](bool on) {
                guarded([this, option, on] { ws_.setOption(option, on); });
            });
        } else if (spec.run != nullptr) {
            connect(a, &QAction::triggered, this,
                    [this, run = spec.run] { guarded([this, run] { run(ws_); }); });
        } else {
            connect(a, &QAction::triggered, this, [this, handler = windowCommand(spec.id)] {
                guarded([this, handler] { (this->*handler)(); });
            });
        }
        actions_[static_cast<std::size_t>(spec.id)] = a;
    }
}

void (TFormSim::*TFormSim::windowCommand(Command id))() {
    switch (id) {
    case Command::InputOpen:
        return &TFormSim::openInputFile;
    case Command::InputSaveAs:
        return &TFormSim::saveInputFile;
    case Command::FileOpen:
        return &TFormSim::openDesignFile;
    case Command::FileSave:
        return &TFormSim::saveDesignFile;
    case Command::PrintPattern:
        return &TFormSim::printPattern;
    case Command::SavePattern:
        return &TFormSim::savePattern;
    case Command::Exit:
        return &TFormSim::exitProgram;
    case Command::CopyWindow:
        return &TFormSim::copyWindow;
    case Command::CopyChart:
        return &TFormSim::copyChart;
    case Command::SaveChart:
        return &TFormSim::saveChart;
    case Command::Copy3D:
        return &TFormSim::copyTrajectory;
    case Command::Save3D:
        return &TFormSim::saveTrajectory;
    case Command::SaveText:
        return &TFormSim::exportFlightText;
    case Command::Reset:
        return &TFormSim::resetTables;
    case Command::RunFromInput:
        return &TFormSim::runFromInput;
    case Command::RunFromParameters:
        return &TFormSim::runFromParameters;
    case Command::Stability:
        return &TFormSim::showStability;
    case Command::Sweep:
        return &TFormSim::showSweep;
    case Command::PlayForward:
        return &TFormSim::playForward;
    case Command::PlayBackward:
        return &TFormSim::playBackward;
    case Command::ReplayStep:
        return &TFormSim::askReplayStep;
    case Command::ViewAngleX:
        return &TFormSim::askHorizontalAngle;
    case Command::ViewAngleY:
        return &TFormSim::askVerticalAngle;
    case Command::Help:
        return &TFormSim::showHelp;
    case Command::About:
        return &TFormSim::showAbout;
    default:
        break;
    }
    // The table gives every other command a function of its own.
    throw std::logic_error("a command without a handler");
}

void TFormSim::buildMenus() {
    for (const MenuSpec& spec : MenuLayout()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(spec.caption));
        for (const BarItem& item : spec.items) {
            switch (item.kind) {
            case BarItem::Kind::Command:
                menu->addAction(action(item.command));
                break;
            case BarItem::Kind::Separator:
                menu->addSeparator();
                break;
            case BarItem::Kind::Submenu: {
                QMenu* sub = menu->addMenu(QString::fromUtf8(item.caption));
                for (Command c : item.submenu) {
                    sub->addAction(action(c));
                }
                break;
            }
            case BarItem::Kind::Label:
                break;
            }
        }
        if (menu->actions().contains(action(Command::Exit))) {
            // The files used last, above the exit command.
            recentMenu_ = new QMenu(QStringLiteral("最近使ったファイル"), menu);
            recentMenu_->setObjectName(QStringLiteral("RecentFiles"));
            menu->insertMenu(action(Command::Exit), recentMenu_);
            menu->insertSeparator(action(Command::Exit));
            connect(recentMenu_, &QMenu::aboutToShow, this, [this] { fillRecentMenu(); });
            fillRecentMenu();
        }
    }
}

void TFormSim::buildToolBar() {
    static const std::array<std::pair<const char*, const char*>, LabelCount> kLabels = {
        {{"3", "再生ステップ"}, {"0", "横視角"}, {"20", "縦視角"}}};
    QToolBar* bar = addToolBar(QStringLiteral("tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setFixedHeight(24);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const BarItem& item : ToolBarLayout()) {
        if (item.kind == BarItem::Kind::Command) {
            bar->addAction(action(item.command));
        } else if (item.kind == BarItem::Kind::Separator) {
            bar->addSeparator();
        } else if (item.kind == BarItem::Kind::Label) {
            const auto [text, hint] = kLabels[static_cast<std::size_t>(item.label)];
            auto* label = new QLabel(QString::fromUtf8(text), bar);
            label->setToolTip(QString::fromUtf8(hint));
            label->setMinimumWidth(22);
            label->setAlignment(Qt::AlignCenter);
            bar->addWidget(label);
            labels_[static_cast<std::size_t>(item.label)] = label;
        }
    }
}

bool TFormSim::confirmUnsavable(const std::vector<std::string>& characters) {
    if (characters.empty()) {
        return true;
    }
    QString list;
    for (const std::string& c : characters) {
        list += ToQString(c);
    }
    return dialogs_.askYesNo(this, QStringLiteral("次の文字は保存できないため「?」になります: ") +
                                       list + QStringLiteral(" 保存しますか?"));
}

void TFormSim::openInputFile() {
    if (ws_.busy()) {
        return;
    }
    const QString file = askOpenFile(QStringLiteral("KXSファイルを開く"), kInputFilters,
                                     ToQString(ws_.dialogFiles().inputOpen));
    if (!file.isEmpty()) {
        openInputPath(file);
    }
}

void TFormSim::openInputPath(const QString& file) {
    if (ws_.openInputFile(ToStdString(file))) {
        rememberFile(file);
    }
}

void TFormSim::saveInputFile() {
    if (ws_.busy()) {
        return;
    }
    const QString file = askSaveFile(QStringLiteral("KXSファイルに名前を付けて保存"), kInputFilters,
                                     ToQString(ws_.dialogFiles().inputSave));
    if (!file.isEmpty() && confirmUnsavable(ws_.unsavableInputCharacters())) {
        rememberFile(ToQString(ws_.saveInputFile(ToStdString(file))));
    }
}

void TFormSim::openDesignFile() {
    if (ws_.busy()) {
        return;
    }
    const QString file = askOpenFile(QStringLiteral("KXファイルを開く"), kDesignOpenFilters,
                                     ToQString(ws_.dialogFiles().designOpen));
    if (!file.isEmpty()) {
        openDesignPath(file);
    }
}

void TFormSim::openDesignPath(const QString& file) {
    const data::DesignReadResult result = ws_.openDesignFile(ToStdString(file));
    if (result.status != data::DesignReadStatus::NotADesignFile) {
        rememberFile(file);
    }
    if (!result.message.empty()) {
        dialogs_.warn(this, ToQString(result.message));
    }
}

void TFormSim::saveDesignFile() {
    if (ws_.busy()) {
        return;
    }
    const QString file = askSaveFile(QStringLiteral("KXファイルに名前を付けて保存"),
                                     kDesignSaveFilters, ToQString(ws_.dialogFiles().designSave));
    if (!file.isEmpty() && confirmUnsavable(ws_.unsavableDesignCharacters(ToStdString(file)))) {
        rememberFile(ToQString(ws_.saveDesignFile(ToStdString(file))));
    }
}

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
    ws_.cuttingPattern(view::PaperDimensions(view::PaperSize::A4), view::kPatternMargin,
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
    ws_.cuttingPattern(view::PaperDimensions(view::PaperSize::A4), view::kPatternMargin,
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
    const view::PatternLayout layout =
        ws_.cuttingPattern(view::PaperDimensions(*paper), view::kPatternMargin, PatternDate());
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

void TFormSim::exportFlightText() {
    if (ws_.busy()) {
        return;
    }
    const QString file =
        askSaveFile(QStringLiteral("計算データに名前を付けて保存"), kTextFilters, QString());
    if (!file.isEmpty()) {
        ws_.exportFlightText(ToStdString(file));
    }
}

void TFormSim::resetTables() {
    if (ws_.busy()) {
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
                if (!ws_.flyFromTrim(mode)) {
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
        stability_ = new StabilityDialog(ws_, fly);
        // Every change of the tables the analysis reads, typed or computed,
        // reaches the views' models.
        for (TableView* v : {inputView_, parameterView_}) {
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
                    ws_.flySweepPoint(grid, point);
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

void TFormSim::askHorizontalAngle() {
    const QString text = dialogs_.askText(this, QStringLiteral("左右の視角（度）を設定"),
                                          QStringLiteral("角度(-180～180の整数)"),
                                          QString::number(ws_.viewport().state().a));
    trajectory_->horizontalAngleBar()->setValue(
        view::LimitHorizontalAngle(view::ParseAngleText(ToStdString(text))));
}

void TFormSim::askVerticalAngle() {
    const QString text = dialogs_.askText(this, QStringLiteral("上下の視角（度）を設定"),
                                          QStringLiteral("角度(0～90の整数)"),
                                          QString::number(ws_.viewport().state().b));
    trajectory_->verticalAngleBar()->setValue(
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

void TFormSim::copyWindow() {
    // The window is painted whole first; this platform has no Print Screen key
    // that would put the screen on the clipboard by itself.
    strip_->setFocus();
    QCoreApplication::processEvents();
    QApplication::clipboard()->setImage(ScreenPicture(*this));
}

void TFormSim::copyChart() {
    Chart* chart = charts_->chart(charts_->currentChart());
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("image/x-emf"), ChartPicture(*chart, picture::Medium::Emf));
    // For programs that read no metafiles, the same picture as a bitmap.
    mime->setImageData(chart->toPixmap(chart->width(), chart->height()).toImage());
    QApplication::clipboard()->setMimeData(mime);
}

void TFormSim::saveChart() {
    const QString file = askSaveFile(
        QStringLiteral("グラフイメージに名前を付けて保存"),
        QStringLiteral(
            "エンハンス メタファイル (*.emf);;メタファイル (*.wmf);;ビットマップ (*.bmp);;"
            "すべてのファイル (*.dib *.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"),
        QString());
    if (file.isEmpty()) {
        return;
    }
    const app::PictureFile pictureFile = app::ChartPictureFile(ToStdString(file));
    const QByteArray bytes =
        ChartPicture(*charts_->chart(charts_->currentChart()), pictureFile.medium);
    data::WriteFileBytes(pictureFile.path, std::string_view(bytes.constData(), bytes.size()));
}

void TFormSim::copyTrajectory() {
    QApplication::clipboard()->setImage(trajectory_->picture());
}

void TFormSim::saveTrajectory() {
    const QString file =
        askSaveFile(QStringLiteral("軌跡イメージに名前を付けて保存"),
                    QStringLiteral("ビットマップ (*.bmp);;"
                                   "すべてのファイル (*.dib *.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"),
                    QString());
    if (file.isEmpty()) {
        return;
    }
    const app::PictureFile pictureFile = app::TrajectoryPictureFile(ToStdString(file));
    const QByteArray bytes = BitmapBytes(trajectory_->picture());
    data::WriteFileBytes(pictureFile.path, std::string_view(bytes.constData(), bytes.size()));
}

QString TFormSim::helpFile() const {
    QFileInfo program(programPath_);
    const QString hlp = program.dir().filePath(program.completeBaseName() + QStringLiteral(".HLP"));
    if (QFileInfo(hlp).isFile()) {
        return hlp;
    }
    return ToQString(app::FindDataFile(ToStdString(programPath_), "skarvel-help.html"));
}

void TFormSim::showHelp() {
    const QString file = helpFile();
    const QString guide =
        ToQString(app::FindDataFile(ToStdString(programPath_), "skarvel-help.html"));
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
