#include "gui/form_sim.h"

#include "app/data_files.h"
#include "app/error_text.h"
#include "gui/chart_panel.h"
#include "gui/comment_box.h"
#include "gui/design_sketch.h"
#include "gui/flight_view.h"
#include "gui/form_paper.h"
#include "gui/help_window.h"
#include "gui/history_view.h"
#include "gui/instrument_strip.h"
#include "gui/pick_list.h"
#include "gui/qt_text.h"
#include "gui/stability_dialog.h"
#include "gui/sweep_dialog.h"
#include "gui/table_view.h"
#include "gui/trajectory_view.h"
#include "model/design_rules.h"
#include "model/paper_catalogue.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <exception>
#include <map>

// The icons live in a static library: nothing would keep them without a call.
static void LoadIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace skarvel::gui {

namespace {

constexpr int kWindowWidth = 800;
constexpr int kLeftPanelWidth = 201;
constexpr int kMinPanel = 80; // pixels a panel keeps however far a splitter is dragged
constexpr int kTabPaneMargin = 6;

std::vector<std::string> ToStrings(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& s : list) {
        out.push_back(ToStdString(s));
    }
    return out;
}

// The comment box shows line feeds; the design file keeps CR LF.
QString CommentForBox(const std::string& text) {
    return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
std::string CommentFromBox(const QString& text) {
    QString t = text;
    return ToStdString(t.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

} // namespace

TFormSim::TFormSim(app::Workspace& workspace, const QStringList& args, const QString& programPath,
                   Dialogs dialogs, QWidget* parent)
    : QMainWindow(parent), ws_(workspace), dialogs_(std::move(dialogs)), programPath_(programPath) {
    LoadIcons();
    setObjectName(QStringLiteral("TFormSim"));
    setWindowTitle(ToQString(ws_.caption()));
    setAcceptDrops(true);
    buildCommands();
    buildMenus();
    buildToolBar();
    buildLayout();
    paper_ = new TFormPaper(
        ToQString(app::FindDataFile(ToStdString(programPath), model::kPaperFileName)), this);
    flightView_ = std::make_unique<WindowFlightView>(
        ws_, *charts_, *strip_, [this] { markerView_->tableModel()->refresh(); });
    connectViews();
    // One replay frame per refresh of a 60 Hz display, so that a replay
    // takes the same time on every machine.
    replayTimer_ = new QTimer(this);
    replayTimer_->setTimerType(Qt::PreciseTimer);
    replayTimer_->setInterval(1000 / 60);
    connect(replayTimer_, &QTimer::timeout, this, [this] { replayTick(); });
    resize(kWindowWidth, 600);
    restoreLayout();
    ws_.setFlightView(flightView_.get());
    ws_.marker().setView(flightView_.get());
    qApp->installEventFilter(this);
    // "--design FILE" (a double click on a design file) opens that design
    // after the start-up input data, as the open command does.
    QStringList rest = args;
    QString design;
    if (const qsizetype at = rest.indexOf(QStringLiteral("--design")); at >= 0) {
        if (at + 1 < rest.size()) {
            design = rest.at(at + 1);
            rest.remove(at, 2);
        } else {
            rest.remove(at);
        }
    }
    guarded([this, &rest] { ws_.loadStartupInput(ToStrings(rest)); });
    if (!design.isEmpty()) {
        guarded([this, &design] { openDesignPath(design); });
    }
    guarded([this] { ws_.runFromInput(); });
}

TFormSim::~TFormSim() {
    qApp->removeEventFilter(this);
    // The dialog goes first: the tables it listens to may still signal.
    delete stability_;
    stability_ = nullptr;
    // Its sweep ends with it.
    delete sweep_;
    sweep_ = nullptr;
    // The regions go after this part of the window is gone; what they signal
    // while they close must not reach it.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
    ws_.setFlightView(nullptr);
    ws_.marker().setView(nullptr);
    ws_.viewport().setSurface(nullptr);
}

QAction* TFormSim::action(Command id) const {
    return actions_[static_cast<std::size_t>(id)];
}

void TFormSim::buildLayout() {
    const auto table = [this](app::TableId id) {
        // The workspace outlives the window: an editor closed while the window
        // is being torn down still writes into it safely.
        return new TableView(ws_.table(id),
                             [&ws = ws_, id](int column, int row, const std::string& text) {
                                 ws.editCell(id, column, row, text);
                             });
    };
    inputView_ = table(app::TableId::Input);
    parameterView_ = table(app::TableId::Parameter);
    markerView_ = table(app::TableId::Marker);
    designView_ = table(app::TableId::Design);
    computedView_ = table(app::TableId::Computed);
    inputView_->setBlockEditing(true);
    markerView_->setBlockEditing(true);

    leftTabs_ = new QTabWidget;
    leftTabs_->setObjectName(QStringLiteral("LeftTabs"));
    leftTabs_->addTab(inputView_, QStringLiteral("入力データ(&I)"));
    leftTabs_->addTab(parameterView_, QStringLiteral("パラメータ(&A)"));
    leftTabs_->addTab(markerView_, QStringLiteral("マーカー(&M)"));
    leftTabs_->setCurrentIndex(0);
    // Three tabs in a 201-pixel panel: compact tabs, no scroll arrows, and
    // the active one raised in the view's own colour.
    leftTabs_->setUsesScrollButtons(false);
    leftTabs_->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 3px 5px; border: 1px solid palette(mid); border-bottom: none;"
        " background: palette(button); margin-top: 2px; }"
        "QTabBar::tab:selected { background: palette(base); margin-top: 0px;"
        " font-weight: bold; }"));

    strip_ = new InstrumentStrip(ws_);
    charts_ = new ChartPanel;
    trajectory_ = new TrajectoryView(ws_);
    ws_.viewport().setSurface(trajectory_);
    rightTabs_ = new QTabWidget;
    rightTabs_->addTab(designView_, QStringLiteral("KXファイル(&K)"));
    rightTabs_->addTab(computedView_, QStringLiteral("KXデータ(&X)"));
    rightTabs_->addTab(charts_, QStringLiteral("グラフ(&G)"));
    rightTabs_->addTab(trajectory_, QStringLiteral("軌跡(&T)"));
    rightTabs_->setCurrentIndex(3);
    // Where the window says what went wrong without stopping the user.
    statusBar()->setSizeGripEnabled(false);

    auto* right = new QWidget;
    auto* rightLayout = new QHBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(strip_);
    rightLayout->addWidget(rightTabs_, 1);

    auto* top = new QSplitter(Qt::Horizontal);
    top->setObjectName(QStringLiteral("TopSplitter"));
    top->addWidget(leftTabs_);
    top->addWidget(right);
    top->setStretchFactor(1, 1);
    // 201 pixels, or what the left tables need to show their columns whole
    // in the font in use.
    int left = kLeftPanelWidth;
    for (TableView* v : {inputView_, parameterView_, markerView_}) {
        left = std::max(left, v->fullWidth() + kTabPaneMargin);
    }
    top->setSizes({left, kWindowWidth - left});

    comment_ = new CommentBox;
    comment_->setObjectName(QStringLiteral("CommentBox"));
    comment_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    comment_->installEventFilter(this);
    sketch_ = new DesignSketch(ws_);
    historyView_ = new HistoryView(ws_.history());

    auto* bottom = new QSplitter(Qt::Horizontal);
    bottom->setObjectName(QStringLiteral("BottomSplitter"));
    bottom->addWidget(comment_);
    bottom->addWidget(sketch_);
    bottom->addWidget(historyView_);
    bottom->setStretchFactor(2, 1);
    bottom->setSizes({145, 129, 526});

    auto* whole = new QSplitter(Qt::Vertical);
    whole->setObjectName(QStringLiteral("MainSplitter"));
    whole->addWidget(top);
    whole->addWidget(bottom);
    whole->setStretchFactor(0, 1);
    whole->setSizes({600 - 122, 122});
    // No panel is dragged out of sight: each keeps a useful minimum.
    for (QSplitter* splitter : {top, bottom, whole}) {
        splitter->setChildrenCollapsible(false);
    }
    leftTabs_->setMinimumWidth(kMinPanel);
    right->setMinimumWidth(2 * kMinPanel);
    comment_->setMinimumWidth(kMinPanel / 2);
    sketch_->setMinimumWidth(kMinPanel / 2);
    historyView_->setMinimumWidth(kMinPanel);
    top->setMinimumHeight(2 * kMinPanel);
    bottom->setMinimumHeight(kMinPanel / 2);
    setCentralWidget(whole);
    mainSplitter_ = whole;
    topSplitter_ = top;
    bottomSplitter_ = bottom;
}

void TFormSim::connectTrajectory() {
    // The first size the image gets is the start-up view's; the start-up
    // flight is then fitted to it.
    // The window is laid out in several passes when it is first shown: the
    // fit waits until they are over.
    connect(trajectory_, &TrajectoryView::imageResized, this, [this](int width, int height) {
        if (startUpFit_ != StartUpFit::Done) {
            ws_.viewport().prepare(width, height);
            if (startUpFit_ == StartUpFit::NotAsked) {
                startUpFit_ = StartUpFit::Asked;
                QTimer::singleShot(0, this, [this] {
                    startUpFit_ = StartUpFit::Done;
                    guarded([this] { ws_.viewport().fitToTrajectory(); });
                });
            }
        } else {
            guardedView([this, width, height] { ws_.viewport().resize(width, height); });
        }
    });
    connect(trajectory_, &TrajectoryView::anglesChanged, this, [this](int a, int b) {
        guardedView([this, a, b] { ws_.viewport().setAngles(a, b); });
    });
    connect(trajectory_, &TrajectoryView::mousePressed, this,
            [this](view::Point p) { ws_.viewport().mousePress(p); });
    connect(trajectory_, &TrajectoryView::mouseMoved, this,
            [this](view::Point p, bool left, bool right) {
                guardedView([this, p, left, right] { ws_.viewport().mouseMove(p, left, right); });
            });
    connect(trajectory_, &TrajectoryView::mouseReleased, this,
            [this](view::Point p, view::MouseButton button) {
                guardedView([this, p, button] { ws_.viewport().mouseRelease(p, button); });
            });
    connect(trajectory_, &TrajectoryView::doubleClicked, this,
            [this] { action(Command::Fit)->trigger(); });
}

void TFormSim::guardedView(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_.error(this, ToQString(app::ErrorText(e)));
    }
    showViewState();
}

