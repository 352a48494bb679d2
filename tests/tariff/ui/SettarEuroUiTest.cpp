// The tariff editor as a euro user types prices: the Italian decimal comma is a decimal point
// in the saved file, and a price that is no number is refused with a message, never charged.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "platform/IniFile.h"
#include "tariff/Tariffe.h"
#include "tariff/ui/Settar.h"

namespace orva {
namespace {

void Trigger(QWidget* w, const char* name) {
  w->findChild<QAction*>(QString::fromUtf8(name))->trigger();
}

void Type(QLineEdit* edit, const char* text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QString::fromUtf8(text));
}

// A new tariff in a euro program: 60-second ticks all day in the three day classes, the tick
// price typed in the "Costo scatto in euro" field. "0,0,5" is refused with the editor's
// message and the cell pointed at; "0,05" and "0.10" are saved as "0.05" and "0.10", and the
// tariff then charges 96.8135 and 193.627 lire a tick; the fixed charge "0,50" euro is
// 968 lire at the answer.
TEST(TariffEditorInEuro, DecimalCommaIsAcceptedAndANonNumberRefused) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  Settings settings;
  settings.currency = Currency::Euro;
  TSetTar w(dialogs, settings, dir.path());
  auto* grid = w.findChild<QTableWidget*>(QStringLiteral("TarGrid"));
  auto* classes = w.findChild<QComboBox*>(QStringLiteral("TarCB0"));
  auto* end = w.findChild<QLineEdit*>(QStringLiteral("TimeEdit2"));
  auto* seconds = w.findChild<QLineEdit*>(QStringLiteral("TimeEd"));
  auto* cost = w.findChild<QLineEdit*>(QStringLiteral("ScattoED"));
  const char* prices[3] = {"0,0,5", "0.10", "0,05"};
  for (int cls = 0; cls < 3; ++cls) {
    classes->setCurrentIndex(cls);
    emit classes->activated(cls);
    Type(end, "2359");
    Type(seconds, "60");
    Type(cost, prices[cls]);
  }
  auto* fixed = w.findChild<QLineEdit*>(QStringLiteral("StCostED"));
  Type(fixed, "0,50");
  auto* unit = w.findChild<QComboBox*>(QStringLiteral("StCostCB"));
  unit->setCurrentIndex(1);
  emit unit->activated(1);
  auto* description = w.findChild<QLineEdit*>(QStringLiteral("DESedit"));
  Type(description, "Euro");

  Trigger(&w, "TestAllBtn");
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, "Costo scatto errato o negativo !\r");
  EXPECT_EQ(dialogs.shown[1].text, "Impostazione delle tariffe non corretta o incompleta\r");
  EXPECT_EQ(classes->currentIndex(), 0);
  EXPECT_EQ(grid->currentColumn(), 3);
  Type(cost, "0,05");
  Trigger(&w, "TestAllBtn");
  EXPECT_EQ(dialogs.shown.back().text, "Tutte le fasce sono impostate correttamente\r");

  const std::string path = dir.File("EURO.TRF");
  dialogs.NextFile(path);
  Trigger(&w, "SaveBtn");
  const TIniFile saved(path);
  EXPECT_EQ(saved.ReadString("Dati generali", "Valuta", ""), "Euro");
  EXPECT_EQ(saved.ReadString("Dati generali", "Addebito fisso", ""), "0.50");
  EXPECT_EQ(saved.ReadString("Tariffa feriale", "1", ""), "00.00 23.59 60 0.05");
  EXPECT_EQ(saved.ReadString("Tariffa prefestiva", "1", ""), "00.00 23.59 60 0.10");
  TariffResult r;
  ASSERT_TRUE(
      EvaluateTariffFile(path, 0, 0, EncodeDate(2024, 4, 22) + EncodeTime(10, 0, 0), r, dialogs));
  EXPECT_DOUBLE_EQ(r.values.tickCost, 96.8135);
  EXPECT_EQ(r.values.fixedCharge, 968);

  if (const char* out = std::getenv("ORVA_SCREENSHOTS"); out && *out) {
    w.show();
    QApplication::processEvents();
    w.grab().save(QString::fromUtf8(out) + QStringLiteral("/tariff-editor-ordinary.png"));
  }
}

}  // namespace
}  // namespace orva
