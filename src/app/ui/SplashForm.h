// The start-up splash window: the program's name, a step text and a step symbol.
#pragma once

#include <QWidget>

class QLabel;

namespace orva {

class TSplashForm final : public QWidget {
  Q_OBJECT
 public:
  TSplashForm();
  // Shows the next start-up step ("Loading preferences...") and repaints at once.
  void Step(const QString& text);

 private:
  QLabel* m_step;
  QLabel* m_symbol;
  int m_count = 0;
};

}  // namespace orva
