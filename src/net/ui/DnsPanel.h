// TDnsPanel: the body of the main window's "DNS service" panel (MPanel5), over the DnsPanel of
// the program's TrafficMonitor (TrafficMonitor::Dns()): the address field `HostEdit` with
// `HostBtn` (address to name), the name field `AddrEdit` with `AddrBtn` (name to address),
// `CancelButton`, and the answers in `DisplayMemo` (black, lime text).
//
// Embedding: create it with the panel's body as parent and monitor.Dns(), put it in the
// body's layout; two rows of 20 pixels fit the panel's 44-pixel body, the text box takes the
// width left. It takes the DnsPanel's OnChange and redraws itself after every change, also
// the automatic lookups of the visited servers; the lookups complete through the Resolver
// the monitor was built with (QtResolver in the program), on the user-interface thread.
// Keyboard: Enter in a field starts its lookup; Esc in a field cancels a pending lookup.
#pragma once

#include <QWidget>

#include "net/Dns.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orva {

class TDnsPanel final : public QWidget {
  Q_OBJECT
 public:
  TDnsPanel(QWidget* parent, DnsPanel& panel);
  ~TDnsPanel() override;

  // Shows the fields, the buttons' states and the answers of the DnsPanel.
  void Refresh();

  void HostBtnClick();
  void AddrBtnClick();
  void CancelButtonClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DnsPanel& m_panel;
  QLineEdit* m_hostEdit = nullptr;
  QLineEdit* m_addrEdit = nullptr;
  QPushButton* m_hostBtn = nullptr;
  QPushButton* m_addrBtn = nullptr;
  QPushButton* m_cancel = nullptr;
  QPlainTextEdit* m_memo = nullptr;
};

}  // namespace orva
