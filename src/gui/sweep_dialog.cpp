#include "gui/sweep_dialog.h"

#include "app/error_text.h"
#include "data/textfile.h"
#include "gui/chart.h"
#include "gui/color_map.h"
#include "gui/qt_text.h"
#include "gui/sweep_parts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <string>

namespace skarvel::gui {

namespace {

QString Caption(app::SummaryFigure figure) {
    return ToQString(std::string(app::SummaryFigureCaption(figure)));
}

template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QPushButton* Button(const QString& text, const QString& name = {}) {
    auto* button = Named(new QPushButton(text), name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

SweepDialog::SweepDialog(app::Workspace& workspace, Dialogs dialogs, FlyRequest fly,
                         QWidget* parent)
    : QDialog(parent), ws_(workspace), dialogs_(std::move(dialogs)), fly_(std::move(fly)) {
    setObjectName(QStringLiteral("SweepDialog"));
    setWindowTitle(QStringLiteral("スイープ"));
    setModal(false);
    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &SweepDialog::poll);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildEntries());
    layout->addLayout(buildRun());
    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(buildChart());
    split->addWidget(buildTable());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    split->setSizes({620, 440});
    layout->addWidget(split, 1);
    layout->addLayout(buildButtons());

    for (int k = 0; k < kVariables; ++k) {
        connect(fields_[std::size_t(k)].name, &QComboBox::currentIndexChanged, this, [this, k] {
            prefill(k);
            checkEntries();
        });
    }
    prefill(0);
    prefill(1);
    checkEntries();
    describePoint(std::nullopt);
    showProgress();
    chart_->setBottomTitle(QStringLiteral("変数1"));
    resize(1080, 760);
}

// The variables: a pick list of cells and the range fields for each.
QWidget* SweepDialog::buildEntries() {
    auto* box = new QGroupBox(QStringLiteral("変数（開始値から終了値まで刻みごと）"));
    auto* grid = new QGridLayout(box);
    int column = 1;
    for (const char* head : {"セル", "開始値", "終了値", "刻み"}) {
        grid->addWidget(new QLabel(QString::fromUtf8(head)), 0, column++);
    }
    const app::SweepChoices choices = app::SweepChoiceLists();
    for (int k = 0; k < kVariables; ++k) {
        const QString number = QString::number(k + 1);
        Fields& f = fields_[std::size_t(k)];
        f.name = Named(new QComboBox, QStringLiteral("SweepVariable") + number);
        f.name->setMaxVisibleItems(24);
        if (k > 0) {
            f.name->addItem(QStringLiteral("なし"), QString());
        }
        for (const app::SweepChoice& c : choices.input) {
            f.name->addItem(ToQString(c.label), ToQString(c.name));
        }
        f.name->insertSeparator(f.name->count());
        for (const app::SweepChoice& c : choices.design) {
            f.name->addItem(ToQString(c.label), ToQString(c.name));
        }
        if (k == 0) {
            f.name->setCurrentIndex(std::max(0, f.name->findData(ToQString(choices.first))));
        }
        grid->addWidget(new QLabel(QStringLiteral("変数") + number), k + 1, 0);
        grid->addWidget(f.name, k + 1, 1);
        f.from = Named(new QLineEdit, QStringLiteral("SweepFrom") + number);
        f.to = Named(new QLineEdit, QStringLiteral("SweepTo") + number);
        f.step = Named(new QLineEdit, QStringLiteral("SweepStep") + number);
        column = 2;
        for (QLineEdit* edit : {f.from, f.to, f.step}) {
            edit->setMaximumWidth(110);
            connect(edit, &QLineEdit::textChanged, this, [this] { checkEntries(); });
            grid->addWidget(edit, k + 1, column++);
        }
    }
    grid->setColumnStretch(1, 1);
    points_ = Named(new QLabel, QStringLiteral("SweepPoints"));
    points_->setWordWrap(true);
    grid->addWidget(points_, kVariables + 1, 0, 1, 5);
    return box;
}

// Start, cancel and the progress.
QLayout* SweepDialog::buildRun() {
    start_ = Button(QStringLiteral("開始"), QStringLiteral("SweepStart"));
    cancel_ = Button(QStringLiteral("中止"), QStringLiteral("SweepCancel"));
    connect(start_, &QPushButton::clicked, this, &SweepDialog::start);
    connect(cancel_, &QPushButton::clicked, this, &SweepDialog::cancel);
    progress_ = new QProgressBar;
    progress_->setTextVisible(false);
    progressText_ = Named(new QLabel, QStringLiteral("SweepProgress"));
    progressText_->setMinimumWidth(progressText_->fontMetrics().horizontalAdvance(
        QStringLiteral("100000 / 100000 点　9999 点/秒　残り 99 時間 59 分")));
    auto* run = new QHBoxLayout;
    run->addWidget(start_);
    run->addWidget(cancel_);
    run->addWidget(progress_, 1);
    run->addWidget(progressText_);
    return run;
}

// The chosen figure charted, and the point under the mouse described.
QWidget* SweepDialog::buildChart() {
    auto* figures = Named(new QComboBox, QStringLiteral("SweepFigure"));
    for (const app::SummaryFigure f : app::kSummaryFigures) {
        figures->addItem(Caption(f), int(f));
    }
    connect(figures, &QComboBox::currentIndexChanged, this, [this, figures] {
        run_.setFigure(app::SummaryFigure(figures->currentData().toInt()));
        plot(0, true, true);
    });
    auto* chooser = new QHBoxLayout;
    chooser->addWidget(new QLabel(QStringLiteral("表示する値:")));
    chooser->addWidget(figures);
    chooser->addStretch(1);
    chart_ = Named(
        new Chart(Caption(app::SummaryFigure::AirborneTime),
                  {{QStringLiteral("各点"), QColor(0x00, 0x00, 0xD0), Chart::Style::LineAndPoints},
                   {QStringLiteral("最良点"), QColor(0x00, 0x90, 0x00), Chart::Style::Points}}),
        QStringLiteral("SweepChart"));
    map_ = Named(new ColorMap, QStringLiteral("SweepMap"));
    charts_ = new QStackedWidget;
    charts_->addWidget(chart_);
    charts_->addWidget(map_);
    charts_->setMinimumSize(420, 320);
    pointText_ = Named(new QLabel, QStringLiteral("SweepPoint"));
    pointText_->setWordWrap(true);
    pointText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Two lines always, so that the chart does not jump as the mouse moves.
    pointText_->setMinimumHeight(2 * pointText_->fontMetrics().lineSpacing() + 4);
    pointText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(chart_, &Chart::mouseTime, this,
            [this](double x) { describePoint(results().pointNear(x)); });
    connect(chart_, &Chart::clicked, this, [this](double x, double y) {
        const auto pixelOf = [this](double px, double py) {
            const QPoint at = chart_->pixelOf(px, py);
            return app::Pixel{double(at.x()), double(at.y())};
        };
        if (const auto point = results().clickedPoint(pixelOf, pixelOf(x, y))) {
            flyPoint(*point);
        }
    });
    connect(map_, &ColorMap::hovered, this, [this](int column, int row) {
        describePoint(results().pointAt({column, row}));
    });
    connect(map_, &ColorMap::clicked, this, [this](int column, int row) {
        if (const auto point = results().pointAt({column, row})) {
            flyPoint(*point);
        }
    });
    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(chooser);
    layout->addWidget(charts_, 1);
    layout->addWidget(pointText_);
    return side;
}

// The rows: the current one described, one activated flown.
QTableView* SweepDialog::buildTable() {
    model_ = new SweepRowsModel(run_, this);
    auto* table = Named(SweepRowsTable(model_), QStringLiteral("SweepRows"));
    table->setToolTip(QStringLiteral("ダブルクリックでその点の値を表に書き込んで飛行"));
    // Rows arrive in grid order without gaps: a row's point is its index.
    connect(table, &QTableView::activated, this,
            [this](const QModelIndex& index) { flyPoint(std::size_t(index.row())); });
    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid()) {
                    describePoint(std::size_t(index.row()));
                }
            });
    return table;
}

