// The setup wizard's model: the provider list and its tariffs, the four steps and the rules
// of "Avanti", "Indietro" and "Annulla". The window only shows what this says.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "setup/Associations.h"

namespace orva {

struct WizardNetworkOptions {
  bool tcpMonitoring = true;
  bool resolveAddresses = true;
  bool hostsManagement = true;
  bool recordIpList = true;
  bool networkTime = true;
  bool operator==(const WizardNetworkOptions&) const = default;
};

// What "Fine" stores. Nothing is stored on "Annulla" or the close box.
struct WizardResult {
  bool desktopShortcut = false;
  bool autostartShortcut = false;
  WizardNetworkOptions network;  // sub-options already off when monitoring is off
  std::vector<AssociationRow> providers;
};

class WizardModel {
 public:
  enum Step { Welcome = 0, General = 1, Tariffs = 2, NetworkStep = 3, Time = 4 };

  // The providers come from "lista.ser" when it exists; otherwise from the dial-up entries,
  // each with "?" and "10000", and "lista.ser" is written from them at once (the status of
  // that write is in CreationStatus()).
  WizardModel(const std::string& listaPath, const std::vector<std::string>& dialupEntries,
              std::vector<std::string> tariffDescriptions, WizardNetworkOptions network,
              bool desktopShortcutExists, bool autostartShortcutExists);

  const Status& CreationStatus() const { return m_creation; }
  const std::vector<AssociationRow>& Providers() const { return m_providers; }
  const std::vector<std::string>& TariffList() const { return m_tariffs; }

  Step CurrentStep() const { return m_step; }
  // The welcome pause is over: "Avanti" is enabled and step 1 is current.
  void WelcomeDone();
  // "Avanti": true when it closes the dialog with OK (on the last step).
  bool Next();
  void Back();
  bool NextEnabled() const;
  bool BackEnabled() const;
  std::string NextCaption() const;  // "Fine" on the last step, "Avanti" otherwise

  // Step 2. Selecting a provider gives the tariff row to select (none for "?").
  std::optional<std::size_t> SelectProvider(std::size_t index);
  std::optional<std::size_t> SelectedProvider() const { return m_selectedProvider; }
  void SelectTariff(std::size_t tariffIndex);

  // Step 1 answers ("Sì" = true), preset from the shortcuts' existence or by the caller.
  bool desktopShortcut = false;
  bool autostartShortcut = false;
  // Steps 3 and 4.
  WizardNetworkOptions network;
  bool SubOptionsEnabled() const { return network.tcpMonitoring; }

  WizardResult Result() const;
  // Writes "lista.ser" from the providers (on "Fine").
  Status WriteProviders() const;
  // What "Fine" stores besides the settings: "lista.ser" and the two shortcuts, created or
  // deleted by the answers. The first failure is returned; the rest is still done.
  Status StoreFiles(const std::string& programPath) const;

 private:
  std::string m_listaPath;
  std::vector<AssociationRow> m_providers;
  std::vector<std::string> m_tariffs;
  Step m_step = Welcome;
  bool m_welcomeDone = false;
  std::optional<std::size_t> m_selectedProvider;
  Status m_creation;
};

}  // namespace orva
