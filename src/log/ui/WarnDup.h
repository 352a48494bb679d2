// TWarnDupDlg ("Attenzione"): asks once whether calls already in the list are added again.
#pragma once

#include <QDialog>

#include "log/Logform.h"

namespace orva {

class TWarnDupDlg final : public QDialog {
  Q_OBJECT
 public:
  explicit TWarnDupDlg(QWidget* parent = nullptr);
  DupAnswer Answer() const { return m_answer; }

 private:
  DupAnswer m_answer = DupAnswer::Closed;
};

// The duplicate question shown with TWarnDupDlg.
DupQuestion AskDuplicatesWithWindow(QWidget* parent);

}  // namespace orva
