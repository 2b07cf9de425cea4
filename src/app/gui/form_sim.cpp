#include "app/gui/form_sim.h"

#include "app/gui/history_view.h"
#include "app/gui/table_view.h"
#include "data/tables.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>

namespace skarvel::gui {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

const QString kInputFilters = QStringLiteral("KXSファイル(*.kxs);;すべてのファイル (*)");
const QString kDesignOpenFilters = QStringLiteral("kxファイル(*.kx);;すべてのファイル(*.*) (*)");
const QString kDesignSaveFilters = QStringLiteral("KXファイル(*.kx);;すべてのファイル (*)");
const QString kTextFilters = QStringLiteral("テキストファイル(*.txt);;すべてのファイル (*)");

// The comment box shows line feeds; the design file keeps CR LF.
QString CommentForBox(const std::string& text) {
    return Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
std::string CommentFromBox(const QString& text) {
    QString t = text;
    return S(t.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

QMessageBox::StandardButton Box(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(app::kAppTitle), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

Dialogs Dialogs::Standard() {
    Dialogs d;
    d.openFile = [](QWidget* parent, const QString& title, const QString& filters,
                    const QString& file) {
        return QFileDialog::getOpenFileName(parent, title, file, filters);
    };
    d.saveFile = [](QWidget* parent, const QString& title, const QString& filters,
                    const QString& file) {
        return QFileDialog::getSaveFileName(parent, title, file, filters);
    };
    d.askYesNo = [](QWidget* parent, const QString& text) {
        return Box(parent, QMessageBox::Information, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    d.warn = [](QWidget* parent, const QString& text) {
        Box(parent, QMessageBox::Warning, text, QMessageBox::Yes);
    };
    d.error = [](QWidget* parent, const QString& text) {
        QMessageBox::critical(parent, QString::fromUtf8(app::kAppTitle), text);
    };
    d.inform = [](QWidget* parent, const QString& text) {
        Box(parent, QMessageBox::Information, text, QMessageBox::Yes);
    };
    d.openDocument = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return d;
}

QFont InterfaceFont() {
    const QStringList families = QFontDatabase::families();
    QString family;
    for (const QString& wanted :
         {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
          QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
          QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")}) {
        if (families.contains(wanted)) {
            family = wanted;
            break;
        }
    }
    QFont font = family.isEmpty() ? QApplication::font() : QFont(family);
    font.setPixelSize(12);
    return font;
}

// What the window does around a flight: the busy cursor and the event pump.
class TFormSim::View : public app::RunView {
  public:
    explicit View(TFormSim& form) : form_(form) {}
    void runStarting() override {
        form_.setBusyCursor(true);
        QCoreApplication::processEvents();
    }
    void processEvents() override { QCoreApplication::processEvents(); }
    // The views are refreshed by the command that started the flight.
    void runFinished() override { form_.setBusyCursor(false); }

  private:
    TFormSim& form_;
};

TFormSim::TFormSim(const QStringList& args, const QString& programPath, Dialogs dialogs,
                   QWidget* parent)
    : QMainWindow(parent), ws_(S(programPath)), dialogs_(std::move(dialogs)),
      programPath_(programPath), view_(std::make_unique<View>(*this)) {
    setObjectName(QStringLiteral("TFormSim"));
    setFont(InterfaceFont());
    setAcceptDrops(true);
    buildCommands();
    buildMenus();
    buildToolBar();
    buildLayout();
    resize(800, 600);
    ws_.setRunView(view_.get());
    qApp->installEventFilter(this);
    startUp(args);
}

TFormSim::~TFormSim() {
    qApp->removeEventFilter(this);
    ws_.setRunView(nullptr);
    // The views and the comment box refer to the workspace: they go first,
    // while it is still there.
    inputView_ = parameterView_ = markerView_ = designView_ = computedView_ = nullptr;
    historyView_ = nullptr;
    comment_ = nullptr;
    delete takeCentralWidget();
}

QAction* TFormSim::action(const QString& name) const {
    const auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : it->second;
}

QList<QAction*> TFormSim::actions() const {
    QList<QAction*> list;
    for (const auto& [name, a] : commands_) {
        list.append(a);
    }
    return list;
}

QAction* TFormSim::addCommand(const QString& name, const QString& caption, const QString& hint,
                              std::function<void()> run) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setToolTip(hint.isEmpty() ? QString(caption).remove(QLatin1Char('&')) : hint);
    a->setStatusTip(hint);
    if (run) {
        connect(a, &QAction::triggered, this, [this, run = std::move(run)] { guarded(run); });
    } else {
        // Carried out by a part of the window that is not there yet.
        a->setEnabled(false);
    }
    commands_[name] = a;
    return a;
}

void TFormSim::buildCommands() {
    const auto icon = [this](QStyle::StandardPixmap p) { return style()->standardIcon(p); };
    addCommand("ActionInputOpen", "入力データを開く(&I)", "入力データを開く", [this] {
        openInputFile();
    })->setIcon(icon(QStyle::SP_DialogOpenButton));
    addCommand("ActionInputSaveAs", "入力データに名前を付けて保存(&A)...",
               "入力データに名前を付けて保存", [this] { saveInputFile(); })
        ->setIcon(icon(QStyle::SP_DialogSaveButton));
    addCommand("ActionFileOpen", "KXファイルを開く(&O)", "KXファイルを開く", [this] {
        openDesignFile();
    })->setIcon(icon(QStyle::SP_DirOpenIcon));
    addCommand("ActionFileSave", "KXファイルを保存(&S)", "KXファイルに名前を付けて保存", [this] {
        saveDesignFile();
    })->setIcon(icon(QStyle::SP_DriveFDIcon));
    addCommand("ActionConvert", "入力データに変換(&D)", "KXファイルを入力データに変換", [this] {
        convertToInput();
    })->setIcon(icon(QStyle::SP_ArrowDown));
    addCommand("ActionExit", "終了(&X)", "終了", [this] { close(); });

    addCommand("ActionCopyWindow", "Skarvel画面をクリップボードへコピー(&W)",
               "Skarvel画面をクリップボードへコピー", nullptr);
    addCommand("ActionCopyChart", "グラフをクリップボードへコピー(&E)",
               "グラフをクリップボードへコピー", nullptr);
    addCommand("ActionSaveChart", "グラフをファイル保存(&G)", "グラフをファイル保存", nullptr);
    addCommand("ActionCopyTrajectory", "軌跡をクリップボードへコピー(&C)",
               "軌跡をクリップボードへコピー", nullptr);
    addCommand("ActionSaveTrajectory", "軌跡をファイル保存(&S)", "軌跡をファイル保存", nullptr);
    addCommand("ActionSaveText", "計算データをテキスト保存(&T)", "計算データをテキスト保存",
               [this] { exportFlightText(); });
    addCommand("ActionClearHistory", "計算履歴をクリア(&L)", "計算履歴をクリア", [this] {
        ws_.history().clear();
        refreshViews();
    });
    addCommand("ActionReset", "データのリセット（プログラムのデフォルト値）(&R)", "",
               [this] { resetTables(); });

    addCommand("ActionRunFromInput", "入力データから計算実行(&D)", "入力データから計算実行",
               [this] { runFromInput(); })
        ->setIcon(icon(QStyle::SP_MediaPlay));
    addCommand("ActionRunFromParameters", "パラメータから計算実行(&P)", "パラメータから計算実行",
               [this] { runFromParameters(); })
        ->setIcon(icon(QStyle::SP_BrowserReload));
    for (auto [name, caption, hint, flag] :
         {std::tuple{"ActionLiveCharts", "グラフ(&G)", "グラフを更新", &ws_.options().liveCharts},
          std::tuple{"ActionLiveTrajectory", "軌跡(&Q)", "軌跡を更新",
                     &ws_.options().liveTrajectory},
          std::tuple{"ActionAutoFit", "自動最大表示(&A)", "", &ws_.options().autoFit}}) {
        QAction* a = addCommand(name, caption, hint, {});
        a->setEnabled(true);
        a->setCheckable(true);
        a->setChecked(*flag);
        connect(a, &QAction::toggled, this, [flag = flag](bool on) { *flag = on; });
    }

    addCommand("ActionReplayStart", "先頭へ戻る(&B)", "先頭へ戻る", nullptr)
        ->setIcon(icon(QStyle::SP_MediaSkipBackward));
    addCommand("ActionPlayForward", "順方向再生(&P)", "順方向再生", nullptr)
        ->setIcon(icon(QStyle::SP_MediaSeekForward));
    addCommand("ActionStop", "ストップ(&S)", "ストップ(Esc)", [this] {
        ws_.requestStop();
    })->setIcon(icon(QStyle::SP_MediaStop));
    addCommand("ActionPlayBackward", "逆方向再生(&R)", "逆方向再生", nullptr)
        ->setIcon(icon(QStyle::SP_MediaSeekBackward));
    addCommand("ActionReplayEnd", "最後へ移動(&E)", "最後へ移動", nullptr)
        ->setIcon(icon(QStyle::SP_MediaSkipForward));
    addCommand("ActionReplayStep", "再生ステップ変更(&T)", "再生ステップ変更", nullptr)
        ->setIcon(icon(QStyle::SP_FileDialogDetailedView));
    QAction* ground =
        addCommand("ActionShowCursorGround", "平面投影を表示(&H)", "平面投影を表示", nullptr);
    ground->setCheckable(true);
    ground->setChecked(true);

    QAction* track =
        addCommand("ActionGroundTrack", "地面投影(&P)", "軌跡の地面に投影図を表示", nullptr);
    track->setCheckable(true);
    track->setChecked(true);
    QAction* spans =
        addCommand("ActionSpanVerticals", "投影垂直線表示(&W)", "軌跡上に翼幅を表示", nullptr);
    spans->setCheckable(true);
    addCommand("ActionFitAll", "最大表示(&A)", "軌跡を最大表示", nullptr)
        ->setIcon(icon(QStyle::SP_TitleBarMaxButton));
    QAction* best = addCommand("ActionBestFit", "最適表示(&F)", "軌跡を最適表示", nullptr);
    best->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    best->setIcon(icon(QStyle::SP_TitleBarNormalButton));
    addCommand("ActionResetOrigin", "原点を戻す(&O)", "軌跡の原点を初期値に戻す", nullptr)
        ->setIcon(icon(QStyle::SP_DialogResetButton));
    addCommand("ActionZoomIn", "5%拡大(&Z)", "軌跡を5%拡大", nullptr)
        ->setIcon(icon(QStyle::SP_ArrowUp));
    addCommand("ActionZoomOut", "5%縮小(&T)", "軌跡を5%縮小", nullptr)
        ->setIcon(icon(QStyle::SP_ArrowDown));
    addCommand("ActionMoveUp", "上へ移動(&U)", "軌跡を上へ5%移動", nullptr)
        ->setIcon(icon(QStyle::SP_ArrowUp));
    addCommand("ActionMoveDown", "下へ移動(&D)", "軌跡を下へ5%移動", nullptr)
        ->setIcon(icon(QStyle::SP_ArrowDown));
    addCommand("ActionMoveLeft", "左へ移動(&L)", "軌跡を左へ5%移動", nullptr)
        ->setIcon(icon(QStyle::SP_ArrowLeft));
    addCommand("ActionMoveRight", "右へ移動(&R)", "軌跡を右へ5%移動", nullptr)
        ->setIcon(icon(QStyle::SP_ArrowRight));
    addCommand("ActionViewAngleH", "視角横移動(&X)", "視角横移動", nullptr)
        ->setIcon(icon(QStyle::SP_ArrowBack));
    addCommand("ActionViewAngleV", "視角縦移動(&Y)", "視角縦移動", nullptr)
        ->setIcon(icon(QStyle::SP_ArrowForward));

    QAction* help = addCommand("ActionHelp", "ヘルプ(&H)", "ヘルプ", [this] { showHelp(); });
    help->setShortcut(QKeySequence(Qt::Key_F1));
    addCommand("ActionAbout", "バージョン情報(&A)", "バージョン情報", [this] { showAbout(); });
    for (const auto& [name, a] : commands_) {
        addAction(a); // shortcuts work wherever the focus is in the window
    }
}

void TFormSim::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (name == nullptr) {
                menu->addSeparator();
            } else {
                menu->addAction(action(QString::fromUtf8(name)));
            }
        }
    };
    add(bar->addMenu("ファイル(&F)"),
        {"ActionInputOpen", "ActionInputSaveAs", nullptr, "ActionFileOpen", "ActionFileSave",
         "ActionConvert", nullptr, "ActionExit"});
    add(bar->addMenu("編集(&E)"),
        {"ActionCopyWindow", nullptr, "ActionCopyChart", "ActionSaveChart", nullptr,
         "ActionCopyTrajectory", "ActionSaveTrajectory", nullptr, "ActionSaveText", nullptr,
         "ActionClearHistory", "ActionReset"});
    add(bar->addMenu("計算(&R)"), {"ActionRunFromInput", "ActionRunFromParameters", nullptr,
                                   "ActionLiveCharts", "ActionLiveTrajectory"});
    add(bar->addMenu("再生(&P)"),
        {"ActionReplayStart", "ActionPlayForward", "ActionStop", "ActionPlayBackward",
         "ActionReplayEnd", nullptr, "ActionReplayStep", "ActionShowCursorGround"});
    QMenu* view = bar->addMenu("軌跡表示(&D)");
    add(view->addMenu("オプション(&P)"),
        {"ActionGroundTrack", "ActionSpanVerticals", "ActionAutoFit"});
    add(view, {nullptr, "ActionFitAll", "ActionBestFit", "ActionResetOrigin", "ActionZoomIn",
               "ActionZoomOut", nullptr, "ActionMoveUp", "ActionMoveDown", "ActionMoveLeft",
               "ActionMoveRight", nullptr, "ActionViewAngleH", "ActionViewAngleV"});
    add(bar->addMenu("ヘルプ(&H)"), {"ActionHelp", nullptr, "ActionAbout"});
}

void TFormSim::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setFixedHeight(24);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const auto label = [bar](const QString& text, const QString& hint) {
        auto* l = new QLabel(text, bar);
        l->setToolTip(hint);
        l->setMinimumWidth(22);
        l->setAlignment(Qt::AlignCenter);
        bar->addWidget(l);
        return l;
    };
    const auto add = [this, bar](std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (name == nullptr) {
                bar->addSeparator();
            } else {
                bar->addAction(action(QString::fromUtf8(name)));
            }
        }
    };
    add({"ActionInputOpen", "ActionInputSaveAs", nullptr, "ActionFileOpen", "ActionFileSave",
         "ActionConvert", nullptr, "ActionRunFromInput", "ActionRunFromParameters", nullptr,
         "ActionReplayStart", "ActionPlayForward", "ActionStop", "ActionPlayBackward",
         "ActionReplayEnd", "ActionReplayStep"});
    replayStepLabel_ = label(QStringLiteral("3"), QStringLiteral("再生ステップ"));
    add({nullptr, "ActionFitAll", "ActionBestFit", "ActionResetOrigin", nullptr, "ActionZoomIn",
         "ActionZoomOut", nullptr, "ActionMoveUp", "ActionMoveDown", "ActionMoveLeft",
         "ActionMoveRight", nullptr, "ActionViewAngleH"});
    angleHLabel_ = label(QStringLiteral("0"), QStringLiteral("横視角"));
    add({"ActionViewAngleV"});
    angleVLabel_ = label(QStringLiteral("20"), QStringLiteral("縦視角"));
}

void TFormSim::buildLayout() {
    data::Tables& t = ws_.tables();
    inputView_ = new TableView(t.input);
    parameterView_ = new TableView(t.parameter);
    markerView_ = new TableView(t.marker);
    designView_ = new TableView(t.design);
    computedView_ = new TableView(t.computed);
    inputView_->setBlockEditing(true);
    markerView_->setBlockEditing(true);
    for (TableView* v : {inputView_, parameterView_, markerView_, designView_, computedView_}) {
        v->applyGeometry();
    }

    leftTabs_ = new QTabWidget;
    leftTabs_->addTab(inputView_, QStringLiteral("入力データ"));
    leftTabs_->addTab(parameterView_, QStringLiteral("パラメータ"));
    leftTabs_->addTab(markerView_, QStringLiteral("マーカー"));
    leftTabs_->setCurrentIndex(0);
    // Three tabs in a 201-pixel panel: compact tabs, no scroll arrows.
    leftTabs_->setUsesScrollButtons(false);
    leftTabs_->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));

