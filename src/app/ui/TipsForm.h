// The tips-of-the-day window: one tip at a time, forward and back, and the choice of seeing
// the tips at every start (the "Suggerimenti" setting the window owns).
#pragma once

#include <QDialog>

#include "app/Tips.h"

class QCheckBox;
class QLabel;

namespace orva {

struct Settings;

class TTipsForm final : public QDialog {
  Q_OBJECT
 public:
  TTipsForm(Settings& settings, long dayNumber, QWidget* parent = nullptr);
  const TipsOfTheDay& Tips() const { return m_tips; }
  void NextBtnClick();
  void PrevBtnClick();

 private:
  void ShowTip();

  Settings& m_settings;
  TipsOfTheDay m_tips;
  QLabel* m_text;
  QLabel* m_position;
  QCheckBox* m_atStart;
};

}  // namespace orva
