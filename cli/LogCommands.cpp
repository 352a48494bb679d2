// orva32cli log: the connection log from the command line.
//   log show FILE                       the records as loaded
//   log totals FILE [--vat RATE]        the log window's totals with every row selected
//   log sort FILE --column N [--descending]
//   log export-csv FILE OUT
//   log import FILE FROM [--duplicates yes|no]
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "VatOption.h"
#include "core/Settings.h"
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

using json = nlohmann::ordered_json;

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

// A file read through a read-only mapping: a large log is summed without copying it first.
struct MappedFile {
  explicit MappedFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
      error = path + ": " + SystemErrorText(errno);
      if (fd >= 0) ::close(fd);
      return;
    }
    if (st.st_size > 0) {
      void* p =
          ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
      if (p != MAP_FAILED) {
        ::madvise(p, static_cast<std::size_t>(st.st_size), MADV_SEQUENTIAL);
        m_map = p;
        m_size = static_cast<std::size_t>(st.st_size);
        bytes = std::string_view(static_cast<const char*>(p), m_size);
      } else if (auto read = ReadFileBytes(path)) {
        m_copy = std::move(*read);
        bytes = m_copy;
      } else {
        error = read.error;
        ::close(fd);
        return;
      }
    }
    ::close(fd);
    ok = true;
  }
  ~MappedFile() {
    if (m_map) ::munmap(m_map, m_size);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool ok = false;
  std::string error;
  std::string_view bytes;

 private:
  void* m_map = nullptr;
  std::size_t m_size = 0;
  std::string m_copy;
};

void PrintJson(const json& j) {
  std::printf("%s\n", j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

std::vector<TConnObj> LoadOrFail(const std::string& path) {
  std::vector<TConnObj> records;
  const LoadOutcome out = LoadLogFile(path, records);
  if (!out.status) throw std::runtime_error(out.status.error);
  if (!out.existed) throw std::runtime_error(path + ": file non trovato");
  return records;
}

void PrintRecords(const LogContext& l, const std::vector<TConnObj>& records) {
  static constexpr const char* kKeys[] = {"date",     "start", "end",    "duration",
                                          "tariff",   "ticks", "cost",   "bps",
                                          "received", "sent",  "service"};
  if (l.ctx.json) {
    json rows = json::array();
    for (std::size_t i = 0; i < records.size(); ++i) {
      json row = {{"n", i + 1}};
      for (std::size_t f = 0; f < kLogFieldCount; ++f) row[kKeys[f]] = records[i].Field(f);
      rows.push_back(std::move(row));
    }
    PrintJson(rows);
    return;
  }
  std::string out;
  for (std::size_t i = 0; i < records.size(); ++i) {
    out += std::to_string(i + 1);
    for (std::size_t f = 0; f < kLogFieldCount; ++f) {
      out += '\t';
      out += records[i].Field(f);
    }
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::fputs(out.c_str(), stdout);
      out.clear();
    }
  }
  std::fputs(out.c_str(), stdout);
}

double VatRate(const Args& args, const LogContext& l) {
  return VatRateOption(args, l.ctx.tariffDir, l.settings.tariffIndex);
}

int Show(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({});
  const std::string& file = args.Word(0, "FILE");
  const LogContext l = MakeLogContext(words);
  PrintRecords(l, LoadOrFail(file));
  return 0;
}

int Totals(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"vat"});
  const std::string& file = args.Word(0, "FILE");
  const LogContext l = MakeLogContext(words);
  const double vat = VatRate(args, l);
  // Every row is selected, so the totals are summed while the log is read, without keeping
  // the records.
  if (!FileExists(file)) throw std::runtime_error(file + ": file non trovato");
  LogTotalsAccumulator sum;
  const MappedFile mapped(file);
  if (!mapped.ok) throw std::runtime_error(mapped.error);
  ForEachLogRecord(mapped.bytes, [&sum](const TConnObj::Fields& row) { sum.Add(row); });
  const LogTotals t = sum.Result(static_cast<std::size_t>(sum.Rows()), l.settings.decimals, vat);
  if (l.ctx.json) {
    PrintJson({{"rows", t.rows},
               {"duration", t.duration},
               {"ticks", t.ticks},
               {"cost", t.cost},
               {"bps", t.bps},
               {"received", t.received},
               {"sent", t.sent},
               {"total", t.total}});
  } else {
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
  const std::string& file = args.Word(0, "FILE");
  const long long column = args.RequireInteger("column");
  if (column < 1 || column >= kLogColumnCount)
    throw UsageError("--column: colonna non valida (1-11): " + std::to_string(column));
  const LogContext l = MakeLogContext(words);
  std::vector<TConnObj> records = LoadOrFail(file);
  SortLogRecords(records, static_cast<int>(column), !args.Flag("descending"));
  PrintRecords(l, records);
  return 0;
}

int ExportCsv(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({});
  const std::string& file = args.Word(0, "FILE");
  const std::string& out = args.Word(1, "OUT");
  const LogContext l = MakeLogContext(words);
  SilentDialogs dialogs;
  LogModel model(dialogs, l.ctx.dataDir);
  model.SetLogPath(file);
  if (!model.Load(file).existed) throw std::runtime_error(file + ": file non trovato");
  if (const Status s = model.ExportCsv(out); !s) throw std::runtime_error(s.error);
  if (l.ctx.json)
    PrintJson({{"file", out}, {"rows", model.Count()}});
  else
    std::printf("%s: %zu righe\n", out.c_str(), model.Count());
  return 0;
}

int Import(const std::vector<std::string>& words) {
  const Args args(words, {});
  args.Allow({"duplicates"});
  const std::string& file = args.Word(0, "FILE");
  const std::string& from = args.Word(1, "FROM");
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
    PrintJson({{"file", file},
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
  if (words.empty()) throw UsageError("uso: log show|totals|sort|export-csv|import FILE ...");
  const std::string& verb = words[0];
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  if (verb == "show") return Show(rest);
  if (verb == "totals") return Totals(rest);
  if (verb == "sort") return Sort(rest);
  if (verb == "export-csv") return ExportCsv(rest);
  if (verb == "import") return Import(rest);
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
