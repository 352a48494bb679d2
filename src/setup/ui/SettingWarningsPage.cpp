// The options dialog's "Messaggi di avviso" page: the warnings on a call's length and cost
// and on the bill period's cost, and how often they are checked.
#include "setup/ui/Setting.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>

#include "platform/Numbers.h"
#include "setup/Setting.h"
#include "setup/SetupRules.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

QWidget* TSetupForm::BuildWarningsPage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  // The limits are typed in the currency the dialog opened with; a change of "Valuta" here
  // shows in them the next time.
  m_limitCurrency = s.currency;
  const bool euro = m_limitCurrency == Currency::Euro;
  auto limit = [page, euro](const char* name) {
    // Wide enough for the largest amounts (100000 and more) to be read whole.
    QLineEdit* e = Edit(name, page, euro ? "[0-9.]*(,[0-9]{0,2})?" : "[0-9]*");
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    return e;
  };
  WTCh = Check("WTCh", "Dopo x minuti di collegamento consecutivi", page);
  WTEdit = limit("WTEdit");
  WCSCh = Check(
      "WCSCh",
      euro ? "Costo della chiamata superiore a (Euro)" : "Costo della chiamata superiore a (Lire)",
      page);
  WCSEdit = limit("WCSEdit");
  IVASCB = Check("IVASCB", "con IVA", page);
  WCLCh = Check("WCLCh",
                euro ? "Costo del periodo di bolletta superiore a (Euro)"
                     : "Costo del periodo di bolletta superiore a (Lire)",
                page);
  WCLEdit = limit("WCLEdit");
  IVALCB = Check("IVALCB", "con IVA", page);
  FreqEdit = Named(new QSpinBox(page), "FreqEdit");
  FreqEdit->setRange(1, 1000);
  WTCh->setChecked(s.warnTimeOn == 1);
  WTEdit->setText(Q(std::to_string(s.warnTimeMinutes)));
  WCSCh->setChecked(s.warnDayCostOn == 1);
  WCSEdit->setText(Q(CostLimitShown(s.warnDayCost, m_limitCurrency)));
  IVASCB->setChecked(s.warnDayCostWithVat == 1);
  WCLCh->setChecked(s.warnPeriodCostOn == 1);
  WCLEdit->setText(Q(CostLimitShown(s.warnPeriodCost, m_limitCurrency)));
  IVALCB->setChecked(s.warnPeriodCostWithVat == 1);
  FreqEdit->setValue(std::clamp(s.warnFrequency, 1, 1000));
  // Where the desktop shows no notifications the boxes stay, whatever these say.
  NotifyWarnCB = Check("NotifyWarnCB", "Mostra gli avvisi come notifiche del desktop", page);
  NotifyWarnCB->setChecked(s.notifyWarnings);
  NotifyCallEndCB =
      Check("NotifyCallEndCB", "Notifica a fine chiamata con durata, scatti e costo", page);
  NotifyCallEndCB->setChecked(s.notifyCallEnd);
  auto* grid = new QGridLayout;
  grid->addWidget(WTCh, 0, 0);
  grid->addWidget(WTEdit, 0, 1);
  grid->addWidget(WCSCh, 1, 0);
  grid->addWidget(WCSEdit, 1, 1);
  grid->addWidget(IVASCB, 1, 2);
  grid->addWidget(WCLCh, 2, 0);
  grid->addWidget(WCLEdit, 2, 1);
  grid->addWidget(IVALCB, 2, 2);
  auto* freq = new QHBoxLayout;
  freq->addWidget(new QLabel(QStringLiteral("Controlla ogni"), page));
  freq->addWidget(FreqEdit);
  freq->addWidget(new QLabel(QStringLiteral("secondi"), page));
  freq->addStretch(1);
  l->addLayout(grid);
  l->addLayout(freq);
  l->addWidget(NotifyWarnCB);
  l->addWidget(NotifyCallEndCB);
  l->addStretch(1);
  // "con IVA" of the period limit takes effect at once.
  connect(IVALCB, &QCheckBox::toggled, this,
          [this](bool on) { m_ctx.settings.warnPeriodCostWithVat = on ? 1 : 0; });
  return page;
}

void TSetupForm::StoreWarningsPage() {
  Settings& s = m_ctx.settings;
  s.warnTimeOn = WTCh->isChecked() ? 1 : 0;
  s.warnTimeMinutes = NumberOrKeep(S(WTEdit->text()), s.warnTimeMinutes);
  s.warnDayCostOn = WCSCh->isChecked() ? 1 : 0;
  if (const auto lire = CostLimitStored(S(WCSEdit->text()), m_limitCurrency, s.warnDayCost))
    s.warnDayCost = *lire;
  s.warnDayCostWithVat = IVASCB->isChecked() ? 1 : 0;
  s.warnPeriodCostOn = WCLCh->isChecked() ? 1 : 0;
  if (const auto lire = CostLimitStored(S(WCLEdit->text()), m_limitCurrency, s.warnPeriodCost))
    s.warnPeriodCost = *lire;
  s.warnPeriodCostWithVat = IVALCB->isChecked() ? 1 : 0;
  s.warnFrequency = FreqEdit->value();
  s.notifyWarnings = NotifyWarnCB->isChecked();
  s.notifyCallEnd = NotifyCallEndCB->isChecked();
}

}  // namespace orva
