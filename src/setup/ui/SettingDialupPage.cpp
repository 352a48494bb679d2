// The options dialog's "Accesso Remoto" page: the dial-up entries, the stored user name of the
// chosen one and the way to its own settings.
#include "setup/ui/Setting.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

QWidget* TSetupForm::BuildDialupPage() {
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  lstEntries = Named(new QTreeWidget(page), "lstEntries");
  lstEntries->setHeaderLabel(QStringLiteral("Voci di accesso remoto"));
  lstEntries->setRootIsDecorated(false);
  for (const auto& e : m_ctx.dialupEntries)
    lstEntries->addTopLevelItem(new QTreeWidgetItem({Q(e)}));
  txtUserName = Edit("txtUserName", page);
  txtUserName->setReadOnly(true);
  txtPassword = Edit("txtPassword", page);
  txtPassword->setReadOnly(true);
  txtPassword->setEchoMode(QLineEdit::Password);
  auto* edit = Button("btnEditEntry", "Impostazioni", page);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Nome utente"), txtUserName);
  form->addRow(QStringLiteral("Password"), txtPassword);
  l->addWidget(lstEntries, 1);
  l->addLayout(form);
  l->addWidget(edit, 0, Qt::AlignRight);
  connect(lstEntries, &QTreeWidget::itemSelectionChanged, this, [this] {
    auto* item = lstEntries->currentItem();
    if (!item) return;
    txtUserName->setText(m_ctx.entryUser ? Q(m_ctx.entryUser(S(item->text(0)))) : QString());
  });
  connect(edit, &QPushButton::clicked, this, [this] {
    auto* item = lstEntries->currentItem();
    if (!item) return;
    if (!m_ctx.editEntry || !m_ctx.editEntry(S(item->text(0))))
      m_ctx.dialogs.Message("Impossibile accedere alle impostazioni di accesso remoto !",
                            MsgType::Error);
  });
  return page;
}

}  // namespace orva
