// Qt's own Italian texts for its standard dialogs (file choosers, questions, colour and font
// choosers, "Annulla"), so they speak the program's language.
#pragma once

class QCoreApplication;

namespace orva {

// Loads qtbase_it from Qt's translations folder; false when it is not installed (the dialogs
// then stay in English).
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace orva
