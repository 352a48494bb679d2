// The visited-servers window, the traffic monitor panel and the DNS panel on the offscreen
// platform, over fixture files, a /proc tree and a resolver answered by hand.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "../NetFakes.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "core/WindowPlaces.h"
#include "net/ui/DnsPanel.h"
#include "net/ui/MonitorPanel.h"
#include "net/ui/Url.h"
#include "platform/IniFile.h"
#include "platform/SafeFile.h"
#include "simulation/ManualClock.h"

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}

namespace orva {
namespace {

template <class T>
T* Find(QWidget* w, const char* name) {
  T* found = w->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

QString Joined(const std::vector<std::string>& lines) {
  QStringList out;
  for (const auto& l : lines) out << QString::fromStdString(l);
  return out.join(QLatin1Char('\n'));
}

TEST(TURLDlg, ShowsTheFileSortedByNameSkipsShortLinesAndClosesWithEscape) {
  test::TempDir dir;
  WindowPlaces places(dir.File("ORVA32.INI"));
  const std::string path = dir.File("08-12-2026 10-05-07.mqm");
  test::WriteBytes(path,
                   "10.0.0.2 www.example.com #08-12-2026 10.00.02\r\n"
                   "ab#too short\r\n"
                   "#08-12-2026 10.00.03\r\n"
                   "no hash at all\r\n"
                   "10.0.0.9 Alpha.example.org # 08-12-2026 10.01.00 \r\n"
                   "10.0.0.4 mail.example.net #08-12-2026 10.02.30\r\n");
  TURLDlg dlg(path, "Elenco indirizzi server visitati il 08/12/26\n alle ore 09.00.00", &places);
  dlg.show();
  auto* list = Find<QTableView>(&dlg, "ListBox1");
  ASSERT_NE(list, nullptr);
  QAbstractItemModel* m = list->model();
  EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("URL"));
  EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("IP"));
  EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Data/Ora di accesso"));
  ASSERT_EQ(m->rowCount(), 3);
  EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("Alpha.example.org"));
  EXPECT_EQ(m->index(0, 1).data().toString(), QStringLiteral("10.0.0.9"));
  EXPECT_EQ(m->index(0, 2).data().toString(), QStringLiteral("08-12-2026 10.01.00"));
  EXPECT_EQ(m->index(1, 0).data().toString(), QStringLiteral("mail.example.net"));
  EXPECT_EQ(m->index(2, 0).data().toString(), QStringLiteral("www.example.com"));
  EXPECT_EQ(list->verticalHeader()->defaultSectionSize(), 18);
  EXPECT_EQ(Find<QLabel>(&dlg, "CaptionLbl")->text(),
            QStringLiteral("Elenco indirizzi server visitati il 08/12/26\n alle ore 09.00.00"));
  EXPECT_FALSE(dlg.windowTitle().contains(QLatin1Char('\n')));
  // Read-only, and the keyboard moves through the rows.
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(list->currentIndex().row(), 1);

  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_FALSE(dlg.isVisible());
  // Its place is kept in the settings file.
  EXPECT_NE(TIniFile(dir.File("ORVA32.INI")).ReadString("Log settings", "Show url", "Default"),
            "Default");

  // A second window takes the place back; "Chiudi" closes it.
  TURLDlg again(path, "x", &places);
  again.show();
  EXPECT_EQ(again.size(), dlg.size());
  Find<QPushButton>(&again, "CloseBtn")->click();
  EXPECT_FALSE(again.isVisible());
}

