// A window centred over its owner or on the screen.
#include "app/ui/DialogPlace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace orva {

namespace {

bool Framed(const QWidget& w) {
  return w.isVisible() && w.windowHandle() && !w.windowHandle()->frameMargins().isNull();
}

// Puts the window in the middle at once, by the frames known then, and again once the window
// manager has framed it and its owner (the owner may not be framed yet at the first start).
// The owner may itself still be settling into its place when both are framed (its own frame
// correction comes later on a busy machine): for a while the window follows the owner's moves.
class Centring final : public QObject {
 public:
  Centring(QWidget& window, const QWidget* owner)
      : QObject(&window), m_window(window), m_owner(owner) {
    if (owner) const_cast<QWidget*>(owner)->installEventFilter(this);
    QTimer::singleShot(kFollowMs, this, &QObject::deleteLater);
  }
  ~Centring() override {
    if (m_owner) const_cast<QWidget*>(m_owner.data())->removeEventFilter(this);
  }

  void Check(int attempt) {
    if (Apply() || attempt >= 40) return;
    QTimer::singleShot(50, this, [this, attempt] { Check(attempt + 1); });
  }

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched == m_owner && e->type() == QEvent::Move && m_window.isVisible() &&
        m_followed < kMaxFollowed) {
      ++m_followed;
      m_moves = 0;
      QTimer::singleShot(0, this, [this] { Check(0); });
    }
    return false;
  }

  // True when both frames are known and the window is in the middle.
  bool Apply() {
    const bool ownerInSight = m_owner && m_owner->isVisible() && m_owner->windowHandle();
    QScreen* screen = ownerInSight && m_owner->screen() ? m_owner->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return true;
    const QRect area = screen->availableGeometry();
    // Until the window is framed, it will be framed as its owner is.
    const bool framed = Framed(m_window);
    QMargins frame;
    if (framed)
      frame = m_window.windowHandle()->frameMargins();
    else if (ownerInSight)
      frame = m_owner->windowHandle()->frameMargins();
    const QSize client = m_window.size().expandedTo(m_window.minimumSizeHint());
    QRect target(QPoint(), client.grownBy(frame));
    if (ownerInSight) target.moveCenter(m_owner->windowHandle()->frameGeometry().center());
    if (!ownerInSight || !area.contains(target)) target.moveCenter(area.center());
    const QRect wanted(target.topLeft() + QPoint(frame.left(), frame.top()), client);
    const QRect now = m_window.windowHandle() && m_window.isVisible()
                          ? m_window.windowHandle()->geometry()
                          : m_window.geometry();
    if (now.topLeft() != wanted.topLeft() && m_moves < 3) {
      ++m_moves;
      m_window.setGeometry(wanted);
      return false;
    }
    const bool ownerFramed =
        !ownerInSight || Framed(*m_owner) || (m_owner->windowFlags() & Qt::FramelessWindowHint);
    return framed && ownerFramed;
  }

 private:
  QWidget& m_window;
  QPointer<const QWidget> m_owner;
  int m_moves = 0;
  int m_followed = 0;
  static constexpr int kFollowMs = 3000;
  static constexpr int kMaxFollowed = 4;
};

}  // namespace

void CentreOverOwner(QWidget& window, const QWidget* owner) {
  auto* centring = new Centring(window, owner);
  centring->Apply();
  QTimer::singleShot(0, centring, [centring] { centring->Check(0); });
}

}  // namespace orva
