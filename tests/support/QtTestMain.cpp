// The main of the window tests: a QApplication on the offscreen platform with a fixed locale,
// then every GoogleTest case on the one user-interface thread.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <cstdlib>

int main(int argc, char** argv) {
  // No display is needed; a test run from a desktop shell must not open windows on it.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QLocale::setDefault(QLocale::c());
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ORVA32"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
