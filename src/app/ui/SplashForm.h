// The start-up splash window: the program's name, a step text and a step symbol.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;

namespace orva {

class TSplashForm final : public QWidget {
  Q_OBJECT
 public:
  TSplashForm();
  // Shows the next start-up step ("Loading preferences...") and repaints at once.
  void Step(const QString& text);
  // How much longer it stays, so it is seen for at least kShownMs whatever the start-up took.
  static constexpr int kShownMs = 2000;
  int RemainingMs() const { return kShownMs - static_cast<int>(m_shown.elapsed()); }

 private:
  QLabel* m_step;
  QLabel* m_symbol;
  int m_count = 0;
  QElapsedTimer m_shown;
};

}  // namespace orva
