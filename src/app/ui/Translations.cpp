// Qt's Italian translations and the interface's Italian locale.
#include "app/ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/ui/FileDialogColumns.h"

namespace orva {

bool InstallQtTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_it"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

void UseItalianInterface(QCoreApplication& app) {
  QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
  InstallQtTranslations(app);
  InstallItalianFileColumns(app);
}

}  // namespace orva