// A /proc tree with `rows` established connections to distinct servers.
std::string ProcTree(const test::TempDir& dir, int rows) {
  const std::string root = dir.File("proc");
  MakeDirectories(root + "/net");
  std::string tcp =
      "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
      "timeout inode\n";
  char line[256];
  for (int i = 0; i < rows; ++i) {
    // 10.64.1.23 to 151.99.<i/200>.<i%200+1>, port 80
    std::snprintf(line, sizeof line,
                  "%4d: 1701400A:%04X %02X%02X6397:0050 01 00000000:00000000 00:00000000 "
                  "00000000  1000        0 %d 1 0000000000000000 20 4 30 10 -1\n",
                  i, 40000 + i, i % 200 + 1, i / 200, 50000 + i);
    tcp += line;
  }
  test::WriteBytes(root + "/net/tcp", tcp);
  test::WriteBytes(root + "/net/udp",
                   "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when\n");
  test::WriteBytes(root + "/net/snmp",
                   test::ReadBytes(test::TestDataDir() + "net/proc/states/net/snmp"));
  return root;
}

struct MonitorPanelFixture : ::testing::Test {
  test::TempDir dir;
  ManualClock clock{EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0)};
  MonitorSettings settings;
  test::FakeResolver resolver;
};

TEST_F(MonitorPanelFixture, TabsAskTheMonitorAndTheBoxShowsItsLines) {
  NetstatObjects netstat = CreateNetstatObjects(
      std::make_shared<ProcMibAgent>(test::TestDataDir() + "net/proc/states"), 0);
  TrafficMonitor monitor{clock, settings, netstat, resolver};
  QWidget body;
  auto* panel = new TMonitorPanel(&body, monitor);
  auto* tabs = Find<QTabBar>(panel, "TabControl");
  auto* memo = Find<QPlainTextEdit>(panel, "Memo");
  ASSERT_EQ(tabs->count(), 6);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(tabs->tabText(i), QString::fromUtf8(kMonitorTabCaptions[i]));
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
  const QFontMetrics fm(memo->font());  // columns line up
  EXPECT_EQ(fm.horizontalAdvance(QLatin1Char('i')), fm.horizontalAdvance(QLatin1Char('W')));

  monitor.CallStart("127.0.0.1");
  tabs->setCurrentIndex(kTabTcp);
  EXPECT_EQ(monitor.TabIndex, kTabTcp);
  ASSERT_FALSE(monitor.Memo.empty());
  EXPECT_EQ(memo->toPlainText(), Joined(monitor.Memo));
  EXPECT_TRUE(memo->toPlainText().startsWith(QStringLiteral("tcpRtoAlgorithm: ")));
  tabs->setCurrentIndex(kTabConnections);
  EXPECT_EQ(memo->toPlainText(), Joined(monitor.ViewLines(kTabConnections)));
  EXPECT_TRUE(memo->toPlainText().startsWith(QStringLiteral("Proto Local IP")));
  // The keyboard changes the view too.
  tabs->setFocus();
  QTest::keyClick(tabs, Qt::Key_Right);
  EXPECT_EQ(monitor.TabIndex, kTabVisited);

  // The call's end clears the box.
  ASSERT_TRUE(
      monitor.CallEnd(clock.Now(), HostsPaths{dir.File("h.mqm"), dir.File("hosts")}, dir.path()));
  EXPECT_TRUE(memo->toPlainText().isEmpty());
}

TEST_F(MonitorPanelFixture, ARedrawOfTheSameViewKeepsTheScrollPosition) {
  NetstatObjects netstat =
      CreateNetstatObjects(std::make_shared<ProcMibAgent>(ProcTree(dir, 300)), 0);
  TrafficMonitor monitor{clock, settings, netstat, resolver};
  QWidget body;
  body.resize(450, 80);
  auto* panel = new TMonitorPanel(&body, monitor);
  panel->resize(450, 80);
  body.show();
  auto* memo = Find<QPlainTextEdit>(panel, "Memo");
  monitor.CallStart("10.64.1.23");
  clock.AdvanceMs(2000);
  monitor.MeterTick();
  ASSERT_EQ(memo->document()->blockCount(), 302);
  EXPECT_TRUE(memo->toPlainText().contains(
      QStringLiteral("TCP   10.64.1.23     :40000  151.99.0.1     :80    ESTABLISHED")));
  QScrollBar* v = memo->verticalScrollBar();
  v->setValue(150);
  clock.AdvanceMs(2000);
  monitor.MeterTick();  // the same rows again
  EXPECT_EQ(v->value(), 150);
  monitor.TabControlChange(kTabVisited);  // another view starts at the top
  EXPECT_EQ(v->value(), 0);
  EXPECT_EQ(memo->document()->blockCount(), 300);  // every server seen is in the list
}

