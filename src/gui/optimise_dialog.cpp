#include "gui/optimise_dialog.h"

#include "app/sweep_model.h"
#include "gui/chart.h"
#include "gui/qt_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>

namespace skarvel::gui {

namespace {

QComboBox* CellBox() {
    auto* box = new QComboBox;
    box->addItem(QStringLiteral("（なし）"), QString());
    const app::SweepChoices choices = app::SweepChoiceLists();
    for (const auto* list : {&choices.input, &choices.design}) {
        for (const app::SweepChoice& c : *list) {
            box->addItem(ToQString(c.label), ToQString(c.name));
        }
    }
    return box;
}

} // namespace

OptimiseDialog::OptimiseDialog(app::Workspace& workspace, ApplyRequest apply, QWidget* parent)
    : QDialog(parent), ws_(workspace), applyRequest_(std::move(apply)) {
    setObjectName(QStringLiteral("OptimiseDialog"));
    setWindowTitle(QStringLiteral("最適化"));
    setModal(false);

    figure_ = new QComboBox;
    figure_->setObjectName(QStringLiteral("OptimiseFigure"));
    for (const app::OptimiseChoice& c : app::OptimiseFigureChoices()) {
        figure_->addItem(ToQString(c.label), ToQString(c.name));
    }
    direction_ = new QComboBox;
    direction_->addItems({QStringLiteral("を最大にする"), QStringLiteral("を最小にする")});
    auto* aim = new QHBoxLayout;
    aim->addWidget(figure_, 1);
    aim->addWidget(direction_);

    auto* cells = new QGroupBox(QStringLiteral("変える値と範囲"));
    auto* grid = new QGridLayout(cells);
    for (int i = 0; i < kVariables; ++i) {
        VariableRow& row = variables_[static_cast<std::size_t>(i)];
        row.name = CellBox();
        row.name->setObjectName(QStringLiteral("OptimiseVariable%1").arg(i + 1));
        row.from = new QLineEdit;
        row.to = new QLineEdit;
        grid->addWidget(new QLabel(QStringLiteral("変数 %1").arg(i + 1)), i, 0);
        grid->addWidget(row.name, i, 1);
        grid->addWidget(row.from, i, 2);
        grid->addWidget(new QLabel(QStringLiteral("〜")), i, 3);
        grid->addWidget(row.to, i, 4);
        // A cell chosen: its range about the value it has now.
        connect(row.name, &QComboBox::currentIndexChanged, this, [this, &row] {
            const std::string name = ToStdString(row.name->currentData().toString());
            if (name.empty()) {
                row.from->clear();
                row.to->clear();
                return;
            }
            const app::SweepRange r = app::SweepRangeOfCell(ws_.tables(), name);
            row.from->setText(ToQString(r.from));
            row.to->setText(ToQString(r.to));
        });
    }

    auto* needs = new QGroupBox(QStringLiteral("条件"));
    auto* needLayout = new QHBoxLayout(needs);
    stable_ = new QCheckBox(QStringLiteral("安定（どのモードも減衰）"));
    unstalled_ = new QCheckBox(QStringLiteral("失速しない"));
    margin_ = new QCheckBox(QStringLiteral("静安定余裕 ≥"));
    marginText_ = new QLineEdit(QStringLiteral("0"));
    marginText_->setMaximumWidth(60);
    needLayout->addWidget(stable_);
    needLayout->addWidget(unstalled_);
    needLayout->addWidget(margin_);
    needLayout->addWidget(marginText_);
    needLayout->addWidget(new QLabel(QStringLiteral("%")));
    needLayout->addStretch(1);

    budget_ = new QLineEdit(QStringLiteral("200"));
    budget_->setMaximumWidth(80);
    start_ = new QPushButton(QStringLiteral("開始"));
    stop_ = new QPushButton(QStringLiteral("中止"));
    apply_ = new QPushButton(QStringLiteral("適用"));
    apply_->setObjectName(QStringLiteral("ApplyOptimum"));
    apply_->setToolTip(QStringLiteral("最良の値を表に書き込んで飛行（元に戻せます）"));
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    for (QPushButton* b : {start_, stop_, apply_, close}) {
        b->setAutoDefault(false);
    }
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    connect(stop_, &QPushButton::clicked, this, [this] { cancel(); });
    connect(apply_, &QPushButton::clicked, this, [this] {
        if (job_ && job_->finished() && job_->result().best && applyRequest_) {
            applyRequest_(job_->options(), job_->result());
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("評価回数")));
    buttons->addWidget(budget_);
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    buttons->addWidget(close);

    chart_ = new Chart(
        QStringLiteral("最良値"),
        {{QStringLiteral("最良値"), QColor(0x1f, 0x6f, 0xd1), Chart::Style::LineAndPoints}});
    chart_->setBottomTitle(QStringLiteral("評価回数"));
    chart_->setMinimumHeight(220);
    result_ = new QLabel;
    result_->setObjectName(QStringLiteral("OptimiseResult"));
    result_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(aim);
    layout->addWidget(cells);
    layout->addWidget(needs);
    layout->addLayout(buttons);
    layout->addWidget(chart_, 1);
    layout->addWidget(result_);

    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, [this] { poll(); });
    resize(640, 560);
    enableButtons();
}

OptimiseDialog::~OptimiseDialog() = default;

app::OptimiseEntries OptimiseDialog::entries() const {
    app::OptimiseEntries e;
    e.figure = ToStdString(figure_->currentData().toString());
    e.maximise = direction_->currentIndex() == 0;
    for (const VariableRow& row : variables_) {
        e.variables.push_back({ToStdString(row.name->currentData().toString()),
                               ToStdString(row.from->text().trimmed()),
                               ToStdString(row.to->text().trimmed())});
    }
    e.stable = stable_->isChecked();
    e.unstalled = unstalled_->isChecked();
    e.margin = margin_->isChecked();
    e.marginText = ToStdString(marginText_->text().trimmed());
    e.budgetText = ToStdString(budget_->text().trimmed());
    return e;
}

bool OptimiseDialog::running() const {
    return job_ && !job_->finished();
}

void OptimiseDialog::start() {
    if (running()) {
        return;
    }
    const app::CheckedOptimise checked = app::CheckOptimiseEntries(
        entries(), static_cast<unsigned>(std::max(1, QThread::idealThreadCount())));
    if (!checked.options) {
        result_->setText(ToQString(checked.error));
        return;
    }
    try {
        job_ = std::make_unique<app::OptimiseJob>(ws_.sweeps().base(), *checked.options,
                                                  app::OpenLocalSearch());
    } catch (const std::exception& e) {
        result_->setText(QStringLiteral("最適化を始められません: ") + ToQString(e.what()));
        return;
    }
    chart_->clear();
    poll_->start();
    poll();
}

void OptimiseDialog::cancel() {
    if (job_) {
        job_->cancel();
    }
}

void OptimiseDialog::poll() {
    if (!job_) {
        return;
    }
    const bool done = job_->finished();
    chart_->clearSeries(0);
    const auto found = job_->bestSoFar();
    for (const auto& [evaluations, best] : found) {
        chart_->appendPoint(0, evaluations, best);
    }
    // The best held to the last evaluation.
    if (!found.empty() && job_->evaluations() > found.back().first) {
        chart_->appendPoint(0, job_->evaluations(), found.back().second);
    }
    chart_->autoScale();
    result_->setText(ToQString(app::OptimiseResultText(*job_)));
    if (done) {
        poll_->stop();
    }
    enableButtons();
}

void OptimiseDialog::enableButtons() {
    start_->setEnabled(!running());
    stop_->setEnabled(running());
    apply_->setEnabled(job_ && job_->finished() && job_->result().best.has_value());
}

void OptimiseDialog::closeEvent(QCloseEvent* event) {
    // A running optimisation ends with the window.
    cancel();
    QDialog::closeEvent(event);
}

} // namespace skarvel::gui
