// The hosts dialog on the offscreen platform: copying staged entries into the system file
// without touching its other lines, deleting with "Interrompi", sorting, and files that
// cannot be written.
#include "net/ui/Hosts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <filesystem>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "net/ui/SmallMsg.h"
#include "platform/SafeFile.h"

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}

namespace orva {
namespace {

struct HostsDlgFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::string position = "Default";
  HostsPaths paths{dir.File("hosts.mqm"), dir.File("etc/hosts")};
  void SetUp() override { MakeDirectories(dir.path() + "etc"); }
  template <class T>
  static T* Find(QWidget* w, const char* name) {
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static QStringList Names(QTreeView* list) {
    QStringList out;
    for (int r = 0; r < list->model()->rowCount(); ++r)
      out << list->model()->index(r, 0).data().toString();
    return out;
  }
  static void Select(QTreeView* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int r : rows)
      list->selectionModel()->select(list->model()->index(r, 0), QItemSelectionModel::Select);
  }
  static void Click(QWidget* w, const char* name) { Find<QPushButton>(w, name)->click(); }
};

TEST_F(HostsDlgFixture, CopyIntoTheSystemListAndSaveKeepsEveryOtherByte) {
  test::WriteBytes(paths.staging,
                   "10.0.0.7 zeta.example #12-08-2026 10.00.07\r\n"
                   "10.9.9.9 old.example #12-08-2026 10.00.02\r\n"
                   "10.0.0.3 Alpha.example #12-08-2026 10.00.03\r\n"
                   "10.0.0.4 beta.example #12-08-2026 10.00.04\r\n");
  const std::string system =
      "# static table\r\n"
      "127.0.0.1\tlocalhost\r\n"
      "::1 ip6-localhost ip6-loopback # IPv6\r\n"
      "10.0.0.5 old.example #01-01-2020 10.00.00\r\n"
      "\r\n"
      "192.168.1.1 router alias # router\r\n";
  test::WriteBytes(paths.system, system);
  THostsDlg dlg(paths, dialogs, position);
  dlg.show();
  auto* lb00 = Find<QTreeView>(&dlg, "LB00");
  auto* lb11 = Find<QTreeView>(&dlg, "LB11");
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Gestione indirizzi dei server"));
  EXPECT_EQ(lb00->model()->headerData(0, Qt::Horizontal).toString(),
            QStringLiteral("Lista server/IP ultima connessione"));
  EXPECT_EQ(lb11->model()->headerData(0, Qt::Horizontal).toString(),
            QStringLiteral("Lista server/IP in uso al sistema"));
  EXPECT_EQ(Names(lb00),
            (QStringList{QStringLiteral("Alpha.example"), QStringLiteral("beta.example"),
                         QStringLiteral("old.example"), QStringLiteral("zeta.example")}));
  EXPECT_EQ(Find<QLabel>(&dlg, "CountPanel0")->text(), QStringLiteral(" 4 elementi"));
  // Only the program's own kind of line (IPv4 or IPv6) is in the system list.
  EXPECT_EQ(Names(lb11), (QStringList{QStringLiteral("ip6-localhost"),
                                      QStringLiteral("old.example"), QStringLiteral("router")}));
  EXPECT_EQ(Find<QLabel>(&dlg, "CountPanel1")->text(), QStringLiteral(" 3 elementi"));

  // The current row's address and time show under the list.
  lb00->setCurrentIndex(lb00->model()->index(3, 0));
  EXPECT_EQ(Find<QLabel>(&dlg, "AddrPanel0")->text(), QStringLiteral("10.0.0.7"));
  EXPECT_EQ(Find<QLabel>(&dlg, "TimePanel0")->text(), QStringLiteral("12-08-2026 10.00.07"));

  // ">" copies the selection: the known name keeps its address and takes the new time.
  Select(lb00, {0, 2});
  Click(&dlg, "Button1");
  EXPECT_TRUE(dlg.Model().Modified());
  EXPECT_EQ(Names(lb11),
            (QStringList{QStringLiteral("ip6-localhost"), QStringLiteral("old.example"),
                         QStringLiteral("router"), QStringLiteral("Alpha.example")}));
  EXPECT_EQ(dlg.Model().List(1)[1].address, "10.0.0.5");
  EXPECT_EQ(dlg.Model().List(1)[1].timeText, "12-08-2026 10.00.02");
  EXPECT_EQ(test::ReadBytes(paths.system), system);  // nothing written yet

  // Closing with unsaved changes asks; "No" keeps the dialog.
  dialogs.NextAnswer(MsgAnswer::No);
  dlg.reject();
  EXPECT_TRUE(dlg.isVisible());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "La lista dei servers di sistema non è stata salvata e le modifiche andranno "
            "perdute, esco lo stesso?");

