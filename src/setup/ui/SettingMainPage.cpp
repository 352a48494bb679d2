// The options dialog's "Principale" page: start-up and desktop shortcuts, hints, decimals,
// the currency of the amounts, the meter's checking frequency and the service question.
#include "setup/ui/Setting.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

#include "setup/SetupRules.h"
#include "setup/Shortcuts.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

QWidget* TSetupForm::BuildMainPage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  AutoLoadCB = Check("AutoLoadCB", "Carica automaticamente ORVA32 all' avvio del desktop", page);
  DeskIconCB = Check("DeskIconCB", "Mostra icona di ORVA32 sulla scrivania", page);
  AutoLoadCB->setChecked(ShortcutExists(ShortcutPlace::Autostart));
  DeskIconCB->setChecked(ShortcutExists(ShortcutPlace::Desktop));
  HintsCB = Check("HintsCB", "Mostra messaggi di aiuto", page);
  HintsCB->setChecked(s.showHints != 0);
  TrackBar1 = Named(new QSlider(Qt::Horizontal, page), "TrackBar1");
  TrackBar1->setRange(100, 2500);
  TrackBar1->setValue(std::clamp(s.hintPause, 100, 2500));
  DecSE = Named(new QSpinBox(page), "DecSE");
  DecSE->setRange(0, 5);
  DecSE->setValue(std::clamp(s.decimals, 0, 5));
  ValutaCB = Named(new QComboBox(page), "ValutaCB");
  ValutaCB->addItems({QStringLiteral("Lire"), QStringLiteral("Euro")});
  ValutaCB->setCurrentIndex(s.currency == Currency::Euro ? 1 : 0);
  ValutaCB->setAccessibleName(QStringLiteral("Valuta"));
  ValutaCB->setToolTip(QStringLiteral(
      "Valuta in cui sono mostrati, stampati ed esportati gli importi (1 euro = 1936,27 lire)"));
  TrackBar = Named(new QSlider(Qt::Horizontal, page), "TrackBar");
  TrackBar->setRange(100, 3000);
  TrackBar->setValue(std::clamp(s.timerClockMs, 100, 3000));
  m_trackLabel = new QLabel(Q(TimerLabel(TrackBar->value())), page);
  ReqCB = Check("ReqCB", "Chiedi sempre di specificare il servizio da associare", page);
  ReqCB->setChecked(s.askService);

  l->addWidget(AutoLoadCB);
  l->addWidget(DeskIconCB);
  l->addWidget(HintsCB);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Ritardo"), TrackBar1);
  auto* decimals = new QHBoxLayout;
  decimals->addWidget(DecSE);
  m_decimalsHint = new QLabel(page);
  m_decimalsHint->setObjectName(QStringLiteral("DecHint"));
  m_decimalsHint->setWordWrap(true);
  decimals->addWidget(m_decimalsHint, 1);
  auto* decimalsCaption = new QLabel(QStringLiteral("Cifre decimali"), page);
  decimalsCaption->setBuddy(DecSE);
  form->addRow(decimalsCaption, decimals);
  // "&Valuta": Alt+V reaches the list through its label.
  form->addRow(QStringLiteral("&Valuta"), ValutaCB);
  auto* freq = new QHBoxLayout;
  freq->addWidget(TrackBar, 1);
  freq->addWidget(m_trackLabel);
  form->addRow(QStringLiteral("Frequenza di controllo"), freq);
  l->addLayout(form);
  l->addWidget(ReqCB);
  l->addStretch(1);

  // Euro has its own decimals: the lire ones are off while Euro is chosen, and say so.
  auto showDecimals = [this](int index) {
    const Currency c = index == 1 ? Currency::Euro : Currency::Lire;
    DecSE->setEnabled(DecimalsOptionApplies(c));
    const QString hint = Q(DecimalsHint(c));
    DecSE->setToolTip(hint);
    DecSE->setAccessibleDescription(hint);
    m_decimalsHint->setText(DecimalsOptionApplies(c)
                                ? QString()
                                : QStringLiteral("in euro sempre 2 (di più sotto il centesimo)"));
  };
  showDecimals(ValutaCB->currentIndex());
  connect(ValutaCB, &QComboBox::currentIndexChanged, this, showDecimals);
  connect(TrackBar, &QSlider::valueChanged, this,
          [this](int v) { m_trackLabel->setText(Q(TimerLabel(v))); });
  // The shortcuts take effect at once, and stay after "Annulla".
  auto shortcut = [this](ShortcutPlace place, bool on) {
    if (m_loading) return;
    const Status st = on ? CreateShortcut(place, m_ctx.programPath) : DeleteShortcut(place);
    if (!st) m_ctx.dialogs.Message(st.error, MsgType::Error);
  };
  connect(AutoLoadCB, &QCheckBox::toggled, this,
          [shortcut](bool on) { shortcut(ShortcutPlace::Autostart, on); });
  connect(DeskIconCB, &QCheckBox::toggled, this,
          [shortcut](bool on) { shortcut(ShortcutPlace::Desktop, on); });
  return page;
}

void TSetupForm::StoreMainPage() {
  Settings& s = m_ctx.settings;
  s.showHints = HintsCB->isChecked() ? 1 : 0;
  s.hintPause = TrackBar1->value();
  s.decimals = DecSE->value();
  s.currency = ValutaCB->currentIndex() == 1 ? Currency::Euro : Currency::Lire;
  s.timerClockMs = TrackBar->value();
  s.askService = ReqCB->isChecked();
}

}  // namespace orva
