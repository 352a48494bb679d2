// The window operations the meter and the watcher call: labels, hints, command states, bring
// up, hide, minimise, flash, redraw. The desktop main window implements them; the console meter
// and the tests use their own. Every operation does nothing unless overridden.
#pragma once

#include <string>
#include <vector>

namespace orva {

// The status labels the shell logic writes.
enum class MeterLabel {
  StatusLb,   // call status
  RasLb,      // dial-up state text ("Accesso remoto :")
  DevName,    // device name
  DevType,    // device type / call kind name
  ServiceLb,  // entry or service
  TickLb,     // tick length text
  IPLb,       // local IP address
  BytesRecv,  // bytes received (grouped with ".")
  BytesSend   // bytes sent (grouped with ".")
};

class MeterView {
 public:
  virtual ~MeterView() = default;

  virtual void SetLabel(MeterLabel, const std::string&) {}
  virtual void SetTrayHint(const std::string&) {}
  // The hint of the stop button ("Sconnessione", "Arresto manuale" or empty).
  virtual void SetStopHint(const std::string&) {}
  // The hang-up button and menu item; the connect button takes the opposite state.
  virtual void SetHangupEnabled(bool) {}
  // Both tariff selectors (FeeCB, FeeCB1): enabled while idle.
  virtual void SetTariffSelectorsEnabled(bool) {}
  // Selects a tariff index in both selectors.
  virtual void SelectTariff(int) {}
  // Both gauges (ProgBar, ProgBar1): maximum and position; a position of -1 keeps it.
  virtual void SetGauges(int /*maximum*/, int /*position*/) {}
  virtual void SetGaugePosition(int) {}
  // RedrawCounters: recompute every counter text from the meter's state.
  virtual void RedrawCounters() {}
  // RefreshCommandStates: enable and disable commands by the meter's state.
  virtual void RefreshCommandStates() {}
  // ShowORVAWin: bring the window up.
  virtual void BringUp() {}
  virtual bool IsHidden() const { return false; }
  virtual void ShowWindow() {}
  virtual void HideWindow() {}
  virtual void Minimise() {}
  // Expands the details when they are collapsed.
  virtual void ExpandDetails() {}
  // One flash: inverts the caption and the taskbar button and toggles the flash phase.
  virtual void Flash() {}
  virtual bool FlashPhase() const { return false; }
  // Restores caption and taskbar button to normal.
  virtual void StopFlashing() {}
  virtual void SetTrayAnimation(bool) {}
  // The voice dialer window (created the first time).
  virtual void ShowVoiceDialer() {}
  // The per-entry dial items, built at start-up.
  virtual void SetDialEntries(const std::vector<std::string>&) {}
  // Selects counter item 1..7 (from the taskbar menu), moves its check mark and redraws.
  virtual void SelectCounterItem(int) {}
  // Ends the event loop (the quit message).
  virtual void Quit() {}
};

}  // namespace orva
