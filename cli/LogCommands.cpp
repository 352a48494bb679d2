// orva32cli log: the connection log from the command line.
//   log show [FILE]                       the records as loaded
//   log totals [FILE] [--vat RATE]        the log window's totals with every row selected
//   log sort [FILE] --column N [--descending]
//   log export-csv [FILE] OUT
//   log import [FILE] FROM [--duplicates yes|no]
//   log compare [FILE] [--from DATE] [--to DATE]   (its own file)
// Without FILE each reads the current log, the one the program writes.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "LogJson.h"
#include "VatOption.h"
#include "core/Settings.h"
#include "log/LogCsvExport.h"
#include "log/LogFile.h"
#include "log/LogSort.h"
#include "log/LogTotals.h"
#include "log/Logform.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"
#include "tariff/Tariffe.h"

namespace orva::cli {
namespace {

struct LogContext {
  Context ctx;
  Settings settings;
};

LogContext MakeLogContext(const std::vector<std::string>& words,
                          DataAccess access = DataAccess::Read) {
  LogContext l;
  l.ctx = MakeContext(words, access);
  Registry registry(l.ctx.dataDir);
  LoadSettings(l.settings, l.ctx.dataDir, registry);
  l.settings.decimals = std::clamp(l.settings.decimals, 0, 15);
  return l;
}

// The log a command reads: the file named first when the command has all its words, else the
// current log, the one the program writes ("Nome file Log"). `words` counts the file.
std::string LogFile(const Args& args, const LogContext& l, std::size_t words) {
  if (args.Positional().size() >= words) return args.Word(0, "FILE");
  return l.settings.logFileName;
}

// The n-th word after the log file, whether or not the file was named.
const std::string& WordAfterLog(const Args& args, std::size_t n, std::size_t words,
                                const std::string& what) {
  const bool named = args.Positional().size() >= words;
  return args.Word(named ? n : n - 1, what);
}

std::vector<TConnObj> LoadOrFail(const std::string& path) {
  std::vector<TConnObj> records;
  const LoadOutcome out = LoadLogFile(path, records);
  if (!out.status) throw std::runtime_error(out.status.error);
  if (!out.existed) throw std::runtime_error(path + ": file non trovato");
  return records;
}

// Prints records one at a time as they come, as a JSON array or as TAB-separated lines
// numbered from 1; nothing but a block of output is kept.
class RecordPrinter {
 public:
  explicit RecordPrinter(bool asJson) : m_json(asJson) {
    if (m_json) m_out = "[";
  }
  void Add(const TConnObj& record) {
    ++m_count;
    if (m_json) {
      if (m_count > 1) m_out += ',';
      AppendLogRecordJson(m_out, m_count, record.AllFields());
    } else {
      m_out += std::to_string(m_count);
      for (std::size_t f = 0; f < kLogFieldCount; ++f) {
        m_out += '\t';
        m_out += record.Field(f);
      }
      m_out += '\n';
    }
    if (m_out.size() > (1 << 16)) Flush();
  }
  void Finish() {
    if (m_json) m_out += "]\n";
    Flush();
  }

 private:
  void Flush() {
    std::fwrite(m_out.data(), 1, m_out.size(), stdout);
    m_out.clear();
  }
  bool m_json;
  std::size_t m_count = 0;
  std::string m_out;
};

void PrintRecords(const LogContext& l, const std::vector<TConnObj>& records) {
  RecordPrinter printer(l.ctx.json);
  for (const TConnObj& r : records) printer.Add(r);
  printer.Finish();
}

// Reads a log a block at a time and hands on each record as it is read.
void StreamRecords(const std::string& path,
                   const std::function<void(const TConnObj::Fields&)>& row) {
  if (!FileExists(path)) throw std::runtime_error(path + ": file non trovato");
  if (const Status s = ForEachLogRecordInFile(path, row); !s) throw std::runtime_error(s.error);
}

double VatRate(const Args& args, const LogContext& l) {
  return VatRateOption(args, l.ctx.tariffDir, l.settings.tariffIndex);
}

int Show(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({});
  const LogContext l = MakeLogContext(words);
  const std::string file = LogFile(args, l, 1);
  // Printed as read: a log of any size is shown in the memory of one block.
  RecordPrinter printer(l.ctx.json);
  StreamRecords(file, [&printer](const TConnObj::Fields& row) { printer.Add(TConnObj(row)); });
  printer.Finish();
  return 0;
}

int Totals(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"vat"});
  const LogContext l = MakeLogContext(words);
  const std::string file = LogFile(args, l, 1);
  const double vat = VatRate(args, l);
  // Every row is selected, so the totals are summed while the log is read a block at a time,
  // without keeping the records.
  LogTotalsAccumulator sum;
  if (!FileExists(file)) throw std::runtime_error(file + ": file non trovato");
  if (const Status s = SumLogFile(file, sum); !s) throw std::runtime_error(s.error);
  if (l.ctx.json) {
    // Scripts read lire, numbers and texts, whatever the program shows; the euro are beside.
    const LogTotals t = sum.Result(static_cast<std::size_t>(sum.Rows()), l.settings.decimals, vat);
    Json j = LogTotalsJson(sum, t, l.settings.decimals, vat);
    PutEuro(j, "cost", sum.Cost());
    PutEuro(j, "total", sum.Cost() * (1 + vat));
    PutCurrency(j, l.settings.currency);
    PrintJson(j);
  } else {
    const LogTotals t = sum.Result(static_cast<std::size_t>(sum.Rows()), l.settings.decimals, vat,
                                   l.settings.currency);
    std::printf(
        "N\t%s\nDurata\t%s\nScatti\t%s\nCosto\t%s\nBps\t%s\nRicevuti\t%s\n"
        "Spediti\t%s\nTotale\t%s\n",
        t.rows.c_str(), t.duration.c_str(), t.ticks.c_str(), t.cost.c_str(), t.bps.c_str(),
        t.received.c_str(), t.sent.c_str(), t.total.c_str());
  }
  return 0;
}

