// A proxy in front of the file chooser's model rewrites the size and date texts; a watcher on
// the application gives it to each chooser before it is first shown.
#include "app/ui/FileDialogColumns.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace orva {

namespace {

class LocaleFileColumns final : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
      return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == 1) {
      // Folders have no size of their own: the model's own (empty) text stays.
      if (files->isDir(source)) return QIdentityProxyModel::data(index, role);
      return QLocale().formattedDataSize(files->size(source));
    }
    return QLocale().toString(files->lastModified(source), QStringLiteral("d MMM yyyy HH:mm"));
  }
};

class FileDialogWatcher final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // A widget is polished once, just before it is first shown.
    if (event->type() == QEvent::Polish) {
      if (auto* dialog = qobject_cast<QFileDialog*>(watched); dialog && !dialog->proxyModel())
        dialog->setProxyModel(new LocaleFileColumns(dialog));
    }
    return false;
  }
};

}  // namespace

QObject* InstallItalianFileColumns(QCoreApplication& app) {
  auto* watcher = new FileDialogWatcher(&app);
  app.installEventFilter(watcher);
  return watcher;
}

}  // namespace orva
