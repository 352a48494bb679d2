// TMonitorPanel: the body of the main window's "TCP/UDP monitor" panel (MPanel6), over the
// program's TrafficMonitor: the tab bar `TabControl` with the six views and the text box
// `Memo` (black, yellow fixed-width text, no wrapping).
//
// Embedding: create it with the panel's body as parent and the main window's monitor, put it
// in the body's layout, and it fills whatever height the body has (a tab bar of about 22
// pixels, the text box under it), never less than kMonitorRowsShown rows of text. It takes the
// monitor's OnMemoChange and redraws itself whenever the monitor rewrites Memo (metering timer,
// call start and end); a tab change calls TrafficMonitor::TabControlChange. The main window calls
// nothing else; Redraw() shows Memo again after the main window changed it by other ways. Keyboard:
// Tab reaches the tab bar (arrow keys change the view) and the text box (arrows and Page keys
// scroll).
#pragma once

#include <QWidget>

#include "net/Monitor.h"

class QPlainTextEdit;
class QTabBar;

namespace orva {

class TMonitorPanel final : public QWidget {
  Q_OBJECT
 public:
  // The rows of text the panel always has room for: a view's heading and three lines.
  static constexpr int kMonitorRowsShown = 4;

  TMonitorPanel(QWidget* parent, TrafficMonitor& monitor);
  ~TMonitorPanel() override;

  // Shows the monitor's Memo. The scroll position stays where it was while the same view is
  // redrawn; a new view starts at the top.
  void Redraw();
  void TabControlChange(int index);

  QTabBar* TabControl() const { return m_tabs; }
  QPlainTextEdit* Memo() const { return m_memo; }

 private:
  TrafficMonitor& m_monitor;
  QTabBar* m_tabs = nullptr;
  QPlainTextEdit* m_memo = nullptr;
  QString m_shown;
  int m_shownTab = -1;
};

}  // namespace orva
