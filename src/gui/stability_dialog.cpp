#include "gui/stability_dialog.h"

#include "app/error_text.h"
#include "app/stability_view.h"
#include "gui/advice_page.h"
#include "gui/chart.h"
#include "gui/qt_text.h"

#include <QBrush>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <string>

namespace skarvel::gui {

namespace {

const QColor kGrowing(0xD0, 0x00, 0x00);
const QColor kDecaying(0x00, 0x00, 0xD0);
const QColor kStalled(0x80, 0x80, 0x80);
const QColor kBest(0x00, 0x90, 0x00);
const QColor kUnstable(0xD0, 0x00, 0x00);

Chart::Range ToRange(const app::PlotRange& r) {
    return {r.lower, r.upper};
}

void ShowPlot(Chart* chart, const app::Plot& plot) {
    chart->clear();
    for (const app::PlotPoint& p : plot.points) {
        chart->appendPoint(p.series, p.x, p.y);
    }
    chart->setRanges(ToRange(plot.x), ToRange(plot.y));
}

QTableWidget* NewTable(int rows, int columns) {
    auto* table = new QTableWidget(rows, columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->setWordWrap(false);
    return table;
}

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

StabilityDialog::StabilityDialog(app::Workspace& workspace, FlyRequest fly, EditRequest edit,
                                 QWidget* parent)
    : QDialog(parent), ws_(workspace), fly_(std::move(fly)), edit_(std::move(edit)) {
    setObjectName(QStringLiteral("StabilityDialog"));
    setWindowTitle(QStringLiteral("安定解析"));
    setModal(false);

    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, [this] {
        // A flight in progress works on the laws the analysis would use: wait.
        if (ws_.busy()) {
            settle_->start();
            return;
        }
        recompute();
    });

    // The steady glide.
    auto* trimBox = new QGroupBox(QStringLiteral("定常滑空（トリム）"));
    auto* trimLayout = new QVBoxLayout(trimBox);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("StabilityMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00000;"));
    trimTable_ = NewTable(static_cast<int>(app::kTrimRows), 1);
    trimTable_->setObjectName(QStringLiteral("TrimTable"));
    trimTable_->setHorizontalHeaderLabels({QStringLiteral("値")});
    for (std::size_t row = 0; row < app::kTrimRows; ++row) {
        trimTable_->setVerticalHeaderItem(
            static_cast<int>(row),
            new QTableWidgetItem(QString::fromUtf8(app::kTrimCaptions[row])));
    }
    trimTable_->horizontalHeader()->setStretchLastSection(true);
    trimTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    trimTable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    trimTable_->setSelectionMode(QAbstractItemView::NoSelection);
    trimTable_->setFocusPolicy(Qt::NoFocus);
    // Without a trim the message takes the table's place, and its room.
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    trimStack_ = new QStackedWidget;
    trimStack_->addWidget(trimTable_);
    trimStack_->addWidget(message_);
    trimLayout->addWidget(trimStack_);
    trimLayout->addStretch(1);

    // The static margin.
    auto* marginBox = new QGroupBox(QStringLiteral("静安定余裕"));
    auto* marginLayout = new QVBoxLayout(marginBox);
    margin_ = new QLabel;
    margin_->setObjectName(QStringLiteral("StaticMargin"));
    marginNote_ = new QLabel;
    marginNote_->setWordWrap(true);
    marginLayout->addWidget(margin_);
    marginLayout->addWidget(marginNote_);

    // The modes.
    auto* modeBox = new QGroupBox(QStringLiteral("運動モード（赤: 発散するモード）"));
    auto* modeLayout = new QVBoxLayout(modeBox);
    modeTable_ = NewTable(0, static_cast<int>(app::kModeColumns));
    modeTable_->setObjectName(QStringLiteral("ModeTable"));
    QStringList headers;
    for (const char* h : app::kModeHeaders) {
        headers << QString::fromUtf8(h);
    }
    modeTable_->setHorizontalHeaderLabels(headers);
    modeTable_->verticalHeader()->hide();
    modeTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    modeTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    modeTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    modeTable_->horizontalHeader()->setStretchLastSection(true);
    modeLayout->addWidget(modeTable_);
    connect(modeTable_, &QTableWidget::itemSelectionChanged, this, [this] { enableButtons(); });

    // Where the launch settles.
    auto* settleBox = new QGroupBox(QStringLiteral("発射の行き先"));
    auto* settleLayout = new QVBoxLayout(settleBox);
    settling_ = new QLabel;
    settling_->setObjectName(QStringLiteral("Settling"));
    settling_->setWordWrap(true);
    settleLayout->addWidget(settling_);

