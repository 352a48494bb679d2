// THostsDlg, "Gestione indirizzi dei server": the servers resolved during the last calls (the
// staging file "hosts.mqm", left) beside the system hosts file (right), with copying,
// deleting, loading and saving of both. Widgets and wiring only; the lists and their rules
// are HostsModel's.
#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "net/Hosts.h"
#include "platform/Dialogs.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace orva {

class HostsListModel;
class PkexecHostsAuthority;
class TSmallMsg;

class THostsDlg final : public QDialog {
  Q_OBJECT
 public:
  // `position` is [Host dialog] "Host pos": applied now, written back when the dialog closes.
  // The lists come from the paths' staging list ("hosts.mqm") and system hosts file.
  THostsDlg(HostsPaths paths, Dialogs& dialogs, std::string& position, QWidget* parent = nullptr);
  ~THostsDlg() override;

  const HostsModel& Model() const { return m_model; }
  TSmallMsg& ProgressBoxWindow() { return *m_progress; }

  // Loads both lists; runs once, at the first showing.
  void FormActivate();
  void HeaderClick(int side);
  void Load0BtnClick();
  void Save0BtnClick();
  void TransparentButton3Click();  // deletes the selected staging rows
  void Sel0BtnClick();
  void Load1BtnClick();
  void Save1BtnClick();
  void Dele1BtnClick();
  void Sel1BtnClick();
  void Button1Click();  // ">"
  void Button2Click();  // ">>>"

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  struct Side {
    QTreeView* list = nullptr;
    HostsListModel* rows = nullptr;
    QLabel* address = nullptr;
    QLabel* time = nullptr;
    QLabel* count = nullptr;
  };
  QWidget* BuildSide(int side);
  void ShowList(int side);
  void ShowCurrent(int side);
  std::vector<int> SelectedRows(int side) const;
  void DeleteRows(int side);
  void Report(const Status& status);

  Dialogs& m_dialogs;
  std::string& m_position;
  std::string m_systemPath;
  std::unique_ptr<TSmallMsg> m_progress;
  // A system hosts file this program may not write is saved through the privileged helper.
  std::unique_ptr<PkexecHostsAuthority> m_authority;
  HostsModel m_model;
  std::array<Side, 2> m_sides{};
  bool m_activated = false;
  // An operation runs (its loop pumps events): the buttons do nothing meanwhile.
  bool m_busy = false;
};

}  // namespace orva
