// The program's pictures, drawn in code: the application icon (also the tray icon and its
// animation frame), the button glyphs and the background of the button panel.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace orva {

// The application icon at a size; `lit` draws the gauge lit, the tray animation's 2nd frame.
QPixmap AppIconPixmap(int size, bool lit = false);
QIcon AppIcon();

// The mail notification icon: an envelope; the animation's frames (0..3) move a bright
// band across it.
QPixmap MailIconPixmap(int size, int frame = 0);

// The glyph of a button: "start", "stop", "zoom", "shrink", "menu", "connect", "hangup",
// "tables", "voice", "phonebook", "setup", "hosts", "clock".
QIcon Glyph(const QString& name, int size = 20);

// The tile of the button panel's background picture.
QPixmap BackgroundTile();

}  // namespace orva
