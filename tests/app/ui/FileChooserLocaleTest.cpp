// The program's file chooser as a person meets it on a desktop whose language is not Italian
// (the suite runs under LC_ALL=C.UTF-8): the size and date columns speak Italian like the rest.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLocale>
#include <QTimer>
#include <QTreeView>

#include "TempDir.h"
#include "app/ui/Translations.h"
#include "platform/qt/QtDialogs.h"

namespace orva {
namespace {

struct Columns {
  QString size, date;
};

// Reads the row of `name` in the open chooser's detail view, then closes the chooser.
void ReadRowThenClose(const QString& name, Columns& out, QElapsedTimer& waited) {
  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
  if (!dialog) return;
  const auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
  if (view && view->model()) {
    const QAbstractItemModel* model = view->model();
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
      if (model->index(row, 0, root).data().toString() != name) continue;
      out.size = model->index(row, 1, root).data().toString();
      out.date = model->index(row, 3, root).data().toString();
    }
  }
  if (!out.size.isEmpty() || waited.elapsed() > 10000) dialog->reject();
}

TEST(FileChooser, SizesAndDatesOfAFileAreItalian) {
  test::TempDir dir;
  const std::string path = dir.File("amici.tel");
  test::WriteBytes(path, std::string(83, 'x'));
  {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(10, 30)),
                                 QFileDevice::FileModificationTime));
  }
  UseItalianInterface(*QCoreApplication::instance());

  Columns seen;
  QElapsedTimer waited;
  waited.start();
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, &poll,
                   [&] { ReadRowThenClose(QStringLiteral("amici.tel"), seen, waited); });
  poll.start();
  QtDialogs dialogs;
  EXPECT_FALSE(dialogs.ChooseOpenFile("Apri file", dir.path(), "files rubrica (*.tel *.TEL)"));
  poll.stop();
  QLocale::setDefault(QLocale::c());  // the suite's own locale for the tests that follow

  EXPECT_EQ(seen.size.toStdString(), "83 byte");
  EXPECT_EQ(seen.date.toStdString(), "9 dic 2026 10:30");
}

}  // namespace
}  // namespace orva
