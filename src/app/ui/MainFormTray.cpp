// The tray icons: the program's, with the main menu and the call animation, and the mail
// notification icon with its own menu.
#include "app/ui/MainForm.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/ui/Glyphs.h"
#include "app/ui/MainFormLayout.h"

namespace orva {

using namespace mainform;

void TMainForm::BuildTray() {
  m_tray = new QSystemTrayIcon(AppIcon(), this);
  m_tray->setObjectName(QStringLiteral("RxTrayIcon1"));
  m_tray->setContextMenu(m_mainMenu);
  SetTrayHint(QStringLiteral("ORVA32 - nessuna connessione"));
  connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::Trigger) HideShowWin();
  });
  m_trayTimer = new QTimer(this);
  m_trayTimer->setObjectName(QStringLiteral("TrayAnimation"));
  m_trayTimer->setInterval(400);
  connect(m_trayTimer, &QTimer::timeout, this, [this] {
    m_trayFrame = !m_trayFrame;
    m_tray->setIcon(QIcon(AppIconPixmap(32, m_trayFrame)));
  });
}

void TMainForm::BuildMailTray() {
  m_mailTray = new QSystemTrayIcon(QIcon(MailIconPixmap(32)), this);
  m_mailTray->setObjectName(QStringLiteral("RxTrayIcon2"));
  m_pop3Menu = new QMenu(this);
  m_pop3Menu->setObjectName(QStringLiteral("Pop3Menu"));
  FillMenu(m_pop3Menu, MailIconMenuLayout(), false);
  m_mailTray->setContextMenu(m_pop3Menu);
  connect(m_mailTray, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::DoubleClick) RunCommand(CommandId::ShowMail);
          });
  m_mailTimer = new QTimer(this);
  m_mailTimer->setObjectName(QStringLiteral("MailIconAnimation"));
  m_mailTimer->setInterval(75);
  connect(m_mailTimer, &QTimer::timeout, this, [this] {
    m_mailFrame = m_mailFrame % 4 + 1;
    m_mailTray->setIcon(QIcon(MailIconPixmap(32, m_mailFrame)));
  });
}

void TMainForm::SetMailIcon(bool visible, bool animated) {
  m_mailIconShown = visible;
  if (visible && animated) {
    m_mailTimer->start();
  } else {
    m_mailTimer->stop();
    m_mailFrame = 0;
    m_mailTray->setIcon(QIcon(MailIconPixmap(32)));
  }
  m_mailTray->setVisible(visible);
}

bool TMainForm::MailIconAnimated() const {
  return m_mailTimer->isActive();
}

void TMainForm::SetMailIconHint(const QString& hint) {
  m_mailHint = hint;
  m_mailTray->setToolTip(hint);
}

void TMainForm::SetTrayHint(const QString& hint) {
  m_trayHint = hint;
  m_tray->setToolTip(hint);
}

void TMainForm::SetTrayAnimation(bool on) {
  m_trayAnimated = on;
  if (on) {
    m_trayTimer->start();
  } else {
    m_trayTimer->stop();
    m_trayFrame = false;
    m_tray->setIcon(AppIcon());
  }
}

}  // namespace orva