TEST(TDnsPanel, ForwardAndReverseLookupsCompleteAndCancel) {
  ManualClock clock{EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0)};
  test::FakeResolver resolver;
  VisitedList visited;
  ResolverState state;  // busy: between calls
  DnsPanel model(resolver, clock, visited, state);
  QWidget body;
  body.resize(450, 44);
  auto* panel = new TDnsPanel(&body, model);
  panel->resize(450, 44);
  body.show();
  auto* hostEdit = Find<QLineEdit>(panel, "HostEdit");
  auto* addrEdit = Find<QLineEdit>(panel, "AddrEdit");
  auto* hostBtn = Find<QPushButton>(panel, "HostBtn");
  auto* addrBtn = Find<QPushButton>(panel, "AddrBtn");
  auto* cancel = Find<QPushButton>(panel, "CancelButton");
  auto* memo = Find<QPlainTextEdit>(panel, "DisplayMemo");
  EXPECT_EQ(hostEdit->text(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(addrEdit->text(), QStringLiteral("localhost"));
  EXPECT_FALSE(cancel->isEnabled());
  EXPECT_EQ(cancel->toolTip(), QStringLiteral("Annulla la ricerca in corso"));
  EXPECT_EQ(cancel->accessibleName(), cancel->toolTip());
  // Everything fits the panel's small body.
  for (QWidget* w :
       std::initializer_list<QWidget*>{hostEdit, addrEdit, hostBtn, addrBtn, cancel, memo})
    EXPECT_TRUE(panel->rect().contains(w->geometry())) << w->objectName().toStdString();

  // Between calls a button does nothing.
  addrBtn->click();
  EXPECT_TRUE(resolver.pending.empty());
  state.idle = true;

  // Name to address: the field is trimmed first.
  addrEdit->clear();
  QTest::keyClicks(addrEdit, QStringLiteral("  www.example.org "));
  addrBtn->click();
  EXPECT_EQ(addrEdit->text(), QStringLiteral("www.example.org"));
  ASSERT_EQ(resolver.pending.size(), 1u);
  EXPECT_TRUE(resolver.pending[0].forward);
  EXPECT_EQ(resolver.pending[0].what, "www.example.org");
  EXPECT_FALSE(hostBtn->isEnabled());
  EXPECT_FALSE(addrBtn->isEnabled());
  EXPECT_TRUE(cancel->isEnabled());
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("Resolving host 'www.example.org'"));
  resolver.Complete(test::FakeResolver::Addresses({"93.184.216.34"}));
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("Resolving host 'www.example.org'\n"
                                                "Host 'www.example.org' is 93.184.216.34"));
  EXPECT_TRUE(hostBtn->isEnabled());
  EXPECT_FALSE(cancel->isEnabled());

  // Address to name, from the keyboard: letters are not taken, Enter starts the lookup.
  hostEdit->clear();
  QTest::keyClicks(hostEdit, QStringLiteral("1x0.0.a0.7"));
  EXPECT_EQ(hostEdit->text(), QStringLiteral("10.0.0.7"));
  QTest::keyClick(hostEdit, Qt::Key_Return);
  ASSERT_EQ(resolver.pending.size(), 1u);
  EXPECT_FALSE(resolver.pending[0].forward);
  EXPECT_EQ(resolver.pending[0].what, "10.0.0.7");
  resolver.Complete(test::FakeResolver::Name("host7.example.org"));
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("Resolving host '10.0.0.7'\n"
                                                "Host '10.0.0.7' is host7.example.org"));

  // Cancel: the lookup ends as failed and the buttons come back; a late answer is ignored.
  hostBtn->click();
  ASSERT_EQ(resolver.pending.size(), 1u);
  cancel->click();
  EXPECT_EQ(resolver.aborted.size(), 1u);
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("Unknown Host '10.0.0.7'"));
  EXPECT_TRUE(hostBtn->isEnabled());
  EXPECT_FALSE(cancel->isEnabled());
  // Esc in a field cancels too.
  addrBtn->click();
  QTest::keyClick(addrEdit, Qt::Key_Escape);
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("Unknown Host 'www.example.org'"));
  EXPECT_TRUE(resolver.pending.empty());
}