    // Instrument strip: speed, altitude, climb and lift bars, the three
    // attitude dials, the marker slider and the four-second option.
    auto* strip = new QFrame;
    strip->setObjectName(QStringLiteral("InstrumentStrip"));
    strip->setFixedWidth(94);
    auto* stripLayout = new QVBoxLayout(strip);
    stripLayout->setContentsMargins(2, 2, 2, 2);
    stripLayout->setSpacing(2);
    auto* bars = new QHBoxLayout;
    bars->setSpacing(1);
    for (const char* caption : {"V", "Z", "dZ", "CL"}) {
        auto* column = new QVBoxLayout;
        auto* bar = new QProgressBar;
        bar->setOrientation(Qt::Vertical);
        bar->setTextVisible(false);
        bar->setValue(0);
        bar->setFixedWidth(12);
        bar->setEnabled(false);
        column->addWidget(bar, 1, Qt::AlignHCenter);
        auto* l = new QLabel(QString::fromUtf8(caption));
        l->setAlignment(Qt::AlignCenter);
        column->addWidget(l);
        bars->addLayout(column);
    }
    auto* sliderColumn = new QHBoxLayout;
    auto* dials = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* dial = new QFrame;
        dial->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        dial->setFixedSize(66, 66);
        dials->addWidget(dial);
    }
    sliderColumn->addLayout(dials);
    auto* slider = new QSlider(Qt::Vertical);
    slider->setObjectName(QStringLiteral("MarkerSlider"));
    slider->setEnabled(false);
    sliderColumn->addWidget(slider);
    stripLayout->addLayout(bars, 1);
    stripLayout->addLayout(sliderColumn);
    auto* fourSeconds = new QCheckBox(QStringLiteral("4秒表示"));
    fourSeconds->setEnabled(false);
    stripLayout->addWidget(fourSeconds);

    // Charts: five pages chosen with flat buttons.
    auto* charts = new QWidget;
    auto* chartLayout = new QVBoxLayout(charts);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(0);
    auto* chartButtons = new QHBoxLayout;
    auto* pages = new QStackedWidget;
    auto* group = new QButtonGroup(charts);
    int page = 0;
    for (const char* caption : {"概要", "位置", "角度", "速度", "角速度"}) {
        auto* b = new QToolButton;
        b->setText(QString::fromUtf8(caption));
        b->setAutoRaise(true);
        b->setCheckable(true);
        b->setChecked(page == 0);
        group->addButton(b, page++);
        chartButtons->addWidget(b);
        auto* surface = new QFrame;
        surface->setFrameStyle(QFrame::StyledPanel);
        surface->setAutoFillBackground(true);
        pages->addWidget(surface);
    }
    chartButtons->addStretch(1);
    connect(group, &QButtonGroup::idClicked, pages, &QStackedWidget::setCurrentIndex);
    chartLayout->addLayout(chartButtons);
    chartLayout->addWidget(pages, 1);

    auto* trajectory = new QFrame;
    trajectory->setObjectName(QStringLiteral("TrajectoryView"));
    trajectory->setFrameStyle(QFrame::StyledPanel);
    trajectory->setAutoFillBackground(true);
    trajectory->setBackgroundRole(QPalette::Base);

    rightTabs_ = new QTabWidget;
    rightTabs_->addTab(designView_, QStringLiteral("KXファイル"));
    rightTabs_->addTab(computedView_, QStringLiteral("KXデータ"));
    rightTabs_->addTab(charts, QStringLiteral("グラフ"));
    rightTabs_->addTab(trajectory, QStringLiteral("軌跡"));
    rightTabs_->setCurrentIndex(3);

    auto* right = new QWidget;
    auto* rightLayout = new QHBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(strip);
    rightLayout->addWidget(rightTabs_, 1);

    auto* top = new QSplitter(Qt::Horizontal);
    top->addWidget(leftTabs_);
    top->addWidget(right);
    top->setStretchFactor(1, 1);
    top->setSizes({201, 599});

    comment_ = new QPlainTextEdit;
    comment_->setObjectName(QStringLiteral("CommentBox"));
    comment_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    comment_->installEventFilter(this);
    connect(comment_, &QPlainTextEdit::textChanged, this,
            [this] { ws_.comment() = CommentFromBox(comment_->toPlainText()); });
    auto* sketch = new QFrame;
    sketch->setObjectName(QStringLiteral("DesignSketch"));
    sketch->setFrameStyle(QFrame::StyledPanel);
    sketch->setAutoFillBackground(true);
    sketch->setBackgroundRole(QPalette::Base);
    historyView_ = new HistoryView(ws_.history());
    connect(historyView_, &HistoryView::rerunRequested, this,
            [this](int row) { guarded([this, row] { rerunHistoryRow(row); }); });

    auto* bottom = new QSplitter(Qt::Horizontal);
    bottom->addWidget(comment_);
    bottom->addWidget(sketch);
    bottom->addWidget(historyView_);
    bottom->setStretchFactor(2, 1);
    bottom->setSizes({145, 129, 526});

    auto* whole = new QSplitter(Qt::Vertical);
    whole->addWidget(top);
    whole->addWidget(bottom);
    whole->setStretchFactor(0, 1);
    whole->setSizes({600 - 122, 122});
    setCentralWidget(whole);

    connect(inputView_, &TableView::editFinished, this, [this](int, int, bool withEnter, bool) {
        if (withEnter) {
            guarded([this] { runFromInput(); });
        }
    });
    connect(parameterView_, &TableView::editFinished, this, [this](int, int, bool withEnter, bool) {
        if (withEnter) {
            guarded([this] { runFromParameters(); });
        }
    });
    connect(designView_, &TableView::editFinished, this,
            [this](int, int, bool withEnter, bool changed) {
                if (withEnter && changed && action(QStringLiteral("ActionConvert"))->isEnabled()) {
                    guarded([this] { convertToInput(); });
                }
            });
}

