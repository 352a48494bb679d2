// The desktop's program launcher.
#include "platform/qt/WindowStateLauncher.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#ifdef ORVA_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#endif

namespace orva {

namespace {

enum class Wanted { Nothing, Maximised, Minimised };

Wanted WantedState(ShowWindow show) {
  switch (show) {
    case ShowWindow::swMaximize:
    case ShowWindow::swShowMaximized:
      return Wanted::Maximised;
    case ShowWindow::swMinimize:
    case ShowWindow::swShowMinimized:
    case ShowWindow::swShowMinNoActive:
      return Wanted::Minimised;
    default:
      return Wanted::Nothing;
  }
}

#ifdef ORVA_HAVE_XCB

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// A connection of its own to the X server, for the time one started program is looked for.
class XWindowFinder {
 public:
  XWindowFinder() : m_c(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(m_c)) return;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    m_clientList = Atom("_NET_CLIENT_LIST");
    m_pid = Atom("_NET_WM_PID");
  }
  ~XWindowFinder() { xcb_disconnect(m_c); }
  XWindowFinder(const XWindowFinder&) = delete;
  XWindowFinder& operator=(const XWindowFinder&) = delete;

  bool Ok() const { return m_root != XCB_NONE && m_clientList != XCB_NONE && m_pid != XCB_NONE; }

  // The window manager's client window of the process, or XCB_NONE.
  xcb_window_t WindowOf(int pid) {
    for (const xcb_window_t w : Cardinals(m_root, m_clientList, XCB_ATOM_WINDOW, 4096)) {
      const std::vector<uint32_t> owner = Cardinals(w, m_pid, XCB_ATOM_CARDINAL, 1);
      if (!owner.empty() && owner.front() == static_cast<uint32_t>(pid)) return w;
    }
    return XCB_NONE;
  }

  void Maximise(xcb_window_t w) {
    // Add (1) both maximised states, asked by an application (1).
    Send(w, Atom("_NET_WM_STATE"),
         {1, Atom("_NET_WM_STATE_MAXIMIZED_VERT"), Atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 1, 0});
  }
  void Minimise(xcb_window_t w) {
    Send(w, Atom("WM_CHANGE_STATE"), {3 /* IconicState */, 0, 0, 0, 0});
  }
  bool Maximised(xcb_window_t w) {
    const std::vector<uint32_t> s = Cardinals(w, Atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 64);
    const auto has = [&](const char* n) {
      return std::find(s.begin(), s.end(), Atom(n)) != s.end();
    };
    return has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ");
  }
  bool Minimised(xcb_window_t w) {
    const xcb_atom_t wmState = Atom("WM_STATE");
    const std::vector<uint32_t> s = Cardinals(w, wmState, wmState, 2);
    return !s.empty() && s.front() == 3;
  }

 private:
  xcb_atom_t Atom(const char* name) {
    const Reply<xcb_intern_atom_reply_t> r{
        xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
        &std::free};
    return r ? r->atom : XCB_NONE;
  }

  // A property of 32-bit values of the given type, at most `most` of them.
  std::vector<uint32_t> Cardinals(xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
                                  uint32_t most) {
    const Reply<xcb_get_property_reply_t> r{
        xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, property, type, 0, most), nullptr),
        &std::free};
    if (!r || r->format != 32 || r->type != type) return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    const int n = xcb_get_property_value_length(r.get()) / 4;
    return n > 0 ? std::vector<uint32_t>(values, values + n) : std::vector<uint32_t>{};
  }

  void Send(xcb_window_t w, xcb_atom_t type, std::array<uint32_t, 5> data) {
    if (type == XCB_NONE) return;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = w;
    e.type = type;
    for (std::size_t i = 0; i < data.size(); ++i) e.data.data32[i] = data[i];
    xcb_send_event(m_c, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(m_c);
  }

  xcb_connection_t* m_c;
  xcb_window_t m_root = XCB_NONE;
  xcb_atom_t m_clientList = XCB_NONE;
  xcb_atom_t m_pid = XCB_NONE;
};

// Looks for the started program's window every 200 ms until it is found or the wait is over,
// then asks for the state until the window has kept it for a second: a program that activates
// its window as it opens it (most do) may bring a minimised window back up.
void GiveState(QObject* owner, int pid, Wanted wanted, std::chrono::milliseconds wait) {
  auto finder = std::make_shared<XWindowFinder>();
  if (!finder->Ok()) return;
  struct Progress {
    int roundsLeft;
    xcb_window_t window = XCB_NONE;
    int requests = 0;
    int heldRounds = 0;
  };
  auto progress = std::make_shared<Progress>(Progress{static_cast<int>(wait.count() / 200)});
  auto* timer = new QTimer(owner);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, finder, pid, wanted, progress] {
    Progress& p = *progress;
    if (p.window == XCB_NONE) p.window = finder->WindowOf(pid);
    if (p.window != XCB_NONE) {
      const bool held =
          wanted == Wanted::Maximised ? finder->Maximised(p.window) : finder->Minimised(p.window);
      if (held) {
        if (++p.heldRounds >= 5) p.roundsLeft = 0;
      } else if (p.requests < 5) {
        ++p.requests;
        p.heldRounds = 0;
        wanted == Wanted::Maximised ? finder->Maximise(p.window) : finder->Minimise(p.window);
      } else {
        p.roundsLeft = 0;  // the window manager or the program keeps it otherwise
      }
    }
    if (--p.roundsLeft <= 0) timer->deleteLater();
  });
  timer->start(200);
}

#endif

}  // namespace

Status WindowStateLauncher::Launch(const LaunchRequest& request) {
  TProcess p;
  p.Arguments = request.arguments;
  p.WorkingDirectory = request.workingDirectory;
  p.Show = request.show;
  const Result<int> pid = p.Spawn();
  if (!pid) return Status::Fail(pid.error);
#ifdef ORVA_HAVE_XCB
  const Wanted wanted = WantedState(request.show);
  if (wanted != Wanted::Nothing && QGuiApplication::platformName() == QStringLiteral("xcb")) {
    // The timer lives on this object's thread, whichever thread started the program.
    QMetaObject::invokeMethod(this,
                              [this, id = *pid, wanted] { GiveState(this, id, wanted, wait); });
  }
#else
  (void)WantedState;
#endif
  return Status::Ok();
}

}  // namespace orva