void TFormSim::showViewState() {
    const view::ViewState& v = ws_.viewport().state();
    trajectory_->showAngles(v.a, v.b);
    labels_[AngleXLabel]->setText(QString::number(v.a));
    labels_[AngleYLabel]->setText(QString::number(v.b));
}

void TFormSim::connectMarker() {
    connect(strip_, &InstrumentStrip::trackMoved, this,
            [this](int p) { guardedView([this, p] { ws_.marker().setTrackPosition(p); }); });
    connect(strip_, &InstrumentStrip::fourSecondsToggled, this,
            [this](bool on) { guardedView([this, on] { ws_.marker().setFourSeconds(on); }); });
    // The mouse over a chart reads the flight there: table, bars, dials and
    // the chart's marker, not the track bar.
    connect(charts_, &ChartPanel::mouseTime, this, [this](int, double t) {
        if (ws_.busy()) {
            return;
        }
        guardedView([this, t] { ws_.marker().showMarkerSample(ws_.marker().sampleAtTime(t)); });
    });
    connect(rightTabs_, &QTabWidget::currentChanged, this,
            [this](int index) { ws_.marker().setVisiblePage(static_cast<app::Page>(index)); });
    connect(markerView_, &TableView::editFinished, this,
            [this](int, int row, bool withEnter, bool) {
                if (withEnter) {
                    guarded([this, row] { ws_.marker().markerCellEntered(row); });
                }
            });
    // Typing the launch previews it on the bars and dials.
    connect(inputView_, &TableView::textEdited, this, [this](int, int row, const QString& text) {
        guardedView([this, row, &text] { ws_.marker().previewLaunch(row, ToStdString(text)); });
    });
}

