#include "gui/sweep_dialog.h"

#include "app/error_text.h"
#include "data/numtext.h"
#include "data/tables.h"
#include "data/textfile.h"
#include "gui/chart.h"
#include "gui/qt_text.h"
#include "sim/summary.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <string>

namespace skarvel::gui {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const QColor kLine(0x00, 0x00, 0xD0);
const QColor kBest(0x00, 0x90, 0x00);
const QColor kBestRow(0xD8, 0xF0, 0xD8);
const QString kRefused = QStringLiteral("color: #b00000;");

// A cell the pick lists offer: the name a sweep knows it by, and what the
// list shows.
struct Choice {
    QString name;
    QString label;
};

QString WithUnit(std::string_view name, std::string_view unit) {
    QString label = QString::fromUtf8(name.data(), qsizetype(name.size()));
    if (!unit.empty()) {
        label +=
            QStringLiteral(" (%1)").arg(QString::fromUtf8(unit.data(), qsizetype(unit.size())));
    }
    return label;
}

// The cells a user types numbers into: the input data's, then the design's
// by component.
std::pair<std::vector<Choice>, std::vector<Choice>> Choices() {
    data::Tables styled;
    data::ResetTables(styled);
    std::vector<Choice> input;
    for (int row = 1; row < data::input::kRows; ++row) {
        const int column = data::input::kValueColumn;
        if (styled.input.isEditable(column, row) &&
            styled.input.style(column, row).kind == data::ValueKind::Real) {
            const std::string_view caption = data::input::kCaptions[std::size_t(row)];
            input.push_back({QString::fromUtf8(caption.data(), qsizetype(caption.size())),
                             WithUnit(caption, data::input::kUnits[std::size_t(row)])});
        }
    }
    std::vector<Choice> design;
    for (int column = data::design::MainWing; column <= data::design::NoseReinforcement; ++column) {
        for (int row = 1; row < data::design::kRows; ++row) {
            if (styled.design.isEditable(column, row) &&
                styled.design.style(column, row).kind == data::ValueKind::Real) {
                const std::string name = std::string(data::design::kHeader[std::size_t(column)]) +
                                         "/" +
                                         std::string(data::design::kCaptions[std::size_t(row)]);
                design.push_back(
                    {ToQString(name), WithUnit(name, data::design::kUnits[std::size_t(row)])});
            }
        }
    }
    return {input, design};
}

// A figure of a row as a number; none for an error row or a straight flight's
// turn radius.
double FigureValue(const app::SweepRow& row, int figure) {
    if (!row.summary) {
        return kNaN;
    }
    const double value = app::SummaryFigureValue(*row.summary, figure);
    return std::isinf(value) ? kNaN : value;
}

QString Caption(std::size_t figure) {
    const std::string_view c = sim::kSummaryCaptions[figure];
    return QString::fromUtf8(c.data(), qsizetype(c.size()));
}

// Parts of a text joined so that a line breaks between them only: word
// joiners hold "速度(m/s) 3.2" and "初速(km/h) = 4" together where the line
// breaking rules would break them (after the slash of a unit, between two
// kanji), and their spaces do not break.
QString Unbroken(const QStringList& parts) {
    QStringList held;
    for (QString part : parts) {
        part.replace(QLatin1Char(' '), QChar(QChar::Nbsp));
        QString text;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, part);
        qsizetype from = 0;
        for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < part.size();
             at = breaks.toNextBoundary()) {
            text += part.mid(from, at - from) + QChar(0x2060);
            from = at;
        }
        held << text + part.mid(from);
    }
    return held.join(QStringLiteral("　"));
}

// A time to go: seconds, minutes and seconds, or hours and minutes.
QString Duration(double seconds) {
    const long long s = std::llround(std::ceil(std::max(0.0, seconds)));
    if (s < 60) {
        return QStringLiteral("%1 秒").arg(s);
    }
    if (s < 3600) {
        return QStringLiteral("%1 分 %2 秒").arg(s / 60).arg(s % 60);
    }
    return QStringLiteral("%1 時間 %2 分").arg(s / 3600).arg(s % 3600 / 60);
}

// The index of variable `k`'s value at a grid point.
std::size_t IndexOf(const app::SweepGrid& grid, std::size_t point, std::size_t k) {
    const auto& variables = grid.variables();
    for (std::size_t j = variables.size(); j-- > k + 1;) {
        point /= variables[j].values.size();
    }
    return point % variables[k].values.size();
}

} // namespace

