// Qt's own Italian texts for its standard dialogs (file choosers, questions, colour and font
// choosers, "Annulla"), so they speak the program's language.
#pragma once

class QCoreApplication;

namespace orva {

// Loads qtbase_it from Qt's translations folder; false when it is not installed (the dialogs
// then stay in English).
bool InstallQtTranslations(QCoreApplication& app);

// The interface speaks Italian whatever the desktop's language: QLocale's default becomes
// it_IT (what Qt formats for the interface: calendars, the file choosers' sizes and dates), Qt's
// own texts come from its Italian translation. Stored files and the logic's texts never go
// through QLocale, so their fixed formats do not change with it.
void UseItalianInterface(QCoreApplication& app);

}  // namespace orva
