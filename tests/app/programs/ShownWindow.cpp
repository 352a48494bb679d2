// A program that opens one window (titled by its argument) and ends after a while: what a user
// starts with the link.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget w;
  w.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1])
                            : QStringLiteral("Programma avviato"));
  w.resize(200, 120);
  w.show();
  QTimer::singleShot(30000, &app, &QApplication::quit);
  return app.exec();
}
