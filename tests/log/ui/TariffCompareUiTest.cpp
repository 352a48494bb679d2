// "Confronta tariffe" through the log window: the small log whose figures were worked out by
// hand under three shipped tariffs, compared by the keyboard route; the table, the CSV file
// and the printed page must carry those figures exactly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "ScriptedDialogs.h"
#include "ShotLog.h"
#include "TempDir.h"
#include "log/ui/Logform.h"
#include "log/ui/TariffCompareDlg.h"
#include "log/ui/TariffComparePage.h"
#include "platform/SafeFile.h"
#include "tariff/Tariffe.h"

namespace orva {
namespace {

// Two data calls and a voice call from the 13th to the 16th, one data call of unknown length
// and, outside the filter's days, a data call of the 20th.
constexpr const char* kLog =
    "13/10/1999\t10.00.00\t10.10.00\t00.10.00\tURB\t3\t889\t0\t0\t0\tModem: Tiscali\t\r\n"
    "15/10/1999\t23.58.00\t00.02.00\t\tURB\t1\t?\t0\t0\t0\tModem: Tiscali\t\r\n"
    "16/10/1999\t09.00.00\t09.05.00\t00.05.00\tURB\t2\t500\t0\t0\t0\tA voce: Mario (0612345)\t\r\n"
    "16/10/1999\t11.00.00\t\t?\tURB\t?\t?\t0\t0\t0\tModem: Tiscali\t\r\n"
    "20/10/1999\t10.00.00\t10.10.00\t00.10.00\tURB\t3\t508\t0\t0\t0\tModem: Tiscali\t\r\n";

using Figures = std::vector<std::vector<std::string>>;

struct CompareFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  Settings settings;
  TariffCatalogue catalogue;
  std::unique_ptr<TLog> window;

  void SetUp() override {
    settings.logFileName = dir.File("ORVA.LOG");
    settings.decimals = 2;
    test::WriteBytes(settings.logFileName, kLog);
    const std::string tariffs = dir.File("tariffe/");
    std::filesystem::create_directories(tariffs);
    for (const char* f : {"URBANA.TRF", "SECONDO.TRF", "INTERNET.TRF"})
      test::WriteBytes(tariffs + f,
                       test::ReadBytes(std::string(ORVA_SOURCE_DIR) + "/data/tariffe/" + f));
    ScanTariffFiles(catalogue, tariffs);
  }

  TLog& Open() {
    LogWindowHooks hooks;
    hooks.tariffCatalogue = [this] { return catalogue; };
    hooks.choosePdfFile = [this] { return std::optional<std::string>(dir.File("confronto.pdf")); };
    window = std::make_unique<TLog>(settings, dialogs, dir.path(), hooks);
    window->show();
    window->activateWindow();
    WaitFor([&] { return QApplication::activeWindow() == window.get(); });
    return *window;
  }

  static bool WaitFor(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  }

  // Ctrl+T from the list, as a user reaches the command without the mouse.
  TTariffCompareDlg* CompareByKeyboard(TLog& w) {
    QTest::keyClick(w.List(), Qt::Key_T, Qt::ControlModifier);
    TTariffCompareDlg* dlg = w.CompareDialog();
    if (!dlg) return nullptr;
    // A bound only against a hang: a checked (sanitizer) build prices 100,000 calls slowly.
    WaitFor([dlg] { return dlg->Comparison() != nullptr; }, 180000);
    WaitFor([dlg] { return QApplication::activeWindow() == dlg; });
    return dlg;
  }

