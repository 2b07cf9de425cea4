#pragma once
// "調整の目安": a row per setting a builder changes, with a bar over the range
// looked at: the safe range in green, the current value as a black line, the
// best glide ratio's value as a blue diamond; its words below, and a button
// that writes the best value into the tables.

#include "app/advice.h"

#include <QWidget>

#include <vector>

class QVBoxLayout;

namespace skarvel::gui {

class AdviceBar : public QWidget {
  public:
    explicit AdviceBar(QWidget* parent = nullptr);
    void setRow(const app::AdviceRow& row);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    app::AdviceRow row_;
};

class AdvicePage : public QWidget {
    Q_OBJECT
  public:
    explicit AdvicePage(QWidget* parent = nullptr);
    // The rows of the advice; a text in their place while there are none.
    void setRows(const std::vector<app::AdviceRow>& rows, const QString& note = {});

  Q_SIGNALS:
    // The button of the row at that index.
    void applyRequested(int row);

  private:
    QVBoxLayout* rows_ = nullptr;
};

} // namespace skarvel::gui
