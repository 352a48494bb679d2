// The size and date columns of Qt's own file choosers in Italian. Qt writes them in the
// desktop's language (the system locale, not the program's), so a desktop set to English or
// "C" showed "83 bytes" and "9 Dec" inside Italian windows.
#pragma once

class QCoreApplication;
class QObject;

namespace orva {

// From now on every Qt file chooser the program opens shows its sizes and dates in the
// program's own locale (QLocale's default). Returns the watcher, owned by `app`.
QObject* InstallItalianFileColumns(QCoreApplication& app);

}  // namespace orva
