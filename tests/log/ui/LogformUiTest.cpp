#include "log/ui/Logform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "ScriptedDialogs.h"
#include "ShotLog.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "log/LogFile.h"
#include "log/ui/Logentry.h"
#include "platform/SafeFile.h"
#include "tariff/Tariffe.h"

namespace orva {
namespace {

constexpr const char* kLog =
    "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t889\t28800\t1536\t1034\tModem: Tiscali\t\r\n"
    "16/10/99\t08.00.00\t08.30.00\t00.30.00\tTI\t13\t1651\tn.d\t0\t0\tFAX G3: Studio\t\r\n"
    "14/10/99\t10.00.00\t10.05.00\t00.05.00\tTI\t3\t381\t33600\t0\t0\tModem: Libero\t\r\n";

struct LogFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  Settings settings;
  void SetUp() override {
    settings.logFileName = dir.File("ORVA.LOG");
    test::WriteBytes(settings.logFileName, kLog);
  }
  std::unique_ptr<TLog> Open() {
    return std::make_unique<TLog>(settings, dialogs, dir.path(), LogWindowHooks{});
  }
  static std::vector<std::string> Dates(TLog& w) {
    std::vector<std::string> out;
    for (const auto& r : w.Model().Records()) out.emplace_back(r.Date());
    return out;
  }
};

TEST_F(LogFixture, SortingTwiceReversesAndAnotherColumnStartsAscending) {
  auto w = Open();
  ASSERT_EQ(w->Model().Count(), 3u);
  w->HeaderTopSectionClick(1);
  EXPECT_EQ(Dates(*w), (std::vector<std::string>{"14/10/99", "15/10/99", "16/10/99"}));
  w->HeaderTopSectionClick(1);
  EXPECT_EQ(Dates(*w), (std::vector<std::string>{"16/10/99", "15/10/99", "14/10/99"}));
  w->HeaderTopSectionClick(7);  // "Costo", ascending
  EXPECT_EQ(Dates(*w), (std::vector<std::string>{"14/10/99", "15/10/99", "16/10/99"}));
  EXPECT_EQ(w->List()->horizontalHeader()->sortIndicatorSection(), 7);
  EXPECT_EQ(settings.sortIndex, 7);
}

// With Valuta=Euro the list's "Costo" column reads euro (889 lire: "0,46") and every other
// column keeps its own field: "Bps" still shows the speed, not the cost.
TEST_F(LogFixture, EuroCostsAreInTheCostColumnAndTheSpeedStaysInItsOwn) {
  settings.currency = Currency::Euro;
  auto w = Open();
  QAbstractItemModel* m = w->List()->model();
  ASSERT_EQ(m->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Costo"));
  ASSERT_EQ(m->headerData(8, Qt::Horizontal).toString(), QStringLiteral("Bps"));
  int row = 0;
  while (row < m->rowCount() && m->index(row, 1).data().toString() != QStringLiteral("15/10/99"))
    ++row;
  ASSERT_LT(row, m->rowCount());
  EXPECT_EQ(m->index(row, 6).data().toString(), QStringLiteral("7"));
  EXPECT_EQ(m->index(row, 7).data().toString(), QStringLiteral("0,46"));
  EXPECT_EQ(m->index(row, 8).data().toString(), QStringLiteral("28800"));
}

TEST_F(LogFixture, PrintingToPdfAsksForTheFileEachTimeProposingTheLast) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  auto w = Open();
  w->show();
  auto acceptPrintForm = [] {
    QTimer::singleShot(0, [] {
      if (auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget())) form->accept();
    });
  };
  dialogs.NextFile(dir.File("first.pdf"));
  acceptPrintForm();
  w->PrintBtnClick();
  ASSERT_TRUE(FileExists(dir.File("first.pdf")));
  const std::string first = test::ReadBytes(dir.File("first.pdf"));
  dialogs.NextFile(dir.File("second.pdf"));
  acceptPrintForm();
  w->PrintBtnClick();
  EXPECT_TRUE(FileExists(dir.File("second.pdf")));
  ASSERT_EQ(dialogs.proposed.size(), 2u);
  EXPECT_EQ(dialogs.proposed[1], dir.File("first.pdf"));  // proposed, not reused
  // Cancelling the chooser prints nothing: the earlier file stays as it was.
  acceptPrintForm();
  w->PrintBtnClick();
  EXPECT_EQ(dialogs.proposed.size(), 3u);
  EXPECT_EQ(test::ReadBytes(dir.File("first.pdf")), first);
}

