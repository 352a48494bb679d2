// TURLDlg: the servers visited during one logged call, read again from its file in the "Urls"
// folder. A read-only list of host name, address and time of access.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "net/Hosts.h"

class QLabel;
class QTableView;
class QStandardItemModel;

namespace orva {

class WindowPlaces;

class TURLDlg final : public QDialog {
  Q_OBJECT
 public:
  // `caption` may hold a line break ("...il 08/12/26\n alle ore 09.00.00"): it is shown
  // above the list, and on one line as the window title. The file is read at the first
  // showing. `places` keeps the window's place; without it the window opens as built.
  TURLDlg(std::string path, std::string caption, WindowPlaces* places = nullptr,
          QWidget* parent = nullptr);
  ~TURLDlg() override;

  // Reads the file (done once, at the first showing).
  void FormActivate();
  const std::vector<TIpaddr>& Rows() const { return m_rows; }

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  std::string m_path;
  WindowPlaces* m_places;
  std::vector<TIpaddr> m_rows;
  QTableView* m_list = nullptr;
  QStandardItemModel* m_model = nullptr;
  bool m_activated = false;
};

}  // namespace orva
