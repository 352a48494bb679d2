// The program's pictures, drawn in code.
#include "app/ui/Glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace orva {

namespace {

QPixmap Blank(int size) {
  QPixmap p(size, size);
  p.fill(Qt::transparent);
  return p;
}

}  // namespace

QPixmap AppIconPixmap(int size, bool lit) {
  QPixmap pix = Blank(size);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size / 64.0;
  p.scale(s, s);
  // A black meter face with a blue rim.
  QLinearGradient rim(0, 0, 0, 64);
  rim.setColorAt(0, QColor(0x3a, 0x6e, 0xc8));
  rim.setColorAt(1, QColor(0x12, 0x2c, 0x66));
  p.setPen(Qt::NoPen);
  p.setBrush(rim);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  p.setBrush(QColor(0x10, 0x10, 0x10));
  p.drawRoundedRect(QRectF(7, 7, 50, 50), 8, 8);
  // The dial: an arc of ticks and a needle.
  p.setPen(QPen(QColor(0xff, 0xd8, 0x00), 3, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(14, 16, 36, 36), 30 * 16, 120 * 16);
  const double angle = (lit ? 55.0 : 115.0) * M_PI / 180.0;
  p.setPen(
      QPen(lit ? QColor(0xff, 0x50, 0x30) : QColor(Qt::white), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(32, 34), QPointF(32 + 16 * std::cos(angle), 34 - 16 * std::sin(angle)));
  // The lira sign under the dial.
  QFont f;
  f.setBold(true);
  f.setPixelSize(17);
  p.setFont(f);
  p.setPen(QColor(0xff, 0xd8, 0x00));
  p.drawText(QRectF(7, 34, 50, 22), Qt::AlignCenter, QStringLiteral("L."));
  return pix;
}

QPixmap MailIconPixmap(int size, int frame) {
  QPixmap pix = Blank(size);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size / 32.0;
  p.scale(s, s);
  const QRectF body(3, 8, 26, 17);
  p.setPen(QPen(QColor(0x20, 0x30, 0x60), 1.5));
  p.setBrush(QColor(0xff, 0xf4, 0xc8));
  p.drawRoundedRect(body, 2, 2);
  if (frame > 0) {
    // The animation: a yellow band sweeping across the envelope.
    const double x = 3 + (frame % 4) * 6.5;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd8, 0x00, 170));
    p.drawRect(QRectF(x, 9, 6.5, 15));
  }
  p.setPen(QPen(QColor(0x20, 0x30, 0x60), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath flap;
  flap.moveTo(4, 9);
  flap.lineTo(16, 18);
  flap.lineTo(28, 9);
  p.drawPath(flap);
  return pix;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) icon.addPixmap(AppIconPixmap(size));
  return icon;
}

namespace {

const QColor kInk(0x20, 0x20, 0x20);

void Ink(QPainter& p, QColor c, double width = 1.6) {
  p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// Each glyph on a 20 x 20 grid; `name` tells the variants of one drawing apart.
void DrawStart(QPainter& p, const QString&) {
  QPainterPath tri;
  tri.moveTo(6, 4);
  tri.lineTo(16, 10);
  tri.lineTo(6, 16);
  tri.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2e, 0xc2, 0x40));
  p.drawPath(tri);
}

void DrawStop(QPainter& p, const QString&) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xe0, 0x30, 0x30));
  p.drawRoundedRect(QRectF(5, 5, 10, 10), 1.5, 1.5);
}

void DrawWindowSize(QPainter& p, const QString& name) {
  const bool zoom = name == u"zoom";
  Ink(p, zoom ? QColor(Qt::white) : kInk);
  p.setBrush(Qt::NoBrush);
  if (zoom) {
    p.drawRect(QRectF(3.5, 3.5, 13, 13));
    p.drawLine(QPointF(3.5, 6.5), QPointF(16.5, 6.5));
  } else {
    p.drawRect(QRectF(3.5, 8.5, 13, 6));
    p.drawLine(QPointF(7, 5), QPointF(13, 5));
  }
}

void DrawMenu(QPainter& p, const QString&) {
  Ink(p, Qt::white, 2);
  for (double y : {5.5, 10.0, 14.5}) p.drawLine(QPointF(4, y), QPointF(16, y));
}

