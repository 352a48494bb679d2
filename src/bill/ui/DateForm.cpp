// The date picker.
#include "bill/ui/DateForm.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <optional>

#include "bill/Bolletta.h"
#include "bill/DbsetINI.h"

namespace orva {

TDateForm::TDateForm(const QString& caption, const DateParts& date, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("DateForm"));
  setWindowTitle(caption.isEmpty() ? QStringLiteral("ORVA32 - Scelta data") : caption);
  Calendar1 = new QCalendarWidget(this);
  Calendar1->setObjectName(QStringLiteral("Calendar1"));
  Calendar1->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
  Calendar1->setFirstDayOfWeek(Qt::Sunday);
  Calendar1->setNavigationBarVisible(false);
  Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  MonthLb = new QLabel(this);
  MonthLb->setObjectName(QStringLiteral("MonthLb"));
  UpDown1 = new QSpinBox(this);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setRange(-100000, 100000);
  UpDown1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  UpDown1->setFixedWidth(22);
  UpDown1->setStyleSheet(QStringLiteral("QSpinBox { color: transparent; }"));
  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("&Annulla"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  auto* head = new QHBoxLayout;
  head->addWidget(MonthLb, 1);
  head->addWidget(UpDown1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(this);
  top->addLayout(head);
  top->addWidget(Calendar1, 1);
  top->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Calendar1, &QCalendarWidget::activated, this, &QDialog::accept);  // double click
  connect(Calendar1, &QCalendarWidget::currentPageChanged, this, [this] { ShowMonth(); });
  connect(UpDown1, &QSpinBox::valueChanged, this, [this](int v) {
    const int step = v > m_spin ? 1 : -1;
    m_spin = v;
    UpDown1Click(step);
  });
  SetDate(date);
}

void TDateForm::SetDate(const DateParts& d) {
  Calendar1->setSelectedDate(QDate(d.year, d.month, d.day));
  Calendar1->setCurrentPage(d.year, d.month);
  ShowMonth();
}

DateParts TDateForm::Date() const {
  const QDate d = Calendar1->selectedDate();
  return DateParts{d.year(), d.month(), d.day()};
}

void TDateForm::UpDown1Click(int step) {
  SetDate(ChangeMonth(Date(), step));
}

void TDateForm::ShowMonth() {
  const DateParts d = Date();
  MonthLb->setText(QString::fromStdString(BillMonthTitle(d.month, d.year)));
}

std::optional<DateParts> PickDate(QWidget* parent, const QString& caption, const DateParts& date) {
  TDateForm form(caption, date, parent);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.Date();
}

}  // namespace orva