  static Figures Table(TTariffCompareDlg& dlg, int tab) {
    auto* tabs = dlg.findChild<QTabWidget*>(QStringLiteral("KindTabs"));
    auto* page = qobject_cast<TariffComparePage*>(tabs->widget(tab));
    Figures rows;
    if (!page) return rows;
    QTableWidget* t = page->Table();
    for (int r = 0; r < t->rowCount(); ++r) {
      rows.emplace_back();
      for (int c = 0; c < t->columnCount(); ++c)
        rows.back().push_back(t->item(r, c)->text().toStdString());
    }
    return rows;
  }
};

TEST_F(CompareFixture, FilteredRowsArePricedUnderEveryTariffCheapestFirstByTheKeyboard) {
  TLog& w = Open();
  LogFilter f;
  f.byDate = true;
  f.from = EncodeDate(1999, 10, 13);
  f.to = EncodeDate(1999, 10, 16);
  w.ApplyFilter(f);
  TTariffCompareDlg* dlg = CompareByKeyboard(w);
  ASSERT_NE(dlg, nullptr);
  ASSERT_NE(dlg->Comparison(), nullptr);
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("ORVA32 - Confronto tariffe"));
  EXPECT_EQ(dlg->findChild<QDateEdit*>(QStringLiteral("FromEd"))->date(), QDate(1999, 10, 13));
  EXPECT_EQ(dlg->findChild<QDateEdit*>(QStringLiteral("ToEd"))->date(), QDate(1999, 10, 16));
  auto* tabs = dlg->findChild<QTabWidget*>(QStringLiteral("KindTabs"));
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("Connessioni dati"));
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("Chiamate a voce"));
  EXPECT_EQ(Table(*dlg, 0),
            (Figures{{"Pagato (dal registro)", "L. 889,00", ""},
                     {"Urbana ore piene e ridotte", "L. 762,00", "L. 127,00"},
                     {"Internet a tempo con sconto dopo 10 minuti", "L. 1.035,00", "L. -146,00"},
                     {"Tariffazione al secondo", "L. 2.458,75", "L. -1.569,75"}}));
  EXPECT_EQ(Table(*dlg, 1),
            (Figures{{"Pagato (dal registro)", "L. 500,00", ""},
                     {"Urbana ore piene e ridotte", "L. 381,00", "L. 119,00"},
                     {"Internet a tempo con sconto dopo 10 minuti", "L. 454,00", "L. 46,00"},
                     {"Tariffazione al secondo", "L. 600,00", "L. -100,00"}}));
  QWidget* data = tabs->widget(0);
  EXPECT_EQ(data->findChild<QLabel*>(QStringLiteral("CountsLb"))->text(),
            QStringLiteral("Chiamate confrontate: 2; senza costo nel registro: 1 "
                           "(contate come pagate 0)"));
  auto* unknown = data->findChild<QListWidget*>(QStringLiteral("UnknownList"));
  ASSERT_NE(unknown, nullptr);
  ASSERT_EQ(unknown->count(), 1);
  EXPECT_EQ(unknown->item(0)->text(), QStringLiteral("16/10/1999 11.00.00 Modem: Tiscali"));
  EXPECT_EQ(tabs->widget(1)->findChild<QListWidget*>(QStringLiteral("UnknownList")), nullptr);

  // The same figures in the CSV file, in the currency its header names.
  dialogs.NextFile(dir.File("confronto.CSV"));
  QTest::keyClick(dlg, Qt::Key_E, Qt::AltModifier);
  // A mnemonic clicks its button a moment later, as a mouse click would show.
  ASSERT_TRUE(WaitFor([&] { return FileExists(dir.File("confronto.CSV")); }));
  const std::string csv = test::ReadBytes(dir.File("confronto.CSV"));
  EXPECT_EQ(csv,
            "Confronto tariffe;Dal;13/10/1999;Al;16/10/1999\r\n"
            "Tipo;Tariffa;Costo senza IVA (Lire);Risparmio rispetto al pagato (Lire);Nota\r\n"
            "Connessioni dati;Pagato (dal registro);889,00;;\r\n"
            "Connessioni dati;Urbana ore piene e ridotte;762,00;127,00;\r\n"
            "Connessioni dati;Internet a tempo con sconto dopo 10 minuti;1.035,00;-146,00;\r\n"
            "Connessioni dati;Tariffazione al secondo;2.458,75;-1.569,75;\r\n"
            "Connessioni dati;Chiamate confrontate;2;;\r\n"
            "Connessioni dati;Senza costo nel registro;1;;\r\n"
            "Connessioni dati;Durata sconosciuta, esclusa;;;16/10/1999 11.00.00 Modem: Tiscali\r\n"
            "Chiamate a voce;Pagato (dal registro);500,00;;\r\n"
            "Chiamate a voce;Urbana ore piene e ridotte;381,00;119,00;\r\n"
            "Chiamate a voce;Internet a tempo con sconto dopo 10 minuti;454,00;46,00;\r\n"
            "Chiamate a voce;Tariffazione al secondo;600,00;-100,00;\r\n"
            "Chiamate a voce;Chiamate confrontate;1;;\r\n"
            "Chiamate a voce;Senza costo nel registro;0;;\r\n");

  // Escape closes the dialog.
  QTest::keyClick(dlg, Qt::Key_Escape);
  EXPECT_TRUE(WaitFor([&] { return w.CompareDialog() == nullptr; }));
}

