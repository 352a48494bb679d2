// The options dialog's "Corrispondenze" page: which tariff each dial-up entry is metered with,
// and the negotiation time of its connection.
#include "setup/ui/Setting.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "platform/qt/ElidingComboBox.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

QWidget* TSetupForm::BuildAssociationPage() {
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  ListView1 = Named(new QTreeWidget(page), "ListView1");
  ListView1->setHeaderLabels(
      {QStringLiteral("Nome"), QStringLiteral("Tariffa"), QStringLiteral("Neg..")});
  ListView1->setRootIsDecorated(false);
  NameEdit = Edit("NameEdit", page);
  TariffeCB = Named(new ElidingComboBox(page), "TariffeCB");
  for (const auto& t : m_ctx.tariffDescriptions) TariffeCB->addItem(Q(t));
  // As wide as the page allows: a name longer than that ends in "…" rather than widening the
  // dialog, and the open list shows it whole.
  TariffeCB->setMinimumWidth(TariffeCB->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 12);
  TariffeCB->setCurrentIndex(-1);
  Negotime1 = Edit("Negotime1", page, "[0-9.]*");
  Negotime1->setText(QStringLiteral("10000"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Nome"), NameEdit);
  form->addRow(QStringLiteral("Tariffa"), TariffeCB);
  form->addRow(QStringLiteral("Negoziazione (ms)"), Negotime1);
  auto* buttons = new QHBoxLayout;
  auto* ras = Button("RASBtn", "RAS", page);
  auto* add = Button("AddAscBtn", "Aggiungi", page);
  auto* del = Button("DelAscBtn", "Elimina", page);
  auto* mod = Button("ModAscBtn", "Modifica", page);
  for (auto* b : {ras, add, del, mod}) buttons->addWidget(b);
  l->addWidget(ListView1, 1);
  l->addLayout(form);
  l->addLayout(buttons);
  connect(ras, &QPushButton::clicked, this, &TSetupForm::RASBtnClick);
  connect(add, &QPushButton::clicked, this, &TSetupForm::AddAscBtnClick);
  connect(del, &QPushButton::clicked, this, &TSetupForm::DelAscBtnClick);
  connect(mod, &QPushButton::clicked, this, &TSetupForm::ModAscBtnClick);
  connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TSetupForm::ListView1Select);
  ShowAssociations();
  return page;
}

void TSetupForm::ShowAssociations() {
  ListView1->blockSignals(true);
  ListView1->clear();
  for (const auto& r : m_associations.Rows())
    ListView1->addTopLevelItem(new QTreeWidgetItem({Q(r.name), Q(r.tariff), Q(r.negotiation)}));
  if (const auto sel = m_associations.Selected())
    ListView1->setCurrentItem(ListView1->topLevelItem(static_cast<int>(*sel)));
  ListView1->blockSignals(false);
  if (m_associations.Selected()) ListView1Select();  // a selected row fills the fields
}

void TSetupForm::ListView1Select() {
  auto* item = ListView1->currentItem();
  if (!item) return;
  const auto row = static_cast<std::size_t>(ListView1->indexOfTopLevelItem(item));
  m_associations.Select(row);
  const AssociationRow& r = m_associations.Rows()[row];
  NameEdit->setText(Q(r.name));
  TariffeCB->setCurrentIndex(TariffeCB->findText(Q(r.tariff), Qt::MatchExactly));
  Negotime1->setText(Q(r.negotiation));
}

void TSetupForm::RASBtnClick() {
  m_associations.AddDialupEntries(m_ctx.dialupEntries);
  ShowAssociations();
}

void TSetupForm::AddAscBtnClick() {
  if (TariffeCB->currentIndex() < 0) return;
  if (m_associations.Add(S(NameEdit->text()), S(TariffeCB->currentText()), S(Negotime1->text())))
    ShowAssociations();
}

void TSetupForm::DelAscBtnClick() {
  if (m_associations.Delete()) ShowAssociations();
}

void TSetupForm::ModAscBtnClick() {
  if (TariffeCB->currentIndex() < 0) return;
  if (m_associations.Modify(S(NameEdit->text()), S(TariffeCB->currentText()), S(Negotime1->text())))
    ShowAssociations();
}

}  // namespace orva
