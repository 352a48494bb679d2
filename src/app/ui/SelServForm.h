// The service choice at the end of a call: the known service names, an edit field and
// "Associa" / "Ignora".
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace orva {

class TSelServForm final : public QDialog {
  Q_OBJECT
 public:
  // services: the names of the service file, in its order.
  explicit TSelServForm(const std::vector<std::string>& services, QWidget* parent = nullptr);

  // The call's service text, shown for editing.
  void SetServiceText(const std::string& text);
  // The text taken by "Associa" (empty until then).
  std::string ChosenText() const { return m_chosen; }

  // Called by "Associa" with the text to add to the service file, when it is a new name.
  std::function<void(const std::string&)> OnAddService;

  void TempServLBClick(QListWidgetItem* item);
  void AssociaBtnClick();

 private:
  QListWidget* m_list;
  QLineEdit* m_edit;
  std::string m_chosen;
};

// Shows the service choice modally; the confirmed text, or "?" when left with "Ignora".
std::string ChooseService(const std::string& serviceText, const std::vector<std::string>& services,
                          const std::function<void(const std::string&)>& addService,
                          QWidget* parent = nullptr);

}  // namespace orva
