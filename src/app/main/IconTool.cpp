// Writes the application icon as PNG files in the freedesktop icon theme layout:
// orva32_icons DIR  ->  DIR/hicolor/<n>x<n>/apps/orva32.png
#include <QDir>
#include <QGuiApplication>

#include "app/ui/Glyphs.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 2) return 2;
  const QString root = QString::fromLocal8Bit(argv[1]);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
    if (!QDir().mkpath(dir)) return 1;
    if (!orva::AppIconPixmap(size).save(dir + QStringLiteral("/orva32.png"))) return 1;
  }
  return 0;
}