QLayout* SweepDialog::buildButtons() {
    save_ = Button(QStringLiteral("CSVに保存..."), QStringLiteral("SweepSaveCsv"));
    connect(save_, &QPushButton::clicked, this, &SweepDialog::saveCsv);
    QPushButton* close = Button(QStringLiteral("閉じる"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(close);
    return buttons;
}

void SweepDialog::prefill(int k) {
    Fields& f = fields_[std::size_t(k)];
    const QString name = f.name->currentData().toString();
    const app::SweepRange range = app::SweepRangeOfCell(ws_.tables(), ToStdString(name));
    for (const auto& [edit, text] : {std::pair{f.from, range.from}, std::pair{f.to, range.to},
                                     std::pair{f.step, range.step}}) {
        edit->setEnabled(!name.isEmpty());
        edit->setText(name.isEmpty() ? QString() : ToQString(text));
        // A text wider than its field shows its start, as a table cell does.
        edit->setCursorPosition(0);
    }
}

void SweepDialog::checkEntries() {
    std::vector<app::SweepEntry> entries;
    for (const Fields& f : fields_) {
        entries.push_back(
            {ToStdString(f.name->currentData().toString()), ToStdString(f.from->text().trimmed()),
             ToStdString(f.to->text().trimmed()), ToStdString(f.step->text().trimmed())});
    }
    app::SweepEntries checked = app::CheckSweepEntries(entries);
    entries_ = std::move(checked.grid);
    points_->setStyleSheet(entries_ ? QString() : QStringLiteral("color: #b00000;"));
    points_->setText(ToQString(checked.text));
    enableButtons();
}

void SweepDialog::enableButtons() {
    start_->setEnabled(!running() && entries_.has_value());
    cancel_->setEnabled(running() && !run_.cancelling());
    save_->setEnabled(!running() && !results().rows().empty());
}

void SweepDialog::start() {
    if (running() || !entries_) {
        return;
    }
    const std::optional<std::string> refused = run_.start(ws_.sweeps().base(), *entries_);
    model_->reset();
    plot(0, true, true);
    if (refused) {
        dialogs_.error(this, ToQString(*refused));
    }
    if (running()) {
        poll_->start();
    }
    showProgress();
    enableButtons();
}

void SweepDialog::cancel() {
    // The rows in hand are taken at the next poll; the workers end their
    // flights meanwhile.
    run_.cancel();
    enableButtons();
}

void SweepDialog::poll() {
    const app::SweepRun::Polled polled = run_.poll();
    if (!running()) {
        poll_->stop();
    }
    if (results().rows().size() > polled.first) {
        model_->grown();
        plot(polled.first, false, polled.bestChanged);
    }
    showProgress();
    enableButtons();
    if (!polled.fault.empty()) {
        // Said once the window shows the rows that came before it.
        dialogs_.error(this, ToQString(polled.fault));
    }
}

void SweepDialog::showProgress() {
    const app::SweepRun::Progress p = run_.progress();
    progress_->setRange(0, int(p.maximum));
    progress_->setValue(int(p.value));
    progressText_->setText(ToQString(p.text));
}

// The rows from `first` on into the chart (anew: the chart new, a sweep
// started or another figure chosen), the best point marked when it changed.
void SweepDialog::plot(std::size_t first, bool anew, bool bestChanged) {
    const app::SweepResults& r = results();
    if (bestChanged) {
        model_->bestChanged();
        describePoint(std::nullopt);
    }
    if (r.colourMap()) {
        if (anew) {
            map_->reset(ToQString(r.variableTitle(0)), r.values(0), ToQString(r.variableTitle(1)),
                        r.values(1));
            map_->setScaleTitle(Caption(r.figure()));
            charts_->setCurrentWidget(map_);
        }
        for (const app::SweepResults::MapValue& m : r.map(first)) {
            map_->setValue({m.cell.column, m.cell.row}, m.value);
        }
        const auto cell = r.bestCell();
        map_->setMark(cell ? std::optional(ColorMap::Cell{cell->column, cell->row}) : std::nullopt);
        map_->replot();
        return;
    }
    if (anew) {
        chart_->clear();
        chart_->setLeftTitle(Caption(r.figure()));
        if (r.grid()) {
            chart_->setBottomTitle(ToQString(r.variableTitle(r.lineVariable())));
        }
        charts_->setCurrentWidget(chart_);
    }
    for (const app::SweepResults::LinePoint& p : r.line(first)) {
        chart_->appendPoint(0, p.x, p.y);
    }
    if (bestChanged) {
        chart_->clearSeries(1);
        if (const auto best = r.bestOnLine()) {
            chart_->appendPoint(1, best->x, best->y);
        }
    }
    const auto [x, y] = r.lineRanges();
    chart_->setRanges({x.lower, x.upper}, {y.lower, y.upper});
}

void SweepDialog::describePoint(std::optional<std::size_t> point) {
    const std::vector<std::string> parts = results().describe(point);
    pointText_->setText(parts.empty() ? QStringLiteral("グラフの点にマウスを合わせると値を表示し、"
                                                       "クリックするとその点で飛行します")
                                      : Unbroken(parts));
}

void SweepDialog::flyPoint(std::size_t point) {
    const std::optional<app::SweepGrid>& grid = results().grid();
    if (grid && point < grid->size() && fly_) {
        fly_(*grid, point);
    }
}

void SweepDialog::saveCsv() {
    if (results().rows().empty()) {
        return;
    }
    const QString file = dialogs_.saveFile(
        this, QStringLiteral("スイープ結果に名前を付けて保存"),
        QStringLiteral("CSVファイル (*.csv);;すべてのファイル (*)"), QStringLiteral("sweep.csv"));
    if (file.isEmpty()) {
        return;
    }
    try {
        data::WriteFileBytes(ToStdString(file), results().csv());
    } catch (const std::exception& e) {
        dialogs_.error(this, ToQString(app::ErrorText(e)));
    }
}

void SweepDialog::reject() {
    cancel();
    QDialog::reject();
}

} // namespace skarvel::gui
