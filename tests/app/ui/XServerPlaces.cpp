// Reads window places from the X server over a connection of its own.
#include "XServerPlaces.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

#ifdef ORVA_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace orva::test {

#ifdef ORVA_HAVE_XCB
namespace {

struct Connection {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  ~Connection() { xcb_disconnect(c); }
  bool Ok() const { return c && !xcb_connection_has_error(c); }
};

template <class Reply>
struct Owned {
  Reply* r;
  ~Owned() { std::free(r); }
};

}  // namespace

std::optional<XPlace> XServerPlace(QWidget& window) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb") || !window.isVisible() ||
      !window.windowHandle())
    return std::nullopt;
  QApplication::sync();  // what Qt asked for has reached the server
  Connection x;
  if (!x.Ok()) return std::nullopt;
  const auto id = static_cast<xcb_window_t>(window.windowHandle()->winId());
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.c)).data->root;
  const Owned<xcb_translate_coordinates_reply_t> client{xcb_translate_coordinates_reply(
      x.c, xcb_translate_coordinates(x.c, id, root, 0, 0), nullptr)};
  if (!client.r) return std::nullopt;
  // The frame is the window's ancestor that is a child of the root window.
  xcb_window_t frame = id;
  for (int depth = 0; depth < 16; ++depth) {
    const Owned<xcb_query_tree_reply_t> tree{
        xcb_query_tree_reply(x.c, xcb_query_tree(x.c, frame), nullptr)};
    if (!tree.r) return std::nullopt;
    if (tree.r->parent == root || tree.r->parent == XCB_NONE) break;
    frame = tree.r->parent;
  }
  const Owned<xcb_get_geometry_reply_t> geometry{
      xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, frame), nullptr)};
  if (!geometry.r) return std::nullopt;
  return XPlace{QPoint(geometry.r->x, geometry.r->y), QPoint(client.r->dst_x, client.r->dst_y)};
}

bool MoveFrameOnXServer(QWidget& window, QPoint topLeft) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb") || !window.windowHandle())
    return false;
  Connection x;
  if (!x.Ok()) return false;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.c)).data->root;
  static constexpr char kName[] = "_NET_MOVERESIZE_WINDOW";
  const Owned<xcb_intern_atom_reply_t> atom{
      xcb_intern_atom_reply(x.c, xcb_intern_atom(x.c, 0, sizeof kName - 1, kName), nullptr)};
  if (!atom.r) return false;
  xcb_client_message_event_t move{};
  move.response_type = XCB_CLIENT_MESSAGE;
  move.format = 32;
  move.window = static_cast<xcb_window_t>(window.windowHandle()->winId());
  move.type = atom.r->atom;
  // North-west gravity (the frame's corner), x and y given, from a pager.
  move.data.data32[0] = XCB_GRAVITY_NORTH_WEST | 1u << 8 | 1u << 9 | 2u << 12;
  move.data.data32[1] = static_cast<uint32_t>(topLeft.x());
  move.data.data32[2] = static_cast<uint32_t>(topLeft.y());
  xcb_send_event(x.c, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&move));
  xcb_flush(x.c);
  // Done when the window manager has moved the frame (at most 4 s).
  QElapsedTimer t;
  t.start();
  for (std::optional<XPlace> now; t.elapsed() < 4000; QTest::qWait(20))
    if ((now = XServerPlace(window)) && now->frame == topLeft) return true;
  return false;
}

QString NoXServerReason() {
  if (QGuiApplication::platformName() != QStringLiteral("xcb"))
    return QStringLiteral("needs an X server with a window manager (QT_QPA_PLATFORM=xcb), not ") +
           QGuiApplication::platformName();
  return {};
}
#else
std::optional<XPlace> XServerPlace(QWidget&) {
  return std::nullopt;
}

bool MoveFrameOnXServer(QWidget&, QPoint) {
  return false;
}

QString NoXServerReason() {
  return QStringLiteral("built without XCB");
}
#endif

std::optional<XPlace> SettledXServerPlace(QWidget& window) {
  std::optional<XPlace> last = XServerPlace(window);
  QElapsedTimer t;
  t.start();
  for (qint64 still = 0; t.elapsed() < 4000 && still < 300;) {
    const qint64 before = t.elapsed();
    QTest::qWait(20);
    const std::optional<XPlace> now = XServerPlace(window);
    still = now == last ? still + (t.elapsed() - before) : 0;
    last = now;
  }
  return last;
}

QString Describe(const std::optional<XPlace>& p) {
  if (!p) return QStringLiteral("(not on the X server)");
  return QStringLiteral("frame %1,%2 client %3,%4")
      .arg(p->frame.x())
      .arg(p->frame.y())
      .arg(p->client.x())
      .arg(p->client.y());
}

}  // namespace orva::test
