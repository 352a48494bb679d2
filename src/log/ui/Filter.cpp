// The selection criteria window.
#include "log/ui/Filter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "bill/ui/DateForm.h"
#include "platform/qt/ElidingComboBox.h"

namespace orva {

TFilterForm::TFilterForm(const std::vector<std::string>& services, const LogFilter& state,
                         QWidget* parent)
    : QDialog(parent), m_from(state.from), m_to(state.to) {
  setObjectName(QStringLiteral("FilterForm"));
  setWindowTitle(QStringLiteral("ORVA32 - Criteri di estrazione"));
  ServiceCB = new QCheckBox(QStringLiteral("per servizio"), this);
  ServiceCB->setObjectName(QStringLiteral("ServiceCB"));
  ServiceCB->setChecked(state.byService);
  ServCombo = new ElidingComboBox(this);
  ServCombo->setObjectName(QStringLiteral("ServCombo"));
  for (const auto& s : services) ServCombo->addItem(QString::fromStdString(s));
  ServCombo->setCurrentIndex(ServCombo->findText(QString::fromStdString(state.service)));
  DateCB = new QCheckBox(QStringLiteral("per data dal"), this);
  DateCB->setObjectName(QStringLiteral("DateCB"));
  DateCB->setChecked(state.byDate);
  FromLb = new QLabel(this);
  FromLb->setObjectName(QStringLiteral("FromLb"));
  ToLb = new QLabel(this);
  ToLb->setObjectName(QStringLiteral("ToLb"));
  auto* fromBtn = new QPushButton(QStringLiteral("..."), this);
  fromBtn->setObjectName(QStringLiteral("FromBtn"));
  auto* toBtn = new QPushButton(QStringLiteral("..."), this);
  toBtn->setObjectName(QStringLiteral("ToBtn"));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));

  auto* grid = new QGridLayout;
  grid->addWidget(ServiceCB, 0, 0);
  grid->addWidget(ServCombo, 0, 1, 1, 4);
  grid->addWidget(DateCB, 1, 0);
  grid->addWidget(FromLb, 1, 1);
  grid->addWidget(fromBtn, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("al"), this), 1, 3);
  grid->addWidget(ToLb, 1, 4);
  grid->addWidget(toBtn, 1, 5);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(this);
  top->addLayout(grid);
  top->addLayout(buttons);

  auto pick = [this](TDateTime& value, const char* caption) {
    const auto d = PickDate(this, QString::fromUtf8(caption), DecodeDate(value));
    if (!d) return;
    value = EncodeDate(d->year, d->month, d->day);
    ShowDates();
  };
  connect(fromBtn, &QPushButton::clicked, this, [this, pick] { pick(m_from, "Data iniziale"); });
  connect(toBtn, &QPushButton::clicked, this, [this, pick] { pick(m_to, "Data finale"); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  ShowDates();
}

void TFilterForm::ShowDates() {
  FromLb->setText(QString::fromStdString(DateToStr(m_from)));
  ToLb->setText(QString::fromStdString(DateToStr(m_to)));
}

void TFilterForm::SetFromDate(TDateTime d) {
  m_from = d;
  ShowDates();
}

void TFilterForm::SetToDate(TDateTime d) {
  m_to = d;
  ShowDates();
}

LogFilter TFilterForm::Filter() const {
  LogFilter f;
  f.byService = ServiceCB->isChecked();
  f.byDate = DateCB->isChecked();
  f.service = ServCombo->currentText().toStdString();
  f.from = m_from;
  f.to = m_to;
  return f;
}

}  // namespace orva
