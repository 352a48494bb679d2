// TBolManDlg, "Gestione scatti": the ticks of one day as (count, price) pairs, edited through
// BolManModel; on OK the bill view writes them back.
#pragma once

#include <QDialog>

#include "bill/Bolman.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace orva {

class TBolManDlg final : public QDialog {
  Q_OBJECT
 public:
  TBolManDlg(int day, int month, int year, const BillOptions& options, QWidget* parent = nullptr);
  const BolManModel& Model() const { return m_model; }

  void LBClick();
  void AddBtnClick();
  void ModBtnClick();
  void DelBtnClick();

 private:
  void RefuseIncomplete();
  void ShowItems();
  BolManModel m_model;
  QTreeWidget* LB;
  QLineEdit* ED0;
  QLineEdit* ED1;
  QLabel* DATLb;
  QPushButton* ModBtn;
  QPushButton* DelBtn;
};

}  // namespace orva
