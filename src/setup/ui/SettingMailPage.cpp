// The options dialog's "Caselle di posta" page: the mailbox table with its fields and buttons,
// encryption and the checking cycle.
#include "setup/ui/Setting.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolTip>
#include <QTreeWidget>
#include <algorithm>

#include "platform/Numbers.h"
#include "setup/SetupRules.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

QWidget* TSetupForm::BuildMailPage() {
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  ListView2 = Named(new QTreeWidget(page), "ListView2");
  ListView2->setHeaderLabels(
      {QStringLiteral("Server"), QStringLiteral("Porta"), QStringLiteral("Utente")});
  ListView2->setRootIsDecorated(false);
  POP3HostED = Edit("POP3HostED", page);
  POP3PortED = Edit("POP3PortED", page, "[0-9]{0,5}");
  POP3UserED = Edit("POP3UserED", page);
  POP3PassED = Edit("POP3PassED", page);
  POP3PassED->setEchoMode(QLineEdit::Password);
  LimitMailboxPassword();
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Server"), POP3HostED);
  form->addRow(QStringLiteral("Porta"), POP3PortED);
  form->addRow(QStringLiteral("Utente"), POP3UserED);
  form->addRow(QStringLiteral("Password"), POP3PassED);
  QHBoxLayout* buttons = BuildMailButtons(page);
  QHBoxLayout* cycle = BuildMailCycle(page);
  // Without it a mailbox that offers no TLS gets the password in clear.
  RequireTlsCB = Check("RequireTlsCB", "Richiedi connessione cifrata", page);
  RequireTlsCB->setChecked(m_ctx.settings.mailRequireTls);
  NotifyMailCB =
      Check("NotifyMailCB", "Annuncia la nuova posta con una notifica del desktop", page);
  NotifyMailCB->setChecked(m_ctx.settings.notifyMail);
  l->addWidget(ListView2, 1);
  l->addLayout(form);
  l->addLayout(buttons);
  if (!m_ctx.passwordStore.empty()) {
    auto* store = Named(new QLabel(Q(m_ctx.passwordStore), page), "PasswordStoreLb");
    store->setWordWrap(true);
    store->setAccessibleName(QStringLiteral("Dove sono custodite le password"));
    store->setAccessibleDescription(store->text());
    l->addWidget(store);
  }
  l->addWidget(RequireTlsCB);
  l->addWidget(NotifyMailCB);
  l->addLayout(cycle);
  connect(ListView2, &QTreeWidget::itemSelectionChanged, this, &TSetupForm::ListView2Select);
  connect(ListView2, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
    const int row = ListView2->indexOfTopLevelItem(item);
    if (row >= 0 && static_cast<std::size_t>(row) < m_mailboxes.Rows().size())
      m_mailboxes.MutableRows()[static_cast<std::size_t>(row)].enabled =
          item->checkState(0) == Qt::Checked;
  });
  ShowMailboxes();
  return page;
}

// The field takes no more than the mailbox file holds, and says so when a key or a paste
// would go past it.
void TSetupForm::LimitMailboxPassword() {
  POP3PassED->setMaxLength(kMailboxPasswordMax);
  POP3PassED->setToolTip(Q(std::string(kMailboxPasswordTooLong)));
  connect(POP3PassED, &QLineEdit::inputRejected, this, [this] {
    if (POP3PassED->text().size() < kMailboxPasswordMax) return;
    QToolTip::showText(POP3PassED->mapToGlobal(QPoint(0, POP3PassED->height())),
                       POP3PassED->toolTip(), POP3PassED);
    m_passwordCut = true;
  });
}

QHBoxLayout* TSetupForm::BuildMailButtons(QWidget* page) {
  auto* buttons = new QHBoxLayout;
  auto* nw = Button("NewMailBtn", "Nuovo", page);
  auto* add = Button("AddMailBtn", "Aggiungi", page);
  auto* del = Button("DelMailBtn", "Elimina", page);
  auto* mod = Button("ModMailBtn", "Modifica", page);
  for (auto* b : {nw, add, del, mod}) buttons->addWidget(b);
  connect(nw, &QPushButton::clicked, this, &TSetupForm::NewMailBtnClick);
  connect(add, &QPushButton::clicked, this, &TSetupForm::AddMailBtnClick);
  connect(del, &QPushButton::clicked, this, &TSetupForm::DelMailBtnClick);
  connect(mod, &QPushButton::clicked, this, &TSetupForm::ModMailBtnClick);
  return buttons;
}