  Click(&dlg, "Save1Btn");
  EXPECT_FALSE(dlg.Model().Modified());
  EXPECT_EQ(test::ReadBytes(paths.Backup()), system);
  EXPECT_EQ(test::ReadBytes(paths.system),
            "# static table\r\n"
            "127.0.0.1\tlocalhost\r\n"
            "::1 ip6-localhost ip6-loopback # IPv6\r\n"
            "10.0.0.5 old.example #12-08-2026 10.00.02\r\n"
            "\r\n"
            "192.168.1.1 router alias # router\r\n"
            "10.0.0.3 Alpha.example #12-08-2026 10.00.03\r\n");
  // ">>>" copies the rest; a second save keeps the first one's lines as they are.
  Click(&dlg, "Button2");
  Click(&dlg, "Save1Btn");
  EXPECT_EQ(test::ReadBytes(paths.system),
            "# static table\r\n"
            "127.0.0.1\tlocalhost\r\n"
            "::1 ip6-localhost ip6-loopback # IPv6\r\n"
            "10.0.0.5 old.example #12-08-2026 10.00.02\r\n"
            "\r\n"
            "192.168.1.1 router alias # router\r\n"
            "10.0.0.3 Alpha.example #12-08-2026 10.00.03\r\n"
            "10.0.0.4 beta.example #12-08-2026 10.00.04\r\n"
            "10.0.0.7 zeta.example #12-08-2026 10.00.07\r\n");

  dlg.reject();  // saved: no question
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(position, "Default");
}

TEST_F(HostsDlgFixture, InterrompiStopsADeletionAfterTheCurrentRow) {
  std::string system;
  for (int i = 1; i <= 6; ++i)
    system += "10.0.0." + std::to_string(i) + " h" + std::to_string(i) + ".example #t\n";
  test::WriteBytes(paths.system, system);
  THostsDlg dlg(paths, dialogs, position);
  dlg.show();
  auto* lb11 = Find<QTreeView>(&dlg, "LB11");
  Click(&dlg, "Sel1Btn");
  EXPECT_EQ(lb11->selectionModel()->selectedRows().size(), 6);

  // The box shows the stop button; it is pressed as soon as the box takes events.
  TSmallMsg& box = dlg.ProgressBoxWindow();
  bool sawStop = false;
  QTimer::singleShot(0, &dlg, [&] {
    sawStop = box.isVisible() && Find<QPushButton>(&box, "StopBtn")->isVisible();
    EXPECT_EQ(Find<QLabel>(&box, "L")->text(), QStringLiteral("Cancellazione elementi..."));
    Find<QPushButton>(&box, "StopBtn")->click();
  });
  dialogs.NextAnswer(MsgAnswer::Yes);
  Click(&dlg, "Dele1Btn");
  EXPECT_TRUE(sawStop);
  EXPECT_EQ(dialogs.beeps, 1);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Sicuro di interrompere l'operazione ?");
  EXPECT_FALSE(box.isVisible());
  // The last selected row went, the others stay; nothing is written until saved.
  EXPECT_EQ(lb11->model()->rowCount(), 5);
  EXPECT_EQ(Names(lb11).back(), QStringLiteral("h5.example"));
  EXPECT_EQ(Find<QLabel>(&dlg, "CountPanel1")->text(), QStringLiteral(" 5 elementi"));
  EXPECT_TRUE(dlg.Model().Modified());
  EXPECT_EQ(test::ReadBytes(paths.system), system);

  // The next deletion starts with the flag cleared; "No" to the stop question goes on.
  QTimer::singleShot(0, &dlg, [&] { Find<QPushButton>(&box, "StopBtn")->click(); });
  dialogs.NextAnswer(MsgAnswer::No);
  Select(lb11, {0, 1, 2});
  Click(&dlg, "Dele1Btn");
  EXPECT_EQ(Names(lb11), (QStringList{QStringLiteral("h4.example"), QStringLiteral("h5.example")}));
  Click(&dlg, "Save1Btn");
  EXPECT_EQ(test::ReadBytes(paths.system), "10.0.0.4 h4.example #t\n10.0.0.5 h5.example #t\n");
}

TEST_F(HostsDlgFixture, DeletingStagedRowsAsksAndRewritesTheStagingFile) {
  test::WriteBytes(paths.staging, "1.1.1.1 b.example #t1\r\n2.2.2.2 a.example #t2\r\n");
  THostsDlg dlg(paths, dialogs, position);
  dlg.show();
  auto* lb00 = Find<QTreeView>(&dlg, "LB00");
  Select(lb00, {0});
  dialogs.NextAnswer(MsgAnswer::No);
  Click(&dlg, "TransparentButton3");
  EXPECT_EQ(lb00->model()->rowCount(), 2);
  EXPECT_EQ(dialogs.shown.back().text, "Cancello gli indirizzi selezioanti?");
  dialogs.NextAnswer(MsgAnswer::Yes);
  Click(&dlg, "TransparentButton3");
  EXPECT_EQ(Names(lb00), QStringList{QStringLiteral("b.example")});
  EXPECT_EQ(test::ReadBytes(paths.staging), "1.1.1.1 b.example #t1\r\n");

  // A staging file that cannot be rewritten is reported with the system's text.
  std::filesystem::remove(paths.staging);
  std::filesystem::create_directory(paths.staging);
  Click(&dlg, "Sel0Btn");
  dialogs.NextAnswer(MsgAnswer::Yes);
  Click(&dlg, "TransparentButton3");
  EXPECT_EQ(lb00->model()->rowCount(), 0);
  EXPECT_EQ(dialogs.shown.back().type, MsgType::Error);
  EXPECT_NE(dialogs.shown.back().text.find("Is a directory"), std::string::npos)
      << dialogs.shown.back().text;
}

