// TFilterForm, "ORVA32 - Criteri di estrazione": selection of log rows by service and by date.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "log/Logform.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace orva {

class TFilterForm final : public QDialog {
  Q_OBJECT
 public:
  TFilterForm(const std::vector<std::string>& services, const LogFilter& state,
              QWidget* parent = nullptr);
  LogFilter Filter() const;
  void SetFromDate(TDateTime d);
  void SetToDate(TDateTime d);

 private:
  void ShowDates();
  QCheckBox* ServiceCB;
  QCheckBox* DateCB;
  QComboBox* ServCombo;
  QLabel* FromLb;
  QLabel* ToLb;
  TDateTime m_from, m_to;
};

}  // namespace orva