TEST_F(CompareFixture, PrintedComparisonCarriesTheFiguresAndTheCallLeftOut) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  TLog& w = Open();
  TTariffCompareDlg* dlg = CompareByKeyboard(w);
  ASSERT_NE(dlg, nullptr);
  dlg->SetPeriod(EncodeDate(1999, 10, 13), EncodeDate(1999, 10, 16));
  ASSERT_TRUE(WaitFor([dlg] { return dlg->Comparison() != nullptr; }));
  QTest::keyClick(dlg, Qt::Key_S, Qt::AltModifier);
  ASSERT_TRUE(WaitFor([&] { return FileExists(dir.File("confronto.pdf")); }));
  QProcess p;
  p.start(QStringLiteral("pdftotext"),
          {QStringLiteral("-layout"), QString::fromStdString(dir.File("confronto.pdf")),
           QStringLiteral("-")});
  ASSERT_TRUE(p.waitForFinished(20000));
  const std::string text = p.readAllStandardOutput().toStdString();
  for (const char* expected : {"ORVA32 - Confronto", "Chiamate dal 13/10/1999 al 16/10/1999",
                               "Connessioni dati", "Chiamate a voce", "Pagato (dal registro)",
                               "L. 889,00", "L. 762,00", "L. 127,00", "L. 2.458,75", "L. -1.569,75",
                               "L. 381,00", "L. 600,00", "16/10/1999 11.00.00 Modem: Tiscali"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  EXPECT_EQ(text.find("1.397"), std::string::npos) << "the 20th's call counted";
}

// Without a filter every row counts; narrowing "Dal" recomputes without the days left out.
TEST_F(CompareFixture, ChangingTheDaysRecomputesAndReversedDaysShowNoFigures) {
  TLog& w = Open();
  TTariffCompareDlg* dlg = CompareByKeyboard(w);
  ASSERT_NE(dlg, nullptr);
  auto* to = dlg->findChild<QDateEdit*>(QStringLiteral("ToEd"));
  auto* from = dlg->findChild<QDateEdit*>(QStringLiteral("FromEd"));
  EXPECT_EQ(to->date(), QDate(1999, 10, 20));
  EXPECT_EQ(Table(*dlg, 0)[0][1], "L. 1.397,00");
  from->setDate(QDate(1999, 10, 17));
  ASSERT_TRUE(WaitFor([dlg] { return dlg->Comparison() != nullptr; }));
  ASSERT_EQ(dlg->Comparison()->groups.size(), 1u);
  EXPECT_EQ(Table(*dlg, 0)[0][1], "L. 508,00");
  from->setDate(QDate(1999, 10, 21));
  QApplication::processEvents();
  EXPECT_EQ(dlg->Comparison(), nullptr);
  EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("StatusLb"))->text(),
            QStringLiteral("La data \"Al\" precede la data \"Dal\""));
  EXPECT_FALSE(dlg->findChild<QPushButton*>(QStringLiteral("CsvBtn"))->isEnabled());
}

// A long log is priced off the window's thread; closing the dialog, or the whole window,
// while the figures are being computed neither crashes nor waits for them.
TEST_F(CompareFixture, ClosingWhileALongLogIsBeingComparedStopsTheWork) {
  std::string log;
  for (int i = 0; i < 100000; ++i)
    log += "13/10/1999\t10.00.00\t10.10.00\t00.10.00\tURB\t3\t889\t0\t0\t0\tModem: Tiscali\t\r\n";
  test::WriteBytes(settings.logFileName, log);
  TLog& w = Open();
  ASSERT_EQ(w.Model().Count(), 100000u);
  QElapsedTimer t;
  t.start();
  TTariffCompareDlg* dlg = CompareByKeyboard(w);
  ASSERT_NE(dlg, nullptr);
  ASSERT_NE(dlg->Comparison(), nullptr);
  const qint64 computed = t.elapsed();
  std::cout << "100000 calls under 3 tariffs: " << computed << " ms\n";
  EXPECT_EQ(dlg->Comparison()->groups.at(0).calls, 100000);
  t.restart();
  w.CompareTariffsClick();
  const qint64 opened = t.elapsed();
  ASSERT_NE(w.CompareDialog(), nullptr);
  EXPECT_EQ(w.CompareDialog()->findChild<QLabel*>(QStringLiteral("StatusLb"))->text(),
            QStringLiteral("Calcolo in corso…"));
  EXPECT_LT(opened, computed / 2) << "the window waited for the figures";
  t.restart();
  window.reset();
  const qint64 closed = t.elapsed();
  std::cout << "opened in " << opened << " ms, closed while computing in " << closed << " ms\n";
  EXPECT_LT(closed, computed / 2) << "closing waited for the figures";
}

// A month of evening calls under every shipped tariff, in euro.
TEST_F(CompareFixture, Screenshot) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  test::WriteBytes(settings.logFileName, test::ShotLog(40));
  settings.currency = Currency::Euro;
  catalogue = {};
  ScanTariffFiles(catalogue, std::string(ORVA_SOURCE_DIR) + "/data/tariffe/");
  TLog& w = Open();
  TTariffCompareDlg* dlg = CompareByKeyboard(w);
  ASSERT_NE(dlg, nullptr);
  dlg->resize(760, 640);
  QApplication::processEvents();
  dlg->grab().save(QString::fromUtf8(out) + QStringLiteral("/log-compare.png"));
}

}  // namespace
}  // namespace orva
