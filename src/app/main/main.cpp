// orva32: the desktop meter.
#include <QApplication>
#include <QLocale>

#include "app/ui/Glyphs.h"
#include "app/ui/MainForm.h"
#include "core/HowUtils.h"
#include "platform/DataDir.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ORVA32"));
  QApplication::setDesktopFileName(QStringLiteral("orva32"));
  QApplication::setWindowIcon(orva::AppIcon());
  QApplication::setQuitOnLastWindowClosed(false);
  QLocale::setDefault(QLocale::c());

  auto dir = orva::ResolveDataDirectory("");
  if (dir) {
    orva::SetProgramDirectory(*dir);
    orva::SeedTariffs(*dir);
  }
  orva::TMainForm form;
  form.FormCreate();
  return app.exec();
}
