// The Qt timers and the password window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtSockets.h"
#include "platform/qt/QtTimer.h"

namespace orva {
namespace {

TEST(QtStreamSocket, ConnectionThatIsNeverAnsweredTimesOut) {
  // A listener whose queue is full drops further handshakes: the next connect hangs.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len), 0);
  const std::uint16_t port = ntohs(a.sin_port);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ::connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a);
    fillers.push_back(c);
  }
  QtStreamSocket socket;
  socket.connectTimeoutMs = 300;
  std::string error;
  bool connected = false;
  socket.OnError = [&](const std::string& e) { error = e; };
  socket.OnConnected = [&] { connected = true; };
  QElapsedTimer t;
  t.start();
  socket.Connect("127.0.0.1", port);
  QTRY_VERIFY_WITH_TIMEOUT(!error.empty() || connected, 5000);
  if (connected) GTEST_SKIP() << "this kernel answered the handshake of a full queue";
  EXPECT_EQ(error, "Tempo scaduto per la connessione");
  EXPECT_GE(t.elapsed(), 250);
  for (int c : fillers) ::close(c);
  ::close(listener);
}

TEST(QtTimer, FiresWhileEnabledAndStopsWhenDisabledInsideItsHandler) {
  QtTimerFactory factory;
  auto timer = factory.CreateTimer();
  int runs = 0;
  timer->SetInterval(5);
  timer->OnTimer = [&] {
    if (++runs == 3) timer->SetEnabled(false);
  };
  timer->SetEnabled(true);
  EXPECT_TRUE(timer->Enabled());
  QTRY_COMPARE_WITH_TIMEOUT(runs, 3, 2000);
  QTest::qWait(30);
  EXPECT_EQ(runs, 3);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 5);
}

TEST(TPswForm, OkOnlyWhileTheFieldHoldsText) {
  TPswForm form;
  form.SetPrompt(QStringLiteral("Inserire la password corrente"));
  auto* edit = form.findChild<QLineEdit*>(QStringLiteral("Edit1"));
  auto* ok = form.findChild<QPushButton*>(QStringLiteral("OKBtn"));
  ASSERT_TRUE(edit && ok);
  EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("L1"))->text(),
            QStringLiteral("Inserire la password corrente"));
  EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
  EXPECT_FALSE(ok->isEnabled());
  QTest::keyClicks(edit, QStringLiteral("Segreto"));
  EXPECT_TRUE(ok->isEnabled());
  EXPECT_EQ(form.Password(), QStringLiteral("Segreto"));
  edit->clear();
  EXPECT_FALSE(ok->isEnabled());
}

TEST(QtDialogs, AskPasswordGivesTheTypedTextOrNothing) {
  QtDialogs dialogs;
  // Answer the modal window from the event loop once it is up.
  auto answer = [](bool accept) {
    QTimer::singleShot(0, [accept] {
      auto* form = qobject_cast<TPswForm*>(QApplication::activeModalWidget());
      ASSERT_NE(form, nullptr);
      QTest::keyClicks(form->findChild<QLineEdit*>(QStringLiteral("Edit1")), QStringLiteral("aB1"));
      if (accept)
        form->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
      else
        form->reject();
    });
  };
  answer(true);
  EXPECT_EQ(dialogs.AskPassword("Inserire la password corrente"),
            std::optional<std::string>("aB1"));
  answer(false);
  EXPECT_EQ(dialogs.AskPassword("Inserire la password corrente"), std::nullopt);
}

TEST(QtDialogs, MessageButtonsAreItalianAndMapToAnswers) {
  QtDialogs dialogs;
  QTimer::singleShot(0, [] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    QStringList captions;
    QPushButton* no = nullptr;
    for (auto* b : box->findChildren<QPushButton*>()) {
      captions << b->text();
      if (b->text() == QStringLiteral("&No")) no = b;
    }
    EXPECT_TRUE(captions.contains(QStringLiteral("&Sì"))) << captions.join(u',').toStdString();
    ASSERT_NE(no, nullptr);
    no->click();
  });
  EXPECT_EQ(dialogs.Message("Connessione in corso. Esco lo stesso ?", MsgType::Information,
                            MsgButtons::YesNo),
            MsgAnswer::No);
}

// The answer a key gives in the box of each kind of question: its letter presses a button,
// Escape cancels, and Enter on the question that ends a call keeps the call.
TEST(QtDialogs, KeysAnswerTheBoxAndAStrayEnterDoesNotEndTheCall) {
  QtDialogs dialogs;
  const auto answerWith = [&](MsgButtons buttons, Qt::Key key) {
    QTimer::singleShot(0, [key] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      QTest::keyClick(box, key);
    });
    return dialogs.Message("Connessione in corso. Esco lo stesso ?", MsgType::Information, buttons);
  };
  EXPECT_EQ(answerWith(MsgButtons::YesNo, Qt::Key_N), MsgAnswer::No);
  EXPECT_EQ(answerWith(MsgButtons::YesNo, Qt::Key_S), MsgAnswer::Yes);
  EXPECT_EQ(answerWith(MsgButtons::YesNoCancel, Qt::Key_A), MsgAnswer::Cancel);
  EXPECT_EQ(answerWith(MsgButtons::YesNoCancel, Qt::Key_Escape), MsgAnswer::Cancel);
  EXPECT_EQ(answerWith(MsgButtons::AbortRetryIgnore, Qt::Key_G), MsgAnswer::Ignore);
  EXPECT_EQ(answerWith(MsgButtons::YesNo, Qt::Key_Return), MsgAnswer::Yes);
  EXPECT_EQ(answerWith(MsgButtons::YesNoDefaultNo, Qt::Key_Return), MsgAnswer::No);
  EXPECT_EQ(answerWith(MsgButtons::YesNoDefaultNo, Qt::Key_S), MsgAnswer::Yes);
}

// A box shows over the window that asked, not over the main window: the log window's question
// about its unsaved changes stays with the log window.
TEST(QtDialogs, ABoxBelongsToTheWindowTheUserIsIn) {
  QWidget main;
  QWidget log;
  main.show();
  log.show();
  log.activateWindow();
  QElapsedTimer t;
  t.start();
  while (QApplication::activeWindow() != &log && t.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_EQ(QApplication::activeWindow(), &log);
  QtDialogs dialogs(&main);
  QWidget* owner = nullptr;
  QTimer::singleShot(0, [&owner] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    owner = box->parentWidget();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  dialogs.Message("Salvare le modifiche ?", MsgType::Confirmation, MsgButtons::YesNoCancel);
  EXPECT_EQ(owner, &log);
}

}  // namespace
}  // namespace orva
