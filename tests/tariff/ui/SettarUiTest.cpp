#include "tariff/ui/Settar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <cstdlib>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "platform/IniFile.h"

namespace orva {
namespace {

struct SetTarFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  Settings settings;
  static void Trigger(QWidget* w, const char* name) {
    w->findChild<QAction*>(QString::fromUtf8(name))->trigger();
  }
  static QTableWidget* Grid(QWidget* w) {
    return w->findChild<QTableWidget*>(QStringLiteral("TarGrid"));
  }
  static void SetCell(QTableWidget* g, int row, int column, const char* text) {
    g->item(row, column)->setText(QString::fromUtf8(text));
  }
  std::string LastMessage() const { return dialogs.shown.empty() ? "" : dialogs.shown.back().text; }
};

TEST_F(SetTarFixture, NewTariffAndTheBandRules) {
  TSetTar w(dialogs, settings, dir.path());
  EXPECT_EQ(w.windowTitle(), QStringLiteral("ORVA32 - Impostazione tariffe - NONAME.TRF"));
  auto* grid = Grid(&w);
  ASSERT_EQ(grid->rowCount(), 1);
  EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("00.00"));
  Trigger(&w, "TestBtn");
  EXPECT_TRUE(dialogs.shown.empty());  // a lone 00.00-00.00 band: no message
  Trigger(&w, "TestAllBtn");
  EXPECT_EQ(LastMessage(), "Impostazione delle tariffe non corretta o incompleta\r");

  SetCell(grid, 0, 1, "07.59");
  SetCell(grid, 0, 2, "60");
  Trigger(&w, "AddBtn");
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("08.00"));
  EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("07.59"));
  Trigger(&w, "AddBtn");
  EXPECT_EQ(LastMessage(), "La fascia oraria è errata\r");
  SetCell(grid, 1, 0, "08.01");
  SetCell(grid, 1, 1, "23.59");
  SetCell(grid, 1, 2, "60");
  Trigger(&w, "TestBtn");
  EXPECT_EQ(LastMessage(),
            "Differenza tra inizio periodo e fine periodo precedente > di 1 minuto !\r");
  SetCell(grid, 1, 0, "07.59");
  Trigger(&w, "TestBtn");
  EXPECT_EQ(LastMessage(),
            "Inizio periodo antecedente o uguale a fine periodo campo precedente !\r");
  SetCell(grid, 1, 0, "08.00");
  Trigger(&w, "AddBtn");
  EXPECT_EQ(LastMessage(), "Impossibile aggiungere fascia oltre a quelle già esistenti\r");
  Trigger(&w, "DelBtn");
  EXPECT_EQ(grid->rowCount(), 1);
  Trigger(&w, "DelBtn");  // one band: nothing
  EXPECT_EQ(grid->rowCount(), 1);
}

TEST_F(SetTarFixture, VatRefusedAndASavedFileLoadsBackIntoTheGrids) {
  TSetTar w(dialogs, settings, dir.path());
  auto* grid = Grid(&w);
  SetCell(grid, 0, 1, "23.59");
  SetCell(grid, 0, 2, "60");
  SetCell(grid, 0, 3, "127");
  auto* classes = w.findChild<QComboBox*>(QStringLiteral("TarCB0"));
  for (int cls = 1; cls < 3; ++cls) {
    classes->setCurrentIndex(cls);
    emit classes->activated(cls);
    SetCell(grid, 0, 1, "23.59");
    SetCell(grid, 0, 2, "120");
    SetCell(grid, 0, 3, "127");
  }
  auto* vat = w.findChild<QLineEdit*>(QStringLiteral("IVAED"));
  vat->setText(QStringLiteral("-1"));
  emit vat->textEdited(vat->text());
  Trigger(&w, "TestAllBtn");
  EXPECT_EQ(LastMessage(), "L'aliquota IVA è errata !\r");
  vat->setText(QStringLiteral("20"));
  emit vat->textEdited(vat->text());
  Trigger(&w, "TestAllBtn");
  EXPECT_EQ(LastMessage(), "Tutte le fasce sono impostate correttamente\r");

  auto* des = w.findChild<QLineEdit*>(QStringLiteral("DESedit"));
  des->setText(QStringLiteral("Prova"));
  emit des->textEdited(des->text());
  auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  tabs->setCurrentIndex(1);
  w.findChild<QCheckBox*>(QStringLiteral("ScoCB"))->setChecked(true);
  auto* delay = w.findChild<QLineEdit*>(QStringLiteral("DelayED"));
  delay->setText(QStringLiteral("300"));
  emit delay->textEdited(delay->text());
  auto* unit = w.findChild<QComboBox*>(QStringLiteral("DelayCB"));
  unit->setCurrentIndex(1);
  emit unit->activated(1);
  auto* sco = w.findChild<QTableWidget*>(QStringLiteral("ScoGrid"));
  auto* scoClasses = w.findChild<QComboBox*>(QStringLiteral("TarCB1"));
  for (int cls = 0; cls < 3; ++cls) {
    scoClasses->setCurrentIndex(cls);
    emit scoClasses->activated(cls);
    SetCell(sco, 0, 1, "23.59");
    SetCell(sco, 0, 2, "90");
    SetCell(sco, 0, 3, "100");
  }
  const std::string path = dir.File("PROVA.TRF");
  dialogs.NextFile(path);
  Trigger(&w, "SaveBtn");
  const TIniFile saved(path);
  EXPECT_EQ(saved.ReadInteger("Sconto", "Attivo a", -9), 1);
  EXPECT_EQ(saved.ReadInteger("Sconto", "Dopo", -9), 300);
  EXPECT_EQ(saved.ReadString("Tariffa prefestiva", "1", ""), "00.00 23.59 120 127");
  EXPECT_FALSE(w.Model().Modified());

  TSetTar again(dialogs, settings, dir.path());
  dialogs.NextFile(path);
  Trigger(&again, "LoadBtn");
  EXPECT_EQ(again.windowTitle(), QStringLiteral("ORVA32 - Impostazione tariffe - PROVA.TRF"));
  EXPECT_EQ(Grid(&again)->item(0, 2)->text(), QStringLiteral("60"));
  EXPECT_TRUE(again.findChild<QCheckBox*>(QStringLiteral("ScoCB"))->isChecked());
  EXPECT_EQ(again.findChild<QLineEdit*>(QStringLiteral("DelayED"))->text(), QStringLiteral("300"));

  if (const char* out = std::getenv("ORVA_SCREENSHOTS"); out && *out) {
    again.show();
    again.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    QApplication::processEvents();
    again.grab().save(QString::fromUtf8(out) + QStringLiteral("/tariff-editor-discount.png"));
  }
}

}  // namespace
}  // namespace orva
