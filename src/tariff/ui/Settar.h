// TSetTar, "ORVA32 - Impostazione tariffe": the tariff editor window. Its two pages show the
// ordinary and the discounted band grids; every rule and message is SetTarModel's, the
// window copies the grids and fields in and out and forwards the commands.
#pragma once

#include <QDialog>
#include <array>

#include "core/Settings.h"
#include "tariff/Settar.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTabWidget;

namespace orva {

class WindowPlaces;

class TSetTar final : public QDialog {
  Q_OBJECT
 public:
  // `places` keeps the window's place; without it the window opens as built.
  // `directory` holds the tariff files.
  TSetTar(Dialogs& dialogs, Settings& settings, std::string directory,
          WindowPlaces* places = nullptr, QWidget* parent = nullptr);
  SetTarModel& Model() { return m_model; }

  void LoadBtnClick();
  void NewBtnClick();
  void SaveBtnClick();
  void AddBtnClick();
  void DelBtnClick();
  void ClearBtnClick();
  void TestBtnClick();
  void TestAllBtnClick();

 protected:
  void done(int result) override;

 private:
  struct PageWidgets {
    QComboBox* dayClass = nullptr;
    QLineEdit* start = nullptr;
    QLineEdit* end = nullptr;
    QLineEdit* seconds = nullptr;
    QLineEdit* cost = nullptr;
    QLabel* costCaption = nullptr;  // names the currency of the tariff's prices
    QTableWidget* grid = nullptr;
  };
  QWidget* BuildPage(int page);
  int Page() const;
  void StoreGrids();
  void ShowAll();
  void ShowGrid(int page);
  void ShowFields();
  void ApplyFocus();

  Dialogs& m_dialogs;
  Settings& m_settings;
  WindowPlaces* m_places;
  SetTarModel m_model;
  bool m_showing = false;
  QTabWidget* m_pages;
  std::array<PageWidgets, 2> m_w;
  QLineEdit* IDEdit;
  QLineEdit* DESedit;
  QLineEdit* IVAED;
  QLineEdit* StCostED;
  QComboBox* StCostCB;
  QCheckBox* ScoCB;
  QLineEdit* DelayED;
  QComboBox* DelayCB;
};

}  // namespace orva
