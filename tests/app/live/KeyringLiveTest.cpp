// The mailboxes' passwords in a real keyring: GNOME Keyring on a private session bus (the
// test runs under tests/desktop/with_keyring.sh). A password POP3.LST held moves into the
// keyring when the options are saved, the file keeps an empty field, the options show it
// again, and the program's mail check and the console's log in to dovecot with it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdlib>

#include "LiveProgram.h"
#include "MailLiveServers.h"
#include "TempDir.h"
#include "app/ui/Program.h"
#include "net/MailBoxes.h"
#include "net/MailPasswords.h"
#include "platform/qt/DesktopKeyring.h"

namespace orva {
namespace {

using namespace std::chrono_literals;

struct OptionsSeen {
  QString store;     // where the page says the passwords are
  QString password;  // the mailbox's password field once the mailbox is chosen
};

// Opens the options, reads the mail page and closes them with OK.
OptionsSeen OpenOptionsAndAccept(TOrvaProgram& program) {
  OptionsSeen seen;
  bool done = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    QWidget* options = QApplication::activeModalWidget();
    if (!options || options->objectName() != QStringLiteral("SetupForm") || done) return;
    done = true;
    if (auto* store = options->findChild<QLabel*>(QStringLiteral("PasswordStoreLb")))
      seen.store = store->text();
    auto* list = options->findChild<QTreeWidget*>(QStringLiteral("ListView2"));
    if (list && list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
    seen.password = options->findChild<QLineEdit*>(QStringLiteral("POP3PassED"))->text();
    static_cast<QDialog*>(options)->accept();
  });
  poll.start(10);
  program.Form().RunCommand(CommandId::Options);
  poll.stop();
  return seen;
}

QString Text(QWidget& root, const char* name) {
  auto* l = root.findChild<QLabel*>(QString::fromLatin1(name));
  return l ? l->text() : QString();
}

TEST(KeyringLive, APasswordMovesIntoTheKeyringAndBothMailChecksUseIt) {
  if (!std::getenv("ORVA_KEYRING_SESSION"))
    GTEST_SKIP() << "runs on a keyring's own bus: tests/desktop/with_keyring.sh";
  if (const std::string reason = test::LiveSkipReason("dovecot"); !reason.empty())
    GTEST_SKIP() << reason;
  DesktopKeyring keyring;
  ASSERT_TRUE(keyring.Available()) << "no keyring answers on the session bus";
  test::DovecotServer dovecot(21240);
  dovecot.AddMessages({{"anna@example.org", "Primo", "Tue, 07 Dec 1999 10:11:12 +0100", "x\r\n"}});
  std::string error;
  ASSERT_TRUE(dovecot.Start(error)) << error;

  test::TempDir dir;
  test::WriteBytes(dir.File("ORVA32.INI"),
                   "[Impostazioni generali]\r\nMostra wizard=0\r\n"
                   "[POP3]\r\nRichiedi connessione cifrata=0\r\n");
  test::WriteBytes(dir.File("Time Servers.txt"), "127.0.0.1\r\n");
  const Pop3Record box{"127.0.0.1", std::to_string(dovecot.Port()), "tester", "secret", true};
  ASSERT_TRUE(WritePop3List(dir.File("POP3.LST"), {box}));

  test::LiveProgram live(dir.path());
  TOrvaProgram& program = *live.program;
  SimulatedDialup& dialup = live.dialup;

  // The first save moves the password: the file keeps the mailbox with an empty field.
  const OptionsSeen first = OpenOptionsAndAccept(program);
  EXPECT_EQ(first.store.toStdString(), PasswordStoreText(true));
  EXPECT_EQ(first.password, QStringLiteral("secret"));
  auto stored = ReadPop3List(dir.File("POP3.LST"));
  ASSERT_TRUE(stored && stored->size() == 1u) << stored.error;
  EXPECT_EQ((*stored)[0].password, "");
  EXPECT_EQ((*stored)[0].user, "tester");
  EXPECT_EQ(test::ReadBytes(dir.File("POP3.LST")).find("secret"), std::string::npos);
  const auto kept = keyring.Read(MailboxSecretKey(box));
  ASSERT_TRUE(kept) << kept.error;
  EXPECT_EQ(kept->value_or("(none)"), "secret");

  // Saved again, nothing is lost: the options show the keyring's password and keep it there.
  EXPECT_EQ(OpenOptionsAndAccept(program).password, QStringLiteral("secret"));
  EXPECT_EQ(keyring.Read(MailboxSecretKey(box))->value_or("(none)"), "secret");

  // The program's check logs in with the keyring's password.
  dialup.Add("Provider");
  ASSERT_TRUE(test::PumpUntil(
      [&] { return Text(program.Form(), "POP3L").startsWith(QStringLiteral("Posta controllata")); },
      30s))
      << Text(program.Form(), "POP3L").toStdString();
  EXPECT_EQ(program.Form().MailIconHint(), QStringLiteral(" tester@127.0.0.1 (1)    "));
  dialup.RemoveAll();
  ASSERT_TRUE(test::PumpUntil([&] { return !program.Logic().Call().Metering(); }, 5s));
  program.WMQueryEndSession();

  // So does the console's.
  QProcess cli;
  cli.start(
      QStringLiteral(ORVA_CLI),
      {QStringLiteral("mail"), QStringLiteral("check"), QStringLiteral("--data-dir"),
       QString::fromStdString(dir.path()), QStringLiteral("--timeout"), QStringLiteral("30")});
  ASSERT_TRUE(cli.waitForFinished(40000));
  const QString out = QString::fromUtf8(cli.readAllStandardOutput());
  EXPECT_EQ(cli.exitCode(), 0) << out.toStdString() << cli.readAllStandardError().toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("Primo"))) << out.toStdString();
}

}  // namespace
}  // namespace orva