    auto* right = new QVBoxLayout;
    right->addWidget(marginBox);
    right->addWidget(settleBox);
    right->addWidget(modeBox, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(trimBox);
    top->addLayout(right, 1);

    // The charts.
    roots_ = new Chart(QStringLiteral("虚部(rad/s)"),
                       {{QStringLiteral("減衰する根"), kDecaying, Chart::Style::Points},
                        {QStringLiteral("発散する根"), kGrowing, Chart::Style::Points}});
    roots_->setBottomTitle(QStringLiteral("実部(1/s)"));
    sink_ = new Chart(QStringLiteral("沈下率(m/s)"),
                      {{QStringLiteral("沈下率"), kDecaying, Chart::Style::LineAndPoints},
                       {QStringLiteral("失速"), kStalled, Chart::Style::Points},
                       {QStringLiteral("不安定"), kUnstable, Chart::Style::Points},
                       {QStringLiteral("最小沈下率"), kBest, Chart::Style::Points}});
    sink_->setBottomTitle(QStringLiteral("速度(m/s)"));
    ratio_ = new Chart(QStringLiteral("滑空比"),
                       {{QStringLiteral("滑空比"), kDecaying, Chart::Style::LineAndPoints},
                        {QStringLiteral("失速"), kStalled, Chart::Style::Points},
                        {QStringLiteral("不安定"), kUnstable, Chart::Style::Points},
                        {QStringLiteral("最良滑空比"), kBest, Chart::Style::Points}});
    ratio_->setBottomTitle(QStringLiteral("水平尾翼取付角(度)"));
    auto* charts = new QGroupBox(QStringLiteral("根の配置と滑空ポーラー"));
    auto* chartLayout = new QHBoxLayout;
    for (Chart* c : {roots_, sink_, ratio_}) {
        c->setMinimumSize(300, 220);
        chartLayout->addWidget(c);
    }
    polarNote_ = new QLabel;
    polarNote_->setObjectName(QStringLiteral("PolarNote"));
    polarNote_->setWordWrap(true);
    auto* chartBox = new QVBoxLayout(charts);
    chartBox->addLayout(chartLayout, 1);
    chartBox->addWidget(polarNote_);

    // The buttons.
    flyTrim_ = new QPushButton(QStringLiteral("このトリムで飛行"));
    flyTrim_->setObjectName(QStringLiteral("FlyFromTrim"));
    flyMode_ = new QPushButton(QStringLiteral("モードを励起して飛行"));
    flyMode_->setObjectName(QStringLiteral("FlyExcitedMode"));
    flyMode_->setToolTip(QStringLiteral("表で選んだモードを小さく加えたトリムから飛行"));
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    for (QPushButton* b : {flyTrim_, flyMode_, close}) {
        b->setAutoDefault(false);
    }
    connect(flyTrim_, &QPushButton::clicked, this, [this] {
        if (fly_) {
            fly_(std::nullopt);
        }
    });
    connect(flyMode_, &QPushButton::clicked, this, [this] {
        const int row = modeTable_->currentRow();
        if (fly_ && row >= 0 && modeTable_->selectionModel()->hasSelection()) {
            fly_(static_cast<std::size_t>(row));
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    flyNote_ = new QLabel;
    flyNote_->setObjectName(QStringLiteral("FlyNote"));
    flyNote_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(flyTrim_);
    buttons->addWidget(flyMode_);
    buttons->addWidget(flyNote_, 1);
    buttons->addWidget(close);

    auto* analysisPage = new QWidget;
    auto* analysisLayout = new QVBoxLayout(analysisPage);
    analysisLayout->setContentsMargins(0, 0, 0, 0);
    analysisLayout->addLayout(top);
    analysisLayout->addWidget(charts, 1);
    advicePage_ = new AdvicePage;
    auto* adviceScroll = new QScrollArea;
    adviceScroll->setWidgetResizable(true);
    adviceScroll->setWidget(advicePage_);
    pages_ = new QTabWidget;
    pages_->setObjectName(QStringLiteral("StabilityPages"));
    pages_->addTab(analysisPage, QStringLiteral("解析"));
    pages_->addTab(adviceScroll, QStringLiteral("調整の目安"));
    connect(pages_, &QTabWidget::currentChanged, this, [this] {
        if (adviceStale_) {
            refreshAdvice();
        }
    });
    connect(advicePage_, &AdvicePage::applyRequested, this, [this](int row) {
        const auto index = static_cast<std::size_t>(row);
        if (index >= advice_.settings.size()) {
            return;
        }
        const app::SettingAdvice setting = advice_.settings[index];
        const auto apply = [this, setting] { ws_.analysis().applyAdvice(setting); };
        edit_ ? edit_(apply) : apply();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);

    // The trim table shows its rows whole.
    trimTable_->resizeColumnsToContents();
    const int rowsHeight = trimTable_->verticalHeader()->length() +
                           trimTable_->horizontalHeader()->height() + 2 * trimTable_->frameWidth();
    trimTable_->setFixedHeight(rowsHeight);
    // The value column as wide as its longest number; the table as wide as
    // the captions' header (as it will lay itself out) and that column.
    const int valueWidth =
        trimTable_->fontMetrics().horizontalAdvance(QStringLiteral("-0000.000")) + 16;
    trimTable_->horizontalHeader()->setStretchLastSection(false);
    trimTable_->setColumnWidth(0, valueWidth);
    trimTable_->setFixedWidth(trimTable_->verticalHeader()->sizeHint().width() + valueWidth +
                              2 * trimTable_->frameWidth());
    // As wide as the trim table needs, with or without a trim: the message
    // that takes the table's place wraps rather than widens the box.
    trimBox->setFixedWidth(trimTable_->width() + 24);
    enableButtons();
}

StabilityDialog::~StabilityDialog() = default;

void StabilityDialog::tablesChanged() {
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    settle_->start();
}

bool StabilityDialog::recomputePending() const {
    return stale_ || settle_->isActive();
}

void StabilityDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (stale_) {
        recompute();
    }
}

void StabilityDialog::recompute() {
    settle_->stop();
    stale_ = false;
    sim::GlidePolar polar;
    sim::SettleAnalysis settling;
    std::string failure;
    try {
        analysis_ = ws_.analysis().stability();
        polar = ws_.analysis().polar();
        settling = ws_.analysis().settling();
    } catch (const std::exception& e) {
        analysis_ = {};
        polar = {};
        failure = app::ErrorText(e);
    }
    const app::SettleView settled = app::ViewSettling(settling);
    QString settleText = ToQString(settled.sentence);
    for (const std::string& line : settled.equilibria) {
        settleText += QLatin1Char('\n') + ToQString(line);
    }
    settling_->setText(failure.empty() ? settleText : QString());
    const app::StabilityView view = app::ViewStability(analysis_, polar, failure);
    showTrim(view);
    margin_->setText(ToQString(view.margin));
    marginNote_->setText(ToQString(view.marginNote));
    showModes(view);
    ShowPlot(roots_, view.roots);
    ShowPlot(sink_, view.sink);
    ShowPlot(ratio_, view.ratio);
    polarNote_->setText(ToQString(view.polarNote));
    enableButtons();
    adviceStale_ = true;
    refreshAdvice();
}

void StabilityDialog::refreshAdvice() {
    if (pages_->currentIndex() != 1) {
        return;
    }
    adviceStale_ = false;
    QString note;
    try {
        advice_ = ws_.analysis().advice();
        if (!advice_.currentTrims) {
            note = QStringLiteral("いまの表の値ではトリムが見つかりません。");
        }
    } catch (const std::exception& e) {
        advice_ = {};
        note = QStringLiteral("解析中にエラーが発生しました: ") + ToQString(app::ErrorText(e));
    }
    advicePage_->setRows(app::ViewAdvice(advice_), note);
}

void StabilityDialog::showTrim(const app::StabilityView& view) {
    if (view.message.empty()) {
        trimStack_->setCurrentWidget(trimTable_);
    } else {
        message_->setText(ToQString(view.message));
        trimStack_->setCurrentWidget(message_);
    }
    for (int row = 0; row < trimTable_->rowCount(); ++row) {
        trimTable_->setItem(row, 0, Cell(ToQString(view.trim[static_cast<std::size_t>(row)])));
    }
}

void StabilityDialog::showModes(const app::StabilityView& view) {
    // The selection stays on its row when the modes are redone.
    const int selected =
        modeTable_->selectionModel()->hasSelection() ? modeTable_->currentRow() : -1;
    const QSignalBlocker block(modeTable_);
    modeTable_->clearSelection();
    modeTable_->setRowCount(static_cast<int>(view.modes.size()));
    for (int row = 0; row < modeTable_->rowCount(); ++row) {
        const app::ModeRow& mode = view.modes[static_cast<std::size_t>(row)];
        for (int column = 0; column < modeTable_->columnCount(); ++column) {
            QTableWidgetItem* item = Cell(ToQString(mode.cells[static_cast<std::size_t>(column)]));
            if (column == 0) { // the mode's name
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            }
            if (mode.grows) {
                item->setForeground(QBrush(kGrowing));
            }
            modeTable_->setItem(row, column, item);
        }
    }
    if (selected >= 0 && selected < modeTable_->rowCount()) {
        modeTable_->selectRow(selected);
    }
}

void StabilityDialog::launchRowsWritten() {
    flyNote_->setText(ToQString(app::LaunchRowsNote()));
}

void StabilityDialog::enableButtons() {
    const bool trimmed = analysis_.trim.has_value();
    flyTrim_->setEnabled(trimmed);
    flyMode_->setEnabled(trimmed && modeTable_->selectionModel()->hasSelection() &&
                         modeTable_->currentRow() >= 0);
}

} // namespace skarvel::gui
