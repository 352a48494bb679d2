// The service choice at the end of a call: the known service names, an edit field and
// "Associa" / "Ignora".
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "log/Servform.h"
#include "platform/Dialogs.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace orva {

class TSelServForm final : public QDialog {
  Q_OBJECT
 public:
  // The window over the choice's list and edit; the choice outlives the window.
  explicit TSelServForm(ServiceChoice& choice, QWidget* parent = nullptr);

  // The call's service text, shown for editing.
  void SetServiceText(const std::string& text);
  // The text taken by "Associa" (empty until then).
  std::string ChosenText() const { return m_choice.Chosen(); }
  // Called when "Associa" could not save a new name into the service file.
  std::function<void(const std::string& error)> OnSaveFailed;

  void TempServLBClick(QListWidgetItem* item);
  void AssociaBtnClick();

 private:
  ServiceChoice& m_choice;
  QListWidget* m_list;
  QLineEdit* m_edit;
};

// Shows the service choice modally over the service file; the confirmed text, or none when
// left with "Ignora" (or closed). A failed save of a new name is shown through `dialogs`.
std::optional<std::string> ChooseService(const std::string& serviceText,
                                         const std::string& serviceFilePath, Dialogs& dialogs,
                                         QWidget* parent = nullptr);

}  // namespace orva