// The meter appends a call while the window is open: the window shows it, and its save
// keeps it.
TEST_F(LogFixture, CallsAppendedWhileOpenAreShownAndKeptBySaves) {
  auto w = Open();
  ASSERT_EQ(w->Model().Count(), 3u);
  w->SelectRows({2});
  w->DeleteSelected(true);
  test::WriteBytes(
      settings.logFileName,
      test::ReadBytes(settings.logFileName) +
          "17/10/99\t09.00.00\t09.01.00\t00.01.00\tTI\t1\t127\tn.d\t0\t0\tNuova\t\r\n");
  w->LogAppended();
  EXPECT_EQ(w->Model().Count(), 3u);
  EXPECT_EQ(w->BottomText(0), QStringLiteral("0/3"));
  EXPECT_TRUE(w->Model().Modified());
  dialogs.NextAnswer(MsgAnswer::Yes);
  EXPECT_TRUE(w->close());
  std::vector<TConnObj> saved;
  LoadLogFile(settings.logFileName, saved);
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[2].Service(), "Nuova");
}

TEST_F(LogFixture, TotalsOfTheSelection) {
  auto w = Open();
  w->SelectRows({0, 1, 2});
  EXPECT_EQ(w->BottomText(0), QStringLiteral("3/3"));
  EXPECT_EQ(w->BottomText(9), QStringLiteral("1,50 Kb"));
  EXPECT_EQ(w->BottomText(10), QStringLiteral("1,01 Kb"));
  EXPECT_EQ(w->BottomText(8), QStringLiteral("31200"));  // average of the numeric speeds
  w->SelectRows({1});
  EXPECT_EQ(w->BottomText(0), QStringLiteral("1/3"));
  EXPECT_EQ(w->BottomText(8), QStringLiteral("0"));
}

// A log kept partly by an older version, with decimal commas: the window adds the comma costs
// like the report does (254,5 + 127 + 63,5 = 445.0) and sorts them among the others.
TEST_F(LogFixture, DecimalCommaCostsAreAddedAndSorted) {
  test::WriteBytes(settings.logFileName,
                   "01/11/99\t10.00.00\t10.10.00\t00.10.00\tTI\t2\t254,5\tn.d\t0\t0\tA\t\r\n"
                   "02/11/99\t10.00.00\t10.01.00\t00.01.00\tTI\t1\t127\tn.d\t0\t0\tB\t\r\n"
                   "04/11/99\t10.00.00\t10.00.30\t00.00.30\tTI\t1\t63,5\tn.d\t0\t0\tD\t\r\n");
  auto w = Open();
  w->SelectAllBtnClick();
  EXPECT_EQ(w->BottomText(0), QStringLiteral("3/3"));
  EXPECT_EQ(w->BottomText(7), QStringLiteral("445.0"));
  w->HeaderTopSectionClick(7);
  EXPECT_EQ(Dates(*w), (std::vector<std::string>{"04/11/99", "02/11/99", "01/11/99"}));
}

