// The logic of the log window: the loaded records and their selection, sorting by header
// clicks, the totals of the selection, delete, import, copy and paste through "swap.tmp",
// CSV export, selection by criteria and the service list. The window only draws the rows and
// forwards its events here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "log/ConnObj.h"
#include "log/LogFile.h"
#include "log/LogSort.h"
#include "log/LogTotals.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/Result.h"

namespace orva {

inline constexpr std::string_view kSwapFileName = "swap.tmp";
inline constexpr std::string_view kAskDelete = "\rCancello gli elementi selezionati ?\r\r";
inline constexpr std::string_view kAskSaveChanges =
    "La lista delle connessioni non è stata salvata, la salvo ?";
inline constexpr std::string_view kAskChangeService =
    "Aggiorno il campo \"Connessione a\" delle voci selezionate ?";
inline constexpr std::string_view kAskDuplicates = "Inserisco connessioni con dati uguali ?";

// The answer of the duplicate warning ("Attenzione"): "Si", "No", or closed otherwise.
enum class DupAnswer { Si, No, Closed };
using DupQuestion = std::function<DupAnswer()>;
// The duplicate warning asked through a Yes/No message box.
DupQuestion AskDuplicatesWith(Dialogs& dialogs);

// The criteria of "ORVA32 - Criteri di estrazione".
struct LogFilter {
  bool byService = false;  // "per servizio"
  bool byDate = false;     // "per data dal"
  std::string service;     // the chosen service
  TDateTime from = 0, to = 0;
};

struct ImportOutcome {
  Status status;
  std::size_t added = 0;
  std::size_t duplicatesSkipped = 0;
  // The file chosen was the current log itself: nothing was done.
  bool sameFile = false;
};

// Whether rows were copied in this run: "Incolla" stays enabled from then on, also in a log
// window opened later. The program keeps one for all its log windows.
struct LogClipboard {
  bool copied = false;
};

class LogModel {
 public:
  // `programDirectory` holds "swap.tmp" and "ORVA.SRV" (with a trailing "/"); without a
  // clipboard the model keeps its own.
  LogModel(Dialogs& dialogs, std::string programDirectory,
           std::shared_ptr<LogClipboard> clipboard = nullptr);

  // Settings the window reads at creation.
  int decimals = 1;                    // "Cifre decimali"
  double vatRate = 0.20;               // VAT rate of the current tariff
  Currency currency = Currency::Lire;  // "Valuta": the totals, report and chart show it
  LogSortState sort;                   // "Indice ordinamento", "Ordinamento ascendente"

  const std::string& LogPath() const { return m_logPath; }  // "Nome file Log"
  void SetLogPath(std::string path) { m_logPath = std::move(path); }

  const std::vector<TConnObj>& Records() const { return m_records; }
  std::size_t Count() const { return m_records.size(); }
  bool Modified() const { return m_modified; }

  // The selection, one flag per row (rows keep their selection by position when sorted,
  // as the list's highlighted rows do).
  bool Selected(std::size_t row) const { return row < m_selected.size() && m_selected[row]; }
  void Select(std::size_t row, bool on);
  void SelectAll();
  void ClearSelection();
  std::size_t SelectedCount() const;
  const std::vector<bool>& Selection() const { return m_selected; }

  // Loads a log into the list (a missing file leaves the list as it is), clears the selection
  // and the modified flag, and sorts when a sort column above 0 is set.
  LoadOutcome Load(const std::string& path);
  // Showing the window: loads the current log when it exists and rebuilds the service list.
  Status Show();
  // Writes the list to the current log and clears the modified flag. Calls the meter appended
  // to that file since it was loaded are taken into the list first, so no save drops them.
  Status Save();
  // Takes into the list the calls appended to the current log since it was loaded or last
  // saved (by the meter, while the window is open); the modified flag stays as it was. The
  // number of records added.
  Result<std::size_t> TakeAppended();
  // The meter rewrote a record of the current log (its service was chosen after it was
  // recorded): the list and what it knows of the file follow.
  void RecordRewritten(const std::string& oldLine, const std::string& newLine);
  // Open, New and Save as: the path becomes the current log. New and Save as give it the
  // extension ".LOG"; New creates a missing file empty (an existing one is loaded, not
  // emptied).
  Status Open(const std::string& path);
  Status New(const std::string& path);
  Status SaveAs(const std::string& path);
  // Before Open, New and closing: with unsaved changes asks whether to save. False when the
  // user cancels (or the save fails; its text is shown).
  bool ConfirmDiscard();

