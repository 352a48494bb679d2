// The main window during a simulated call against real servers on loopback: the mail check
// with dovecot fills POP3L, the mail icon, the new-mail box and the mailbox window; the time
// check with chrony fills SyncroL.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTabBar>
#include <QToolButton>
#include <chrono>

#include "LiveProgram.h"
#include "MailLiveServers.h"
#include "TempDir.h"
#include "app/ui/Program.h"
#include "core/HowUtils.h"
#include "net/Hosts.h"
#include "net/MailBoxes.h"
#include "net/ui/MailDlg.h"

namespace orva {
namespace {

using namespace std::chrono_literals;

QString Text(QWidget& root, const char* name) {
  auto* l = root.findChild<QLabel*>(QString::fromLatin1(name));
  return l ? l->text() : QString();
}

TEST(MainWindowLive, CallStartChecksMailAndNetworkTime) {
  for (const char* program : {"dovecot", "chronyd"}) {
    const std::string reason = test::LiveSkipReason(program);
    if (!reason.empty()) GTEST_SKIP() << reason;
  }
  test::DovecotServer dovecot(21210);
  dovecot.AddMessages(
      {{"Anna <anna@example.org>", "Primo", "Tue, 07 Dec 1999 10:11:12 +0100", "ciao\r\n"},
       {"bob@example.org", "Secondo", "Wed, 01 Jan 2025 08:00:00 +0000", "hello\r\n"}});
  test::ChronyServer chrony(21223);
  std::string error;
  ASSERT_TRUE(dovecot.Start(error)) << error;
  ASSERT_TRUE(chrony.Start(error)) << error;

  test::TempDir dir;
  // This dovecot speaks no TLS: the mailbox is checked in clear, as the user may choose.
  test::WriteBytes(dir.File("ORVA32.INI"),
                   "[Impostazioni generali]\r\nMostra wizard=0\r\n"
                   "[POP3]\r\nRichiedi connessione cifrata=0\r\n");
  test::WriteBytes(dir.File("Time Servers.txt"), "127.0.0.1  # chrony on loopback\r\n");
  ASSERT_TRUE(WritePop3List(dir.File("POP3.LST"), {{"127.0.0.1", std::to_string(dovecot.Port()),
                                                    "tester", "secret", true}}));
  test::LiveProgram live(dir.path());
  TOrvaProgram& program = *live.program;
  SimulatedDialup& dialup = live.dialup;
  TMainForm& form = program.Form();
  form.TrayAvailable = [] { return true; };
  program.Network().TimeClient().HostPort = std::to_string(chrony.Port());
  program.Network().TimeClient().ListenPort = 0;
  EXPECT_EQ(Text(form, "POP3L"), QStringLiteral("Non effettuato"));

  dialup.Add("Provider");
  ASSERT_TRUE(test::PumpUntil(
      [&] { return Text(form, "POP3L").startsWith(QStringLiteral("Posta controllata")); }, 30s))
      << Text(form, "POP3L").toStdString();
  ASSERT_TRUE(program.Logic().Call().Metering());
  EXPECT_TRUE(form.MailIconVisible());
  EXPECT_FALSE(form.MailIconAnimated());
  EXPECT_EQ(form.MailIconHint(), QStringLiteral(" tester@127.0.0.1 (2)    "));
  auto* box = form.findChild<QMessageBox*>(QStringLiteral("NewMailBox"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), QStringLiteral("C'è posta per te !"));
  box->accept();
  EXPECT_TRUE(form.findChild<QAction*>(QStringLiteral("ControllaOra1"))->isEnabled());
  EXPECT_FALSE(form.findChild<QAction*>(QStringLiteral("InterrompiControllo1"))->isEnabled());

  // The first time check comes from the monitor once its resolver is idle.
  ASSERT_TRUE(test::PumpUntil(
      [&] { return Text(form, "SyncroL").contains(QStringLiteral("Diff. ora locale/GMT")); }, 30s))
      << Text(form, "SyncroL").toStdString();
  EXPECT_TRUE(form.findChild<QToolButton*>(QStringLiteral("ClockBtn"))->isEnabled());

  // The mailbox window lists the mailbox with its two headers.
  form.RunCommand(CommandId::ShowMail);
  auto* mails = form.findChild<TMailDlg*>();
  ASSERT_NE(mails, nullptr);
  EXPECT_TRUE(mails->isVisible());
  auto* tabs = mails->findChild<QTabBar*>();
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("tester@127.0.0.1 (2)"));
  mails->close();

  dialup.RemoveAll();
  ASSERT_TRUE(test::PumpUntil([&] { return !program.Logic().Call().Metering(); }, 5s));
  EXPECT_FALSE(form.findChild<QAction*>(QStringLiteral("ControllaOra1"))->isEnabled());
  program.WMQueryEndSession();
}

}  // namespace
}  // namespace orva
