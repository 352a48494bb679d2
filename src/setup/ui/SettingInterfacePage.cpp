// The options dialog's "Interfaccia" page: how the windows and the tray icon behave around a
// call, and the splash window.
#include "setup/ui/Setting.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

namespace {

constexpr const char* kInterfaceTexts[7] = {
    "Apri finestra principale di ORVA al tentativo di connessione",
    "Riduci ad icona alla connessione",
    "Riduci ad icona alla sconnessione",
    "Nascondi ORVA alla sconnessione",
    "Icona lampeggiante durante le connessioni",
    "Finestra lampegg. negli ultimi",
    "Mostra finestra di presentazione all'avvio"};

}  // namespace

QWidget* TSetupForm::BuildInterfacePage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  const int values[7] = {s.maximizeOnConnect, s.iconOnStart, s.iconOnStop,        s.hideOnStop,
                         s.flashIcon,         s.flashWindow, s.showSplash ? 1 : 0};
  for (int i = 0; i < 7; ++i) {
    auto* c = new QCheckBox(U(kInterfaceTexts[i]), page);
    c->setObjectName(Q("Op" + std::to_string(i + 1)));
    c->setChecked(values[i] != 0);
    m_interface[static_cast<std::size_t>(i)] = c;
    if (i == 5) {
      ED0 = Edit("ED0", page);
      ED0->setText(Q(std::to_string(s.flashAdvance)));
      ED0->setMaximumWidth(50);
      auto* row = new QHBoxLayout;
      row->addWidget(c);
      row->addWidget(ED0);
      row->addWidget(new QLabel(QStringLiteral("secondi dello scatto"), page));
      row->addStretch(1);
      l->addLayout(row);
    } else {
      l->addWidget(c);
    }
  }
  l->addStretch(1);
  connect(ED0, &QLineEdit::textEdited, this, [this] {
    ImmediateNumberChanged(
        ED0,
        [this](std::optional<int> v) {
          if (v) m_ctx.settings.flashAdvance = *v;
        },
        false);
  });
  return page;
}

void TSetupForm::StoreInterfacePage() {
  Settings& s = m_ctx.settings;
  int* interfaceValues[6] = {&s.maximizeOnConnect, &s.iconOnStart, &s.iconOnStop,
                             &s.hideOnStop,        &s.flashIcon,   &s.flashWindow};
  for (std::size_t i = 0; i < 6; ++i) *interfaceValues[i] = m_interface[i]->isChecked() ? 1 : 0;
  s.showSplash = m_interface[6]->isChecked();
}

}  // namespace orva
