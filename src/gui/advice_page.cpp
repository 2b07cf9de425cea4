#include "gui/advice_page.h"

#include "gui/qt_text.h"

#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace skarvel::gui {

namespace {

constexpr int kBarHeight = 40;
constexpr int kMargin = 8;

} // namespace

AdviceBar::AdviceBar(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(kBarHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize AdviceBar::sizeHint() const {
    return {360, kBarHeight};
}

void AdviceBar::setRow(const app::AdviceRow& row) {
    row_ = row;
    update();
}

void AdviceBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double width = row_.boxHigh - row_.boxLow;
    if (!(width > 0)) {
        return;
    }
    const double left = kMargin;
    const double right = this->width() - kMargin;
    const auto x = [&](double v) {
        return left + (right - left) * std::clamp((v - row_.boxLow) / width, 0.0, 1.0);
    };
    const QRectF box(left, 8, right - left, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xdd, 0xdd, 0xdd));
    p.drawRect(box);
    if (row_.low && row_.high) {
        p.setBrush(QColor(0x4c, 0xaf, 0x50));
        p.drawRect(QRectF(QPointF(x(*row_.low), box.top()), QPointF(x(*row_.high), box.bottom())));
    }
    if (row_.best) {
        const double bx = x(*row_.best);
        QPainterPath diamond;
        diamond.moveTo(bx, box.top() - 5);
        diamond.lineTo(bx + 5, box.center().y());
        diamond.lineTo(bx, box.bottom() + 5);
        diamond.lineTo(bx - 5, box.center().y());
        diamond.closeSubpath();
        p.setBrush(QColor(0x1f, 0x6f, 0xd1));
        p.drawPath(diamond);
    }
    p.setPen(QPen(Qt::black, 2));
    const double cx = x(row_.current);
    p.drawLine(QPointF(cx, box.top() - 6), QPointF(cx, box.bottom() + 6));
    // The ends of the range looked at.
    p.setPen(palette().color(QPalette::WindowText));
    const QRectF under(left, box.bottom() + 6, right - left, fontMetrics().height());
    p.drawText(under, Qt::AlignLeft | Qt::AlignTop, ToQString(row_.boxLowText));
    p.drawText(under, Qt::AlignRight | Qt::AlignTop, ToQString(row_.boxHighText));
}

AdvicePage::AdvicePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AdvicePage"));
    rows_ = new QVBoxLayout(this);
}

void AdvicePage::setRows(const std::vector<app::AdviceRow>& rows, const QString& note) {
    while (QLayoutItem* item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (!note.isEmpty()) {
        auto* label = new QLabel(note);
        label->setWordWrap(true);
        rows_->addWidget(label);
    }
    auto* legend = new QLabel(QStringLiteral(
        "緑: 失速せずにトリムし、どのモードも減衰する範囲　黒線: 現在の値　青: 最良滑空比の値"));
    legend->setWordWrap(true);
    rows_->addWidget(legend);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const app::AdviceRow& r = rows[i];
        auto* row = new QWidget;
        row->setObjectName(QStringLiteral("AdviceRow%1").arg(i));
        auto* layout = new QVBoxLayout(row);
        layout->setContentsMargins(0, 4, 0, 4);
        auto* caption = new QLabel(ToQString(r.caption));
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        auto* bar = new AdviceBar;
        bar->setRow(r);
        auto* text = new QLabel(ToQString(r.text));
        text->setWordWrap(true);
        layout->addWidget(caption);
        layout->addWidget(bar);
        layout->addWidget(text);
        if (!r.applyText.empty()) {
            auto* apply = new QPushButton(ToQString(r.applyText));
            apply->setObjectName(QStringLiteral("ApplyAdvice%1").arg(i));
            apply->setAutoDefault(false);
            connect(apply, &QPushButton::clicked, this,
                    [this, i] { Q_EMIT applyRequested(static_cast<int>(i)); });
            layout->addWidget(apply, 0, Qt::AlignLeft);
        }
        rows_->addWidget(row);
    }
    rows_->addStretch(1);
}

} // namespace skarvel::gui