TEST_F(MonitorPanelFixture, AutomaticLookupsShowInTheDnsPanelAndTheCallEndGivesTheButtonsBack) {
  NetstatObjects netstat =
      CreateNetstatObjects(std::make_shared<ProcMibAgent>(ProcTree(dir, 2)), 0);
  TrafficMonitor monitor{clock, settings, netstat, resolver};
  QWidget body;
  auto* dns = new TDnsPanel(&body, monitor.Dns());
  monitor.CallStart("10.64.1.23");
  clock.AdvanceMs(2000);
  monitor.MeterTick();
  EXPECT_EQ(Find<QLineEdit>(dns, "HostEdit")->text(), QStringLiteral("151.99.0.1"));
  EXPECT_EQ(Find<QPlainTextEdit>(dns, "DisplayMemo")->toPlainText(),
            QStringLiteral("Resolving host '151.99.0.1'"));
  EXPECT_FALSE(Find<QPushButton>(dns, "HostBtn")->isEnabled());
  ASSERT_TRUE(
      monitor.CallEnd(clock.Now(), HostsPaths{dir.File("h.mqm"), dir.File("hosts")}, dir.path()));
  EXPECT_TRUE(Find<QPushButton>(dns, "HostBtn")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(dns, "CancelButton")->isEnabled());
}

TEST_F(MonitorPanelFixture, Screenshots) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  const QString folder = QString::fromUtf8(out);
  NetstatObjects netstat =
      CreateNetstatObjects(std::make_shared<ProcMibAgent>(ProcTree(dir, 12)), 0);
  TrafficMonitor monitor{clock, settings, netstat, resolver};
  QWidget body;
  auto* panel = new TMonitorPanel(&body, monitor);
  body.resize(450, 110);
  panel->resize(450, 110);
  body.show();
  monitor.CallStart("10.64.1.23");
  clock.AdvanceMs(2000);
  monitor.MeterTick();
  QApplication::processEvents();
  panel->grab().save(folder + QStringLiteral("/monitor-panel.png"));

  QWidget dnsBody;
  auto* dns = new TDnsPanel(&dnsBody, monitor.Dns());
  dnsBody.resize(450, 44);
  dns->resize(450, 44);
  dnsBody.show();
  resolver.Complete(test::FakeResolver::Failed());  // the automatic lookup
  Find<QLineEdit>(dns, "AddrEdit")->setText(QStringLiteral("www.example.org"));
  Find<QPushButton>(dns, "AddrBtn")->click();
  resolver.Complete(test::FakeResolver::Addresses({"93.184.216.34"}));
  QApplication::processEvents();
  dns->grab().save(folder + QStringLiteral("/dns-panel.png"));

  const std::string path = dir.File("visited.mqm");
  test::WriteBytes(path,
                   "151.99.125.2 www.tin.it #15-10-1999 21.04.12\r\n"
                   "212.216.172.62 www.virgilio.it #15-10-1999 21.05.40\r\n"
                   "193.70.192.25 mail.libero.it #15-10-1999 21.06.02\r\n"
                   "194.243.154.62 www.repubblica.it #15-10-1999 21.08.31\r\n"
                   "209.185.108.134 www.altavista.com #15-10-1999 21.10.05\r\n"
                   "195.110.124.132 www.mclink.it #15-10-1999 21.12.44\r\n");
  TURLDlg url(path, "Elenco indirizzi server visitati il 15/10/99\n alle ore 21.03.05");
  url.show();
  QApplication::processEvents();
  url.grab().save(folder + QStringLiteral("/visited-servers.png"));
}

}  // namespace
}  // namespace orva
