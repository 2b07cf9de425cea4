#include "gui/stability_dialog.h"

#include "app/error_text.h"
#include "data/tables.h"
#include "gui/chart.h"
#include "gui/qt_text.h"
#include "sim/glide_polar.h"
#include "sim/load.h"
#include "sim/units.h"

#include <QBrush>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace skarvel::gui {

namespace {

const QColor kGrowing(0xD0, 0x00, 0x00);
const QColor kDecaying(0x00, 0x00, 0xD0);
const QColor kStalled(0x80, 0x80, 0x80);
const QColor kBest(0x00, 0x90, 0x00);
const QColor kUnstable(0xD0, 0x00, 0x00);

// The polar's series, in both charts.
enum PolarSeries { Trimmed, StalledTrim, UnstableTrim, BestTrim };

// "-6 度", "+0.5〜+6 度": a run of tail settings as the chart's axis reads.
QString SettingRun(const std::pair<double, double>& run) {
    const auto setting = [](double v) {
        return (v > 0 ? QStringLiteral("+") : QString()) + QString::number(v);
    };
    return run.first == run.second ? setting(run.first) + QStringLiteral(" 度")
                                   : setting(run.first) + QStringLiteral("〜") +
                                         setting(run.second) + QStringLiteral(" 度");
}

// A value with `decimals` places; "-" for one that is not a number, and no
// "-0.00" for a value that rounds to zero.
QString Number(double value, int decimals) {
    if (!std::isfinite(value)) {
        return QStringLiteral("-");
    }
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.toDouble() == 0) {
        text.remove(0, 1);
    }
    return text;
}

QString Number(const std::optional<double>& value, int decimals) {
    return value ? Number(*value, decimals) : QStringLiteral("-");
}

QString ModeCaption(sim::ModeKind kind) {
    switch (kind) {
    case sim::ModeKind::Phugoid:
        return QStringLiteral("フゴイド");
    case sim::ModeKind::PhugoidReal:
        return QStringLiteral("フゴイド(実根)");
    case sim::ModeKind::ShortPeriod:
        return QStringLiteral("短周期");
    case sim::ModeKind::ShortPeriodReal:
        return QStringLiteral("短周期(実根)");
    case sim::ModeKind::DutchRoll:
        return QStringLiteral("ダッチロール");
    case sim::ModeKind::LateralOscillatory:
        return QStringLiteral("横方向振動");
    case sim::ModeKind::RollSubsidence:
        return QStringLiteral("ロール収束");
    case sim::ModeKind::Spiral:
        return QStringLiteral("スパイラル");
    case sim::ModeKind::LateralReal:
        return QStringLiteral("横方向実根");
    }
    return QStringLiteral("-");
}

// The rows of the trim table, in order.
enum TrimRow {
    Speed,
    Alpha,
    Beta,
    Theta,
    Phi,
    TurnRate,
    PathAngle,
    Sink,
    Ratio,
    Radius,
    LiftCoefficient,
    DragCoefficient,
    Stalled,
    TrimRows
};

const char* const kTrimCaptions[TrimRows] = {
    "速度(m/s)",        "迎角(度)",   "横滑り角(度)", "ピッチ角(度)", "バンク角(度)",
    "旋回角速度(度/s)", "経路角(度)", "沈下率(m/s)",  "滑空比",       "旋回半径(地面)(m)",
    "揚力係数",         "抗力係数",   "失速",
};

enum ModeColumn { Name, Real, Imaginary, Frequency, Damping, Period, Time, ModeColumns };

const char* const kModeHeaders[ModeColumns] = {
    "モード", "実部(1/s)", "虚部(rad/s)",       "固有角振動数(rad/s)",
    "減衰比", "周期(s)",   "半減・倍増時間(s)",
};

// A range around [lower, upper] with some room on both sides; one unit
// either side of a single value.
Chart::Range Padded(double lower, double upper) {
    if (!(upper > lower)) {
        const double room = std::max(1.0, std::abs(lower) * 0.1);
        return {lower - room, upper + room};
    }
    const double room = (upper - lower) * 0.08;
    return {lower - room, upper + room};
}

// The smallest and largest of values gathered one by one.
struct Extent {
    double lower = 0;
    double upper = 0;
    bool any = false;
    void add(double v) {
        if (!std::isfinite(v)) {
            return;
        }
        lower = any ? std::min(lower, v) : v;
        upper = any ? std::max(upper, v) : v;
        any = true;
    }
    Chart::Range padded(Chart::Range none) const { return any ? Padded(lower, upper) : none; }
};

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

