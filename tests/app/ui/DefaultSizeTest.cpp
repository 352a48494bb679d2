// What a person sees at the windows' default sizes, through the whole program: the traffic
// monitor has room for several rows during a call, and the tariff lists show the shipped
// tariffs' names whole where there is room, and cut with "…" (never mid-word) where there is
// not.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "ComboFaces.h"
#include "OfflineNetwork.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/ui/Program.h"
#include "core/HowUtils.h"
#include "net/MibAgent.h"
#include "platform/DataDir.h"
#include "simulation/ManualClock.h"
#include "simulation/Simulated.h"

namespace orva {
namespace {

const QString kLongestTariff = QStringLiteral("Internet a tempo con sconto dopo 10 minuti");

struct DefaultSize : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  ManualClock clock{EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0)};
  NoSound sound;
  SimulatedDialup dialup;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  test::OfflineNetwork network;
  std::unique_ptr<TOrvaProgram> program;

  void SetUp() override {
    ASSERT_TRUE(SeedTariffs(dir.path()));
    test::WriteBytes(dir.File("ORVA32.INI"),
                     "[Impostazioni generali]\r\nMostra wizard=0\r\n[Setup]\r\nSuggerimenti=0\r\n"
                     "[TCPIP]\r\nGet network time=0\r\n");
    ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
    o.sound = &sound;
    o.clock = &clock;
    o.timers = &clock;
    o.dialup = &dialup;
    o.statistics = &stats;
    o.launcher = &launcher;
    o.simulatedLink = &dialup;
    o.network = &network;
    // Three connections and the heading.
    o.mib = std::make_shared<ProcMibAgent>(std::string(ORVA_SOURCE_DIR) +
                                           "/tests/data/net/proc/states");
    program = std::make_unique<TOrvaProgram>(o);
    program->Start();
    QApplication::processEvents();
  }
  void TearDown() override { program->WMQueryEndSession(); }
  template <class W>
  W* In(QWidget* w, const char* name) {
    return w->findChild<W*>(QString::fromLatin1(name));
  }
  // Runs a menu command that opens a modal window and hands that window to `look` while it is
  // open; the window is closed afterwards.
  void WhileOpen(const char* item, const char* className,
                 const std::function<void(QDialog*)>& look) {
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || qstrcmp(dialog->metaObject()->className(), className) != 0) return;
      poll.stop();
      seen = true;
      look(dialog);
      dialog->reject();
    });
    poll.start(20);
    In<QAction>(&program->Form(), item)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&seen] { return seen; }, 2000)) << className << " did not open";
  }
};

// The rows of the text box a person sees whole.
int WholeRows(QPlainTextEdit& memo) {
  int rows = 0;
  for (QTextBlock b = memo.document()->begin(); b.isValid(); b = b.next()) {
    const QRect r = memo.cursorRect(QTextCursor(b));
    if (r.top() >= 0 && r.bottom() < memo.viewport()->height()) ++rows;
  }
  return rows;
}

TEST_F(DefaultSize, MonitorShowsTheHeadingAndThreeConnectionsDuringACall) {
  dialup.Add("Provider");
  clock.AdvanceMs(250);
  for (int i = 0; i < 3; ++i) {
    clock.AdvanceMs(2200);
    QApplication::processEvents();
  }
  ASSERT_TRUE(program->Logic().Call().Metering());
  auto* memo = In<QPlainTextEdit>(&program->Form(), "Memo");
  ASSERT_NE(memo, nullptr);
  ASSERT_TRUE(memo->isVisible());
  ASSERT_GE(memo->document()->blockCount(), 4) << memo->toPlainText().toStdString();
  EXPECT_GE(WholeRows(*memo), 4) << "the text box is " << memo->height()
                                 << " pixels high in a window " << program->Form().height()
                                 << " high";
}

TEST_F(DefaultSize, TariffNamesAreWholeWhereThereIsRoomAndElsewhereEndInAnEllipsis) {
  // The main window: the "Servizi" panel has room; the small window's narrow list of the
  // tariffs' short names cuts one only with "…".
  auto* feeCb = In<QComboBox>(&program->Form(), "FeeCB");
  ASSERT_NE(feeCb, nullptr);
  ASSERT_GE(feeCb->findText(kLongestTariff), 0);
  EXPECT_EQ(test::FacesOf(*feeCb).cut.join(u'|').toStdString(), "");
  In<QAction>(&program->Form(), "Ridotta1")->trigger();
  QApplication::processEvents();
  auto* small = In<QComboBox>(&program->Form(), "FeeCB1");
  ASSERT_TRUE(small->isVisible());
  EXPECT_EQ(test::FacesOf(*small).unmarked.join(u'|').toStdString(), "");
  In<QAction>(&program->Form(), "Ingrandita1")->trigger();

  // The options: the associations' tariffs.
  WhileOpen("Opzioni1", "orva::TSetupForm", [](QDialog* options) {
    auto* pages = options->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
    const auto page = pages->findItems(QStringLiteral("Corrispondenze"), Qt::MatchExactly);
    ASSERT_EQ(page.size(), 1);
    pages->setCurrentItem(page[0]);
    QApplication::processEvents();
    auto* tariffs = options->findChild<QComboBox*>(QStringLiteral("TariffeCB"));
    ASSERT_NE(tariffs, nullptr);
    EXPECT_EQ(test::FacesOf(*tariffs).cut.join(u'|').toStdString(), "");
  });

  // The phone book's tariffs.
  In<QAction>(&program->Form(), "AVoce1")->trigger();
  QApplication::processEvents();
  QWidget* book = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && qstrcmp(w->metaObject()->className(), "orva::TDialForm") == 0) book = w;
  ASSERT_NE(book, nullptr);
  auto* bookTariffs = In<QComboBox>(book, "TariffeCB");
  EXPECT_EQ(test::FacesOf(*bookTariffs).cut.join(u'|').toStdString(), "");
  // Its open list shows every name whole.
  bookTariffs->showPopup();
  EXPECT_GE(bookTariffs->view()->width(),
            bookTariffs->view()->fontMetrics().horizontalAdvance(kLongestTariff));
  bookTariffs->hidePopup();
  book->close();
}

// The wizard's tariff list is as wide as its longest name: a list view cuts a longer one at
// its edge, without an ellipsis.
TEST_F(DefaultSize, WizardTariffListShowsTheNamesWhole) {
  In<QAction>(&program->Form(), "Wizard1")->trigger();
  QApplication::processEvents();
  QWidget* wizard = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && qstrcmp(w->metaObject()->className(), "orva::TWizardDlg") == 0)
      wizard = w;
  ASSERT_NE(wizard, nullptr);
  // On to the tariffs' step once the welcome is over.
  auto* pages = In<QStackedWidget>(wizard, "Notebook");
  ASSERT_TRUE(QTest::qWaitFor([pages] { return pages->currentIndex() == 1; }, 8000));
  In<QPushButton>(wizard, "B1")->click();  // from "Generale" to "Tariffe"
  QApplication::processEvents();
  auto* tariffs = In<QListWidget>(wizard, "LB01");
  ASSERT_TRUE(tariffs->isVisible());
  ASSERT_NE(tariffs, nullptr);
  ASSERT_FALSE(tariffs->findItems(kLongestTariff, Qt::MatchExactly).isEmpty());
  for (int i = 0; i < tariffs->count(); ++i)
    EXPECT_LE(tariffs->visualItemRect(tariffs->item(i)).width(), tariffs->viewport()->width())
        << tariffs->item(i)->text().toStdString();
  wizard->close();
}

}  // namespace
}  // namespace orva
