// The tariff editor's state and operations: six band lists, the two page grids, the general
// fields, the discount fields and the modified flag, with New, Load, Save, the band list
// rules and the checks. The window copies values in and out and forwards its events here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/Currency.h"
#include "platform/Dialogs.h"
#include "platform/Result.h"
#include "tariff/TariffCheck.h"

namespace orva {

struct TariffFile;

inline constexpr int kOrdinaryPage = 0;    // "Tariffa ordinaria"
inline constexpr int kDiscountedPage = 1;  // "Tariffa scontata"

// Where the window puts the focus after an operation.
struct EditorFocus {
  enum Target { Description, Vat, FixedCharge, Cell } target = Description;
  int page = kOrdinaryPage;  // for Cell
  GridCell cell;             // for Cell
  static EditorFocus Field(Target t) {
    EditorFocus f;
    f.target = t;
    return f;
  }
  static EditorFocus OnCell(int page, GridCell c) {
    EditorFocus f;
    f.target = Cell;
    f.page = page;
    f.cell = c;
    return f;
  }
  bool operator==(const EditorFocus&) const = default;
};

class SetTarModel {
 public:
  static constexpr const char* kBaseCaption = "ORVA32 - Impostazione tariffe";
  static constexpr const char* kFileFilter = "files tariffe telef. (*.trf *.TRF)";
  // The names of the day-class selectors' items.
  static constexpr std::array<const char*, 3> kDayClassNames = {"Feriale", "Prefestiva/Sabato",
                                                                "Festiva"};

  // `directory` is where "Carica" and "Salva con nome" start: the tariffs' folder. A new
  // tariff writes its prices in `newTariffs` (the program's currency); a loaded one keeps its
  // own.
  SetTarModel(Dialogs& dialogs, std::string directory, Currency newTariffs = Currency::Lire);

  // --- state for the window
  std::string Caption() const { return m_caption; }
  const std::string& FileName() const { return m_fileName; }
  const std::string& Description() const { return m_description; }
  const std::string& Abbreviation() const { return m_abbreviation; }
  const std::string& VatText() const { return m_vatText; }
  const std::string& FixedChargeText() const { return m_fixedChargeText; }
  int FixedChargeUnit() const { return m_fixedChargeUnit; }
  // What the tariff's prices (and an amount fixed charge) are written in.
  Currency PriceCurrency() const { return m_currency; }
  bool DiscountOn() const { return m_discountOn; }
  int DiscountUnit() const { return m_discountUnit; }  // -1: none chosen
  const std::string& DiscountThresholdText() const { return m_thresholdText; }
  int DiscountThreshold() const { return m_threshold; }
  bool Modified() const { return m_modified; }
  int ShownPage() const { return m_shownPage; }
  int DayClassIndex(int page) const { return m_dayClass[Page(page)]; }
  const BandGrid& Grid(int page) const { return m_grid[Page(page)]; }
  int SelectedRow(int page) const { return m_selected[Page(page)]; }  // 1 = first band
  const BandRow& SelectedBand(int page) const;
  const std::vector<std::string>& Bands(int page, int dayClass) const;
  // The focus the last operation asks for, once.
  std::optional<EditorFocus> TakeFocus();

  // --- edits from the window
  // Cut to 64, 5, 10 and 10 characters; a change sets the modified flag.
  void SetDescription(const std::string& text);
  void SetAbbreviation(const std::string& text);
  void SetVatText(const std::string& text);
  void SetFixedChargeText(const std::string& text);
  void SetFixedChargeUnit(int unit);
  void SetDiscountOn(bool on);
  // Only the digits are kept; a non-blank text sets the threshold.
  void SetDiscountThresholdText(const std::string& text);
  void SetDiscountUnit(int unit);
  void ShowPage(int page);
  // The grid's cells as the window holds them (rows beyond the first band count).
  void SetGrid(int page, BandGrid grid);
  void SelectRow(int page, int row);
  // An edit field written back into the selected row: a start on row 1 stays "00.00"; an
  // empty tick length or cost leaves the cell alone. Typing a tick length sets the modified
  // flag.
  void EditCell(int page, BandColumn column, const std::string& text);
  // The page's day-class selector: the grid goes into the current list, the chosen class's
  // list becomes current and is shown.
  void SelectDayClass(int page, int dayClass);

  // --- operations (true when done)
  bool New();
  bool Load();
  // Reads a file as Load does after its dialog.
  Status LoadFile(const std::string& path);
  // Takes a tariff read from a file named fileName, as LoadFile does.
  void LoadTariff(const TariffFile& tariff, const std::string& fileName);
  bool Save();
  // Writes the file as Save does after its dialog.
  Status SaveFile(const std::string& path);
  bool AddBand(int page);
  bool DeleteBand(int page);
  bool ClearPage(int page);
  bool TestBand(int page);  // "Test fascia"
  bool TestAll();           // "Test completo"
  bool ValidateTariff();
  // Closing the dialog: the unsaved-changes question.
  bool CanClose();

  // The tariff as it would be written now.
  TariffFile ToTariffFile() const;

 private:
  static std::size_t Page(int page) { return page == kDiscountedPage ? 1 : 0; }
  std::vector<std::string>& CurrentList(int page);
  void StoreGrid(int page);
  void ShowList(int page);
  bool ConfirmDiscard();
  bool ValidatePageClasses(int page);
  void FocusCell(int page, const GridCell& cell);

  Dialogs& m_dialogs;
  std::string m_directory;
  std::string m_caption;
  std::string m_fileName = "NONAME.TRF";
  std::string m_description, m_abbreviation;
  std::string m_vatText = "0", m_fixedChargeText = "0";
  int m_fixedChargeUnit = 0;
  Currency m_newCurrency, m_currency;
  bool m_discountOn = false;
  int m_discountUnit = -1;
  int m_threshold = -1;
  std::string m_thresholdText;
  bool m_modified = false;
  int m_shownPage = kOrdinaryPage;
  // Indexed by page * 3 + day class.
  std::array<std::vector<std::string>, 6> m_lists;
  std::array<BandGrid, 2> m_grid;
  std::array<int, 2> m_dayClass{0, 0};
  std::array<int, 2> m_selected{1, 1};
  std::optional<EditorFocus> m_focus;
};

// The editor's complete test applied to a file as the editor loads it: every message it would
// show, in order, without the trailing line ends, and whether the file passes. A file that
// cannot be read is a failure.
struct TariffFileCheck {
  bool passed = false;
  std::vector<std::string> messages;
};
Result<TariffFileCheck> CheckTariffFile(const std::string& path);

}  // namespace orva