// "Controlla la posta ogni" with its minutes.
QHBoxLayout* TSetupForm::BuildMailCycle(QWidget* page) {
  const Settings& s = m_ctx.settings;
  CheckMailCB = Check("CheckMailCB", "Controlla la posta ogni", page);
  CheckMailCB->setChecked(s.mailCheckEnabled);
  RxSlider1 = Named(new QSlider(Qt::Horizontal, page), "RxSlider1");
  RxSlider1->setRange(1, 59);
  RxSlider1->setValue(std::clamp(s.mailCheckMinutes, 1, 59));
  m_mailLabel = new QLabel(Q(MailPeriodLabel(RxSlider1->value())), page);
  auto* cycle = new QHBoxLayout;
  cycle->addWidget(CheckMailCB);
  cycle->addWidget(RxSlider1, 1);
  cycle->addWidget(m_mailLabel);
  connect(RxSlider1, &QSlider::valueChanged, this,
          [this](int v) { m_mailLabel->setText(Q(MailPeriodLabel(v))); });
  return cycle;
}

void TSetupForm::ShowMailboxes() {
  ListView2->blockSignals(true);
  ListView2->clear();
  for (const auto& r : m_mailboxes.Rows()) {
    auto* item = new QTreeWidgetItem({Q(r.server), Q(std::to_string(r.port)), Q(r.user)});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, r.enabled ? Qt::Checked : Qt::Unchecked);
    ListView2->addTopLevelItem(item);
  }
  if (const auto sel = m_mailboxes.Selected())
    ListView2->setCurrentItem(ListView2->topLevelItem(static_cast<int>(*sel)));
  ListView2->blockSignals(false);
  ShowSelectedMailbox();
}

// The fields show the selected row as the table holds it (a port left empty reads 110), or
// the empty fields of "Nuovo" when no row is selected.
void TSetupForm::ShowSelectedMailbox() {
  const auto sel = m_mailboxes.Selected();
  if (!sel) {
    for (auto* e : {POP3HostED, POP3UserED, POP3PassED}) e->clear();
    POP3PortED->setText(QStringLiteral("110"));
    return;
  }
  const MailboxRow& r = m_mailboxes.Rows()[*sel];
  POP3HostED->setText(Q(r.server));
  POP3PortED->setText(Q(std::to_string(r.port)));
  POP3UserED->setText(Q(r.user));
  POP3PassED->setText(Q(r.password));
}

void TSetupForm::ListView2Select() {
  auto* item = ListView2->currentItem();
  if (!item) return;
  m_mailboxes.Select(static_cast<std::size_t>(ListView2->indexOfTopLevelItem(item)));
  ShowSelectedMailbox();
}

void TSetupForm::NewMailBtnClick() {
  m_mailboxes.New();
  ListView2->clearSelection();
  ShowSelectedMailbox();
}

void TSetupForm::AddMailBtnClick() {
  if (m_mailboxes.Add(S(POP3HostED->text()), ParseInteger(S(POP3PortED->text())).value_or(110),
                      S(POP3UserED->text()), S(POP3PassED->text())))
    ShowMailboxes();
}

void TSetupForm::DelMailBtnClick() {
  if (m_mailboxes.Delete()) ShowMailboxes();
}

void TSetupForm::ModMailBtnClick() {
  if (m_mailboxes.Modify(S(POP3HostED->text()), ParseInteger(S(POP3PortED->text())).value_or(110),
                         S(POP3UserED->text()), S(POP3PassED->text())))
    ShowMailboxes();
}

void TSetupForm::StoreMailPage() {
  Settings& s = m_ctx.settings;
  s.mailCheckEnabled = CheckMailCB->isChecked();
  s.mailRequireTls = RequireTlsCB->isChecked();
  s.notifyMail = NotifyMailCB->isChecked();
  s.mailCheckMinutes = RxSlider1->value();
}

}  // namespace orva
