// The log window's logic.
#include "log/Logform.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "log/LogFile.h"
#include "log/Servform.h"
#include "platform/FileLock.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/Trim.h"

namespace orva {
namespace {

std::string CallKey(std::string_view date, std::string_view start, std::string_view end) {
  std::string key;
  key.reserve(date.size() + start.size() + end.size() + 2);
  key.append(date).push_back('\x1f');
  key.append(start).push_back('\x1f');
  key.append(end);
  return key;
}

}  // namespace

DupQuestion AskDuplicatesWith(Dialogs& dialogs) {
  return [&dialogs] {
    switch (dialogs.Message(std::string(kAskDuplicates), MsgType::Warning, MsgButtons::YesNo)) {
      case MsgAnswer::Yes:
        return DupAnswer::Si;
      case MsgAnswer::No:
        return DupAnswer::No;
      default:
        return DupAnswer::Closed;
    }
  };
}

std::string ChangeFileExt(const std::string& path, std::string_view extension) {
  const std::string name = FileNameOf(path);
  const auto dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  return DirectoryOf(path) + stem + std::string(extension);
}

std::string DefaultFileExt(const std::string& path, std::string_view extension) {
  const std::string name = FileNameOf(path);
  const auto dot = name.rfind('.');
  // A leading dot names a hidden file, not an extension.
  if (dot != std::string::npos && dot > 0 && dot + 1 < name.size()) return path;
  if (!name.empty() && name.back() == '.')
    return path.substr(0, path.size() - 1) + std::string(extension);
  return path + std::string(extension);
}

namespace {

// A log cost (lire) as euro for a spreadsheet: a decimal comma, no thousands points.
std::string CsvEuroCost(std::string_view lireText) {
  const auto lire = ParseDecimal(lireText);
  if (!lire) return std::string(lireText);
  std::string text =
      FormatFixed(FromLire(*lire, Currency::Euro), AmountDecimals(*lire, Currency::Euro));
  for (char& c : text)
    if (c == '.') c = ',';
  return text == "-0,00" ? "0,00" : text;
}

void AppendCsvField(std::string& out, std::string_view f, char separator) {
  const char special[] = {separator, '"', '\r', '\n', '\0'};
  if (f.find_first_of(special) == std::string_view::npos) {
    out.append(f);
  } else {
    out.push_back('"');
    for (char c : f) {
      if (c == '"') out.push_back('"');
      out.push_back(c);
    }
    out.push_back('"');
  }
  out.push_back(separator);
}

}  // namespace

std::string FormatCsvLine(const TConnObj& record, Currency currency) {
  const bool euro = currency == Currency::Euro;
  const char separator = euro ? ';' : ',';
  std::string out;
  for (std::size_t i = 0; i < kLogFieldCount; ++i) {
    const std::string_view f = record.Field(i);
    if (euro && i == static_cast<std::size_t>(LogField::Cost))
      AppendCsvField(out, CsvEuroCost(TrimBlanks(f)), separator);
    else
      AppendCsvField(out, f, separator);
  }
  return out;
}

std::string CsvHeaderLine(Currency currency) {
  if (currency == Currency::Lire) return {};
  std::string out;
  for (const char* name : {"Data", "Inizio", "Fine", "Durata", "Tariffa", "Scatti", "Costo (€)",
                           "Bps", "Ricevuti", "Spediti", "Connessione a"})
    AppendCsvField(out, name, ';');
  return out;
}

LogModel::LogModel(Dialogs& dialogs, std::string programDirectory,
                   std::shared_ptr<LogClipboard> clipboard)
    : m_dialogs(dialogs),
      m_programDirectory(std::move(programDirectory)),
      m_clipboard(clipboard ? std::move(clipboard) : std::make_shared<LogClipboard>()) {}

std::string LogModel::SwapFilePath() const {
  return ResolveNoCase(JoinPath(m_programDirectory, kSwapFileName));
}

std::string LogModel::ServiceFilePathHere() const {
  return ResolveNoCase(JoinPath(m_programDirectory, kServiceFileName));
}

void LogModel::Select(std::size_t row, bool on) {
  if (row < m_selected.size()) m_selected[row] = on;
}

void LogModel::SelectAll() {
  m_selected.assign(m_records.size(), true);
}
void LogModel::ClearSelection() {
  m_selected.assign(m_records.size(), false);
}

std::size_t LogModel::SelectedCount() const {
  return static_cast<std::size_t>(std::count(m_selected.begin(), m_selected.end(), true));
}

LoadOutcome LogModel::Load(const std::string& path) {
  std::vector<TConnObj> records;
  LoadOutcome out = LoadLogFile(path, records);
  if (!out.existed || !out.status) return out;
  RememberOnDisk(records);
  m_records = std::move(records);
  m_selected.assign(m_records.size(), false);
  m_modified = false;
  Resort();
  return out;
}

namespace {

std::uint64_t LineDigest(std::string_view line) {
  return std::hash<std::string_view>{}(line);
}

}  // namespace

void LogModel::RememberOnDisk(const std::vector<TConnObj>& records) {
  m_onDisk.clear();
  m_onDisk.reserve(records.size());
  for (const auto& r : records) ++m_onDisk[LineDigest(FormatLogLine(r))];
}

Result<std::size_t> LogModel::TakeAppended() {
  std::vector<TConnObj> onDisk;
  const LoadOutcome read = LoadLogFile(m_logPath, onDisk);
  if (!read.status) return Result<std::size_t>::Fail(read.status.error);
  if (!read.existed) return Result<std::size_t>::Ok(0);
  // Every record of the file that this list did not read or write (the same call may be in
  // the file twice: each copy counts) is a call appended since.
  auto known = m_onDisk;
  std::size_t added = 0;
  for (const auto& r : onDisk) {
    const auto it = known.find(LineDigest(FormatLogLine(r)));
    if (it != known.end() && it->second > 0) {
      --it->second;
      continue;
    }
    m_records.push_back(r);
    ++added;
  }
  RememberOnDisk(onDisk);
  if (added > 0) {
    m_selected.resize(m_records.size(), false);
    Resort();
  }
  return Result<std::size_t>::Ok(added);
}

void LogModel::RecordRewritten(const std::string& oldLine, const std::string& newLine) {
  const auto known = m_onDisk.find(LineDigest(oldLine));
  if (known == m_onDisk.end() || known->second == 0) return;  // not read from this file
  if (--known->second == 0) m_onDisk.erase(known);
  ++m_onDisk[LineDigest(newLine)];
  for (auto it = m_records.rbegin(); it != m_records.rend(); ++it)
    if (FormatLogLine(*it) == oldLine) {
      *it = ParseLogRecord(newLine);
      break;
    }
}

Status LogModel::WriteList() {
  Status s = SaveLogFile(m_records, m_logPath);
  if (!s) return s;
  // The file now holds the list (less the records without a date, which are not written).
  std::vector<TConnObj> written;
  written.reserve(m_records.size());
  for (const auto& r : m_records)
    if (TrimControls(r.Date()) != "?") written.push_back(r);
  RememberOnDisk(written);
  m_modified = false;
  return s;
}

Status LogModel::Show() {
  if (!m_logPath.empty()) {
    const LoadOutcome loaded = Load(m_logPath);
    if (!loaded.status) return loaded.status;
  }
  return RebuildServices();
}

Status LogModel::Save() {
  // Held from taking in the calls appended meanwhile to the rename, so that none comes in
  // between and is lost.
  const Result<FileUpdateLock> lock = LockForUpdate(m_logPath);
  if (!lock) return Status::Fail(lock.error);
  // A log that cannot be read now is not overwritten: what it holds might be lost.
  const Result<std::size_t> appended = TakeAppended();
  if (!appended) return Status::Fail(appended.error);
  return WriteList();
}

Status LogModel::Open(const std::string& path) {
  m_logPath = path;
  m_onDisk.clear();
  const LoadOutcome loaded = Load(path);
  if (!loaded.status) return loaded.status;
  return RebuildServices();
}

Status LogModel::New(const std::string& path) {
  m_logPath = DefaultFileExt(path, ".LOG");
  m_onDisk.clear();
  if (!FileExists(m_logPath)) {
    Status created = ReplaceFile(m_logPath, "");
    if (!created) return created;
  }
  const LoadOutcome loaded = Load(m_logPath);
  if (!loaded.status) return loaded.status;
  return RebuildServices();
}

Status LogModel::SaveAs(const std::string& path) {
  // The calls appended to the log in use come along; the chosen file is overwritten, as its
  // chooser asked.
  const Result<FileUpdateLock> lock = LockForUpdate(m_logPath);
  if (!lock) return Status::Fail(lock.error);
  const Result<std::size_t> appended = TakeAppended();
  if (!appended) return Status::Fail(appended.error);
  m_logPath = DefaultFileExt(path, ".LOG");
  const Result<FileUpdateLock> target = LockForUpdate(m_logPath);
  if (!target) return Status::Fail(target.error);
  return WriteList();
}

bool LogModel::ConfirmDiscard() {
  if (!m_modified) return true;
  switch (m_dialogs.Message(std::string(kAskSaveChanges), MsgType::Confirmation,
                            MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes: {
      const Status saved = Save();
      if (!saved) {
        // Keep the window open: the changes are not on disk.
        m_dialogs.Message(saved.error, MsgType::Error, MsgButtons::Ok);
        return false;
      }
      return true;
    }
    case MsgAnswer::No:
      return true;
    default:
      return false;
  }
}

bool LogModel::HeaderClick(int column) {
  if (!sort.Click(column)) return false;
  if (!m_records.empty()) SortLogRecords(m_records, sort.column, sort.ascending);
  return true;
}

void LogModel::Resort() {
  if (!m_records.empty() && sort.column > 0) SortLogRecords(m_records, sort.column, sort.ascending);
}

LogTotals LogModel::Totals() const {
  return ComputeLogTotals(m_records, m_selected, decimals, vatRate, currency);
}

bool LogModel::Delete(bool ctrlHeld, Status* serviceSave) {
  if (m_records.empty() || SelectedCount() == 0) return false;
  if (!ctrlHeld && m_dialogs.Message(std::string(kAskDelete), MsgType::Confirmation,
                                     MsgButtons::YesNo) != MsgAnswer::Yes)
    return false;
  std::vector<TConnObj> kept;
  kept.reserve(m_records.size());
  for (std::size_t i = 0; i < m_records.size(); ++i)
    if (!Selected(i)) kept.push_back(std::move(m_records[i]));
  m_records = std::move(kept);
  m_selected.assign(m_records.size(), false);
  m_modified = true;
  const Status s = RebuildServices();
  if (serviceSave) *serviceSave = s;
  return true;
}

ImportOutcome LogModel::ImportFrom(const std::string& path, const DupQuestion& ask) {
  ImportOutcome out;
  auto bytes = ReadFileBytes(path);
  if (!bytes) {
    out.status = Status::Fail(bytes.error);
    return out;
  }
  std::vector<TConnObj> incoming = ParseLogBytes(*bytes, true);

  std::unordered_set<std::string> calls;
  calls.reserve(m_records.size() + incoming.size());
  for (const auto& r : m_records) calls.insert(CallKey(r.Date(), r.Start(), r.End()));

  enum class Rule { Ask, AddAll, SkipAll } rule = Rule::Ask;
  for (auto& r : incoming) {
    std::string key = CallKey(r.Date(), r.Start(), r.End());
    if (calls.count(key) != 0) {
      if (rule == Rule::Ask) {
        switch (ask ? ask() : DupAnswer::Closed) {
          case DupAnswer::Si:
            rule = Rule::AddAll;
            break;
          case DupAnswer::No:
            rule = Rule::SkipAll;
            break;
          case DupAnswer::Closed:
            break;  // skip this one, ask again at the next
        }
      }
      if (rule != Rule::AddAll) {
        ++out.duplicatesSkipped;
        continue;
      }
    } else {
      calls.insert(std::move(key));
    }
    m_records.push_back(std::move(r));
    ++out.added;
  }
  m_selected.resize(m_records.size(), false);
  Resort();
  m_modified = true;
  return out;
}

ImportOutcome LogModel::Import(const std::string& fromPath, const DupQuestion& ask) {
  if (EqualsNoCase(fromPath, m_logPath)) {
    ImportOutcome out;
    out.sameFile = true;
    return out;
  }
  ImportOutcome out = ImportFrom(fromPath, ask);
  if (!out.status) return out;
  out.status = Save();
  // The services of the calls brought in are offered by the combo and the filter at once.
  if (Status services = RebuildServices(); out.status) out.status = services;
  return out;
}

Status LogModel::Copy() {
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < m_records.size(); ++i)
    if (Selected(i)) rows.push_back(i);
  Status s = ReplaceFile(SwapFilePath(), EncodeLogRecords(m_records, rows));
  if (s) m_clipboard->copied = true;
  return s;
}

ImportOutcome LogModel::Paste(const DupQuestion& ask) {
  ImportOutcome out = ImportFrom(SwapFilePath(), ask);
  if (out.status) out.status = RebuildServices();
  return out;
}

Status LogModel::ExportCsv(const std::string& path) const {
  std::string bytes;
  bytes.reserve(m_records.size() * 100);
  if (const std::string header = CsvHeaderLine(currency); !header.empty())
    bytes.append(Utf8ToCp1252(header) + "\r\n");
  for (const auto& r : m_records) {
    bytes.append(Utf8ToCp1252(FormatCsvLine(r, currency)));
    bytes.append("\r\n");
  }
  return ReplaceFile(path, bytes);
}

void LogModel::SelectByCriteria(const LogFilter& filter) {
  if (!filter.byService && !filter.byDate) return;
  ClearSelection();
  const TDateTime from = DatePart(filter.from), to = DatePart(filter.to);
  for (std::size_t i = 0; i < m_records.size(); ++i) {
    const TConnObj& r = m_records[i];
    if (filter.byService &&
        TrimControls(r.Service()).find(filter.service) != std::string_view::npos)
      m_selected[i] = true;
    if (filter.byDate) {
      const auto d = StrToDate(r.Date());
      const bool inside = d && *d >= from && *d <= to;
      if (!inside)
        m_selected[i] = false;
      else if (!filter.byService)
        m_selected[i] = true;
    }
  }
}

Status LogModel::RebuildServices() {
  m_services = DistinctServices(m_records);
  return SaveServiceFile(m_services, ServiceFilePathHere());
}

Status LogModel::ChangeService(const std::string& service) {
  if (m_dialogs.Message(std::string(kAskChangeService), MsgType::Confirmation, MsgButtons::YesNo) !=
      MsgAnswer::Yes)
    return Status::Ok();
  for (std::size_t i = 0; i < m_records.size(); ++i)
    if (Selected(i)) m_records[i].Set(LogField::Service, service);
  m_modified = true;
  Status saved = Save();
  Status rebuilt = RebuildServices();
  return saved ? rebuilt : saved;
}

TConnObj LogModel::NewManualRecord() {
  TConnObj r;
  r.Set(LogField::Service, "Nessuno");
  r.Set(LogField::Bps, "n.d");
  r.Set(LogField::Received, "n.d");
  r.Set(LogField::Sent, "n.d");
  r.Set(LogField::Ticks, "0");
  r.Set(LogField::Cost, "0");
  return r;
}

Status LogModel::AddRecord(TConnObj record) {
  m_records.push_back(std::move(record));
  m_selected.push_back(false);
  Resort();
  m_modified = true;
  return RebuildServices();
}

Status LogModel::ReplaceRecord(std::size_t row, TConnObj record) {
  if (row >= m_records.size()) return Status::Ok();
  m_records[row] = std::move(record);
  Resort();
  m_modified = true;
  return RebuildServices();
}

}  // namespace orva
