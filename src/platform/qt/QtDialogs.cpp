// Message boxes, file choosers and the password window on Qt Widgets.
#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace orva {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// The program's texts use "\r" and "\r\n" as line breaks; a Qt label breaks at "\n".
QString MessageText(const std::string& text) {
  QString t = Q(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

}  // namespace

TPswForm::TPswForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PswForm"));
  setWindowTitle(QStringLiteral("ORVA32 - Password"));
  setModal(true);
  m_label = new QLabel(QStringLiteral("Inserire una nuova password (max 10 car.)"), this);
  m_label->setObjectName(QStringLiteral("L1"));
  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QStringLiteral("Edit1"));
  m_edit->setEchoMode(QLineEdit::Password);
  m_edit->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhNoPredictiveText);
  m_ok = new QPushButton(QStringLiteral("OK"), this);
  m_ok->setObjectName(QStringLiteral("OKBtn"));
  m_ok->setDefault(true);
  m_ok->setEnabled(false);
  auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_label);
  layout->addWidget(m_edit);
  layout->addLayout(buttons);
  setFixedWidth(300);

  connect(m_edit, &QLineEdit::textChanged, this, &TPswForm::Edit1Change);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TPswForm::SetPrompt(const QString& prompt) {
  m_label->setText(prompt);
}

void TPswForm::Edit1Change(const QString& text) {
  m_password = text;
  m_ok->setEnabled(!text.isEmpty());
}

// The window a box or a file chooser belongs to: the one the user is in (a modal dialog, or
// the active window, such as the log window asking about its unsaved changes), else the main
// window.
QWidget* QtDialogs::Owner() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow(); active && active->isVisible()) return active;
  return m_parent;
}

namespace {

void SetIcon(QMessageBox& box, MsgType type) {
  switch (type) {
    case MsgType::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgType::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgType::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MsgType::Confirmation:
      box.setIcon(QMessageBox::Question);
      break;
  }
}

struct Choice {
  const char16_t* caption;  // "&" marks the key that presses it
  QMessageBox::ButtonRole role;
  MsgAnswer answer;
};

std::vector<Choice> ChoicesOf(MsgButtons buttons) {
  static constexpr Choice kOk{u"OK", QMessageBox::AcceptRole, MsgAnswer::Ok};
  static constexpr Choice kCancel{u"&Annulla", QMessageBox::RejectRole, MsgAnswer::Cancel};
  static constexpr Choice kYes{u"&Sì", QMessageBox::YesRole, MsgAnswer::Yes};
  static constexpr Choice kNo{u"&No", QMessageBox::NoRole, MsgAnswer::No};
  static constexpr Choice kRetry{u"&Riprova", QMessageBox::AcceptRole, MsgAnswer::Retry};
  static constexpr Choice kAbort{u"&Interrompi", QMessageBox::RejectRole, MsgAnswer::Abort};
  static constexpr Choice kIgnore{u"I&gnora", QMessageBox::AcceptRole, MsgAnswer::Ignore};
  switch (buttons) {
    case MsgButtons::Ok:
      return {kOk};
    case MsgButtons::OkCancel:
      return {kOk, kCancel};
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
      return {kYes, kNo};
    case MsgButtons::YesNoCancel:
      return {kYes, kNo, kCancel};
    case MsgButtons::RetryCancel:
      return {kRetry, kCancel};
    case MsgButtons::AbortRetryIgnore:
      return {kAbort, kRetry, kIgnore};
  }
  return {kOk};
}

}  // namespace

MsgAnswer QtDialogs::Message(const std::string& text, MsgType type, MsgButtons buttons) {
  QMessageBox box(Owner());
  box.setWindowTitle(QStringLiteral("ORVA32"));
  box.setText(MessageText(text));
  SetIcon(box, type);
  std::vector<std::pair<QAbstractButton*, MsgAnswer>> made;
  for (const Choice& c : ChoicesOf(buttons)) {
    QPushButton* b = box.addButton(QString::fromUtf16(c.caption), c.role);
    made.emplace_back(b, c.answer);
    const bool isDefault =
        buttons == MsgButtons::YesNoDefaultNo ? c.answer == MsgAnswer::No : made.size() == 1;
    if (isDefault) box.setDefaultButton(b);
  }
  // Escape answers Cancel where there is one, else No, else the box counts as closed.
  for (auto& [button, answer] : made)
    if (answer == MsgAnswer::Cancel || answer == MsgAnswer::No) box.setEscapeButton(button);
  box.exec();
  for (auto& [button, answer] : made)
    if (box.clickedButton() == button) return answer;
  return MsgAnswer::Closed;
}

std::optional<std::string> QtDialogs::AskPassword(const std::string& prompt) {
  TPswForm form(Owner());
  if (!prompt.empty()) form.SetPrompt(Q(prompt));
  // The window sits in the middle of the screen.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    form.adjustSize();
    form.move(screen->availableGeometry().center() - form.rect().center());
  }
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.Password().toStdString();
}

std::optional<std::string> QtDialogs::ChooseOpenFile(const std::string& title,
                                                     const std::string& directory,
                                                     const std::string& filter) {
  const QString f = QFileDialog::getOpenFileName(Owner(), Q(title), Q(directory), Q(filter));
  if (f.isEmpty()) return std::nullopt;
  return f.toStdString();
}

std::optional<std::string> QtDialogs::ChooseSaveFile(const std::string& title,
                                                     const std::string& directory,
                                                     const std::string& filter) {
  const QString f = QFileDialog::getSaveFileName(Owner(), Q(title), Q(directory), Q(filter));
  if (f.isEmpty()) return std::nullopt;
  return f.toStdString();
}

void QtDialogs::Beep() {
  QApplication::beep();
}

}  // namespace orva
