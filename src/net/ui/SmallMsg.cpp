// The progress box of long operations.
#include "net/ui/SmallMsg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace orva {

namespace {

// A loop pumps at most this often; a click waits no longer than that to be seen.
constexpr int kPumpIntervalMs = 15;

}  // namespace

TSmallMsg::TSmallMsg(Dialogs& dialogs, QWidget* owner)
    : QFrame(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_dialogs(dialogs),
      m_owner(owner) {
  setObjectName(QStringLiteral("SmallMsg"));
  // While the box shows, the windows below it take no input: an operation in progress is
  // never started again or closed under the loop that runs it.
  setWindowModality(Qt::ApplicationModal);
  setFrameShape(QFrame::Box);
  setLineWidth(1);
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);
  m_label = new QLabel(this);
  m_label->setObjectName(QStringLiteral("L"));
  m_label->setAlignment(Qt::AlignCenter);
  m_label->setWordWrap(true);
  m_label->setMinimumWidth(260);
  m_label->setMaximumWidth(420);
  layout->addWidget(m_label);
  m_stop = new QPushButton(QStringLiteral("Interrompi"), this);
  m_stop->setObjectName(QStringLiteral("StopBtn"));
  m_stop->setVisible(false);
  layout->addWidget(m_stop, 0, Qt::AlignHCenter);
  connect(m_stop, &QPushButton::clicked, this, &TSmallMsg::StopBtnClick);
}

TSmallMsg::~TSmallMsg() = default;

void TSmallMsg::Show(const std::string& text, bool stopVisible) {
  QString t = QString::fromStdString(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  m_label->setText(t);
  m_stop->setVisible(stopVisible);
  if (isVisible()) return;
  m_aborted = false;
  adjustSize();
  PlaceOverOwner();
  show();
  raise();
  if (stopVisible) m_stop->setFocus();
  // Drawn at once, also when no loop pumps after this.
  QApplication::processEvents();
  m_lastPump.start();
}

void TSmallMsg::Close() {
  hide();
  m_lastPump.invalidate();
}

void TSmallMsg::Pump() {
  if (m_lastPump.isValid() && m_lastPump.elapsed() < kPumpIntervalMs) return;
  if (m_label->sizeHint().height() > m_label->height()) adjustSize();
  QApplication::processEvents();
  m_lastPump.start();
}

void TSmallMsg::StopBtnClick() {
  if (m_asking) return;  // one question at a time
  m_asking = true;
  m_dialogs.Beep();
  const MsgAnswer a = m_dialogs.Message("Sicuro di interrompere l'operazione ?",
                                        MsgType::Confirmation, MsgButtons::YesNo);
  m_asking = false;
  if (a != MsgAnswer::No) m_aborted = true;
}

void TSmallMsg::PlaceOverOwner() {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect screenRect = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  QRect area = screenRect;
  if (m_owner && m_owner->isVisible()) {
    const QRect ownerRect = m_owner->frameGeometry();
    if (screenRect.intersects(ownerRect)) area = ownerRect;
  }
  QRect box(QPoint(0, 0), size());
  box.moveCenter(area.center());
  // Kept on the screen, also over a window that lies partly outside it.
  box.moveLeft(std::clamp(box.left(), screenRect.left(),
                          std::max(screenRect.left(), screenRect.right() - box.width())));
  box.moveTop(std::clamp(box.top(), screenRect.top(),
                         std::max(screenRect.top(), screenRect.bottom() - box.height())));
  // A child window takes coordinates of the screen too (it is a window of its own).
  move(box.topLeft());
}

}  // namespace orva