void TFormSim::guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_.error(this, QString::fromStdString(e.what()));
    } catch (...) {
        // Nothing may leave a slot; an unknown failure ends the command.
    }
    refreshViews();
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
    setWindowTitle(Q(ws_.caption()));
    if (comment_ != nullptr && CommentFromBox(comment_->toPlainText()) != ws_.comment()) {
        const QSignalBlocker block(comment_);
        comment_->setPlainText(CommentForBox(ws_.comment()));
    }
}

void TFormSim::startUp(const QStringList& args) {
    std::vector<std::string> list;
    for (const QString& a : args) {
        list.push_back(S(a));
    }
    guarded([this, &list] { ws_.loadStartupInput(list); });
    guarded([this] { ws_.runFromInput(); });
}

void TFormSim::setBusyCursor(bool busy) {
    if (busy == busyCursor_) {
        return;
    }
    busyCursor_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TFormSim::runFromInput() {
    ws_.runFromInput();
}
void TFormSim::runFromParameters() {
    ws_.runFromParameters();
}

void TFormSim::rerunHistoryRow(int row) {
    ws_.rerunHistoryRow(row);
}

void TFormSim::openInputFile() {
    const QString file = dialogs_.openFile(this, QStringLiteral("KXSファイルを開く"), kInputFilters,
                                           Q(ws_.dialogFiles().inputOpen));
    if (!file.isEmpty()) {
        ws_.openInputFile(S(file));
    }
}

void TFormSim::saveInputFile() {
    const QString file = dialogs_.saveFile(this, QStringLiteral("KXSファイルに名前を付けて保存"),
                                           kInputFilters, Q(ws_.dialogFiles().inputSave));
    if (!file.isEmpty()) {
        ws_.saveInputFile(S(file));
    }
}

void TFormSim::openDesignFile() {
    const QString file = dialogs_.openFile(this, QStringLiteral("KXファイルを開く"),
                                           kDesignOpenFilters, Q(ws_.dialogFiles().designOpen));
    if (file.isEmpty()) {
        return;
    }
    const data::DesignReadResult result = ws_.openDesignFile(S(file));
    if (!result.message.empty()) {
        dialogs_.warn(this, Q(result.message));
    }
}

void TFormSim::saveDesignFile() {
    const QString file = dialogs_.saveFile(this, QStringLiteral("KXファイルに名前を付けて保存"),
                                           kDesignSaveFilters, Q(ws_.dialogFiles().designSave));
    if (!file.isEmpty()) {
        ws_.saveDesignFile(S(file));
    }
}

void TFormSim::convertToInput() {
    ws_.convertToInput();
}

void TFormSim::exportFlightText() {
    const QString file = dialogs_.saveFile(this, QStringLiteral("計算データに名前を付けて保存"),
                                           kTextFilters, QString());
    if (!file.isEmpty()) {
        ws_.exportFlightText(S(file));
    }
}

void TFormSim::resetTables() {
    if (!dialogs_.askYesNo(
            this, QStringLiteral("すべてのテーブルを、プログラムの初期値にリセットします\n"))) {
        return;
    }
    ws_.resetTables();
}

QString TFormSim::helpFile() const {
    QFileInfo program(programPath_);
    const QString hlp = program.dir().filePath(program.completeBaseName() + QStringLiteral(".HLP"));
    if (QFileInfo(hlp).isFile()) {
        return hlp;
    }
    return program.dir().filePath(QStringLiteral("skarvel-help.html"));
}

void TFormSim::showHelp() {
    const QString file = helpFile();
    if (!QFileInfo(file).isFile()) {
        dialogs_.error(this, QStringLiteral("ヘルプファイルが見つかりません: ") + file);
        return;
    }
    if (!dialogs_.openDocument(file)) {
        dialogs_.error(this, QStringLiteral("ヘルプを表示できません: ") + file);
    }
}

void TFormSim::showAbout() {
    dialogs_.inform(this, QString::fromUtf8(app::kAppTitle) + QStringLiteral(" - Ver 0.4\n") +
                              QStringLiteral("紙飛行機シミュレータ"));
}

void TFormSim::dropFiles(const QStringList& paths) {
    std::vector<std::string> list;
    for (const QString& p : paths) {
        list.push_back(S(p));
    }
    guarded([this, &list] { ws_.dropFiles(list); });
}

void TFormSim::closeEvent(QCloseEvent* event) {
    // A running flight ends at its next whole second; nothing is asked or saved.
    ws_.requestStop();
    event->accept();
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
        if (widget != nullptr && widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && !ws_.stopRequested() && ws_.busy()) {
                // Esc stops a flight in progress; the key is used up only then.
                ws_.requestStop();
                setBusyCursor(false);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace skarvel::gui