int Sort(const std::vector<std::string>& words) {
  const Args args(words, {"descending"});
  args.Allow({"column", "descending"});
  const long long column = args.RequireInteger("column");
  if (column < 1 || column >= kLogColumnCount)
    throw UsageError("--column: colonna non valida (1-11): " + std::to_string(column));
  const LogContext l = MakeLogContext(words);
  const std::string file = LogFile(args, l, 1);
  std::vector<TConnObj> records = LoadOrFail(file);
  SortLogRecords(records, static_cast<int>(column), !args.Flag("descending"));
  PrintRecords(l, records);
  return 0;
}

int ExportCsv(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({});
  const std::string& out = WordAfterLog(args, 1, 2, "OUT");
  const LogContext l = MakeLogContext(words);
  const std::string file = LogFile(args, l, 2);
  if (!FileExists(file)) throw std::runtime_error(file + ": file non trovato");
  // Streamed: a log of any size is exported in the memory of a few blocks.
  std::size_t rows = 0;
  // The costs in the program's currency, as the log window exports them.
  const Currency currency = l.settings.currency;
  if (const Status s = ExportLogFileCsv(file, out, rows, currency); !s)
    throw std::runtime_error(s.error);
  if (l.ctx.json) {
    Json j{{"file", out}, {"rows", rows}};
    PutCurrency(j, currency);
    PrintJson(j);
  } else {
    std::printf("%s: %zu righe\n", out.c_str(), rows);
  }
  return 0;
}

int Import(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"duplicates"});
  const std::string& from = WordAfterLog(args, 1, 2, "FROM");
  DupAnswer answer = DupAnswer::Closed;  // nobody to ask: each duplicate is skipped
  if (auto d = args.Get("duplicates")) {
    if (*d == "yes")
      answer = DupAnswer::Si;
    else if (*d == "no")
      answer = DupAnswer::No;
    else
      throw UsageError("--duplicates: yes oppure no: " + *d);
  }
  const LogContext l = MakeLogContext(words, DataAccess::Write);
  const std::string file = LogFile(args, l, 2);
  SilentDialogs dialogs;
  LogModel model(dialogs, l.ctx.dataDir);
  model.sort.column = l.settings.sortIndex;
  model.sort.ascending = l.settings.sortAscending;
  model.SetLogPath(file);
  if (const LoadOutcome loaded = model.Load(file); !loaded.status)
    throw std::runtime_error(loaded.status.error);
  if (!FileExists(from)) throw std::runtime_error(from + ": file non trovato");
  const ImportOutcome out = model.Import(from, [answer] { return answer; });
  if (out.sameFile) throw UsageError("FROM è il file di log stesso");
  if (!out.status) throw std::runtime_error(out.status.error);
  if (l.ctx.json) {
    PrintJson(Json{{"file", file},
                   {"added", out.added},
                   {"duplicates_skipped", out.duplicatesSkipped},
                   {"rows", model.Count()}});
  } else {
    std::printf("%s: %zu aggiunte, %zu doppie saltate, %zu righe\n", file.c_str(), out.added,
                out.duplicatesSkipped, model.Count());
  }
  return 0;
}

int Run(const std::vector<std::string>& words) {
  if (words.empty())
    throw UsageError("uso: log show|totals|sort|export-csv|import|compare [FILE] ...");
  const std::string& verb = words[0];
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  if (verb == "show") return Show(rest);
  if (verb == "totals") return Totals(rest);
  if (verb == "sort") return Sort(rest);
  if (verb == "export-csv") return ExportCsv(rest);
  if (verb == "import") return Import(rest);
  if (verb == "compare") return RunLogCompare(rest);
  throw UsageError("log: comando sconosciuto: " + verb);
}

}  // namespace

int RunLog(const std::vector<std::string>& words) {
  try {
    return Run(words);
  } catch (const UsageError&) {
    throw;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orva32cli: %s\n", e.what());
    return 1;
  }
}

}  // namespace orva::cli