void TFormSim::connectDesignTable() {
    pickList_ = new PickList(designView_->viewport());
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
            designView_->reserveWidth(column, names);
        }
    }
    connect(designView_, &TableView::chooseRequested, this, [this](int column, int row) {
        guarded([this, column, row] { openChooser(column, row); });
    });
    connect(pickList_, &PickList::chosen, this, [this](std::optional<std::size_t> item) {
        designView_->setFocus();
        guarded([this, item] { ws_.choosePickItem(pickColumn_, pickRow_, item); });
    });
}

void TFormSim::openChooser(int column, int row) {
    if (ws_.busy()) {
        return;
    }
    const data::Table& design = ws_.tables().design;
    if (design.style(column, row).hiddenText) {
        return;
    }
    if (const auto list = model::PickListFor(column, row)) {
        pickColumn_ = column;
        pickRow_ = row;
        const QRect cell = designView_->visualRect(designView_->tableModel()->indexOf(column, row));
        pickList_->open(cell, model::PickListItems(*list),
                        model::PickListSelection(*list, design.cell(column, row)));
        return;
    }
    if (!model::IsPaperCell(column, row)) {
        return;
    }
    QString name = ToQString(design.cell(column, data::design::PaperName));
    QString weight = ToQString(design.cell(column, data::design::PaperWeight));
    QString thickness = ToQString(design.cell(column, data::design::PaperThickness));
    if (dialogs_.choosePaper) {
        dialogs_.choosePaper(this, name, weight, thickness);
    } else {
        paper_->choose(name, weight, thickness);
    }
    // OK or cancel, the paper rows follow the dialog's texts.
    ws_.applyPaperChoice(column, ToStdString(name), ToStdString(weight), ToStdString(thickness));
}

