// The duplicate warning of the import and the paste.
#include "log/ui/WarnDup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orva {

TWarnDupDlg::TWarnDupDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("WarnDupDlg"));
  setWindowTitle(QStringLiteral("Attenzione"));
  auto* text = new QLabel(
      QString::fromUtf8(kAskDuplicates.data(), static_cast<int>(kAskDuplicates.size())), this);
  auto* yes = new QPushButton(QStringLiteral("Si"), this);
  yes->setObjectName(QStringLiteral("YesBtn"));
  auto* no = new QPushButton(QStringLiteral("No"), this);
  no->setObjectName(QStringLiteral("NoBtn"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(yes);
  buttons->addWidget(no);
  auto* top = new QVBoxLayout(this);
  top->addWidget(text);
  top->addLayout(buttons);
  connect(yes, &QPushButton::clicked, this, [this] {
    m_answer = DupAnswer::Si;
    accept();
  });
  connect(no, &QPushButton::clicked, this, [this] {
    m_answer = DupAnswer::No;
    accept();
  });
}

DupQuestion AskDuplicatesWithWindow(QWidget* parent) {
  return [parent] {
    TWarnDupDlg dlg(parent);
    dlg.exec();
    return dlg.Answer();
  };
}

}  // namespace orva
