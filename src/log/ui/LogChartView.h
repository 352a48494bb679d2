// The chart page of the log window: the cost, bytes or speed of the selected calls as points
// and lines, bars or points, each with its average.
#pragma once

#include <QChartView>
#include <QPointer>
#include <QString>
#include <utility>
#include <vector>

#include "log/LogReport.h"

class QCategoryAxis;

namespace orva {

class LogChartView : public QChartView {
  Q_OBJECT
 public:
  explicit LogChartView(QWidget* parent = nullptr);
  // style 1 points and lines (the cost named by date), 2 bars, 3 points; threeD: the drop
  // shadow that gives the series depth.
  void Draw(const LogChart& chartData, int style, bool threeD);
  // How many points each name on the bottom axis stands for (1: every point is named).
  int LabelStep() const { return m_labelStep; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Names every point while the names fit side by side, else every 2nd, 5th, 10th, 20th…
  // point, so that no name is cut down to "…" however many calls are selected.
  void LabelBottomAxis();

  QPointer<QCategoryAxis> m_bottom;
  std::vector<std::pair<QString, double>> m_labels;  // every point's name and place
  int m_labelStep = 0;
};

}  // namespace orva
