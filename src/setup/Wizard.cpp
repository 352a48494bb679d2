// The setup wizard's rules.
#include "setup/Wizard.h"

#include "platform/SafeFile.h"
#include "setup/Shortcuts.h"

namespace orva {

WizardModel::WizardModel(const std::string& listaPath,
                         const std::vector<std::string>& dialupEntries,
                         std::vector<std::string> tariffDescriptions,
                         WizardNetworkOptions networkOptions, bool desktopShortcutExists,
                         bool autostartShortcutExists)
    : desktopShortcut(desktopShortcutExists),
      autostartShortcut(autostartShortcutExists),
      network(networkOptions),
      m_listaPath(listaPath),
      m_tariffs(std::move(tariffDescriptions)) {
  if (FileExists(ResolveNoCase(listaPath))) {
    auto rows = ReadAssociationFile(listaPath, false);
    if (rows)
      m_providers = std::move(*rows);
    else
      m_creation = Status::Fail(rows.error);
  } else {
    for (const auto& e : dialupEntries)
      m_providers.push_back({e, std::string(kNoTariff), std::string(kDefaultNegotiation)});
    m_creation = WriteAssociationFile(listaPath, m_providers);
  }
}

void WizardModel::WelcomeDone() {
  m_welcomeDone = true;
  m_step = General;
}

bool WizardModel::NextEnabled() const {
  if (!m_welcomeDone) return false;
  if (m_step != Tariffs) return true;
  for (const auto& p : m_providers)
    if (p.tariff == kNoTariff) return false;
  return true;
}

bool WizardModel::BackEnabled() const {
  return m_welcomeDone && m_step >= Tariffs;
}

std::string WizardModel::NextCaption() const {
  return m_step == Time ? "Fine" : "Avanti";
}

bool WizardModel::Next() {
  if (!NextEnabled()) return false;
  if (m_step == Time) return true;
  m_step = static_cast<Step>(m_step + 1);
  return false;
}

void WizardModel::Back() {
  if (m_step > General) m_step = static_cast<Step>(m_step - 1);
}

std::optional<std::size_t> WizardModel::SelectProvider(std::size_t index) {
  if (index >= m_providers.size()) {
    m_selectedProvider.reset();
    return std::nullopt;
  }
  m_selectedProvider = index;
  for (std::size_t t = 0; t < m_tariffs.size(); ++t)
    if (m_tariffs[t] == m_providers[index].tariff) return t;
  return std::nullopt;
}

void WizardModel::SelectTariff(std::size_t tariffIndex) {
  if (!m_selectedProvider || tariffIndex >= m_tariffs.size()) return;
  m_providers[*m_selectedProvider].tariff = m_tariffs[tariffIndex];
}

WizardResult WizardModel::Result() const {
  WizardResult r;
  r.desktopShortcut = desktopShortcut;
  r.autostartShortcut = autostartShortcut;
  r.network = network;
  if (!network.tcpMonitoring) {
    r.network.resolveAddresses = false;
    r.network.hostsManagement = false;
    r.network.recordIpList = false;
  }
  r.providers = m_providers;
  return r;
}

Status WizardModel::WriteProviders() const {
  return WriteAssociationFile(m_listaPath, m_providers);
}

}  // namespace orva

namespace orva {

Status WizardModel::StoreFiles(const std::string& programPath) const {
  Status first = WriteProviders();
  auto apply = [&](ShortcutPlace place, bool wanted) {
    Status st = wanted ? CreateShortcut(place, programPath) : DeleteShortcut(place);
    if (first.ok && !st.ok) first = st;
  };
  apply(ShortcutPlace::Desktop, desktopShortcut);
  apply(ShortcutPlace::Autostart, autostartShortcut);
  return first;
}

}  // namespace orva