TEST_F(LogFixture, DeleteAsksUnlessCtrlIsHeld) {
  auto w = Open();
  w->SelectRows({0});
  dialogs.NextAnswer(MsgAnswer::No);
  w->DeleteSelected(false);
  EXPECT_EQ(w->Model().Count(), 3u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  w->SelectRows({0});
  w->DeleteSelected(true);
  EXPECT_EQ(w->Model().Count(), 2u);
  EXPECT_EQ(dialogs.shown.size(), 1u);  // no question with Ctrl
  EXPECT_TRUE(w->Model().Modified());
}

TEST_F(LogFixture, ImportOfAKnownCallAsksOnce) {
  const std::string other = dir.File("OTHER.LOG");
  test::WriteBytes(
      other,
      std::string(kLog) + "17/10/99\t09.00.00\t09.01.00\t00.01.00\tTI\t1\t127\tn.d\t0\t0\tX\t\r\n");
  auto w = Open();
  int asked = 0;
  w->SetDuplicateQuestion([&asked] {
    ++asked;
    return DupAnswer::No;
  });
  dialogs.NextFile(other);
  w->ImportClick();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(w->Model().Count(), 4u);
}

// The rows the list highlights.
std::vector<std::size_t> Highlighted(TLog& w) {
  std::vector<std::size_t> rows;
  for (const QModelIndex& i : w.List()->selectionModel()->selectedRows())
    rows.push_back(static_cast<std::size_t>(i.row()));
  std::sort(rows.begin(), rows.end());
  return rows;
}

TEST_F(LogFixture, ImportAndPasteKeepTheHighlightedRowsThoseTheTotalsCount) {
  const std::string other = dir.File("OTHER.LOG");
  test::WriteBytes(other, "17/10/99\t09.00.00\t09.01.00\t00.01.00\tTI\t1\t127\tn.d\t0\t0\tX\t\r\n");
  auto w = Open();
  w->SelectRows({0, 2});
  dialogs.NextFile(other);
  w->ImportClick();
  ASSERT_EQ(w->Model().Count(), 4u);
  // A delete now removes what the user sees highlighted, and the totals count the same rows.
  EXPECT_EQ(Highlighted(*w), (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(w->SelectedRows(), (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(w->BottomText(0), QStringLiteral("2/4"));
  w->CopyClick();
  w->SetDuplicateQuestion([] { return DupAnswer::Si; });
  w->PasteClick();
  ASSERT_EQ(w->Model().Count(), 6u);
  EXPECT_EQ(Highlighted(*w), w->SelectedRows());
  EXPECT_EQ(w->BottomText(0), QStringLiteral("2/6"));
}

// Calls brought in by an import or typed in by hand are offered by their service at once: in
// the tool bar's combo and in the service file the filter and the manual entry read.
TEST_F(LogFixture, ServicesOfImportedAndTypedCallsAreListedAtOnce) {
  const std::string other = dir.File("OTHER.LOG");
  test::WriteBytes(other,
                   "17/10/99\t09.00.00\t09.01.00\t00.01.00\tTI\t1\t127\tn.d\t0\t0\tVideotel\t\r\n");
  LogWindowHooks hooks;
  hooks.editRecord = [](TConnObj& record, bool) {
    record.Set(LogField::Date, "18/10/99");
    record.Set(LogField::Service, "Agenda");
    return true;
  };
  TLog w(settings, dialogs, dir.path(), hooks);
  auto* combo = w.findChild<QComboBox*>(QStringLiteral("ServCB"));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->findText(QStringLiteral("Videotel")), -1);
  dialogs.NextFile(other);
  w.ImportClick();
  ASSERT_EQ(w.Model().Count(), 4u);
  EXPECT_GE(combo->findText(QStringLiteral("Videotel")), 0);
  EXPECT_NE(test::ReadBytes(dir.File("ORVA.SRV")).find("Videotel\r\n"), std::string::npos);
  w.NewEntryClick();
  EXPECT_GE(combo->findText(QStringLiteral("Agenda")), 0);
  EXPECT_NE(test::ReadBytes(dir.File("ORVA.SRV")).find("Agenda\r\n"), std::string::npos);
  // The imported call is found by its service.
  LogFilter f;
  f.byService = true;
  f.service = "Videotel";
  w.ApplyFilter(f);
  ASSERT_EQ(w.SelectedRows().size(), 1u);
  EXPECT_EQ(w.Model().Records()[w.SelectedRows()[0]].Date(), "17/10/99");
}

// "Colore sfondo lista" colours the list: the rows (the odd ones a shade of it, so they still
// alternate) and the empty space under them; the default white keeps the pale yellow rows.
TEST_F(LogFixture, ListBackgroundColourIsTheListsColour) {
  settings.logBackgroundColour = 0x00C0FFC0;  // stored as 0x00BBGGRR: RGB(192, 255, 192)
  auto w = Open();
  w->resize(800, 500);
  w->show();
  QTableView* list = w->List();
  QApplication::processEvents();
  const QImage shot = list->viewport()->grab().toImage();
  auto colourAt = [&](int row) {
    const QRect cell = list->visualRect(list->model()->index(row, 5));
    return QColor(shot.pixel(cell.center().x(), cell.top() + 2));
  };
  EXPECT_EQ(colourAt(0), QColor(192, 255, 192));
  const QColor odd = colourAt(1);
  EXPECT_NE(odd, QColor(255, 255, 223));
  EXPECT_NE(odd, QColor(192, 255, 192));
  EXPECT_GT(odd.green(), odd.red());  // a shade of the green, not another colour
  const QRect last = list->visualRect(list->model()->index(2, 5));
  ASSERT_LT(last.bottom() + 10, shot.height());
  EXPECT_EQ(QColor(shot.pixel(last.center().x(), last.bottom() + 10)), QColor(192, 255, 192));

  settings.logBackgroundColour = 0xFFFFFF;
  auto plain = Open();
  plain->resize(800, 500);
  plain->show();
  QApplication::processEvents();
  const QImage white = plain->List()->viewport()->grab().toImage();
  const QRect second = plain->List()->visualRect(plain->List()->model()->index(1, 5));
  EXPECT_EQ(QColor(white.pixel(second.center().x(), second.top() + 2)), QColor(255, 255, 223));
}

TEST_F(LogFixture, FilterByServiceAndByDate) {
  auto w = Open();
  LogFilter f;
  f.byService = true;
  f.service = "Modem";
  w->ApplyFilter(f);
  EXPECT_EQ(w->SelectedRows(), (std::vector<std::size_t>{0, 2}));
  f.byDate = true;
  f.from = EncodeDate(1999, 10, 15);
  f.to = EncodeDate(1999, 10, 16);
  w->ApplyFilter(f);
  EXPECT_EQ(w->SelectedRows(), (std::vector<std::size_t>{0}));
  EXPECT_EQ(w->BottomText(0), QStringLiteral("1/3"));
}

// A longer log whose costs run backwards, so a sort by "Costo" reverses it.
std::string DescendingCosts(int rows) {
  std::string log;
  for (int i = 0; i < rows; ++i) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "%02d/10/99\t10.%02d.00\t10.%02d.30\t00.00.30\tTI\t1\t%d\t33600\t0\t0\tCall "
                  "%d\t\r\n",
                  1 + i % 28, i % 60, i % 60, 10000 - i, i + 1);
    log += line;
  }
  return log;
}

TEST_F(LogFixture, SortingKeepsTheHighlightedRowsTheCurrentRowAndTheScroll) {
  test::WriteBytes(settings.logFileName, DescendingCosts(300));
  auto w = Open();
  w->resize(800, 500);
  w->show();
  QApplication::processEvents();
  QTableView* list = w->List();
  w->SelectRows({5, 6});
  list->selectionModel()->setCurrentIndex(list->model()->index(6, 0),
                                          QItemSelectionModel::NoUpdate);
  list->scrollTo(list->model()->index(200, 0), QAbstractItemView::PositionAtTop);
  const int scrolled = list->verticalScrollBar()->value();
  ASSERT_GT(scrolled, 0);
  w->HeaderTopSectionClick(7);
  QApplication::processEvents();
  EXPECT_EQ(w->Model().Records().front().Service(), "Call 300");
  // The list's rows stay highlighted by position, as a list box's items do.
  EXPECT_EQ(w->SelectedRows(), (std::vector<std::size_t>{5, 6}));
  EXPECT_EQ(list->currentIndex().row(), 6);
  EXPECT_EQ(list->verticalScrollBar()->value(), scrolled);
  EXPECT_EQ(w->BottomText(0), QStringLiteral("2/300"));
}

TEST_F(LogFixture, HomeAndEndGoToTheFirstAndTheLastCall) {
  test::WriteBytes(settings.logFileName, DescendingCosts(300));
  auto w = Open();
  w->resize(800, 500);
  w->show();
  QApplication::processEvents();
  QTableView* list = w->List();
  list->setFocus();
  w->SelectRows({3});
  list->selectionModel()->setCurrentIndex(list->model()->index(3, 4),
                                          QItemSelectionModel::NoUpdate);
  QTest::keyClick(list, Qt::Key_End);
  EXPECT_EQ(w->SelectedRows(), (std::vector<std::size_t>{299}));
  EXPECT_EQ(w->BottomText(0), QStringLiteral("1/300"));
  EXPECT_GT(list->verticalScrollBar()->value(), 0);  // the last call is in view
  QTest::keyClick(list, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(w->SelectedRows().size(), 300u);
  EXPECT_EQ(w->BottomText(0), QStringLiteral("300/300"));
  EXPECT_EQ(list->verticalScrollBar()->value(), 0);
}

TEST(LogEntryDialog, AcrossMidnightGivesTwentyMinutes) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  test::WriteBytes(dir.File("A.TRF"),
                   "[Dati generali]\r\nAbbreviazione=AA\r\nDescrizione=Alfa\r\n"
                   "[Tariffa feriale]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n"
                   "[Tariffa prefestiva]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n"
                   "[Tariffa festiva]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n");
  TariffCatalogue catalogue;
  ScanTariffFiles(catalogue, dir.path());
  TLogEntryDlg dlg(catalogue, {}, LogModel::NewManualRecord(), true, EncodeDate(2026, 3, 10), 1,
                   dialogs);
  auto* st = dlg.findChild<QLineEdit*>(QStringLiteral("ST"));
  auto* et = dlg.findChild<QLineEdit*>(QStringLiteral("ET"));
  auto* ened = dlg.findChild<QLineEdit*>(QStringLiteral("ENED"));
  st->setText(QStringLiteral("23.50.00"));
  et->setText(QStringLiteral("00.10.00"));
  ened->setText(QStringLiteral("11/03/26"));
  dlg.findChild<QComboBox*>(QStringLiteral("TariffeCB"))->setCurrentIndex(0);
  EXPECT_FALSE(dlg.findChild<QPushButton*>(QStringLiteral("OKBtn"))->isEnabled());
  dlg.CalcolaBtnClick();
  EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("DurataPn"))->text(), QStringLiteral("00.20.00"));
  EXPECT_TRUE(dlg.findChild<QPushButton*>(QStringLiteral("OKBtn"))->isEnabled());
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Inserisci nuova connessione in elenco"));
}