// The rows of a sweep as they arrive: the point, the varied values and the
// six figures; a failed flight shows "Error". The best row is tinted.
class SweepResultModel : public QAbstractTableModel {
  public:
    explicit SweepResultModel(const std::vector<app::SweepRow>& rows, QObject* parent)
        : QAbstractTableModel(parent), rows_(rows) {}

    void reset(const app::SweepGrid* grid) {
        beginResetModel();
        names_.clear();
        if (grid != nullptr) {
            for (const app::SweepVariable& v : grid->variables()) {
                names_ << ToQString(app::SweepVariableTitle(v));
            }
        }
        shown_ = 0;
        best_.reset();
        endResetModel();
    }
    // The rows from the last shown on have been added.
    void grown() {
        const int count = int(rows_.size());
        if (count > shown_) {
            beginInsertRows(QModelIndex(), shown_, count - 1);
            shown_ = count;
            endInsertRows();
        }
    }
    void setBest(std::optional<std::size_t> best) {
        const std::optional<std::size_t> old = best_;
        best_ = best;
        for (const std::optional<std::size_t>& r : {old, best}) {
            if (r && int(*r) < shown_) {
                Q_EMIT dataChanged(index(int(*r), 0), index(int(*r), columnCount() - 1));
            }
        }
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : shown_;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : 1 + int(names_.size()) + int(sim::kSummaryCaptions.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return QAbstractTableModel::headerData(section, orientation, role);
        }
        if (section == 0) {
            return QStringLiteral("点");
        }
        if (section <= names_.size()) {
            return names_[section - 1];
        }
        return Caption(std::size_t(section - 1 - names_.size()));
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= shown_) {
            return {};
        }
        const app::SweepRow& row = rows_[std::size_t(index.row())];
        if (role == Qt::BackgroundRole) {
            return best_ && *best_ == std::size_t(index.row()) ? QVariant(QBrush(kBestRow))
                                                               : QVariant();
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (role != Qt::DisplayRole) {
            return {};
        }
        const int column = index.column();
        if (column == 0) {
            return QString::number(row.point);
        }
        if (column <= names_.size()) {
            return ToQString(row.values[std::size_t(column - 1)]);
        }
        const std::size_t figure = std::size_t(column - 1 - names_.size());
        if (!row.summary) {
            return figure == 0 ? QStringLiteral("Error") : QString();
        }
        return ToQString(sim::SummaryTexts(*row.summary)[figure]);
    }

  private:
    const std::vector<app::SweepRow>& rows_;
    QStringList names_;
    int shown_ = 0;
    std::optional<std::size_t> best_;
};

