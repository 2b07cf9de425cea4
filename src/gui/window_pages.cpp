#include "gui/window_pages.h"

#include "gui/chart_panel.h"
#include "gui/comment_box.h"
#include "gui/design_sketch.h"
#include "gui/history_view.h"
#include "gui/instrument_strip.h"
#include "gui/table_view.h"
#include "gui/trajectory_view.h"
#include "gui/window_settings.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>

#include <algorithm>
#include <utility>

namespace skarvel::gui {

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
constexpr int kLeftPanelWidth = 201;
constexpr int kMinPanel = 80; // pixels a panel keeps however far a splitter is dragged
constexpr int kTabPaneMargin = 6;

TableView* MakeTable(app::Workspace& ws, app::TableId id, const char* name) {
    // The workspace outlives the window: an editor closed while the window
    // is being torn down still writes into it safely.
    auto* view =
        new TableView(ws.table(id), [&ws, id](int column, int row, const std::string& text) {
            ws.editCell(id, column, row, text);
        });
    view->setBlockWriter([&ws, id](const std::vector<std::pair<int, int>>& cells,
                                   const std::string& text) { ws.editBlock(id, cells, text); });
    view->setObjectName(QString::fromLatin1(name));
    return view;
}

} // namespace

WindowPages::WindowPages(app::Workspace& ws) {
    buildLeft(ws);
    buildRight(ws);
    buildBottom(ws);
    split();
}

void WindowPages::buildLeft(app::Workspace& ws) {
    input = MakeTable(ws, app::TableId::Input, "InputTable");
    parameter = MakeTable(ws, app::TableId::Parameter, "ParameterTable");
    marker = MakeTable(ws, app::TableId::Marker, "MarkerTable");
    input->setBlockEditing(true);
    marker->setBlockEditing(true);
    left = new QTabWidget;
    left->setObjectName(QStringLiteral("LeftTabs"));
    left->addTab(input, QStringLiteral("入力データ(&I)"));
    left->addTab(parameter, QStringLiteral("パラメータ(&A)"));
    left->addTab(marker, QStringLiteral("マーカー(&M)"));
    left->setCurrentIndex(0);
    // Three tabs in a 201-pixel panel: compact tabs, no scroll arrows, and
    // the active one raised in the view's own colour.
    left->setUsesScrollButtons(false);
    left->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 3px 5px; border: 1px solid palette(mid); border-bottom: none;"
        " background: palette(button); margin-top: 2px; }"
        "QTabBar::tab:selected { background: palette(base); margin-top: 0px;"
        " font-weight: bold; }"));
}

void WindowPages::buildRight(app::Workspace& ws) {
    design = MakeTable(ws, app::TableId::Design, "DesignTable");
    computed = MakeTable(ws, app::TableId::Computed, "ComputedTable");
    strip = new InstrumentStrip(ws);
    charts = new ChartPanel;
    trajectory = new TrajectoryView(ws);
    trajectory->setObjectName(QStringLiteral("TrajectoryView"));
    right = new QTabWidget;
    right->setObjectName(QStringLiteral("RightTabs"));
    right->addTab(design, QStringLiteral("KXファイル(&K)"));
    right->addTab(computed, QStringLiteral("KXデータ(&X)"));
    right->addTab(charts, QStringLiteral("グラフ(&G)"));
    right->addTab(trajectory, QStringLiteral("軌跡(&T)"));
    right->setCurrentIndex(3);
}

void WindowPages::buildBottom(app::Workspace& ws) {
    comment = new CommentBox;
    comment->setObjectName(QStringLiteral("CommentBox"));
    comment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    sketch = new DesignSketch(ws);
    history = new HistoryView(ws.history());
    history->setObjectName(QStringLiteral("HistoryList"));
}

void WindowPages::split() {
    auto* rightPanel = new QWidget;
    auto* rightLayout = new QHBoxLayout(rightPanel);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(strip);
    rightLayout->addWidget(right, 1);

    top = new QSplitter(Qt::Horizontal);
    top->setObjectName(QStringLiteral("TopSplitter"));
    top->addWidget(left);
    top->addWidget(rightPanel);
    top->setStretchFactor(1, 1);
    // 201 pixels, or what the left tables need to show their columns whole
    // in the font in use.
    int leftWidth = kLeftPanelWidth;
    for (TableView* v : {input, parameter, marker}) {
        leftWidth = std::max(leftWidth, v->fullWidth() + kTabPaneMargin);
    }
    top->setSizes({leftWidth, kWindowWidth - leftWidth});

    bottom = new QSplitter(Qt::Horizontal);
    bottom->setObjectName(QStringLiteral("BottomSplitter"));
    bottom->addWidget(comment);
    bottom->addWidget(sketch);
    bottom->addWidget(history);
    bottom->setStretchFactor(2, 1);
    bottom->setSizes({145, 129, 526});

    whole = new QSplitter(Qt::Vertical);
    whole->setObjectName(QStringLiteral("MainSplitter"));
    whole->addWidget(top);
    whole->addWidget(bottom);
    whole->setStretchFactor(0, 1);
    whole->setSizes({kWindowHeight - 122, 122});
    // No panel is dragged out of sight: each keeps a useful minimum.
    for (QSplitter* splitter : {top, bottom, whole}) {
        splitter->setChildrenCollapsible(false);
    }
    left->setMinimumWidth(kMinPanel);
    rightPanel->setMinimumWidth(2 * kMinPanel);
    comment->setMinimumWidth(kMinPanel / 2);
    sketch->setMinimumWidth(kMinPanel / 2);
    history->setMinimumWidth(kMinPanel);
    top->setMinimumHeight(2 * kMinPanel);
    bottom->setMinimumHeight(kMinPanel / 2);
}

void WindowPages::restore() {
    const QSettings settings;
    for (const auto& [splitter, key] :
         {std::pair{whole, settings_key::kMainSplitter}, std::pair{top, settings_key::kTopSplitter},
          std::pair{bottom, settings_key::kBottomSplitter}}) {
        // A state that is not a splitter's is refused and changes nothing.
        const QByteArray state = settings.value(key).toByteArray();
        if (!state.isEmpty()) {
            splitter->restoreState(state);
        }
    }
    left->setCurrentIndex(StoredPage(settings_key::kLeftPage, left->count(), left->currentIndex()));
    right->setCurrentIndex(
        StoredPage(settings_key::kRightPage, right->count(), right->currentIndex()));
}

void WindowPages::save() const {
    QSettings settings;
    settings.setValue(settings_key::kMainSplitter, whole->saveState());
    settings.setValue(settings_key::kTopSplitter, top->saveState());
    settings.setValue(settings_key::kBottomSplitter, bottom->saveState());
    settings.setValue(settings_key::kLeftPage, left->currentIndex());
    settings.setValue(settings_key::kRightPage, right->currentIndex());
}

void WindowPages::markDesignFailure(const QString& failure) {
    const int page = right->indexOf(computed);
    right->setTabIcon(page, failure.isEmpty() ? QIcon()
                                              : QApplication::style()->standardIcon(
                                                    QStyle::SP_MessageBoxWarning));
    right->setTabToolTip(page, failure);
}

} // namespace skarvel::gui
