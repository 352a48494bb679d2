// The streamed CSV export of a whole log: the same bytes as the log window's export, whatever
// the log's size, and an old CSV kept when the log cannot be read.
#include "log/LogCsvExport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "AsOtherUser.h"
#include "TempDir.h"
#include "log/Logform.h"
#include "platform/Dialogs.h"

namespace orva {
namespace {

// A log of `count` calls whose services hold what CSV must quote and what Windows-1252 must
// encode; some lines end in CR LF, some in LF alone.
std::string LogOf(int count) {
  std::string log;
  for (int i = 0; i < count; ++i) {
    log += "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t" + std::to_string(889 + i) +
           "\t28800\t1536\t1034\t";
    log += i % 3 == 0 ? "Modem: Rossi, \"Bianchi\"" : "Città di Forlì";
    log += i % 2 ? "\r\n" : "\n";
  }
  return log;
}

TEST(LogCsvExport, ALogOfManyPiecesExportsAsTheWindowDoes) {
  test::TempDir dir;
  // About 3 MB of CSV: several pieces of the streamed writer.
  test::WriteBytes(dir.File("ORVA.LOG"), LogOf(40000));
  std::size_t rows = 0;
  ASSERT_TRUE(ExportLogFileCsv(dir.File("ORVA.LOG"), dir.File("streamed.csv"), rows).ok);
  EXPECT_EQ(rows, 40000u);

  SilentDialogs dialogs;
  LogModel model(dialogs, dir.path());
  ASSERT_TRUE(model.Load(dir.File("ORVA.LOG")).existed);
  ASSERT_TRUE(model.ExportCsv(dir.File("window.csv")).ok);
  const std::string streamed = test::ReadBytes(dir.File("streamed.csv"));
  EXPECT_GT(streamed.size(), 2u << 20);
  EXPECT_TRUE(streamed == test::ReadBytes(dir.File("window.csv")));
}

// With Valuta=Euro the export is for an Italian spreadsheet: a header naming the euro, ";"
// after every field, costs with a decimal comma and no thousands point (which a spreadsheet
// would read as 1 euro in "1.000,00"), a cost that is no number left as it is, and only a
// field holding ";" or a quote quoted. The streamed export and the window's are the same.
TEST(LogCsvExport, EuroExportIsWhatAnItalianSpreadsheetReads) {
  test::TempDir dir;
  auto call = [](const char* cost, const char* service) {
    return std::string("15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t") + cost +
           "\t28800\t1536\t1034\t" + service + "\t\r\n";
  };
  test::WriteBytes(dir.File("ORVA.LOG"), call("889", "Modem: Rossi, Bianchi") +
                                             call("1936270", "Casa; ufficio") +
                                             call("1", "Citt\xe0") + call("?", "\"X\""));
  std::size_t rows = 0;
  ASSERT_TRUE(
      ExportLogFileCsv(dir.File("ORVA.LOG"), dir.File("streamed.csv"), rows, Currency::Euro).ok);
  EXPECT_EQ(rows, 4u);
  const std::string row = "15/10/99;21.03.05;21.15.40;00.12.35;TI;7;";
  EXPECT_EQ(test::ReadBytes(dir.File("streamed.csv")),
            "Data;Inizio;Fine;Durata;Tariffa;Scatti;Costo (\x80);Bps;Ricevuti;Spediti;"
            "Connessione a;\r\n" +
                row + "0,46;28800;1536;1034;Modem: Rossi, Bianchi;\r\n" + row +
                "1000,00;28800;1536;1034;\"Casa; ufficio\";\r\n" + row +
                "0,00052;28800;1536;1034;Citt\xe0;\r\n" + row +
                "?;28800;1536;1034;\"\"\"X\"\"\";\r\n");

  SilentDialogs dialogs;
  LogModel model(dialogs, dir.path());
  model.currency = Currency::Euro;
  ASSERT_TRUE(model.Load(dir.File("ORVA.LOG")).existed);
  ASSERT_TRUE(model.ExportCsv(dir.File("window.csv")).ok);
  EXPECT_EQ(test::ReadBytes(dir.File("window.csv")), test::ReadBytes(dir.File("streamed.csv")));
}

TEST(LogCsvExport, ALogThatCannotBeReadLeavesTheOldExportAsItWas) {
  test::TempDir dir;
  const std::string log = dir.File("ORVA.LOG");
  const std::string csv = dir.File("out.csv");
  test::WriteBytes(log, LogOf(10));
  test::WriteBytes(csv, "vecchio\r\n");
  ::chmod(log.c_str(), 0);
  ::chmod(dir.path().c_str(), 0777);
  ::chmod(csv.c_str(), 0666);
  EXPECT_TRUE(test::AsOtherUser([&] {
    std::size_t rows = 0;
    const Status s = ExportLogFileCsv(log, csv, rows);
    return !s.ok && s.error.find("ORVA.LOG") != std::string::npos &&
           test::ReadBytes(csv) == "vecchio\r\n";
  }));
}

}  // namespace
}  // namespace orva