// A handset, green lifted for connecting, red laid down for hanging up.
void DrawHandset(QPainter& p, const QString& name) {
  const bool up = name == u"connect";
  p.translate(10, 10);
  p.rotate(up ? -30 : 135);
  p.setPen(Qt::NoPen);
  p.setBrush(up ? QColor(0x2e, 0xa0, 0x40) : QColor(0xd0, 0x30, 0x30));
  p.drawRoundedRect(QRectF(-8, -2.5, 16, 5), 2.5, 2.5);
  p.drawEllipse(QRectF(-9, -4.5, 6, 6));
  p.drawEllipse(QRectF(3, -4.5, 6, 6));
}

void DrawTables(QPainter& p, const QString&) {
  Ink(p, kInk, 1.2);
  p.setBrush(QColor(0xf4, 0xf4, 0xe8));
  p.drawRect(QRectF(3.5, 3.5, 13, 13));
  for (double y : {7.5, 11.5}) p.drawLine(QPointF(3.5, y), QPointF(16.5, y));
  p.drawLine(QPointF(8.5, 3.5), QPointF(8.5, 16.5));
}

void DrawCard(QPainter& p, const QString& name) {
  Ink(p, kInk, 1.4);
  p.setBrush(name == u"voice" ? QColor(0xff, 0xd8, 0x00) : QColor(0x9c, 0xc4, 0xff));
  p.drawRoundedRect(QRectF(4, 3, 12, 14), 2, 2);
  p.drawLine(QPointF(7, 7), QPointF(13, 7));
  p.drawLine(QPointF(7, 10), QPointF(13, 10));
  p.drawLine(QPointF(7, 13), QPointF(11, 13));
}

void DrawGear(QPainter& p, const QString&) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x60, 0x60, 0x70));
  p.translate(10, 10);
  for (int i = 0; i < 8; ++i) {
    p.drawRect(QRectF(-1.5, -8.5, 3, 4));
    p.rotate(45);
  }
  p.drawEllipse(QPointF(0, 0), 5.5, 5.5);
  p.setBrush(QColor(0xe8, 0xe8, 0xe8));
  p.drawEllipse(QPointF(0, 0), 2.2, 2.2);
}

void DrawGlobe(QPainter& p, const QString&) {
  Ink(p, QColor(0x20, 0x60, 0xb0), 1.3);
  p.setBrush(QColor(0xd8, 0xe8, 0xff));
  p.drawEllipse(QRectF(3, 3, 14, 14));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(7, 3, 6, 14));
  p.drawLine(QPointF(3, 10), QPointF(17, 10));
}

void DrawClock(QPainter& p, const QString&) {
  Ink(p, kInk, 1.3);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(3, 3, 14, 14));
  Ink(p, QColor(0xc0, 0x20, 0x20), 1.5);
  p.drawLine(QPointF(10, 10), QPointF(10, 5.5));
  p.drawLine(QPointF(10, 10), QPointF(13.5, 11.5));
}

struct GlyphDrawing {
  const char16_t* name;
  void (*draw)(QPainter&, const QString&);
};

constexpr GlyphDrawing kGlyphs[] = {
    {u"start", DrawStart},       {u"stop", DrawStop},     {u"zoom", DrawWindowSize},
    {u"shrink", DrawWindowSize}, {u"menu", DrawMenu},     {u"connect", DrawHandset},
    {u"hangup", DrawHandset},    {u"tables", DrawTables}, {u"voice", DrawCard},
    {u"phonebook", DrawCard},    {u"setup", DrawGear},    {u"hosts", DrawGlobe},
    {u"clock", DrawClock},
};

}  // namespace

QIcon Glyph(const QString& name, int size) {
  QPixmap pix = Blank(size);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size / 20.0;
  p.scale(s, s);
  for (const GlyphDrawing& g : kGlyphs)
    if (name == QStringView(g.name)) g.draw(p, name);
  p.end();
  return QIcon(pix);
}

QPixmap BackgroundTile() {
  // A soft blue-grey brushed strip with faint diagonal lines; tiles without seams at 64 px.
  QPixmap tile(64, 64);
  QPainter p(&tile);
  QLinearGradient g(0, 0, 0, 64);
  g.setColorAt(0, QColor(0xc8, 0xd4, 0xe4));
  g.setColorAt(0.5, QColor(0xe4, 0xea, 0xf2));
  g.setColorAt(1, QColor(0xc8, 0xd4, 0xe4));
  p.fillRect(tile.rect(), g);
  p.setPen(QPen(QColor(255, 255, 255, 70), 1));
  for (int x = -64; x < 64; x += 8) p.drawLine(x, 64, x + 64, 0);
  return tile;
}

}  // namespace orva
