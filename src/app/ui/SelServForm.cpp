// The service choice at the end of a call.
#include "app/ui/SelServForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orva {

TSelServForm::TSelServForm(ServiceChoice& choice, QWidget* parent)
    : QDialog(parent), m_choice(choice) {
  setObjectName(QStringLiteral("SelServForm"));
  setWindowTitle(QStringLiteral("ORVA32 - Scelta dettagli connessione"));
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("TempServLB"));
  for (const std::string& s : m_choice.Items()) m_list->addItem(QString::fromStdString(s));
  m_list->setCurrentRow(-1);
  m_edit = new QLineEdit(QString::fromStdString(m_choice.edit), this);
  m_edit->setObjectName(QStringLiteral("Edit1"));
  auto* editCaption = new QLabel(QStringLiteral("Scelta"), this);
  editCaption->setBuddy(m_edit);

  auto* noteTitle = new QLabel(QStringLiteral("NOTA"), this);
  noteTitle->setStyleSheet(QStringLiteral("font-weight: bold"));
  auto* note =
      new QLabel(QStringLiteral("Questa operazione è  possibile anche in un secondo tempo"), this);
  auto* memo = new QPlainTextEdit(this);
  memo->setObjectName(QStringLiteral("Memo1"));
  memo->setAccessibleName(QStringLiteral("Spiegazione"));
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setPlainText(
      QStringLiteral("Sto aggiornando l'elenco delle connessioni. Potete \n"
                     "associare a questa connessione il nome del servizio \n"
                     "telematico di cui avete usufruito. Ad. es. FAX,  BBS... \n"
                     "Se la lista è vuota potete usare il campo \"Scelta\""));
  memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 5);

  auto* associa = new QPushButton(QStringLiteral("Associa"), this);
  associa->setObjectName(QStringLiteral("AssociaBtn"));
  associa->setToolTip(QStringLiteral("Esegue l'associazione"));
  associa->setDefault(true);
  auto* ignora = new QPushButton(QStringLiteral("Ignora"), this);
  ignora->setObjectName(QStringLiteral("IgnoraBtn"));
  ignora->setToolTip(QStringLiteral("Ignora questa operazione"));

  auto* editRow = new QHBoxLayout;
  editRow->addWidget(editCaption);
  editRow->addWidget(m_edit, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(associa);
  buttons->addWidget(ignora);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(noteTitle);
  layout->addWidget(note);
  layout->addWidget(memo);
  layout->addWidget(m_list, 1);
  layout->addLayout(editRow);
  layout->addLayout(buttons);
  resize(420, 360);

  connect(m_list, &QListWidget::itemClicked, this, &TSelServForm::TempServLBClick);
  connect(associa, &QPushButton::clicked, this, &TSelServForm::AssociaBtnClick);
  connect(ignora, &QPushButton::clicked, this, &QDialog::reject);
}

void TSelServForm::SetServiceText(const std::string& text) {
  m_choice.edit = text;
  m_edit->setText(QString::fromStdString(text));
}

void TSelServForm::TempServLBClick(QListWidgetItem* item) {
  if (!item) return;
  m_choice.ItemClick(static_cast<std::size_t>(m_list->row(item)));
  m_edit->setText(QString::fromStdString(m_choice.edit));
}

void TSelServForm::AssociaBtnClick() {
  m_choice.edit = m_edit->text().toStdString();
  const std::size_t before = m_choice.Items().size();
  const Status saved = m_choice.AssociaClick();
  if (m_choice.Items().size() > before)
    m_list->addItem(QString::fromStdString(m_choice.Items().back()));
  // The choice stands even when the file could not take the new name.
  if (!saved && OnSaveFailed) OnSaveFailed(saved.error);
  accept();
}

std::optional<std::string> ChooseService(const std::string& serviceText,
                                         const std::string& serviceFilePath, Dialogs& dialogs,
                                         QWidget* parent) {
  ServiceChoice choice(serviceFilePath);
  TSelServForm form(choice, parent);
  form.setWindowTitle(QStringLiteral("ORVA32 - Scelta servizio"));
  form.SetServiceText(serviceText);
  form.OnSaveFailed = [&dialogs](const std::string& error) {
    dialogs.Message(error, MsgType::Error, MsgButtons::Ok);
  };
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.ChosenText();
}

}  // namespace orva