  // A header click: sorts by the column as the click rule says. False for column 0.
  bool HeaderClick(int column);
  // Re-sorts with the current sort state (after a manual entry or an edit).
  void Resort();

  LogTotals Totals() const;

  // Removes the selected rows after the question (none with Ctrl held); true when removed.
  bool Delete(bool ctrlHeld, Status* serviceSave = nullptr);

  // Imports the current lines of another log; duplicates of a call already in the list (same
  // date, start and end) follow the answer of `ask`. Saves the list to the current log.
  ImportOutcome Import(const std::string& fromPath, const DupQuestion& ask);
  // Writes the selected rows to "swap.tmp" and allows Paste for the rest of the run.
  Status Copy();
  bool PasteAvailable() const { return m_clipboard->copied; }
  // Imports "swap.tmp" without saving (the list stays modified).
  ImportOutcome Paste(const DupQuestion& ask);

  // Every record, in list order, as CSV.
  Status ExportCsv(const std::string& path) const;

  // Selection by criteria; nothing changes when no criterion is on.
  void SelectByCriteria(const LogFilter& filter);

  // The service list of the combo: every distinct service of the list, saved to "ORVA.SRV".
  const std::vector<std::string>& Services() const { return m_services; }
  Status RebuildServices();
  // The combo's choice: after the question, sets the service of the selected rows, saves the
  // log and rebuilds the list. Ok also when the user says No.
  Status ChangeService(const std::string& service);

  // The manual entry: a new record, adding it, and writing an edited one back. Both rebuild
  // the service list, as an import and a paste do: the status is that of saving it.
  static TConnObj NewManualRecord();
  Status AddRecord(TConnObj record);
  Status ReplaceRecord(std::size_t row, TConnObj record);

  std::string SwapFilePath() const;
  std::string ServiceFilePathHere() const;

 private:
  ImportOutcome ImportFrom(const std::string& path, const DupQuestion& ask);
  // Writes the list to the current log as it is and remembers what the file now holds.
  Status WriteList();
  // Remembers the records of the current log as on disk now.
  void RememberOnDisk(const std::vector<TConnObj>& records);

  Dialogs& m_dialogs;
  std::string m_programDirectory;
  std::shared_ptr<LogClipboard> m_clipboard;
  std::string m_logPath;
  std::vector<TConnObj> m_records;
  std::vector<bool> m_selected;
  std::vector<std::string> m_services;
  bool m_modified = false;
  // The lines of the current log as this list last read or wrote it, by a 64-bit digest of
  // each line's text and how many times it is there: a line found in the file beyond these was
  // appended since. Digests keep a large log's memory and opening time small; two different
  // lines sharing one is a chance of about one in 10^14 for a million calls.
  std::unordered_map<std::uint64_t, std::uint32_t> m_onDisk;
};

// One CSV line of a record: the eleven fields each followed by ","; a field holding a comma,
// a double quote, CR or LF is quoted, with its quotes doubled. In euro the fields are followed
// by ";" and the cost is in euro with a decimal comma ("0,46"), as an Italian spreadsheet reads
// it; in lire the line is the log's own fields, as the export always wrote them.
std::string FormatCsvLine(const TConnObj& record, Currency currency = Currency::Lire);
// The line above the records: none in lire; in euro the column names, the cost's naming the
// currency ("Costo (€)"), so nobody takes the amounts for lire.
std::string CsvHeaderLine(Currency currency);

// Gives a path the extension (replacing the one it has).
std::string ChangeFileExt(const std::string& path, std::string_view extension);
// The name a file chooser's answer becomes: the extension added only when the file name has
// none, so a name the user chose ("other.log") is kept as it is.
std::string DefaultFileExt(const std::string& path, std::string_view extension);

}  // namespace orva