void TFormSim::connectViews() {
    connectTrajectory();
    connectMarker();
    connectDesignTable();
    connect(comment_, &QPlainTextEdit::textChanged, this,
            [this] { ws_.setComment(CommentFromBox(comment_->toPlainText())); });
    connect(historyView_, &HistoryView::rerunRequested, this,
            [this](int row) { later([this, row] { ws_.rerunHistoryRow(row); }); });
    connect(historyView_, &HistoryView::rowSelected, this,
            [this](int row) { guarded([this, row] { ws_.selectHistoryRow(row); }); });
    connect(historyView_, &HistoryView::deleteRequested, this,
            [this] { guarded([this] { ws_.deleteSelectedHistoryRow(); }); });
    connect(historyView_, &HistoryView::clearRequested, this,
            [this] { guarded([this] { ws_.clearHistory(); }); });
    connect(historyView_, &HistoryView::sortRequested, this,
            [this](int column) { guarded([this, column] { ws_.sortHistory(column); }); });
    // Enter ends an edit and starts a run: from the input data, from the
    // parameters, or a conversion of a changed design cell.
    connect(inputView_, &TableView::editFinished, this, [this](int, int, bool withEnter, bool) {
        if (withEnter) {
            guarded([this] { ws_.runFromInput(); });
        }
    });
    connect(parameterView_, &TableView::editFinished, this, [this](int, int, bool withEnter, bool) {
        if (withEnter) {
            guarded([this] { ws_.runFromParameters(); });
        }
    });
    connect(designView_, &TableView::editFinished, this,
            [this](int, int, bool withEnter, bool changed) {
                if (withEnter && changed) {
                    guarded([this] { ws_.convertToInput(); });
                }
            });
}

void TFormSim::guarded(const std::function<void()>& command) {
    for (TableView* v : {inputView_, parameterView_, markerView_, designView_, computedView_}) {
        if (v != nullptr && !keyCommand_) {
            v->commitOpenEditor();
        }
    }
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_.error(this, ToQString(app::ErrorText(e)));
    } catch (...) {
        dialogs_.error(this, QStringLiteral("予期しないエラーが発生しました"));
    }
    refreshViews();
}

void TFormSim::later(std::function<void()> command) {
    // A flight asked for during a flight is dropped now, as the workspace
    // would drop it; a queued one is dropped with the window if it goes first.
    if (ws_.busy()) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, command = std::move(command)] {
            // A window closed meanwhile starts nothing more.
            if (!closed_) {
                guarded(command);
            }
        },
        Qt::QueuedConnection);
}

