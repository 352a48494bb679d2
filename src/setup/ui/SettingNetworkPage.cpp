// The options dialog's "Rete" page: traffic monitoring with its sub-options, and the network
// time.
#include "setup/ui/Setting.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "setup/SetupRules.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

QWidget* TSetupForm::BuildNetworkPage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  CheckTCPCB = Check("CheckTCPCB", "Attiva controllo traffico a livello TCP/UDP", page);
  ResolveIPCB = Check("ResolveIPCB", "Risolvi gli indirizzi IP dei server", page);
  HostsCB = Check("HostsCB", "Gestione automatica del file hosts", page);
  MemoIPCB = Check("MemoIPCB", "Memorizza elenco dei server visitati", page);
  NetTimeCB = Check("NetTimeCB", "Preleva data ed ora da un timeserver in rete", page);
  SetNetTimeCB =
      Check("SetNetTimeCB", "Regola l'orologio di sistema in base all'ora di rete", page);
  CheckTCPCB->setChecked(s.tcpMonitoring);
  ResolveIPCB->setChecked(s.resolveAddresses);
  HostsCB->setChecked(s.manageHosts);
  MemoIPCB->setChecked(s.recordIpList);
  NetTimeCB->setChecked(s.getNetworkTime);
  // The clock-setting option opens cleared and disabled every time.
  SetNetTimeCB->setChecked(false);
  SetNetTimeCB->setEnabled(false);
  auto* traffic = new QGroupBox(QStringLiteral("Traffico"), page);
  auto* tl = new QVBoxLayout(traffic);
  tl->addWidget(CheckTCPCB);
  for (auto* c : {ResolveIPCB, HostsCB, MemoIPCB}) {
    c->setContentsMargins(20, 0, 0, 0);
    tl->addWidget(c);
  }
  auto* time = new QGroupBox(QStringLiteral("Ora di rete"), page);
  auto* ml = new QVBoxLayout(time);
  ml->addWidget(NetTimeCB);
  ml->addWidget(SetNetTimeCB);
  l->addWidget(traffic);
  l->addWidget(time);
  l->addStretch(1);
  connect(CheckTCPCB, &QCheckBox::toggled, this, &TSetupForm::CheckTCPCBClick);
  connect(NetTimeCB, &QCheckBox::toggled, this, &TSetupForm::NetTimeCBClick);
  CheckTCPCBClick();
  return page;
}

void TSetupForm::CheckTCPCBClick() {
  for (auto* c : {ResolveIPCB, HostsCB, MemoIPCB}) c->setEnabled(CheckTCPCB->isChecked());
}

void TSetupForm::NetTimeCBClick() {
  if (!m_loading) SetNetTimeCB->setEnabled(NetTimeCB->isChecked());
}

void TSetupForm::StoreNetworkPage() {
  Settings& s = m_ctx.settings;
  const NetworkPageValues net = StoredNetworkValues(
      {CheckTCPCB->isChecked(), ResolveIPCB->isChecked(), HostsCB->isChecked(),
       MemoIPCB->isChecked(), NetTimeCB->isChecked(), SetNetTimeCB->isChecked()});
  s.tcpMonitoring = net.tcpMonitoring;
  s.resolveAddresses = net.resolveAddresses;
  s.manageHosts = net.hostsManagement;
  s.recordIpList = net.recordIpList;
  s.getNetworkTime = net.networkTime;
  s.setNetworkTime = net.setNetworkTime;
}

}  // namespace orva
