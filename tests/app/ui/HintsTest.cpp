// The hint settings as the program applies them, and Qt's own dialogs in Italian.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QStyle>
#include <QToolTip>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestProgram.h"
#include "app/ui/Hints.h"
#include "app/ui/Program.h"
#include "app/ui/Translations.h"
#include "core/HowUtils.h"
#include "platform/IniFile.h"

namespace orva {
namespace {

TEST(Hints, SettingsAreAppliedAtStartAndTheStartUpPauseAndColourFollow) {
  test::TempDir dir;
  test::WriteBytes(dir.File("ORVA32.INI"),
                   "[Impostazioni generali]\r\nMostra wizard=0\r\n[Messaggi aiuto]\r\n"
                   "Mostra suggerimenti=0\r\nAttesa suggerimenti=1200\r\n"
                   "Colore suggerimenti=255\r\n[Setup]\r\nSuggerimenti=0\r\n");
  test::ScriptedDialogs dialogs;
  ProgramOptions o = test::QuietProgram(dir.path(), dialogs);
  {
    TOrvaProgram program(o);
    program.Start();
    THints& hints = program.Hints();
    EXPECT_FALSE(hints.Shown());
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1200);
    EXPECT_EQ(hints.HidePause(), 30000);
    // A hint colour of the user's own (red) is kept through the start-up.
    EXPECT_EQ(hints.Colour(), 0x0000FFu);
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(Qt::red));
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipText), QColor(Qt::black));

    // With the hints off, a widget's hint does not come up.
    QLabel label(QStringLiteral("x"));
    label.setToolTip(QStringLiteral("Un click per cambiare voce"));
    label.show();
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), label.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&label, &help);
    EXPECT_FALSE(QToolTip::isVisible());
    // Switched on (the options dialog's OK does this), it does.
    hints.SetShown(true);
    QApplication::sendEvent(&label, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Un click per cambiare voce"));
    QToolTip::hideText();
    program.WMQueryEndSession();
  }
  TIniFile ini(dir.File("ORVA32.INI"));
  EXPECT_EQ(ini.ReadString("Messaggi aiuto", "Colore suggerimenti", ""), "255");

  // Without a colour of the user's own the start-up turns the hints white, and the settings
  // keep that colour.
  ini.DeleteKey("Messaggi aiuto", "Colore suggerimenti");
  ASSERT_TRUE(ini.UpdateFile().ok);
  {
    TOrvaProgram program(o);
    program.Start();
    EXPECT_EQ(program.Hints().Colour(), 0xFFFFFFu);
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(Qt::white));
    program.WMQueryEndSession();
  }
  EXPECT_EQ(
      TIniFile(dir.File("ORVA32.INI")).ReadString("Messaggi aiuto", "Colore suggerimenti", ""),
      "16777215");
}

TEST(QtTranslations, StandardDialogTextsAreItalian) {
  ASSERT_TRUE(InstallQtTranslations(*QCoreApplication::instance()))
      << "qt6-translations-l10n missing";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
}

}  // namespace
}  // namespace orva