void TFormSim::startReplay(bool forward) {
    if (!closed_ && ws_.marker().startReplay(forward)) {
        flightView_->setBusyCursor(true);
        replayTimer_->start();
        replayTick();
    }
}

void TFormSim::replayTick() {
    bool more = false;
    try {
        more = ws_.marker().replayFrame();
    } catch (const std::exception& e) {
        ws_.requestStop();
        more = ws_.marker().replayFrame();
        dialogs_.error(this, ToQString(app::ErrorText(e)));
    }
    if (!more) {
        replayTimer_->stop();
        flightView_->setBusyCursor(false);
    }
}

void TFormSim::refreshViews() {
    for (TableView* v : {inputView_, parameterView_, markerView_, designView_, computedView_}) {
        if (v != nullptr) {
            v->tableModel()->refresh();
        }
    }
    if (historyView_ != nullptr) {
        historyView_->refresh();
    }
    setWindowTitle(ToQString(ws_.caption()));
    showDesignFailure();
    if (sketch_ != nullptr) {
        sketch_->update();
    }
    if (trajectory_ != nullptr) {
        showViewState();
        strip_->showMarker();
        labels_[ReplayStepLabel]->setText(ToQString(ws_.marker().replayStepText()));
    }
    if (comment_ != nullptr && CommentFromBox(comment_->toPlainText()) != ws_.comment()) {
        const QSignalBlocker block(comment_);
        comment_->setPlainText(CommentForBox(ws_.comment()));
    }
}

void TFormSim::showDesignFailure() {
    // Said without a dialog, until a computation succeeds: in the status
    // bar and by a mark on the page of the computed data.
    const QString failure = ToQString(ws_.designFailure());
    if (rightTabs_ == nullptr || failure == designFailureShown_) {
        return;
    }
    designFailureShown_ = failure;
    if (failure.isEmpty()) {
        statusBar()->clearMessage();
    } else {
        statusBar()->showMessage(failure);
    }
    const int page = rightTabs_->indexOf(computedView_);
    rightTabs_->setTabIcon(
        page, failure.isEmpty() ? QIcon() : style()->standardIcon(QStyle::SP_MessageBoxWarning));
    rightTabs_->setTabToolTip(page, failure);
}

void TFormSim::dropFiles(const QStringList& paths) {
    guarded([this, paths] {
        if (ws_.dropFiles(ToStrings(paths))) {
            rememberFile(paths.front());
        }
    });
}

void TFormSim::closeEvent(QCloseEvent* event) {
    // A running flight ends at its next whole second, a replay at once, and
    // one asked for but not started yet does not start; nothing is asked or
    // saved but the window's layout.
    closed_ = true;
    saveLayout();
    ws_.requestStop();
    replayTick();
    if (helpWindow_ != nullptr) {
        helpWindow_->close();
    }
    if (stability_ != nullptr) {
        stability_->close();
    }
    if (sweep_ != nullptr) {
        sweep_->close();
    }
    event->accept();
}

void TFormSim::showEvent(QShowEvent* event) {
    closed_ = false;
    QMainWindow::showEvent(event);
}

void TFormSim::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TFormSim::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    event->acceptProposedAction();
    dropFiles(paths);
}

