// The connection log chooser.
#include "app/ui/SelLogForm.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace orva {

TSelLogForm::TSelLogForm(const QString& startFolder, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SelLogForm"));
  setWindowTitle(QStringLiteral("Scelta elenco connessioni"));

  // The places a log may be on: the home folder, the start folder and every mounted volume.
  m_drives = new QComboBox(this);
  m_drives->setObjectName(QStringLiteral("DriveComboBox1"));
  QStringList places;
  places << QDir::homePath();
  if (!startFolder.isEmpty()) places << QDir(startFolder).absolutePath();
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
    if (v.isValid() && v.isReady() && !v.isReadOnly()) places << v.rootPath();
  places.removeDuplicates();
  m_drives->addItems(places);

  m_folderModel = new QFileSystemModel(this);
  m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  m_folderModel->setRootPath(QStringLiteral("/"));
  m_folders = new QTreeView(this);
  m_folders->setObjectName(QStringLiteral("DirectoryListBox1"));
  m_folders->setModel(m_folderModel);
  for (int c = 1; c < m_folderModel->columnCount(); ++c) m_folders->hideColumn(c);
  m_folders->header()->hide();

  m_fileModel = new QFileSystemModel(this);
  m_fileModel->setFilter(QDir::Files);
  m_fileModel->setNameFilters({QStringLiteral("*.log")});
  m_fileModel->setNameFilterDisables(false);
  m_fileModel->setOption(QFileSystemModel::DontWatchForChanges, false);
  m_files = new QListView(this);
  m_files->setObjectName(QStringLiteral("FileListBox1"));
  m_files->setModel(m_fileModel);

  m_ok = new QPushButton(QStringLiteral("OK"), this);
  m_ok->setObjectName(QStringLiteral("OKBtn"));
  m_ok->setEnabled(false);
  m_ok->setDefault(true);
  auto* ignore = new QPushButton(QStringLiteral("Ignora"), this);
  ignore->setObjectName(QStringLiteral("IgnoraBtn"));

  auto* lists = new QHBoxLayout;
  lists->addWidget(m_folders, 1);
  lists->addWidget(m_files, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_ok);
  buttons->addWidget(ignore);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_drives);
  layout->addLayout(lists, 1);
  layout->addLayout(buttons);
  resize(520, 340);

  connect(m_drives, &QComboBox::currentIndexChanged, this, &TSelLogForm::DriveComboBox1Change);
  connect(m_folders, &QTreeView::clicked, this,
          [this](const QModelIndex& i) { DirectoryListBox1Change(m_folderModel->filePath(i)); });
  connect(m_files->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TSelLogForm::FileListBox1Click);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(ignore, &QPushButton::clicked, this, &QDialog::reject);

  const QString first = startFolder.isEmpty() ? QDir::homePath() : startFolder;
  DirectoryListBox1Change(QDir(first).absolutePath());
}

void TSelLogForm::DriveComboBox1Change(int index) {
  if (index >= 0) DirectoryListBox1Change(m_drives->itemText(index));
}

void TSelLogForm::DirectoryListBox1Change(const QString& folder) {
  const QModelIndex dir = m_folderModel->index(folder);
  m_folders->setCurrentIndex(dir);
  m_folders->expand(dir);
  m_files->setRootIndex(m_fileModel->setRootPath(folder));
  m_files->selectionModel()->clearCurrentIndex();
  m_selected.clear();
  m_ok->setEnabled(false);
}

void TSelLogForm::FileListBox1Click() {
  const QModelIndex i = m_files->currentIndex();
  m_selected = i.isValid() ? m_fileModel->filePath(i) : QString();
  m_ok->setEnabled(!m_selected.isEmpty());
}

QString ChooseLogFile(const QString& startFolder, QWidget* parent) {
  TSelLogForm form(startFolder, parent);
  form.exec();
  return form.SelectedFile();
}

}  // namespace orva
