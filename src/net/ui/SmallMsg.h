// TSmallMsg: the small stay-on-top box of long operations (loading, merging, deleting hosts
// entries) with one text line and "Interrompi". It implements ProgressBox, so the hosts logic
// drives it and tests its abort flag; while it shows, the loops pump the event queue through
// it, so the window keeps drawing and the stop button can be pressed.
#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QPointer>
#include <string>

#include "net/Hosts.h"
#include "platform/Dialogs.h"

class QLabel;
class QPushButton;

namespace orva {

class TSmallMsg final : public QFrame, public ProgressBox {
  Q_OBJECT
 public:
  // The box is centred over `owner` when one is given and lies on a screen, otherwise over the
  // screen (the main window passes none when it is off screen or in its compact size). The
  // question of "Interrompi" and its beep go through `dialogs`.
  explicit TSmallMsg(Dialogs& dialogs, QWidget* owner = nullptr);
  ~TSmallMsg() override;

  // ProgressBox. Show opens the box (clearing the abort flag) or replaces its text.
  void Show(const std::string& text, bool stopVisible) override;
  void Close() override;
  bool Aborted() const override { return m_aborted; }
  // Lets pending events run; at most every few milliseconds, so a loop of many thousand
  // entries is not slowed by drawing.
  void Pump() override;

  // "Interrompi": beeps and asks; any answer but No sets the abort flag.
  void StopBtnClick();

 private:
  void PlaceOverOwner();

  Dialogs& m_dialogs;
  QPointer<QWidget> m_owner;
  QLabel* m_label = nullptr;
  QPushButton* m_stop = nullptr;
  QElapsedTimer m_lastPump;
  bool m_aborted = false;
  bool m_asking = false;
};

}  // namespace orva
