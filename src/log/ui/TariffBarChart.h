// The tariff comparison's bar chart: one horizontal bar per tariff, its cost written at its
// end, and a dashed line across the bars where the paid amount lies.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace orva {

class TariffBarChart final : public QWidget {
  Q_OBJECT
 public:
  struct Bar {
    QString name;
    double value = 0;  // in the shown currency
    QString text;      // the value as written beside the bar
  };
  explicit TariffBarChart(QWidget* parent = nullptr);
  // `paid` is drawn as the dashed line labelled with `paidText`.
  void SetBars(std::vector<Bar> bars, double paid, const QString& paidText);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  // Draws the chart into `area` of any paint device (the screen, a printed page).
  void Paint(QPainter& painter, const QRect& area) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<Bar> m_bars;
  double m_paid = 0;
  QString m_paidText;
};

}  // namespace orva
