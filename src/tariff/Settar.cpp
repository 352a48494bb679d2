// The tariff editor's logic.
#include "tariff/Settar.h"

#include <algorithm>

#include "core/Amounts.h"
#include "core/HowUtils.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "tariff/Tariffe.h"

namespace orva {

namespace {

constexpr int kLastMinute = 23 * 3600 + 59 * 60;
constexpr const char* kUnsavedQuestion = "File non salvato, andrà perduto !\r\rContinuo ?\r";

const BandRow kEmptyBand{"00.00", "00.00", "0", "0"};

std::string CaptionFor(const std::string& fileName) {
  return std::string(SetTarModel::kBaseCaption) + " - " + fileName;
}

// The path with its extension (after the last "." of the file name) changed to ".TRF".
std::string WithTrfExtension(const std::string& path) {
  const std::string name = FileNameOf(path);
  const auto dot = name.rfind('.');
  const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  return DirectoryOf(path) + base + ".TRF";
}

}  // namespace

SetTarModel::SetTarModel(Dialogs& dialogs, std::string directory, Currency newTariffs)
    : m_dialogs(dialogs),
      m_directory(std::move(directory)),
      m_newCurrency(newTariffs),
      m_currency(newTariffs) {
  m_caption = CaptionFor(m_fileName);
  ShowList(kOrdinaryPage);
  ShowList(kDiscountedPage);
}

const BandRow& SetTarModel::SelectedBand(int page) const {
  const auto& grid = m_grid[Page(page)];
  return grid[static_cast<std::size_t>(m_selected[Page(page)] - 1)];
}

const std::vector<std::string>& SetTarModel::Bands(int page, int dayClass) const {
  return m_lists[Page(page) * 3 + static_cast<std::size_t>(std::clamp(dayClass, 0, 2))];
}

std::vector<std::string>& SetTarModel::CurrentList(int page) {
  return m_lists[Page(page) * 3 + static_cast<std::size_t>(m_dayClass[Page(page)])];
}

std::optional<EditorFocus> SetTarModel::TakeFocus() {
  auto f = m_focus;
  m_focus.reset();
  return f;
}

void SetTarModel::FocusCell(int page, const GridCell& cell) {
  m_focus = EditorFocus::OnCell(static_cast<int>(Page(page)), cell);
  SelectRow(page, cell.row);
}

// --- edits

namespace {
bool Assign(std::string& field, const std::string& text, std::size_t maxChars) {
  std::string cut = Utf8Left(text, maxChars);
  if (cut == field) return false;
  field = std::move(cut);
  return true;
}
}  // namespace

void SetTarModel::SetDescription(const std::string& text) {
  if (Assign(m_description, text, 64)) m_modified = true;
}
void SetTarModel::SetAbbreviation(const std::string& text) {
  if (Assign(m_abbreviation, text, 5)) m_modified = true;
}
void SetTarModel::SetVatText(const std::string& text) {
  if (Assign(m_vatText, WithDecimalPoint(text), 10)) m_modified = true;
}
void SetTarModel::SetFixedChargeText(const std::string& text) {
  if (Assign(m_fixedChargeText, WithDecimalPoint(text), 10)) m_modified = true;
}
void SetTarModel::SetFixedChargeUnit(int unit) {
  const int u = unit == 1 ? 1 : 0;
  if (u != m_fixedChargeUnit) m_modified = true;
  m_fixedChargeUnit = u;
}
void SetTarModel::SetDiscountOn(bool on) {
  m_discountOn = on;
}

void SetTarModel::SetDiscountThresholdText(const std::string& text) {
  std::string digits;
  for (const char c : text)
    if (c >= '0' && c <= '9') digits += c;
  m_thresholdText = digits;
  if (digits.empty()) return;
  // A number too large for the file's integer keeps the previous threshold.
  if (const auto v = ParseInteger(digits)) m_threshold = *v;
}

void SetTarModel::SetDiscountUnit(int unit) {
  m_discountUnit = (unit == 0 || unit == 1) ? unit : -1;
}

void SetTarModel::ShowPage(int page) {
  m_shownPage = static_cast<int>(Page(page));
}

void SetTarModel::SetGrid(int page, BandGrid grid) {
  if (grid.empty()) grid.push_back(kEmptyBand);
  for (BandRow& row : grid) row.cost = WithDecimalPoint(row.cost);
  auto& g = m_grid[Page(page)];
  g = std::move(grid);
  int& sel = m_selected[Page(page)];
  sel = std::clamp(sel, 1, static_cast<int>(g.size()));
}

void SetTarModel::SelectRow(int page, int row) {
  m_selected[Page(page)] = std::clamp(row, 1, static_cast<int>(m_grid[Page(page)].size()));
}

void SetTarModel::EditCell(int page, BandColumn column, const std::string& text) {
  const std::size_t p = Page(page);
  BandRow& row = m_grid[p][static_cast<std::size_t>(m_selected[p] - 1)];
  switch (column) {
    case kStartColumn:
      // The first band always starts at midnight.
      row.start = m_selected[p] == 1 ? "00.00" : text;
      break;
    case kEndColumn:
      row.end = text;
      break;
    case kSecondsColumn:
      if (text.empty()) break;
      if (row.seconds != text) m_modified = true;
      row.seconds = text;
      break;
    case kCostColumn:
      if (!text.empty()) row.cost = WithDecimalPoint(text);
      break;
  }
}

void SetTarModel::SelectDayClass(int page, int dayClass) {
  StoreGrid(page);
  m_dayClass[Page(page)] = std::clamp(dayClass, 0, 2);
  ShowList(page);
}

// --- grid and list exchange

void SetTarModel::StoreGrid(int page) {
  auto& list = CurrentList(page);
  list.clear();
  for (const auto& row : m_grid[Page(page)]) list.push_back(JoinBandRow(row));
}

void SetTarModel::ShowList(int page) {
  const auto& list = CurrentList(page);
  BandGrid grid;
  for (const auto& line : list) {
    const BandFields f = SplitBandLine(line);
    grid.push_back(BandRow{f.start, f.end, f.seconds, f.cost});
  }
  if (grid.empty()) grid.push_back(kEmptyBand);
  RefreshGrid(grid);
  m_grid[Page(page)] = std::move(grid);
  m_selected[Page(page)] = 1;
}

bool SetTarModel::ConfirmDiscard() {
  if (!m_modified) return true;
  return m_dialogs.Message(kUnsavedQuestion, MsgType::Confirmation, MsgButtons::YesNo) ==
         MsgAnswer::Yes;
}

bool SetTarModel::CanClose() {
  return ConfirmDiscard();
}

// --- band list rules

bool SetTarModel::AddBand(int page) {
  const std::size_t p = Page(page);
  auto& grid = m_grid[p];
  const int lastRow = static_cast<int>(grid.size());
  const BandRow& last = grid.back();
  const auto start = ParseBandTime(last.start);
  const auto end = start ? ParseBandTime(last.end) : std::nullopt;
  if (!start || !end) {
    const BandColumn column = start ? kEndColumn : kStartColumn;
    m_dialogs.Beep();
    m_dialogs.Message(BadTimeMessage(lastRow, column, start ? last.end : last.start),
                      MsgType::Warning, MsgButtons::Ok);
    FocusCell(page, GridCell{lastRow, column});
    return false;
  }
  if (*end <= *start) {
    m_dialogs.Beep();
    m_dialogs.Message("La fascia oraria è errata\r", MsgType::Warning, MsgButtons::Ok);
    return false;
  }
  if (*end >= kLastMinute) {
    m_dialogs.Beep();
    m_dialogs.Message("Impossibile aggiungere fascia oltre a quelle già esistenti\r",
                      MsgType::Warning, MsgButtons::Ok);
    return false;
  }
  grid.push_back(BandRow{FormatBandTime(*end + 60), FormatBandTime(*end), "0", "0"});
  m_selected[p] = static_cast<int>(grid.size());
  RefreshGrid(grid);
  m_modified = true;
  return true;
}

bool SetTarModel::DeleteBand(int page) {
  const std::size_t p = Page(page);
  auto& grid = m_grid[p];
  if (grid.size() < 2) return false;
  grid.pop_back();
  m_selected[p] = std::min(m_selected[p], static_cast<int>(grid.size()));
  RefreshGrid(grid);
  return true;
}

bool SetTarModel::ClearPage(int page) {
  if (!ConfirmDiscard()) return false;
  const std::size_t p = Page(page);
  auto& grid = m_grid[p];
  grid.resize(1);
  grid[0].end.clear();
  grid[0].seconds.clear();
  grid[0].cost.clear();
  RefreshGrid(grid);
  m_selected[p] = 1;
  m_modified = false;
  for (std::size_t c = 0; c < 3; ++c) m_lists[p * 3 + c].clear();
  return true;
}

// --- checks

bool SetTarModel::TestBand(int page) {
  const GridCheck check = ValidateBandGrid(m_grid[Page(page)], m_dialogs);
  if (check.focus) FocusCell(page, *check.focus);
  if (!check.ok) return false;
  m_dialogs.Message("Impostazione delle tariffe corretta\r", MsgType::Information, MsgButtons::Ok);
  return true;
}

bool SetTarModel::ValidatePageClasses(int page) {
  for (int c = 0; c < 3; ++c) {
    SelectDayClass(page, c);
    const GridCheck check = ValidateBandGrid(m_grid[Page(page)], m_dialogs);
    if (check.ok) continue;
    if (check.focus) FocusCell(page, *check.focus);
    m_dialogs.Message("Impostazione delle tariffe non corretta o incompleta\r",
                      MsgType::Information, MsgButtons::Ok);
    return false;
  }
  return true;
}

bool SetTarModel::ValidateTariff() {
  ShowPage(kOrdinaryPage);
  StoreGrid(kOrdinaryPage);
  if (!ValidatePageClasses(kOrdinaryPage)) return false;
  if (!IsNotNegative(m_vatText)) {
    m_dialogs.Beep();
    m_dialogs.Message("L'aliquota IVA è errata !\r", MsgType::Warning, MsgButtons::Ok);
    m_focus = EditorFocus::Field(EditorFocus::Vat);
    return false;
  }
  if (!IsNotNegative(m_fixedChargeText)) {
    m_dialogs.Beep();
    m_dialogs.Message("Valore addebito fisso errato !\r", MsgType::Warning, MsgButtons::Ok);
    m_focus = EditorFocus::Field(EditorFocus::FixedCharge);
    return false;
  }
  // Beyond these a call's cost would stop being a number.
  if (ParseDecimal(m_vatText).value_or(0) > kMaxVatPercent) {
    m_dialogs.Beep();
    m_dialogs.Message("L'aliquota IVA è fuori dai limiti (al massimo 100) !\r", MsgType::Warning,
                      MsgButtons::Ok);
    m_focus = EditorFocus::Field(EditorFocus::Vat);
    return false;
  }
  if (ParseDecimal(m_fixedChargeText).value_or(0) > kMaxTickPrice) {
    m_dialogs.Beep();
    m_dialogs.Message("Valore addebito fisso fuori dai limiti (al massimo 10000000) !\r",
                      MsgType::Warning, MsgButtons::Ok);
    m_focus = EditorFocus::Field(EditorFocus::FixedCharge);
    return false;
  }
  if (m_discountOn) {
    ShowPage(kDiscountedPage);
    StoreGrid(kDiscountedPage);
    if (!ValidatePageClasses(kDiscountedPage)) return false;
  }
  return true;
}

bool SetTarModel::TestAll() {
  if (!ValidateTariff()) return false;
  m_dialogs.Message("Tutte le fasce sono impostate correttamente\r", MsgType::Information,
                    MsgButtons::Ok);
  return true;
}

// --- files

bool SetTarModel::New() {
  if (!ConfirmDiscard()) return false;
  m_fileName = "NONAME.TRF";
  m_caption = CaptionFor(m_fileName);
  m_description.clear();
  m_abbreviation.clear();
  m_vatText = "0";
  m_fixedChargeText = "0";
  m_fixedChargeUnit = 0;
  m_currency = m_newCurrency;
  for (auto& list : m_lists) list.clear();
  m_dayClass = {0, 0};
  m_modified = false;
  // Both grids follow their emptied lists, so no band of the old tariff is left on view.
  ShowList(kOrdinaryPage);
  ShowList(kDiscountedPage);
  ClearPage(m_shownPage);
  return true;
}

bool SetTarModel::Load() {
  if (!ConfirmDiscard()) return false;
  const auto path = m_dialogs.ChooseOpenFile("Carica tariffa", m_directory, kFileFilter);
  if (!path) return false;
  const Status st = LoadFile(*path);
  if (!st) {
    m_dialogs.Message(st.error, MsgType::Error, MsgButtons::Ok);
    return false;
  }
  return true;
}

Status SetTarModel::LoadFile(const std::string& path) {
  auto read = ReadTariffFile(path);
  if (!read) return Status::Fail(read.error);
  LoadTariff(*read, TariffFileName(path));
  return Status::Ok();
}

void SetTarModel::LoadTariff(const TariffFile& t, const std::string& fileName) {
  m_shownPage = kOrdinaryPage;
  m_dayClass = {0, 0};
  m_fileName = fileName;
  m_caption = CaptionFor(m_fileName);
  m_description = Utf8Left(t.description, 64);
  m_abbreviation = Utf8Left(t.abbreviation, 5);
  m_vatText = Utf8Left(t.vatText, 10);
  m_fixedChargeText = Utf8Left(t.fixedChargeText, 10);
  m_fixedChargeUnit = t.fixedChargeUnit == 1 ? 1 : 0;
  m_currency = t.currency;
  for (std::size_t c = 0; c < 3; ++c) {
    m_lists[c] = t.bands[c];
    m_lists[3 + c] = t.discountBands[c];
  }
  m_discountOn = t.discountAfter != -1;
  if (m_discountOn) {
    m_threshold = t.discountAfter;
    m_thresholdText = std::to_string(t.discountAfter);
    m_discountUnit = (t.discountUnit == 0 || t.discountUnit == 1) ? t.discountUnit : -1;
  } else {
    m_threshold = -1;
    m_thresholdText.clear();
    m_discountUnit = -1;
  }
  ShowList(kOrdinaryPage);
  ShowList(kDiscountedPage);
  m_modified = false;
}

TariffFile SetTarModel::ToTariffFile() const {
  TariffFile t;
  t.fileName = m_fileName;
  t.abbreviation = m_abbreviation;
  t.description = m_description;
  t.vatText = m_vatText;
  t.fixedChargeText = m_fixedChargeText;
  t.fixedChargeUnit = m_fixedChargeUnit;
  t.currency = m_currency;
  t.discountEnabled = m_discountOn;
  t.discountUnit = m_discountUnit;
  t.discountAfter = m_threshold;
  for (std::size_t c = 0; c < 3; ++c) {
    t.bands[c] = m_lists[c];
    t.discountBands[c] = m_lists[3 + c];
  }
  return t;
}

bool SetTarModel::Save() {
  if (!ValidateTariff()) return false;
  if (m_description.empty()) {
    m_dialogs.Message("Inserire un identificatore della tariffa\r", MsgType::Warning,
                      MsgButtons::Ok);
    m_focus = EditorFocus::Field(EditorFocus::Description);
    return false;
  }
  const auto chosen =
      m_dialogs.ChooseSaveFile("Salva con nome", JoinPath(m_directory, m_fileName), kFileFilter);
  if (!chosen) return false;
  const Status st = SaveFile(WithTrfExtension(*chosen));
  if (!st) {
    m_dialogs.Message(st.error, MsgType::Error, MsgButtons::Ok);
    return false;
  }
  return true;
}

Status SetTarModel::SaveFile(const std::string& path) {
  TariffFile t = ToTariffFile();
  t.fileName = FileNameOf(path);
  const Status st = WriteTariffFile(path, t);
  if (!st) return st;
  m_caption = CaptionFor(TariffFileName(path));
  m_fileName = FileNameOf(path);
  m_modified = false;
  return st;
}

namespace {

// Records what the editor shows; questions are answered "No", choosers cancelled.
class RecordingDialogs final : public NoChoiceDialogs {
 public:
  MsgAnswer Message(const std::string& text, MsgType, MsgButtons buttons) override {
    std::string line = text;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    messages.push_back(std::move(line));
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
  }
  std::vector<std::string> messages;
};

}  // namespace

Result<TariffFileCheck> CheckTariffFile(const std::string& path) {
  RecordingDialogs dialogs;
  SetTarModel editor(dialogs, DirectoryOf(path));
  const Status loaded = editor.LoadFile(path);
  if (!loaded) return Result<TariffFileCheck>::Fail(loaded.error);
  TariffFileCheck check;
  check.passed = editor.TestAll();
  check.messages = std::move(dialogs.messages);
  // The band at fault as the file holds it: its section and its line.
  const auto focus = editor.TakeFocus();
  if (!check.passed && focus && focus->target == EditorFocus::Cell) {
    const int page = focus->page;
    const int dayClass = editor.DayClassIndex(page);
    const BandGrid& grid = editor.Grid(page);
    const auto row = static_cast<std::size_t>(focus->cell.row);
    if (row >= 1 && row <= grid.size())
      check.messages.push_back(
          "[" + BandSection(static_cast<DayClass>(dayClass), page == kDiscountedPage) + "] " +
          std::to_string(row) + "=" + JoinBandRow(grid[row - 1]));
  }
  return Result<TariffFileCheck>::Ok(std::move(check));
}

}  // namespace orva
