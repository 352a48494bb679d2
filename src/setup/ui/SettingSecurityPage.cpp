// The options dialog's "Sicurezza" page: the password and the access limits it guards, which
// are stored as soon as they change.
#include "setup/ui/Setting.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/password.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

QWidget* TSetupForm::BuildSecurityPage() {
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  PswEd = Edit("PswEd", page);
  PswEd->setEchoMode(QLineEdit::Password);
  PswBtn = Button("PswBtn", "Password", page);
  DelPswBtn = Button("DelPswBtn", "Elimina", page);
  CB1 = Check("CB1", "Impedisci arresto contascatti", page);
  CB11 = Check("CB11", "Impedisci avvio contascatti", page);
  CB2 = Check("CB2", "Limita l'accesso alla sezione bolletta", page);
  CB3 = Check("CB3", "Sconnetti automaticamente dopo ", page);
  Ed3 = Edit("Ed3", page);
  CB4 = Check("CB4", "Sconnetti al limite del  ", page);
  Ed4 = Edit("Ed4", page);
  ED40 = Edit("ED40", page);
  CB5 = Check("CB5", "Impedisci chiusura del programma senza password", page);
  ShowAccessSettings();
  for (auto* e : {Ed3, Ed4, ED40}) e->setMaximumWidth(50);
  LayOutSecurityPage(page, l);
  ConnectSecurityPage();
  ApplySecurityState(SecurityOnOpen(m_ctx.settings.access.HasPassword()));
  return page;
}

void TSetupForm::ShowAccessSettings() {
  const AccessSettings& a = m_ctx.settings.access;
  CB1->setChecked(a.preventStop == 1);
  CB11->setChecked(a.preventStart == 1);
  CB2->setChecked(a.limitBill == 1);
  CB3->setChecked(a.disconnectAfterMinutes == 1);
  Ed3->setText(Q(std::to_string(a.disconnectMinutes.value_or(30))));
  CB4->setChecked(a.disconnectAtTick == 1);
  Ed4->setText(Q(std::to_string(a.disconnectTick.value_or(5))));
  ED40->setText(Q(std::to_string(a.disconnectTickAdvance.value_or(10))));
  CB5->setChecked(a.preventClose == 1);
}

void TSetupForm::LayOutSecurityPage(QWidget* page, QVBoxLayout* l) {
  auto* pw = new QHBoxLayout;
  pw->addWidget(new QLabel(QStringLiteral("Password :"), page));
  pw->addWidget(PswEd, 1);
  pw->addWidget(PswBtn);
  pw->addWidget(DelPswBtn);
  l->addLayout(pw);
  l->addWidget(CB1);
  l->addWidget(CB11);
  l->addWidget(CB2);
  auto* r3 = new QHBoxLayout;
  r3->addWidget(CB3);
  r3->addWidget(Ed3);
  r3->addWidget(new QLabel(QStringLiteral("minuti."), page));
  r3->addStretch(1);
  l->addLayout(r3);
  auto* r4 = new QHBoxLayout;
  r4->addWidget(CB4);
  r4->addWidget(Ed4);
  r4->addWidget(new QLabel(QStringLiteral("°scatto. Anticipa di"), page));
  r4->addWidget(ED40);
  r4->addWidget(new QLabel(QStringLiteral("s."), page));
  r4->addStretch(1);
  l->addLayout(r4);
  l->addWidget(CB5);
  l->addStretch(1);
}

// The options and the limits are stored as they change, so they hold even after "Annulla".
void TSetupForm::ConnectSecurityPage() {
  connect(PswEd, &QLineEdit::textChanged, this, &TSetupForm::PswEdChange);
  connect(PswBtn, &QPushButton::clicked, this, &TSetupForm::PswBtnClick);
  connect(DelPswBtn, &QPushButton::clicked, this, &TSetupForm::DelPswBtnClick);
  for (QCheckBox* c : {CB1, CB11, CB2, CB3, CB4, CB5})
    connect(c, &QCheckBox::toggled, this, [this] { StoreAccessAtOnce(); });
  connect(Ed3, &QLineEdit::textEdited, this, [this] {
    ImmediateNumberChanged(
        Ed3, [this](std::optional<int> v) { m_ctx.settings.access.disconnectMinutes = v; }, true);
  });
  connect(Ed4, &QLineEdit::textEdited, this, [this] {
    ImmediateNumberChanged(
        Ed4, [this](std::optional<int> v) { m_ctx.settings.access.disconnectTick = v; }, true);
  });
  connect(ED40, &QLineEdit::textEdited, this, [this] {
    ImmediateNumberChanged(
        ED40, [this](std::optional<int> v) { m_ctx.settings.access.disconnectTickAdvance = v; },
        true);
  });
}

void TSetupForm::ApplySecurityState(const SecurityPageState& s) {
  m_security = s;
  PswEd->setEnabled(s.passwordField);
  PswBtn->setEnabled(s.passwordButton);
  DelPswBtn->setEnabled(s.deleteButton);
  for (QWidget* w : std::initializer_list<QWidget*>{CB1, CB11, CB2, CB3, Ed3, CB4, Ed4, ED40, CB5})
    w->setEnabled(s.options);
}

void TSetupForm::PswEdChange() {
  ApplySecurityState(SecurityOnTyped(m_security, S(PswEd->text()), m_ctx.settings.access.password));
}

void TSetupForm::PswBtnClick() {
  if (!SetPasswordFlow(m_ctx.settings.access, m_ctx.registry, m_ctx.dialogs)) return;
  PswEd->blockSignals(true);
  PswEd->setText(Q(m_ctx.settings.access.password));
  PswEd->blockSignals(false);
  ApplySecurityState(SecurityAfterNewPassword());
}

void TSetupForm::DelPswBtnClick() {
  if (Status st = RemovePassword(m_ctx.settings.access, m_ctx.registry); !st)
    m_ctx.dialogs.Message(st.error, MsgType::Error);
  PswEd->blockSignals(true);
  PswEd->clear();
  PswEd->blockSignals(false);
  ApplySecurityState(SecurityAfterDelete());
}

void TSetupForm::StoreAccessAtOnce() {
  if (m_loading) return;
  AccessSettings& a = m_ctx.settings.access;
  a.preventStop = CB1->isChecked() ? 1 : 0;
  a.preventStart = CB11->isChecked() ? 1 : 0;
  a.limitBill = CB2->isChecked() ? 1 : 0;
  a.disconnectAfterMinutes = CB3->isChecked() ? 1 : 0;
  a.disconnectAtTick = CB4->isChecked() ? 1 : 0;
  a.preventClose = CB5->isChecked() ? 1 : 0;
  if (Status st = SaveAccessSettings(a, m_ctx.registry); !st)
    m_ctx.dialogs.Message(st.error, MsgType::Error);
}

}  // namespace orva