TEST_F(HostsDlgFixture, HeaderClicksToggleTheSortOrder) {
  test::WriteBytes(paths.staging,
                   "1.1.1.1 b.example #t\r\n2.2.2.2 C.example #t\r\n"
                   "3.3.3.3 a.example #t\r\n");
  THostsDlg dlg(paths, dialogs, position);
  dlg.show();
  auto* lb00 = Find<QTreeView>(&dlg, "LB00");
  const QStringList up{QStringLiteral("a.example"), QStringLiteral("b.example"),
                       QStringLiteral("C.example")};
  const QStringList down{up[2], up[1], up[0]};
  EXPECT_EQ(Names(lb00), up);
  EXPECT_EQ(lb00->header()->sortIndicatorOrder(), Qt::AscendingOrder);
  emit lb00->header()->sectionClicked(0);
  EXPECT_EQ(Names(lb00), down);
  EXPECT_EQ(lb00->header()->sortIndicatorOrder(), Qt::DescendingOrder);
  emit lb00->header()->sectionClicked(0);
  EXPECT_EQ(Names(lb00), up);
  EXPECT_EQ(lb00->header()->sortIndicatorOrder(), Qt::AscendingOrder);

  // Loading a list goes back to ascending.
  emit lb00->header()->sectionClicked(0);
  dialogs.NextFile(paths.staging);
  Click(&dlg, "Load0Btn");
  EXPECT_EQ(Names(lb00), up);
  EXPECT_EQ(lb00->header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST_F(HostsDlgFixture, ASystemFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
  test::WriteBytes(paths.staging, "1.1.1.1 new.example #t\r\n");
  const std::string system = "# mine\n127.0.0.1 localhost\n";
  test::WriteBytes(paths.system, system);
  // The backup cannot be made (a folder holds its name): the system file stays as it was.
  std::filesystem::create_directory(paths.Backup());
  {
    THostsDlg dlg(paths, dialogs, position);
    dlg.show();
    Click(&dlg, "Button2");
    Click(&dlg, "Save1Btn");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].type, MsgType::Error);
    EXPECT_NE(dialogs.shown[0].text.find(paths.Backup()), std::string::npos);
    EXPECT_NE(dialogs.shown[0].text.find("Is a directory"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(paths.system), system);
    EXPECT_TRUE(dlg.Model().Modified());  // still to be saved
    dialogs.NextAnswer(MsgAnswer::Yes);
    dlg.reject();
  }
  // A system file in a folder that does not exist: reported, nothing made.
  dialogs.shown.clear();
  HostsPaths missing{paths.staging, dir.File("none/hosts")};
  THostsDlg dlg(missing, dialogs, position);
  dlg.show();
  EXPECT_EQ(Find<QTreeView>(&dlg, "LB11")->model()->rowCount(), 0);
  Click(&dlg, "Button2");
  Click(&dlg, "Save1Btn");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].text.find("No such file or directory"), std::string::npos)
      << dialogs.shown[0].text;
  EXPECT_FALSE(std::filesystem::exists(dir.File("none")));
  dialogs.NextAnswer(MsgAnswer::Yes);
  dlg.reject();
}

TEST_F(HostsDlgFixture, Screenshot) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  test::WriteBytes(paths.staging,
                   "151.99.125.2 www.tin.it #10-15-1999 21.04.12\r\n"
                   "212.216.172.62 www.virgilio.it #10-15-1999 21.05.40\r\n"
                   "193.70.192.25 mail.libero.it #10-15-1999 21.06.02\r\n"
                   "194.243.154.62 www.repubblica.it #10-15-1999 21.08.31\r\n"
                   "209.185.108.134 www.altavista.com #10-15-1999 21.10.05\r\n");
  test::WriteBytes(paths.system,
                   "127.0.0.1 localhost\n"
                   "151.99.125.2 www.tin.it #10-14-1999 20.11.09\n"
                   "195.110.124.132 www.mclink.it #10-12-1999 22.41.17\n"
                   "204.71.200.68 www.yahoo.com #10-13-1999 19.02.55\n");
  THostsDlg dlg(paths, dialogs, position);
  dlg.resize(780, 420);
  dlg.show();
  auto* lb00 = Find<QTreeView>(&dlg, "LB00");
  Select(lb00, {1, 3});
  lb00->setCurrentIndex(lb00->model()->index(3, 0));
  Select(lb00, {1, 3});
  QApplication::processEvents();
  dlg.grab().save(QString::fromUtf8(out) + QStringLiteral("/hosts-dialog.png"));
  dlg.ProgressBoxWindow().Show("Cancellazione elementi...", true);
  dlg.ProgressBoxWindow().grab().save(QString::fromUtf8(out) +
                                      QStringLiteral("/hosts-progress.png"));
  dlg.ProgressBoxWindow().Close();
}

}  // namespace
}  // namespace orva
