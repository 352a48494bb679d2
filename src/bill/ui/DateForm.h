// TDateForm, "ORVA32 - Scelta data": a calendar (weeks from Sunday), the month and year, a
// spin button that changes the month, "&OK" and "&Annulla"; a double click on a day is OK.
#pragma once

#include <QDialog>

#include "platform/DateTime.h"

class QCalendarWidget;
class QLabel;
class QSpinBox;

namespace orva {

class TDateForm final : public QDialog {
  Q_OBJECT
 public:
  TDateForm(const QString& caption, const DateParts& date, QWidget* parent = nullptr);
  DateParts Date() const;
  void SetDate(const DateParts& date);
  // The spin button: +1 next month, -1 previous.
  void UpDown1Click(int step);

 private:
  void ShowMonth();
  QCalendarWidget* Calendar1;
  QLabel* MonthLb;
  QSpinBox* UpDown1;
  int m_spin = 0;
};

// Asks for a date; none when cancelled.
std::optional<DateParts> PickDate(QWidget* parent, const QString& caption, const DateParts& date);

}  // namespace orva