SweepDialog::SweepDialog(app::Workspace& workspace, Dialogs dialogs, FlyRequest fly,
                         QWidget* parent)
    : QDialog(parent), ws_(workspace), dialogs_(std::move(dialogs)), fly_(std::move(fly)) {
    setObjectName(QStringLiteral("SweepDialog"));
    setWindowTitle(QStringLiteral("スイープ"));
    setModal(false);

    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &SweepDialog::poll);

    // The variables.
    auto* entryBox = new QGroupBox(QStringLiteral("変数（開始値から終了値まで刻みごと）"));
    auto* grid = new QGridLayout(entryBox);
    const QStringList heads = {QStringLiteral("セル"), QStringLiteral("開始値"),
                               QStringLiteral("終了値"), QStringLiteral("刻み")};
    for (int c = 0; c < heads.size(); ++c) {
        grid->addWidget(new QLabel(heads[c]), 0, c + 1);
    }
    const auto [input, design] = Choices();
    for (int k = 0; k < kVariables; ++k) {
        Fields& f = fields_[std::size_t(k)];
        f.name = new QComboBox;
        f.name->setObjectName(QStringLiteral("SweepVariable%1").arg(k + 1));
        f.name->setMaxVisibleItems(24);
        if (k > 0) {
            f.name->addItem(QStringLiteral("なし"), QString());
        }
        for (const Choice& c : input) {
            f.name->addItem(c.label, c.name);
        }
        f.name->insertSeparator(f.name->count());
        for (const Choice& c : design) {
            f.name->addItem(c.label, c.name);
        }
        grid->addWidget(new QLabel(QStringLiteral("変数%1").arg(k + 1)), k + 1, 0);
        grid->addWidget(f.name, k + 1, 1);
        int column = 2;
        for (QLineEdit** edit : {&f.from, &f.to, &f.step}) {
            *edit = new QLineEdit;
            (*edit)->setMaximumWidth(110);
            connect(*edit, &QLineEdit::textChanged, this, [this] { checkEntries(); });
            grid->addWidget(*edit, k + 1, column++);
        }
        f.from->setObjectName(QStringLiteral("SweepFrom%1").arg(k + 1));
        f.to->setObjectName(QStringLiteral("SweepTo%1").arg(k + 1));
        f.step->setObjectName(QStringLiteral("SweepStep%1").arg(k + 1));
    }
    grid->setColumnStretch(1, 1);
    points_ = new QLabel;
    points_->setObjectName(QStringLiteral("SweepPoints"));
    points_->setWordWrap(true);
    grid->addWidget(points_, kVariables + 1, 0, 1, 5);

    // Start, cancel and the progress.
    start_ = new QPushButton(QStringLiteral("開始"));
    start_->setObjectName(QStringLiteral("SweepStart"));
    cancel_ = new QPushButton(QStringLiteral("中止"));
    cancel_->setObjectName(QStringLiteral("SweepCancel"));
    progress_ = new QProgressBar;
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progressText_ = new QLabel;
    progressText_->setObjectName(QStringLiteral("SweepProgress"));
    progressText_->setMinimumWidth(progressText_->fontMetrics().horizontalAdvance(
        QStringLiteral("100000 / 100000 点　9999 点/秒　残り 99 時間 59 分")));
    connect(start_, &QPushButton::clicked, this, &SweepDialog::start);
    connect(cancel_, &QPushButton::clicked, this, &SweepDialog::cancel);
    auto* run = new QHBoxLayout;
    run->addWidget(start_);
    run->addWidget(cancel_);
    run->addWidget(progress_, 1);
    run->addWidget(progressText_);

    // The chart of the chosen figure.
    figureBox_ = new QComboBox;
    figureBox_->setObjectName(QStringLiteral("SweepFigure"));
    for (std::size_t f = 0; f < sim::kSummaryCaptions.size(); ++f) {
        figureBox_->addItem(Caption(f));
    }
    connect(figureBox_, &QComboBox::currentIndexChanged, this, [this] {
        best_.reset();
        findBest(0);
        plotAll();
    });
    auto* chooser = new QHBoxLayout;
    chooser->addWidget(new QLabel(QStringLiteral("表示する値:")));
    chooser->addWidget(figureBox_);
    chooser->addStretch(1);
    chart_ = new Chart(Caption(0), {{QStringLiteral("各点"), kLine, Chart::Style::LineAndPoints},
                                    {QStringLiteral("最良点"), kBest, Chart::Style::Points}});
    map_ = new ColorMap;
    charts_ = new QStackedWidget;
    charts_->addWidget(chart_);
    charts_->addWidget(map_);
    charts_->setMinimumSize(420, 320);
    pointText_ = new QLabel;
    pointText_->setObjectName(QStringLiteral("SweepPoint"));
    pointText_->setWordWrap(true);
    pointText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Two lines always, so that the chart does not jump as the mouse moves.
    pointText_->setMinimumHeight(2 * pointText_->fontMetrics().lineSpacing() + 4);
    pointText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const auto nearest = [this](double x) -> std::optional<std::size_t> {
        const std::vector<int> shown = axes();
        if (!grid_ || grid_->size() == 0) {
            return std::nullopt;
        }
        if (shown.empty()) {
            return 0;
        }
        const std::vector<double>& xs = numbers_[std::size_t(shown[0])];
        std::size_t best = 0;
        for (std::size_t k = 1; k < xs.size(); ++k) {
            if (std::abs(xs[k] - x) < std::abs(xs[best] - x)) {
                best = k;
            }
        }
        // The other variables have one value each: the stride is the point.
        std::size_t stride = 1;
        const auto& variables = grid_->variables();
        for (std::size_t j = std::size_t(shown[0]) + 1; j < variables.size(); ++j) {
            stride *= variables[j].values.size();
        }
        return best * stride;
    };
    connect(chart_, &Chart::mouseTime, this,
            [this, nearest](double x) { describePoint(nearest(x)); });
    connect(chart_, &Chart::clicked, this, [this](double x, double y) {
        if (const std::optional<std::size_t> point = clickedPoint(chart_->pixelOf(x, y))) {
            flyPoint(*point);
        }
    });
    const auto cellPoint = [this](int column, int row) -> std::optional<std::size_t> {
        if (!grid_ || column < 0 || row < 0 || grid_->variables().size() < 2) {
            return std::nullopt;
        }
        return std::size_t(column) * grid_->variables()[1].values.size() + std::size_t(row);
    };
    connect(map_, &ColorMap::hovered, this,
            [this, cellPoint](int column, int row) { describePoint(cellPoint(column, row)); });
    connect(map_, &ColorMap::clicked, this, [this, cellPoint](int column, int row) {
        if (const std::optional<std::size_t> point = cellPoint(column, row)) {
            flyPoint(*point);
        }
    });
    auto* chartSide = new QWidget;
    auto* chartLayout = new QVBoxLayout(chartSide);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addLayout(chooser);
    chartLayout->addWidget(charts_, 1);
    chartLayout->addWidget(pointText_);

    // The rows.
    model_ = new SweepResultModel(rows_, this);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("SweepRows"));
    table_->setModel(model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setDefaultSectionSize(
        table_->fontMetrics().horizontalAdvance(QStringLiteral("最大高度(m)")) + 16);
    table_->setWordWrap(false);
    table_->setToolTip(QStringLiteral("ダブルクリックでその点の値を表に書き込んで飛行"));
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) {
        if (index.isValid() && std::size_t(index.row()) < rows_.size()) {
            flyPoint(rows_[std::size_t(index.row())].point);
        }
    });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid() && std::size_t(index.row()) < rows_.size()) {
                    describePoint(rows_[std::size_t(index.row())].point);
                }
            });

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(chartSide);
    split->addWidget(table_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    split->setSizes({620, 440});

    // Saving and closing.
    save_ = new QPushButton(QStringLiteral("CSVに保存..."));
    save_->setObjectName(QStringLiteral("SweepSaveCsv"));
    connect(save_, &QPushButton::clicked, this, &SweepDialog::saveCsv);
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    for (QPushButton* b : {start_, cancel_, save_, close}) {
        b->setAutoDefault(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(entryBox);
    layout->addLayout(run);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    for (int k = 0; k < kVariables; ++k) {
        connect(fields_[std::size_t(k)].name, &QComboBox::currentIndexChanged, this, [this, k] {
            prefill(k);
            checkEntries();
        });
    }
    const int launch = fields_[0].name->findData(
        QString::fromUtf8(data::input::kCaptions[data::input::LaunchSpeed].data()));
    fields_[0].name->setCurrentIndex(std::max(0, launch));
    prefill(0);
    prefill(1);
    checkEntries();
    describePoint(std::nullopt);
    showProgress();
    chart_->setBottomTitle(QStringLiteral("変数1"));
    resize(1080, 760);
}

SweepDialog::~SweepDialog() = default;

void SweepDialog::prefill(int k) {
    Fields& f = fields_[std::size_t(k)];
    const QString name = f.name->currentData().toString();
    for (QLineEdit* edit : {f.from, f.to, f.step}) {
        edit->setEnabled(!name.isEmpty());
    }
    if (name.isEmpty()) {
        for (QLineEdit* edit : {f.from, f.to, f.step}) {
            edit->clear();
        }
        return;
    }
    QString current;
    try {
        const app::SweepVariable v = app::ParseSweepVariable(ToStdString(name) + "=0");
        const data::Table& table = v.design ? ws_.tables().design : ws_.tables().input;
        current = ToQString(table.cell(v.column, v.row)).trimmed();
    } catch (const std::exception&) {
        // Every name of the list is one the sweep knows.
    }
    const app::SweepRange range = app::SweepRangeAbout(ToStdString(current));
    f.from->setText(ToQString(range.from));
    f.to->setText(ToQString(range.to));
    f.step->setText(ToQString(range.step));
    // A text wider than its field shows its start, as a table cell does.
    for (QLineEdit* edit : {f.from, f.to, f.step}) {
        edit->setCursorPosition(0);
    }
}

void SweepDialog::checkEntries() {
    entries_.reset();
    QString refusal;
    std::vector<app::SweepVariable> variables;
    double count = 1;
    for (int k = 0; k < kVariables && refusal.isEmpty(); ++k) {
        const Fields& f = fields_[std::size_t(k)];
        const QString name = f.name->currentData().toString();
        if (name.isEmpty()) {
            continue;
        }
        const QString which = QStringLiteral("変数%1").arg(k + 1);
        const std::array<std::pair<QLineEdit*, QString>, 3> parts = {
            {{f.from, QStringLiteral("開始値")},
             {f.to, QStringLiteral("終了値")},
             {f.step, QStringLiteral("刻み")}}};
        bool blank = false;
        for (const auto& [edit, part] : parts) {
            if (edit->text().trimmed().isEmpty()) {
                refusal = QStringLiteral("%1の%2を入力してください").arg(which, part);
                blank = true;
                break;
            }
        }
        if (blank) {
            break;
        }
        // The sweep's own checks; its reasons in the window's words.
        const std::string spec =
            ToStdString(name + QLatin1Char('=') + f.from->text().trimmed() + QLatin1Char(':') +
                        f.to->text().trimmed() + QLatin1Char(':') + f.step->text().trimmed());
        try {
            count *= double(app::SweepValueCount(spec));
            if (count > double(kMaxPoints)) {
                break;
            }
            variables.push_back(app::ParseSweepVariable(spec));
        } catch (const app::SweepError& e) {
            using Reason = app::SweepError::Reason;
            switch (e.reason()) {
            case Reason::NotANumber: {
                const std::size_t p = e.part() == "FROM" ? 0 : e.part() == "TO" ? 1 : 2;
                refusal = QStringLiteral("%1の%2「%3」は数値ではありません")
                              .arg(which, parts[p].second, parts[p].first->text().trimmed());
                break;
            }
            case Reason::ZeroStep:
                refusal = QStringLiteral("%1の刻みに 0 は使えません").arg(which);
                break;
            case Reason::AwayFromTo:
                refusal = QStringLiteral("%1の刻みの符号が逆です（開始値から終了値へ向かいません）")
                              .arg(which);
                break;
            case Reason::TooMany:
                refusal = e.part().empty()
                              ? QStringLiteral("%1の点数が多すぎます（上限 %2 点）")
                                    .arg(which)
                                    .arg(app::kMaxSweepPoints)
                              : QStringLiteral("%1の点数 %2 は上限 %3 点を超えています")
                                    .arg(which, ToQString(e.part()))
                                    .arg(app::kMaxSweepPoints);
                refusal += QStringLiteral("。範囲を狭めるか刻みを大きくしてください");
                break;
            case Reason::Overflow:
                refusal = QStringLiteral("%1の範囲が大きすぎて計算できません（開始値・終了値・"
                                         "刻みの値が大きすぎます）")
                              .arg(which);
                break;
            default:
                refusal = QStringLiteral("%1は受け付けられません: %2")
                              .arg(which, QString::fromStdString(e.what()));
            }
        }
    }
    if (refusal.isEmpty() && count > double(kMaxPoints)) {
        refusal = QStringLiteral("点数 %1 はこの画面の上限 %2 点を超えています。範囲を狭めるか"
                                 "刻みを大きくしてください（skarvel-cli sweep なら、いくつもの"
                                 "マシンに分けて計算できます）")
                      .arg(QString::number(count, 'f', 0))
                      .arg(kMaxPoints);
    }
    if (refusal.isEmpty() && variables.size() == 2 && variables[0].name == variables[1].name) {
        refusal = QStringLiteral("変数1と変数2に同じセルは選べません");
    }
    if (refusal.isEmpty()) {
        try {
            entries_.emplace(std::move(variables));
        } catch (const std::exception& e) {
            refusal = QStringLiteral("受け付けられません: ") + QString::fromStdString(e.what());
        }
    }
    if (!refusal.isEmpty()) {
        points_->setStyleSheet(kRefused);
        points_->setText(refusal);
    } else {
        QStringList sizes;
        for (const app::SweepVariable& v : entries_->variables()) {
            sizes << QString::number(v.values.size());
        }
        points_->setStyleSheet(QString());
        points_->setText(sizes.size() > 1 ? QStringLiteral("点数: %1 = %2")
                                                .arg(sizes.join(QStringLiteral(" × ")))
                                                .arg(entries_->size())
                                          : QStringLiteral("点数: %1").arg(entries_->size()));
    }
    enableButtons();
}

void SweepDialog::enableButtons() {
    start_->setEnabled(!running() && entries_.has_value());
    cancel_->setEnabled(running() && !sweep_->cancelled());
    save_->setEnabled(!running() && grid_.has_value() && !rows_.empty());
}

void SweepDialog::start() {
    if (running() || !entries_) {
        return;
    }
    grid_ = entries_;
    rows_.clear();
    best_.reset();
    cancelled_ = false;
    numbers_.clear();
    for (const app::SweepVariable& v : grid_->variables()) {
        std::vector<double> values;
        for (const std::string& text : v.values) {
            values.push_back(data::ParseRealStrict(text));
        }
        numbers_.push_back(std::move(values));
    }
    model_->reset(&*grid_);
    plotAll();
    describePoint(std::nullopt);
    try {
        sweep_ = std::make_unique<app::Sweep>(ws_.sweepBase(), *grid_, app::SweepOptions{});
    } catch (const std::exception& e) {
        sweep_.reset();
        dialogs_.error(this,
                       QStringLiteral("スイープを開始できません: ") + ToQString(app::ErrorText(e)));
    }
    if (running()) {
        progress_->setRange(0, int(grid_->size()));
        progress_->setValue(0);
        progressText_->setText(QStringLiteral("0 / %1 点").arg(grid_->size()));
        poll_->start();
    }
    showProgress();
    enableButtons();
}

void SweepDialog::cancel() {
    if (running()) {
        sweep_->cancel();
        // The rows in hand are taken at the next poll; the workers end
        // their flights meanwhile.
        showProgress();
        enableButtons();
    }
}

void SweepDialog::poll() {
    if (!running()) {
        poll_->stop();
        return;
    }
    std::vector<app::SweepRow> fresh = sweep_->takeRows();
    const std::size_t first = rows_.size();
    for (app::SweepRow& row : fresh) {
        rows_.push_back(std::move(row));
    }
    const app::SweepProgress progress = sweep_->progress();
    std::exception_ptr fault;
    if (sweep_->finished()) {
        cancelled_ = sweep_->cancelled();
        fault = sweep_->fault();
        // Every worker has ended or ends with its flight.
        sweep_.reset();
        poll_->stop();
    }
    if (rows_.size() > first) {
        model_->grown();
        const std::optional<std::size_t> before = best_;
        findBest(first);
        plotRows(first);
        if (best_ != before) {
            showBest();
        }
    }
    showProgress();
    if (running()) {
        progress_->setRange(0, int(progress.total));
        progress_->setValue(int(progress.done));
        QString text = QStringLiteral("%1 / %2 点　%3 点/秒")
                           .arg(progress.done)
                           .arg(progress.total)
                           .arg(QString::number(progress.pointsPerSecond, 'f',
                                                progress.pointsPerSecond < 10 ? 1 : 0));
        text += progress.secondsLeft
                    ? QStringLiteral("　残り %1").arg(Duration(*progress.secondsLeft))
                    : QStringLiteral("　残り -");
        if (sweep_->cancelled()) {
            text = QStringLiteral("中止しています…");
        }
        progressText_->setText(text);
    }
    enableButtons();
    if (fault) {
        // Said once the window shows the rows that came before it.
        try {
            std::rethrow_exception(fault);
        } catch (const std::exception& e) {
            dialogs_.error(this, QStringLiteral("スイープが途中で止まりました: ") +
                                     ToQString(app::ErrorText(e)));
        } catch (...) {
            dialogs_.error(this, QStringLiteral("スイープが途中で止まりました"));
        }
    }
}

void SweepDialog::showProgress() {
    const std::size_t total = grid_ ? grid_->size() : 0;
    if (running()) {
        // poll() shows the workers' own count.
        return;
    }
    const std::size_t errors = std::size_t(std::count_if(
        rows_.begin(), rows_.end(), [](const app::SweepRow& r) { return !r.summary; }));
    progress_->setRange(0, int(std::max<std::size_t>(total, 1)));
    progress_->setValue(int(rows_.size()));
    if (!grid_) {
        progressText_->setText(QStringLiteral("開始を押すと計算します"));
    } else if (cancelled_) {
        progressText_->setText(
            QStringLiteral("中止しました: %1 / %2 点").arg(rows_.size()).arg(total));
    } else {
        progressText_->setText(
            QStringLiteral("完了: %1 点（Error %2 点）").arg(rows_.size()).arg(errors));
    }
}

int SweepDialog::figure() const {
    return std::max(0, figureBox_->currentIndex());
}

QWidget* SweepDialog::shownChart() const {
    return charts_->currentWidget();
}

std::vector<int> SweepDialog::axes() const {
    std::vector<int> varied;
    if (grid_) {
        for (std::size_t k = 0; k < grid_->variables().size(); ++k) {
            if (grid_->variables()[k].values.size() > 1) {
                varied.push_back(int(k));
            }
        }
    }
    return varied;
}

void SweepDialog::plotAll() {
    const QString caption = Caption(std::size_t(figure()));
    const std::vector<int> shown = axes();
    if (shown.size() == 2) {
        const auto& variables = grid_->variables();
        map_->reset(ToQString(app::SweepVariableTitle(variables[0])), numbers_[0],
                    ToQString(app::SweepVariableTitle(variables[1])), numbers_[1]);
        map_->setScaleTitle(caption);
        charts_->setCurrentWidget(map_);
    } else {
        chart_->clear();
        chart_->setLeftTitle(caption);
        if (grid_) {
            chart_->setBottomTitle(ToQString(app::SweepVariableTitle(
                grid_->variables()[std::size_t(shown.empty() ? 0 : shown[0])])));
        }
        charts_->setCurrentWidget(chart_);
    }
    plotRows(0);
    showBest();
}

void SweepDialog::plotRows(std::size_t first) {
    if (!grid_) {
        return;
    }
    const std::vector<int> shown = axes();
    const int f = figure();
    for (std::size_t i = first; i < rows_.size(); ++i) {
        const app::SweepRow& row = rows_[i];
        const double value = FigureValue(row, f);
        if (shown.size() == 2) {
            map_->setValue({int(IndexOf(*grid_, row.point, 0)), int(IndexOf(*grid_, row.point, 1))},
                           value);
        } else if (std::isfinite(value)) {
            const std::size_t k = shown.empty() ? 0 : std::size_t(shown[0]);
            chart_->appendPoint(0, numbers_[k][IndexOf(*grid_, row.point, k)], value);
        }
    }
    if (shown.size() == 2) {
        map_->replot();
    } else {
        scaleChart();
    }
}

void SweepDialog::scaleChart() {
    // The whole range of the variable from the start, half a step beyond
    // its ends, so that no point sits on the frame.
    Chart::Range x{0, 1};
    const std::vector<int> shown = axes();
    if (!numbers_.empty()) {
        const std::vector<double>& xs = numbers_[shown.empty() ? 0 : std::size_t(shown[0])];
        const auto [lo, hi] = std::minmax_element(xs.begin(), xs.end());
        const double half = xs.size() > 1 ? (*hi - *lo) / double(xs.size() - 1) / 2
                                          : std::max(1.0, std::abs(*lo) * 0.1);
        x = {*lo - half, *hi + half};
    }
    double lower = 0;
    double upper = 0;
    bool any = false;
    for (int k = 0; k < chart_->pointCount(0); ++k) {
        const double y = chart_->pointY(0, k);
        lower = any ? std::min(lower, y) : y;
        upper = any ? std::max(upper, y) : y;
        any = true;
    }
    Chart::Range y{0, 1};
    if (any) {
        const double room =
            upper > lower ? (upper - lower) * 0.08 : std::max(1.0, std::abs(lower) * 0.1);
        y = {lower - room, upper + room};
    }
    chart_->setRanges(x, y);
}

void SweepDialog::findBest(std::size_t first) {
    const int f = figure();
    for (std::size_t i = first; i < rows_.size(); ++i) {
        if (!rows_[i].summary) {
            continue;
        }
        if (!best_ || app::BetterRow(rows_[i], rows_[*best_], f)) {
            best_ = i;
        }
    }
}

void SweepDialog::showBest() {
    model_->setBest(best_);
    describePoint(std::nullopt);
    const std::vector<int> shown = axes();
    if (shown.size() == 2) {
        std::optional<ColorMap::Cell> cell;
        if (best_) {
            const std::size_t point = rows_[*best_].point;
            cell = ColorMap::Cell{int(IndexOf(*grid_, point, 0)), int(IndexOf(*grid_, point, 1))};
        }
        map_->setMark(cell);
        map_->replot();
        return;
    }
    chart_->clearSeries(1);
    if (best_) {
        const app::SweepRow& row = rows_[*best_];
        const double value = FigureValue(row, figure());
        const std::size_t k = shown.empty() ? 0 : std::size_t(shown[0]);
        if (std::isfinite(value)) {
            chart_->appendPoint(1, numbers_[k][IndexOf(*grid_, row.point, k)], value);
        }
    }
    scaleChart();
}

void SweepDialog::describePoint(std::optional<std::size_t> point) {
    const bool one = point && grid_ && *point < grid_->size();
    if (!one && !best_) {
        pointText_->setText(QStringLiteral(
            "グラフの点にマウスを合わせると値を表示し、クリックするとその点で飛行します"));
        return;
    }
    QStringList parts;
    std::vector<std::string> values;
    if (one) {
        parts << QStringLiteral("点 %1").arg(*point);
        values = grid_->valuesOf(*point);
    } else {
        parts << QStringLiteral("最良点（%1）: 点 %2")
                     .arg(Caption(std::size_t(figure())))
                     .arg(rows_[*best_].point);
        values = rows_[*best_].values;
    }
    const auto& variables = grid_->variables();
    for (std::size_t k = 0; k < variables.size(); ++k) {
        parts << QStringLiteral("%1 = %2").arg(ToQString(app::SweepVariableTitle(variables[k])),
                                               ToQString(values[k]));
    }
    // Rows arrive in grid order without gaps: a point's row is at its index.
    if (one && *point >= rows_.size()) {
        parts << QStringLiteral("（未計算）");
    } else if (one && !rows_[*point].summary) {
        parts << QStringLiteral("Error");
    } else if (one) {
        const std::array<std::string, 6> figures = sim::SummaryTexts(*rows_[*point].summary);
        for (std::size_t f = 0; f < figures.size(); ++f) {
            parts << QStringLiteral("%1 %2").arg(Caption(f), ToQString(figures[f]));
        }
    }
    pointText_->setText(Unbroken(parts));
}

std::optional<std::size_t> SweepDialog::clickedPoint(QPoint pixel) const {
    const std::vector<int> shown = axes();
    if (!grid_ || shown.size() == 2) {
        return std::nullopt;
    }
    const std::size_t k = shown.empty() ? 0 : std::size_t(shown[0]);
    const int f = figure();
    std::vector<app::Pixel> drawn;
    std::vector<std::size_t> points;
    for (const app::SweepRow& row : rows_) {
        const double value = FigureValue(row, f);
        if (std::isfinite(value)) {
            const QPoint at = chart_->pixelOf(numbers_[k][IndexOf(*grid_, row.point, k)], value);
            drawn.push_back({double(at.x()), double(at.y())});
            points.push_back(row.point);
        }
    }
    const std::optional<std::size_t> hit =
        app::ClickedPoint(drawn, {double(pixel.x()), double(pixel.y())});
    return hit ? std::optional<std::size_t>(points[*hit]) : std::nullopt;
}

void SweepDialog::flyPoint(std::size_t point) {
    if (grid_ && point < grid_->size() && fly_) {
        fly_(*grid_, point);
    }
}

void SweepDialog::saveCsv() {
    if (!grid_ || rows_.empty()) {
        return;
    }
    const QString file = dialogs_.saveFile(
        this, QStringLiteral("スイープ結果に名前を付けて保存"),
        QStringLiteral("CSVファイル (*.csv);;すべてのファイル (*)"), QStringLiteral("sweep.csv"));
    if (file.isEmpty()) {
        return;
    }
    std::string bytes = app::SweepCsvHeader(*grid_);
    for (const app::SweepRow& row : rows_) {
        bytes += app::SweepCsvLine(row);
    }
    try {
        data::WriteFileBytes(ToStdString(file), bytes);
    } catch (const std::exception& e) {
        dialogs_.error(this, ToQString(app::ErrorText(e)));
    }
}

void SweepDialog::reject() {
    cancel();
    QDialog::reject();
}

} // namespace skarvel::gui