StabilityDialog::StabilityDialog(app::Workspace& workspace, FlyRequest fly, QWidget* parent)
    : QDialog(parent), ws_(workspace), fly_(std::move(fly)) {
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
    trimTable_ = NewTable(TrimRows, 1);
    trimTable_->setObjectName(QStringLiteral("TrimTable"));
    trimTable_->setHorizontalHeaderLabels({QStringLiteral("値")});
    for (int row = 0; row < TrimRows; ++row) {
        trimTable_->setVerticalHeaderItem(
            row, new QTableWidgetItem(QString::fromUtf8(kTrimCaptions[row])));
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
    modeTable_ = NewTable(0, ModeColumns);
    modeTable_->setObjectName(QStringLiteral("ModeTable"));
    QStringList headers;
    for (const char* h : kModeHeaders) {
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

    auto* right = new QVBoxLayout;
    right->addWidget(marginBox);
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

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(charts, 1);
    layout->addLayout(buttons);

    // The trim table shows its rows whole.
    trimTable_->resizeColumnsToContents();
    const int rowsHeight = trimTable_->verticalHeader()->length() +
                           trimTable_->horizontalHeader()->height() + 2 * trimTable_->frameWidth();
    trimTable_->setFixedHeight(rowsHeight);
    trimTable_->setMinimumWidth(
        trimTable_->verticalHeader()->width() +
        trimTable_->fontMetrics().horizontalAdvance(QStringLiteral("-0000.000")) + 24);
    // As wide as the trim table needs, with or without a trim: the message
    // that takes the table's place wraps rather than widens the box.
    trimBox->setFixedWidth(trimTable_->minimumWidth() + 24);
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
    QString failure;
    try {
        analysis_ = ws_.analysis().stability();
        polar_ = ws_.analysis().polar();
    } catch (const std::exception& e) {
        analysis_ = {};
        polar_ = {};
        failure = ToQString(app::ErrorText(e));
    }
    showTrim();
    if (!failure.isEmpty()) {
        message_->setText(QStringLiteral("解析中にエラーが発生しました: ") + failure);
        trimStack_->setCurrentWidget(message_);
    }
    showMargin();
    showModes();
    plotRoots();
    plotPolar();
    enableButtons();
}

void StabilityDialog::showTrim() {
    const std::optional<sim::GlideTrim>& trim = analysis_.trim;
    if (!trim) {
        QString text;
        if (!analysis_.loaded) {
            text = QStringLiteral(
                "空力微係数の推定に失敗しました。入力データを確かめてください。\n\n");
        }
        text += QStringLiteral(
            "定常滑空は、計算の初期値からは見つかりませんでした。"
            "これは定常滑空が存在しないことを示すものではありません"
            "（失速のモデルは不連続で、スパイラル降下にしか落ち着かない機体もあります）。");
        message_->setText(text);
        trimStack_->setCurrentWidget(message_);
        for (int row = 0; row < TrimRows; ++row) {
            trimTable_->setItem(row, 0, Cell(QStringLiteral("-")));
        }
        return;
    }
    trimStack_->setCurrentWidget(trimTable_);
    const QString values[TrimRows] = {
        Number(trim->V, 2),
        Number(trim->alpha * sim::kDegreesPerRadian, 2),
        Number(trim->beta * sim::kDegreesPerRadian, 2),
        Number(trim->theta * sim::kDegreesPerRadian, 2),
        Number(trim->phi * sim::kDegreesPerRadian, 2),
        Number(trim->omega * sim::kDegreesPerRadian, 2),
        Number(trim->gamma * sim::kDegreesPerRadian, 2),
        Number(trim->sink, 3),
        Number(trim->ratio, 2),
        Number(trim->radius, 1),
        Number(trim->CL, 3),
        Number(trim->CD, 4),
        trim->stalled ? QStringLiteral("はい") : QStringLiteral("いいえ"),
    };
    for (int row = 0; row < TrimRows; ++row) {
        trimTable_->setItem(row, 0, Cell(values[row]));
    }
}

void StabilityDialog::showMargin() {
    if (!analysis_.staticMargin) { // finite whenever there is one
        margin_->setText(QStringLiteral("静安定余裕: -（求められません）"));
        marginNote_->clear();
        return;
    }
    const double margin = *analysis_.staticMargin;
    margin_->setText(
        QStringLiteral("静安定余裕: %1 %（平均翼弦に対する割合）").arg(Number(margin, 1)));
    marginNote_->setText(
        margin >= 0 ? QStringLiteral("正の値: 重心が中立点より前にあり、機首上げ・下げに対して"
                                     "静的に安定です。")
                    : QStringLiteral("負の値: 重心が中立点より後ろにあります。機体は動安定余裕"
                                     "（機動余裕）と失速時のモーメントで支えられます。"
                                     "支えられているかどうかは下のモードが示します。"));
}

void StabilityDialog::showModes() {
    // The selection stays on its row when the modes are redone.
    const int selected =
        modeTable_->selectionModel()->hasSelection() ? modeTable_->currentRow() : -1;
    const QSignalBlocker block(modeTable_);
    modeTable_->clearSelection();
    modeTable_->setRowCount(static_cast<int>(analysis_.modes.size()));
    for (int row = 0; row < modeTable_->rowCount(); ++row) {
        const sim::Mode& m = analysis_.modes[static_cast<std::size_t>(row)];
        QString time = QStringLiteral("-");
        if (m.timeTo && std::isfinite(*m.timeTo)) {
            time = (m.grows() ? QStringLiteral("倍増 ") : QStringLiteral("半減 ")) +
                   Number(*m.timeTo, 2);
        }
        const QString cells[ModeColumns] = {
            ModeCaption(m.kind),
            Number(m.root.real(), 3),
            Number(m.root.imag(), 3),
            Number(m.naturalFrequency, 3),
            Number(m.damping, 3),
            Number(m.period, 2),
            time,
        };
        for (int column = 0; column < ModeColumns; ++column) {
            QTableWidgetItem* item = Cell(cells[column]);
            if (column == Name) {
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            }
            if (m.grows()) {
                item->setForeground(QBrush(kGrowing));
            }
            modeTable_->setItem(row, column, item);
        }
    }
    if (selected >= 0 && selected < modeTable_->rowCount()) {
        modeTable_->selectRow(selected);
    }
}

void StabilityDialog::plotRoots() {
    roots_->clear();
    Extent re;
    Extent im;
    re.add(0);
    im.add(0);
    for (const sim::Mode& m : analysis_.modes) {
        const double x = m.root.real();
        const double y = m.root.imag();
        if (!std::isfinite(x) || !std::isfinite(y)) {
            continue;
        }
        const int series = m.grows() ? 1 : 0;
        roots_->appendPoint(series, x, y);
        if (y != 0) {
            // The pair's other root.
            roots_->appendPoint(series, x, -y);
        }
        re.add(x);
        im.add(std::abs(y));
        im.add(-std::abs(y));
    }
    roots_->setRanges(re.padded({-1, 1}), im.padded({-1, 1}));
}

void StabilityDialog::plotPolar() {
    sink_->clear();
    ratio_->clear();
    Extent speed;
    Extent sink;
    Extent ratio;
    int unstable = 0;
    for (std::size_t i = 0; i < polar_.rows.size(); ++i) {
        const sim::PolarRow& row = polar_.rows[i];
        if (!row.trim) {
            continue;
        }
        const sim::GlideTrim& t = *row.trim;
        // A stalled trim shows as stalled, an unstable one that is not
        // stalled as unstable.
        const int series = t.stalled ? StalledTrim : row.stable() ? Trimmed : UnstableTrim;
        unstable += series == UnstableTrim ? 1 : 0;
        if (std::isfinite(t.V) && std::isfinite(t.sink)) {
            sink_->appendPoint(series, t.V, t.sink);
            if (polar_.leastSink == i) {
                sink_->appendPoint(BestTrim, t.V, t.sink);
            }
            speed.add(t.V);
            sink.add(t.sink);
        }
        if (t.ratio && std::isfinite(*t.ratio)) {
            ratio_->appendPoint(series, row.tailSetting, *t.ratio);
            if (polar_.bestRatio == i) {
                ratio_->appendPoint(BestTrim, row.tailSetting, *t.ratio);
            }
            ratio.add(*t.ratio);
        }
    }
    sink_->setRanges(speed.padded({0, 10}), sink.padded({0, 2}));
    const double first = sim::kPolarFirstSetting;
    const double last = first + sim::kPolarStep * (sim::kPolarRows - 1);
    ratio_->setRanges({first - sim::kPolarStep, last + sim::kPolarStep}, ratio.padded({0, 10}));

    QStringList notes;
    const auto untrimmed = sim::UntrimmedSettings(polar_);
    if (untrimmed.size() == 1 && untrimmed[0].first == first && untrimmed[0].second == last) {
        notes << QStringLiteral("どの水平尾翼取付角でもトリムが見つかりませんでした。");
    } else if (!untrimmed.empty()) {
        QStringList runs;
        for (const auto& run : untrimmed) {
            runs << SettingRun(run);
        }
        notes << QStringLiteral("トリムが見つからない水平尾翼取付角: ") +
                     runs.join(QStringLiteral("、")) + QStringLiteral("（点がありません）。");
    }
    if (unstable > 0) {
        notes << QStringLiteral("赤い点は不安定なトリム（発散するモードがある）で、"
                                "機体はそこにとどまりません。最良滑空比と最小沈下率は、"
                                "安定で失速していないトリムから選んでいます。");
    }
    polarNote_->setText(notes.join(QLatin1Char(' ')));
}

void StabilityDialog::launchRowsWritten() {
    QStringList rows;
    for (const int row : sim::kLaunchStateRows) {
        rows << ToQString(std::string(data::input::kCaptions[static_cast<std::size_t>(row)]));
    }
    flyNote_->setText(QStringLiteral("入力データの") + rows.join(QStringLiteral("・")) +
                      QStringLiteral("をトリムの値に書き換えて飛行しました"
                                     "（高度・位置・方位角はそのままです）。"));
}

void StabilityDialog::enableButtons() {
    const bool trimmed = analysis_.trim.has_value();
    flyTrim_->setEnabled(trimmed);
    flyMode_->setEnabled(trimmed && modeTable_->selectionModel()->hasSelection() &&
                         modeTable_->currentRow() >= 0);
}

} // namespace skarvel::gui
