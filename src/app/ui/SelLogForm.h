// The connection log chooser: a place box, a folder view and the "*.log" files of the folder.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QListView;
class QPushButton;
class QTreeView;

namespace orva {

class TSelLogForm final : public QDialog {
  Q_OBJECT
 public:
  explicit TSelLogForm(const QString& startFolder, QWidget* parent = nullptr);
  // The file selected in the list (empty when none), whichever button closed the window.
  QString SelectedFile() const { return m_selected; }

  void DriveComboBox1Change(int index);
  void DirectoryListBox1Change(const QString& folder);
  void FileListBox1Click();

 private:
  QComboBox* m_drives;
  QTreeView* m_folders;
  QListView* m_files;
  QFileSystemModel* m_folderModel;
  QFileSystemModel* m_fileModel;
  QPushButton* m_ok;
  QString m_selected;
};

// Shows the chooser modally and gives the chosen log file, empty when none was chosen.
QString ChooseLogFile(const QString& startFolder, QWidget* parent = nullptr);

}  // namespace orva