// A catalogue of one tariff with 60-second ticks at 127 lire.
struct EntryDialogFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  TariffCatalogue catalogue;
  void SetUp() override {
    test::WriteBytes(dir.File("A.TRF"),
                     "[Dati generali]\r\nAbbreviazione=AA\r\nDescrizione=Alfa\r\n"
                     "[Tariffa feriale]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n"
                     "[Tariffa prefestiva]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n"
                     "[Tariffa festiva]\r\nFasce=1\r\n1=00.00 23.59 60 127\r\n");
    ScanTariffFiles(catalogue, dir.path());
  }
  static TConnObj Logged(std::string_view service) {
    TConnObj r = LogModel::NewManualRecord();
    r.Set(LogField::Date, "10/03/26");
    r.Set(LogField::Start, "10.00.00");
    r.Set(LogField::End, "10.05.00");
    r.Set(LogField::Duration, "00.05.00");
    r.Set(LogField::Tariff, "AA");
    r.Set(LogField::Service, service);
    return r;
  }
};

TEST_F(EntryDialogFixture, EditingACallWhoseServiceIsNotListedKeepsItsService) {
  TLogEntryDlg dlg(catalogue, {"Modem: Tiscali"}, Logged("Modem: Libero"), false,
                   EncodeDate(2026, 3, 12), 1, dialogs);
  EXPECT_EQ(dlg.findChild<QComboBox*>(QStringLiteral("ServCB"))->currentText(),
            QStringLiteral("Modem: Libero"));
  dlg.CalcolaBtnClick();
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.Model().Result().Service(), "Modem: Libero");
  EXPECT_EQ(dlg.Model().Result().Cost(), "635");  // five minutes of 127-lire ticks
}

