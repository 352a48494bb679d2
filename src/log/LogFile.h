// The connection log file: one call per line, eleven TAB-terminated fields, Windows-1252 with
// CR LF. Parsing a line, loading and saving a whole log, and appending one finished call.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/ConnObj.h"
#include "platform/DataFiles.h"
#include "platform/DateTime.h"
#include "platform/Result.h"
#include "platform/SafeFile.h"
#include "platform/Trim.h"

namespace orva {

// The default log file name in the program directory.
// Lines shorter than this many characters are not records.
inline constexpr std::size_t kMinLogLineLength = 6;

// Splits one line: output 0 is the line number as text, outputs 1-11 the fields. A line with
// a TAB is a current line; one without is the older blank-separated form (seven fields, then
// the service), which carries no speed and no byte counts ("n.d.").
std::array<std::string, 12> SplitLogLine(std::string_view line, long long lineNumber);

// The same split straight into a record (the loader's path; no line number).
TConnObj ParseLogRecord(std::string_view utf8Line);

// One line in the current format, without its line end: every field followed by TAB. The
// whole line is kept, however long.
std::string FormatLogLine(const TConnObj& record);
std::string FormatLogLine(const TConnObj::Fields& fields);

// Reads a log. A missing file leaves `records` untouched and is not a failure (`existed` then
// false); a read error leaves it untouched and reports the system's text. Lines shorter than
// six characters are skipped but still counted.
struct LoadOutcome {
  Status status;
  bool existed = false;
};
LoadOutcome LoadLogFile(const std::string& path, std::vector<TConnObj>& records);
// Parses the bytes of a log file (Windows-1252, any line ends). With tabLinesOnly, lines
// without a TAB are skipped too (the import and the paste take only current lines).
std::vector<TConnObj> ParseLogBytes(std::string_view bytes, bool tabLinesOnly = false);

// Calls `row` with the fields of every record line of a log file, as the loader reads them
// (views valid during the call only), without keeping the records. The file is read a block
// at a time: memory holds one block (and a line longer than a block while it is read),
// whatever the size of the file. A file that cannot be opened
// or read is a failure with the system's text; `row` may have been called before a read error.
Status ForEachLogRecordInFile(const std::string& path,
                              const std::function<void(const TConnObj::Fields&)>& row);
// The same for work that does not depend on the records' order across the file (sums): the
// file is cut at line ends into up to `parts` pieces of about the same size (fewer for a
// small file), read side by side on threads of their own. `row(part, fields)` is called on
// piece `part`'s thread, with its records in file order. A read error of any piece fails.
Status ForEachLogRecordInFileSplit(
    const std::string& path, std::size_t parts,
    const std::function<void(std::size_t part, const TConnObj::Fields&)>& row);

// Rewrites the log crash-safely; records whose trimmed date is "?" are left out.
Status SaveLogFile(const std::vector<TConnObj>& records, const std::string& path,
                   const SafeWriteOptions& options = {});
// The bytes SaveLogFile writes for these records (Windows-1252, CR LF).
std::string EncodeLogRecords(const std::vector<TConnObj>& records);
// The same for the records at the given indices, in that order.
std::string EncodeLogRecords(const std::vector<TConnObj>& records,
                             const std::vector<std::size_t>& indices);

// The cost field: no decimals when the cost is whole, else `decimals` decimals; "." as the
// decimal point; cut to 30 characters.
std::string FormatLogCost(double cost, int decimals);
// "hh.mm.ss" of a time of day (hours 00-23).
std::string FormatLogTime(TDateTime value);
// The duration between two moments, each cut to whole seconds, in the same form but with the
// hours counting on past 24 ("25.00.10"); a negative span (the clock was set back during the
// call) is 00.00.00.
std::string FormatLogDuration(TDateTime start, TDateTime end);

// One finished call, as the meter hands it over.
struct LogCall {
  std::string ticks;     // decimal, or "?" when the tick interval is 1 second or less
  std::string tariff;    // the tariff's abbreviation
  std::string speed;     // connect speed; empty is written "n.d"
  std::string service;   // service text
  std::string received;  // bytes received
  std::string sent;      // bytes sent
  double cost = 0;       // lire, without VAT
  TDateTime end = 0;     // local
  TDateTime start = 0;   // local
  // The real length in seconds, when the caller measured it (across a daylight-saving change
  // it differs from end - start); negative: end - start.
  long long durationSeconds = -1;
};

struct AppendOptions {
  // "Nome file Log"; empty when none is set.
  std::string logPath;
  // The data directory: the default log's, and the one a log whose folder is gone moves to.
  std::string dataDir;
  // "Cifre decimali".
  int decimals = 1;
  // The log file chooser, asked when logPath is empty; none when it is left without a file.
  // Without a chooser (or without a file from it) the default log is used and the outcome
  // says so.
  std::function<std::optional<std::string>()> chooseLogFile;
  SafeWriteOptions write;
};

struct AppendOutcome {
  Status status;
  // The log path to store as "Nome file Log" (possibly corrected); set also on failure.
  std::string logPath;
  // The default log was used because no log path was set and none was chosen.
  bool usedDefaultPath = false;
  // The record and its line as they were (or were to be) written: on failure the caller
  // still has the call to show and keep.
  TConnObj record;
  std::string line;
};

// Appends one call to the current log: the whole file is rewritten crash-safely, so a crash
// or a full disk leaves the previous log whole.
AppendOutcome AppendLogRecord(const LogCall& call, const AppendOptions& options);

// Sets the service of a call appended earlier: the last line of the log equal to `line` (as
// AppendOutcome gave it) gets the service; every other byte stays. Fails when the line is no
// longer in the log. The record's new line.
Result<std::string> SetLogRecordService(const std::string& path, const std::string& line,
                                        const std::string& service,
                                        const SafeWriteOptions& options = {});

// The service text of a finished call: the call kind word ("Sconosciuto", "Generico",
// "Modem", "FAX G3", "FAX G4", "A voce") + ": " + the other party, then " (" + number + ")"
// when there is one; trimmed; "?" when empty.
std::string BuildServiceText(int callKind, std::string_view party, std::string_view number);
// Trims a service text; empty becomes "?".
std::string NormalizeServiceText(std::string_view text);

}  // namespace orva