bool TFormSim::eventFilter(QObject* watched, QEvent* event) {
    if (watched == comment_) {
        if (event->type() == QEvent::FocusIn) {
            keyPreview_ = false;
        } else if (event->type() == QEvent::FocusOut) {
            keyPreview_ = true;
        }
    }
    if (event->type() == QEvent::KeyPress && keyPreview_) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // A key the focused control leaves goes on to its parents: it is
        // looked at once, where it arrives first.
        QWidget* first = QApplication::focusWidget();
        if (widget != nullptr && widget->window() == this &&
            (first == nullptr || widget == first)) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && !ws_.stopRequested() &&
                (ws_.busy() || ws_.marker().replaying())) {
                // Esc stops a flight or a replay in progress; the key is used up only then,
                // so it also does what it does in an open cell: the edit is dropped.
                ws_.requestStop();
                replayTick();
                flightView_->setBusyCursor(false);
                for (TableView* v :
                     {inputView_, parameterView_, markerView_, designView_, computedView_}) {
                    v->cancelOpenEditor();
                }
                return true;
            }
            if (switchPage(key) || mapKey(key)) {
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TFormSim::switchPage(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    int step = 0;
    if (key->key() == Qt::Key_Tab && mods == Qt::ControlModifier) {
        step = 1;
    } else if (key->key() == Qt::Key_Backtab &&
               (mods == (Qt::ControlModifier | Qt::ShiftModifier) || mods == Qt::ControlModifier)) {
        step = -1;
    } else if (mods == Qt::ControlModifier &&
               (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)) {
        step = key->key() == Qt::Key_PageDown ? 1 : -1;
    } else {
        return false;
    }
    // The tab group holding the focus; the main pages when none does.
    QTabWidget* tabs = rightTabs_;
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (w == leftTabs_ || w == rightTabs_) {
            tabs = static_cast<QTabWidget*>(w);
            break;
        }
    }
    guarded([tabs, step] {
        const int n = tabs->count();
        tabs->setCurrentIndex((tabs->currentIndex() + step + n) % n);
        tabs->currentWidget()->setFocus(Qt::TabFocusReason);
    });
    return true;
}

bool TFormSim::mapKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool arrow = key->key() == Qt::Key_Left || key->key() == Qt::Key_Right ||
                       key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
    if (arrow && (mods == Qt::AltModifier || mods == (Qt::AltModifier | Qt::ShiftModifier))) {
        if (mods == Qt::AltModifier) {
            QScrollBar* bar = key->key() == Qt::Key_Left || key->key() == Qt::Key_Right
                                  ? trajectory_->horizontalAngleBar()
                                  : trajectory_->verticalAngleBar();
            const int step = key->key() == Qt::Key_Left || key->key() == Qt::Key_Up ? -1 : 1;
            bar->setValue(bar->value() + step);
        } else {
            const Command c = key->key() == Qt::Key_Left    ? Command::Left
                              : key->key() == Qt::Key_Right ? Command::Right
                              : key->key() == Qt::Key_Up    ? Command::Up
                                                            : Command::Down;
            action(c)->trigger();
        }
        return true;
    }
    // One-letter commands; the letter still goes on to the control.
    if ((mods & (Qt::ControlModifier | Qt::AltModifier)) != 0 || key->text().size() != 1) {
        return false;
    }
    static const std::map<QChar, Command> kLetters = {
        {u'A', Command::Fit},         {u'a', Command::Fit},         {u'F', Command::FitXY},
        {u'f', Command::FitXY},       {u'O', Command::Origin},      {u'o', Command::Origin},
        {u'z', Command::ZoomIn},      {u'Z', Command::ZoomOut},     {u'T', Command::ZoomOut},
        {u't', Command::ZoomOut},     {u'U', Command::Up},          {u'u', Command::Up},
        {u'D', Command::Down},        {u'd', Command::Down},        {u'L', Command::Left},
        {u'l', Command::Left},        {u'R', Command::Right},       {u'r', Command::Right},
        {u'B', Command::ReplayStart}, {u'b', Command::ReplayStart}, {u'P', Command::PlayForward},
        {u'p', Command::PlayForward}};
    const auto it = kLetters.find(key->text().front());
    if (it != kLetters.end()) {
        // The letter may be typed into a cell: its editor stays open.
        keyCommand_ = true;
        const auto done = qScopeGuard([this] { keyCommand_ = false; });
        action(it->second)->trigger();
        // It starts no editor in a cell that is not typed into, nor in the
        // marker table, whose cells the marker fills.
        auto* table = qobject_cast<TableView*>(QApplication::focusWidget());
        if (table != nullptr && !table->editing() &&
            (table == markerView_ ||
             !(table->model()->flags(table->currentIndex()) & Qt::ItemIsEditable))) {
            return true;
        }
    }
    return false;
}

} // namespace skarvel::gui