TEST_F(EntryDialogFixture, CalcolaWithAnEditThatHoldsNoTimeBeepsAndComputesNothing) {
  TLogEntryDlg dlg(catalogue, {}, Logged("X"), false, EncodeDate(2026, 3, 12), 1, dialogs);
  auto* et = dlg.findChild<QLineEdit*>(QStringLiteral("ET"));
  et->setText(QStringLiteral("10.75.00"));
  dlg.CalcolaBtnClick();
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_TRUE(dlg.findChild<QLabel*>(QStringLiteral("DurataPn"))->text().isEmpty());
  EXPECT_FALSE(dlg.findChild<QPushButton*>(QStringLiteral("OKBtn"))->isEnabled());
  et->setText(QStringLiteral("10.15.00"));
  dlg.CalcolaBtnClick();
  EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("DurataPn"))->text(), QStringLiteral("00.15.00"));
}

TEST_F(EntryDialogFixture, OkAfterATimeChangedSinceCalcolaWaitsForCalcola) {
  TLogEntryDlg dlg(catalogue, {}, Logged("X"), false, EncodeDate(2026, 3, 12), 1, dialogs);
  dlg.CalcolaBtnClick();
  auto* ok = dlg.findChild<QPushButton*>(QStringLiteral("OKBtn"));
  ASSERT_TRUE(ok->isEnabled());
  // Typed, and OK pressed without leaving the edit first.
  dlg.findChild<QLineEdit*>(QStringLiteral("ET"))->setText(QStringLiteral("11.00.00"));
  dlg.OKBtnClick();
  EXPECT_NE(dlg.result(), QDialog::Accepted);
  EXPECT_FALSE(ok->isEnabled());
  EXPECT_TRUE(dlg.findChild<QLabel*>(QStringLiteral("CostoPn"))->text().isEmpty());
  dlg.CalcolaBtnClick();
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.Model().Result().Duration(), "01.00.00");
}

