// The day tick editor's window.
#include "bill/ui/Bolman.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orva {

TBolManDlg::TBolManDlg(int day, int month, int year, const BillOptions& options, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("BolManDlg"));
  setWindowTitle(QStringLiteral("Gestione scatti"));
  m_model.Open(day, month, year, options);

  DATLb = new QLabel(QString::fromStdString(m_model.DayTitle()), this);
  DATLb->setObjectName(QStringLiteral("DATLb"));
  LB = new QTreeWidget(this);
  LB->setObjectName(QStringLiteral("LB"));
  LB->setHeaderLabels({QStringLiteral("Scatti"), QString::fromStdString(m_model.PriceHeader())});
  LB->header()->setSectionsClickable(false);
  LB->setColumnWidth(0, 75);
  LB->setColumnWidth(1, 74);
  LB->setRootIsDecorated(false);
  // Digits, "," and "." only (backspace is always allowed by the edit itself).
  auto* numbers =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,.]*")), this);
  ED0 = new QLineEdit(this);
  ED0->setObjectName(QStringLiteral("ED0"));
  ED0->setValidator(numbers);
  ED1 = new QLineEdit(this);
  ED1->setObjectName(QStringLiteral("ED1"));
  ED1->setValidator(numbers);
  auto* add = new QPushButton(QStringLiteral("Aggiungi"), this);
  add->setObjectName(QStringLiteral("AddBtn"));
  ModBtn = new QPushButton(QStringLiteral("Modifica"), this);
  ModBtn->setObjectName(QStringLiteral("ModBtn"));
  DelBtn = new QPushButton(QStringLiteral("Elimina"), this);
  DelBtn->setObjectName(QStringLiteral("DelBtn"));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("numero scatti"), ED0);
  form->addRow(QStringLiteral("costo scatto"), ED1);
  ED1->setAccessibleName(QString::fromStdString("costo scatto " + m_model.PriceHeader()));
  auto* edits = new QHBoxLayout;
  edits->addWidget(add);
  edits->addWidget(ModBtn);
  edits->addWidget(DelBtn);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(this);
  top->addWidget(DATLb);
  top->addWidget(LB, 1);
  top->addLayout(form);
  top->addLayout(edits);
  top->addLayout(buttons);
  resize(300, 360);

  connect(LB, &QTreeWidget::itemClicked, this, &TBolManDlg::LBClick);
  connect(LB, &QTreeWidget::currentItemChanged, this, &TBolManDlg::LBClick);
  connect(ED0, &QLineEdit::textChanged, this,
          [this](const QString& t) { m_model.SetEd0(t.toStdString()); });
  connect(ED1, &QLineEdit::textChanged, this,
          [this](const QString& t) { m_model.SetEd1(t.toStdString()); });
  connect(add, &QPushButton::clicked, this, &TBolManDlg::AddBtnClick);
  connect(ModBtn, &QPushButton::clicked, this, &TBolManDlg::ModBtnClick);
  connect(DelBtn, &QPushButton::clicked, this, &TBolManDlg::DelBtnClick);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  ShowItems();
}

void TBolManDlg::ShowItems() {
  LB->blockSignals(true);
  LB->clear();
  for (int i = 0; i < static_cast<int>(m_model.Items().size()); ++i) {
    const auto [count, price] = m_model.ShownItem(i);
    LB->addTopLevelItem(
        new QTreeWidgetItem({QString::fromStdString(count), QString::fromStdString(price)}));
  }
  if (m_model.Selected() >= 0) LB->setCurrentItem(LB->topLevelItem(m_model.Selected()));
  LB->blockSignals(false);
  ModBtn->setEnabled(m_model.CanChange());
  DelBtn->setEnabled(m_model.CanChange());
}

void TBolManDlg::LBClick() {
  auto* item = LB->currentItem();
  if (!item) return;
  m_model.Select(LB->indexOfTopLevelItem(item));
  ED0->setText(QString::fromStdString(m_model.Ed0()));
  ED1->setText(QString::fromStdString(m_model.Ed1()));
  ModBtn->setEnabled(m_model.CanChange());
  DelBtn->setEnabled(m_model.CanChange());
}

void TBolManDlg::RefuseIncomplete() {
  // A count and a price are both needed: the empty one, or a price that is no number
  // ("1,2,3"), gets the focus with its text selected.
  QApplication::beep();
  QLineEdit* faulty = m_model.PriceFaulty() || !m_model.Ed0().empty() ? ED1 : ED0;
  faulty->setFocus();
  faulty->selectAll();
}

void TBolManDlg::AddBtnClick() {
  if (!m_model.Add()) return RefuseIncomplete();
  ShowItems();
}

void TBolManDlg::ModBtnClick() {
  if (!m_model.CanChange()) return;
  if (!m_model.Modify()) return RefuseIncomplete();
  ShowItems();
}

void TBolManDlg::DelBtnClick() {
  if (!m_model.CanChange()) return;
  m_model.Delete();
  ED0->clear();
  ED1->clear();
  ShowItems();
}

}  // namespace orva
