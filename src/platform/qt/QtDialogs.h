// Message boxes, file choosers and the password window on Qt Widgets, with Italian buttons.
#pragma once

#include <QDialog>
#include <QPointer>
#include <optional>
#include <string>

#include "platform/Dialogs.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace orva {

// The password window: a prompt, a masked field and "OK" (enabled only while the field is not
// empty) and "Annulla".
class TPswForm final : public QDialog {
  Q_OBJECT
 public:
  explicit TPswForm(QWidget* parent = nullptr);
  void SetPrompt(const QString& prompt);
  // The text typed so far (kept after every change).
  QString Password() const { return m_password; }

  void Edit1Change(const QString& text);

 private:
  QLabel* m_label;
  QLineEdit* m_edit;
  QPushButton* m_ok;
  QString m_password;
};

class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
  void SetParent(QWidget* parent) { m_parent = parent; }

  MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override;
  std::optional<std::string> AskPassword(const std::string& prompt) override;
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& directory,
                                            const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& directory,
                                            const std::string& filter) override;
  void Beep() override;

 private:
  QWidget* Owner() const;
  QPointer<QWidget> m_parent;
};

}  // namespace orva