TEST_F(LogFixture, Screenshot) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  test::WriteBytes(settings.logFileName, test::ShotLog(40));
  settings.currency = Currency::Euro;  // the pictures show today's money
  auto w = Open();
  w->resize(1100, 560);
  w->show();
  w->HeaderTopSectionClick(7);  // by "Costo"
  w->SelectRows({2, 3, 4, 7});
  QApplication::processEvents();
  w->grab().save(QString::fromUtf8(out) + QStringLiteral("/log-window.png"));
}

// The manual entry of a new call after "Calcola", priced by a tariff the program ships.
TEST(LogEntryDialog, Screenshot) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  test::ScriptedDialogs dialogs;
  TariffCatalogue catalogue;
  ScanTariffFiles(catalogue, ORVA_SOURCE_DIR "/data/tariffe/");
  const int tariff = catalogue.IndexOfAbbreviation("NET");
  ASSERT_GE(tariff, 0);
  TLogEntryDlg dlg(catalogue, {"Modem: Libero", "Modem: Tiscali", "A voce: Rossi (06555123)"},
                   LogModel::NewManualRecord(), true, EncodeDate(1999, 10, 15), 1, dialogs, nullptr,
                   Currency::Euro);
  dlg.findChild<QLineEdit*>(QStringLiteral("ST"))->setText(QStringLiteral("21.03.05"));
  dlg.findChild<QLineEdit*>(QStringLiteral("ET"))->setText(QStringLiteral("21.45.40"));
  dlg.findChild<QComboBox*>(QStringLiteral("TariffeCB"))->setCurrentIndex(tariff);
  dlg.findChild<QComboBox*>(QStringLiteral("ServCB"))->setCurrentIndex(1);
  dlg.CalcolaBtnClick();
  ASSERT_TRUE(dlg.findChild<QPushButton*>(QStringLiteral("OKBtn"))->isEnabled());
  dlg.show();
  QApplication::processEvents();
  dlg.grab().save(QString::fromUtf8(out) + QStringLiteral("/log-entry.png"));
}

}  // namespace
}  // namespace orva
