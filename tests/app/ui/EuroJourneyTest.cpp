// A euro user's log, through the whole program: a call entered by hand shows its cost in euro
// and goes into the log in lire, and the CSV export gives euro a spreadsheet reads.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/ui/Program.h"
#include "core/Currency.h"
#include "log/ui/Logform.h"
#include "platform/DataDir.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"

namespace orva {
namespace {

template <class T>
T* Shown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
  return nullptr;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (auto end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", from)) {
    lines.push_back(text.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

// A ";" line as a spreadsheet splits it (no field here is quoted).
std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t from = 0;
  for (auto end = line.find(';'); end != std::string::npos; end = line.find(';', from)) {
    cells.push_back(line.substr(from, end - from));
    from = end + 1;
  }
  cells.push_back(line.substr(from));
  return cells;
}

TEST(EuroJourney, ManualEntryShowsEuroKeepsLireAndTheCsvIsInEuro) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  ASSERT_TRUE(SeedTariffs(dir.path()));
  test::WriteBytes(dir.File("ORVA32.INI"),
                   "[Impostazioni generali]\r\nMostra wizard=0\r\nValuta=Euro\r\n[Setup]\r\n"
                   "Suggerimenti=0\r\n[TCPIP]\r\nGet network time=0\r\nTCP monitoring=0\r\n");
  test::WriteBytes(dir.File("ORVA.LOG"),
                   "15/10/99\t21.03.05\t21.15.40\t00.12.35\tNET\t7\t889\t28800\t1536\t1034\t"
                   "Modem: Libero\r\n");
  TOrvaProgram program(test::QuietProgram(dir.path(), dialogs));
  program.Start();
  QApplication::processEvents();
  program.Form().findChild<QAction*>(QStringLiteral("ElencoConnessioni1"))->trigger();
  TLog* log = Shown<TLog>();
  ASSERT_NE(log, nullptr);
  ASSERT_EQ(log->Model().Count(), 1u);

  // "Nuova (Inserimento manuale)": an evening call of ten minutes, priced by "Calcola".
  QString shownCost;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
    QWidget* dlg = QApplication::activeModalWidget();
    if (!dlg || !dlg->findChild<QLabel*>(QStringLiteral("CostoPn"))) return;
    poll.stop();
    dlg->findChild<QLineEdit*>(QStringLiteral("ST"))->setText(QStringLiteral("21.00.00"));
    dlg->findChild<QLineEdit*>(QStringLiteral("ET"))->setText(QStringLiteral("21.10.00"));
    dlg->findChild<QComboBox*>(QStringLiteral("TariffeCB"))->setCurrentIndex(0);
    dlg->findChild<QPushButton*>(QStringLiteral("CalcolaBtn"))->click();
    shownCost = dlg->findChild<QLabel*>(QStringLiteral("CostoPn"))->text();
    dlg->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
  });
  poll.start(10);
  log->findChild<QAction*>(QStringLiteral("NewEntryItem"))->trigger();
  ASSERT_EQ(log->Model().Count(), 2u) << dialogs.shown.size();
  const TConnObj* entered = nullptr;
  for (const TConnObj& r : log->Model().Records())
    if (r.Start() == "21.00.00") entered = &r;
  ASSERT_NE(entered, nullptr);
  // The record holds lire, a number with "." if any; the dialog showed them in euro.
  const auto lire = ParseDecimal(entered->Cost());
  ASSERT_TRUE(lire.has_value()) << entered->Cost();
  EXPECT_GT(*lire, 0);
  EXPECT_EQ(shownCost.toStdString(), FormatAmount(*lire, Currency::Euro));
  EXPECT_TRUE(shownCost.startsWith(QStringLiteral("€ "))) << shownCost.toStdString();

  // "Esporta (file CSV)": a header naming the euro, ";" after each field, decimal commas.
  dialogs.NextFile(dir.File("costi.csv"));
  log->findChild<QAction*>(QStringLiteral("ExportCsv"))->trigger();
  const std::vector<std::string> lines =
      Lines(Cp1252ToUtf8(test::ReadBytes(dir.File("costi.CSV"))));
  ASSERT_EQ(lines.size(), 3u);
  const auto header = Cells(lines[0]);
  ASSERT_EQ(header.size(), 12u) << lines[0];
  EXPECT_EQ(header[6], "Costo (€)");
  std::vector<std::string> costs;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto cells = Cells(lines[i]);
    ASSERT_EQ(cells.size(), 12u) << lines[i];
    costs.push_back(cells[6]);
  }
  std::sort(costs.begin(), costs.end());
  std::vector<std::string> expected = {"0,46", FormatAmountNumber(*lire, Currency::Euro)};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(costs, expected);
  program.WMQueryEndSession();
}

}  // namespace
}  // namespace orva
