#include "log/LogFile.h"
#include "log/LogTotals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "TempDir.h"
#include "core/HowUtils.h"
#include "platform/DateTime.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TConnObj::Fields F(std::string_view date, std::string_view start, std::string_view end,
                   std::string_view dur, std::string_view tariff, std::string_view ticks,
                   std::string_view cost, std::string_view bps, std::string_view rec,
                   std::string_view sent, std::string_view service) {
  return {date, start, end, dur, tariff, ticks, cost, bps, rec, sent, service};
}

TEST(SplitLogLine, CurrentAndShortAndOldLines) {
  struct Case {
    std::string line;
    std::array<std::string, 12> want;
  } cases[] = {
      {"15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t889\t28800\t100\t200\tModem: X\t",
       {"4", "15/10/99", "21.03.05", "21.15.40", "00.12.35", "TI", "7", "889", "28800", "100",
        "200", "Modem: X"}},
      // Fields 1-8 are trimmed, the byte counts are taken as they are.
      {" 15/10/99 \t21.03.05\t21.15.40\t00.12.35\t TI \t7\t889\t28800\t 100 \t200\tA B\t",
       {"4", "15/10/99", "21.03.05", "21.15.40", "00.12.35", "TI", "7", "889", "28800", " 100 ",
        "200", "A B"}},
      // Ending right after field 8: no byte counts, no service.
      {"15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t889\t28800\t",
       {"4", "15/10/99", "21.03.05", "21.15.40", "00.12.35", "TI", "7", "889", "28800", "n.d.",
        "n.d.", "?"}},
      // A single blank service, and TABs inside the service removed.
      {"1/1/00\ta\tb\tc\td\te\tf\tg\th\ti\t \t",
       {"4", "1/1/00", "a", "b", "c", "d", "e", "f", "g", "h", "i", "?"}},
      {"1/1/00\ta\tb\tc\td\te\tf\tg\th\ti\tS1\tS2\t",
       {"4", "1/1/00", "a", "b", "c", "d", "e", "f", "g", "h", "i", "S1S2"}},
      // The older blank-separated form.
      {"12/09/98 22.10.00 22.40.00 00.30.00 TI 16 2032 A voce: Bar Roma",
       {"4", "12/09/98", "22.10.00", "22.40.00", "00.30.00", "TI", "16", "2032", "n.d.", "n.d.",
        "n.d.", "A voce: Bar Roma"}},
      {"12/09/98 22.10.00 22.40.00 00.30.00 TI 16 2032",
       {"4", "12/09/98", "22.10.00", "22.40.00", "00.30.00", "TI", "16", "2032", "n.d.", "n.d.",
        "n.d.", "?"}},
      // A cut line keeps what it has in place.
      {"15/10/99\t21.03.05",
       {"4", "15/10/99", "21.03.05", "", "", "", "", "", "", "n.d.", "n.d.", "?"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLogLine(c.line, 4), c.want) << c.line;
}

TEST(LoadLogFile, MixedFixtureLoadsEveryRecordLine) {
  std::vector<TConnObj> records;
  const LoadOutcome out = LoadLogFile(test::TestDataDir() + "log/mixed.log", records);
  ASSERT_TRUE(out.status) << out.status.error;
  ASSERT_TRUE(out.existed);
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(records[0], TConnObj(F("15/10/99", "21.03.05", "21.15.40", "00.12.35", "TI-I", "7",
                                   "889", "28800", "123456", "23456", "Modem: Tiscali")));
  EXPECT_EQ(records[1].Date(), "16/10/99");
  EXPECT_EQ(records[1].Start(), "08.00.00");
  EXPECT_EQ(records[1].Received(), "1.536");
  EXPECT_EQ(records[1].Service(), "FAX G3: Studio Rossi (0612345)");
  EXPECT_EQ(records[2].Received(), "n.d.");
  EXPECT_EQ(records[2].Service(), "?");
  // The old line, with a Windows-1252 letter.
  EXPECT_EQ(records[3], TConnObj(F("12/09/98", "22.10.00", "22.40.00", "00.30.00", "TI", "16",
                                   "2032", "n.d.", "n.d.", "n.d.", "A voce: Caffè Roma")));
  EXPECT_EQ(records[4].Date(), "?");
  // Last line without a line end; raw byte fields.
  EXPECT_EQ(records[5].Received(), " 99 ");
  EXPECT_EQ(records[5].Service(), "?");
}

// The records of a large log share blocks of text: a record kept after the list is gone (a
// copy in the clipboard, a filtered view, a comparison) still reads its own texts, and a
// record changed later changes alone.
TEST(LoadLogFile, RecordsKeptFromALargeLogOutliveTheListAndChangeAlone) {
  std::string bytes;
  const int lines = 150000;  // more text than one block holds
  for (int i = 0; i < lines; ++i)
    bytes += "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI-I\t" + std::to_string(i) +
             "\t889\t28800\t123456\t23456\tModem: Tiscali " + std::to_string(i) + "\t\r\n";
  test::TempDir dir;
  test::WriteBytes(dir.File("big.log"), bytes);
  std::vector<TConnObj> kept;
  {
    std::vector<TConnObj> records;
    ASSERT_TRUE(LoadLogFile(dir.File("big.log"), records).status);
    ASSERT_EQ(records.size(), static_cast<std::size_t>(lines));
    for (const int i : {0, 1, lines / 2, lines - 1}) kept.push_back(records[i]);
    records[1].Set(LogField::Service, "cambiato");
    EXPECT_EQ(kept[1].Service(), "Modem: Tiscali 1") << "a copy keeps its own text";
  }
  EXPECT_EQ(kept[0].Ticks(), "0");
  EXPECT_EQ(kept[2].Service(), "Modem: Tiscali " + std::to_string(lines / 2));
  EXPECT_EQ(kept[3].Ticks(), std::to_string(lines - 1));
  kept[3].Set(LogField::Ticks, "7");
  EXPECT_EQ(kept[3].Ticks(), "7");
  EXPECT_EQ(kept[3].Service(), "Modem: Tiscali " + std::to_string(lines - 1));
  EXPECT_EQ(TConnObj(), TConnObj(F("", "", "", "", "", "", "", "", "", "", "")));
}

TEST(LoadLogFile, MissingFileLeavesListAndEmptyFileEmpties) {
  TempDir dir;
  std::vector<TConnObj> records(3);
  LoadOutcome out = LoadLogFile(dir.File("none.log"), records);
  EXPECT_TRUE(out.status);
  EXPECT_FALSE(out.existed);
  EXPECT_EQ(records.size(), 3u);
  WriteBytes(dir.File("empty.log"), "");
  out = LoadLogFile(dir.File("empty.log"), records);
  EXPECT_TRUE(out.existed);
  EXPECT_TRUE(records.empty());
}

TEST(LoadLogFile, EveryKindOfLineEndSeparatesRecords) {
  const std::string line = "1/1/00\ta\tb\tc\td\te\tf\tg\th\ti\tS";
  const auto records = ParseLogBytes(line + "1\t\r" + line + "2\t\n" + line + "3\t\r\n" + line +
                                     "4\t\r\r\n" + line + "\t5");
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0].Service(), "S1");
  EXPECT_EQ(records[1].Service(), "S2");
  EXPECT_EQ(records[2].Service(), "S3");
  EXPECT_EQ(records[3].Service(), "S4");
  EXPECT_EQ(records[4].Service(), "S5");  // TABs inside the service are dropped
}

TEST(LoadLogFile, FieldsAreCutToTheirWidthInCharacters) {
  TempDir dir;
  const std::string longService(70, 'x');
  const std::string accented(30, '\xe8');  // 30 characters of "è" in Windows-1252
  WriteBytes(dir.File("a.log"),
             "1/1/00\t" + accented + "\tb\tc\td\te\tf\tg\th\ti\t" + longService + "\t\r\n");
  std::vector<TConnObj> records;
  LoadLogFile(dir.File("a.log"), records);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Service(), std::string(64, 'x'));
  std::string want;
  for (int i = 0; i < 24; ++i) want += "è";
  EXPECT_EQ(records[0].Start(), want);

  // Blanks at the cut go too, so the record reads back the same after a save.
  records =
      ParseLogBytes("1/1/00\ta" + std::string(30, ' ') + "b\tb\tc\td\te\tf\tg\th\ti\tS\t\r\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Start(), "a");
  EXPECT_EQ(ParseLogBytes(EncodeLogRecords(records)), records);
}

TEST(SaveLogFile, SavedLogReloadsToIdenticalRecordsAndDropsUnknownDates) {
  TempDir dir;
  std::vector<TConnObj> records;
  ASSERT_TRUE(LoadLogFile(test::TestDataDir() + "log/mixed.log", records).status);
  // The widest record: every field full, 10 x 24 + 64 characters plus 11 TABs.
  const std::string w24(24, '9'), w64(64, 'S');
  records.emplace_back(F(w24, w24, w24, w24, w24, w24, w24, w24, w24, w24, w64));
  records.emplace_back(F("è", "à", "ì", "ò", "ù", "€", "1", "2", "3", "4", "Caffè"));
  ASSERT_TRUE(SaveLogFile(records, dir.File("out.log")));

  std::vector<TConnObj> again;
  ASSERT_TRUE(LoadLogFile(dir.File("out.log"), again).status);
  std::vector<TConnObj> want;
  for (const auto& r : records)
    if (r.Date() != "?") want.push_back(r);
  EXPECT_EQ(again, want);
  // The long line is written whole, and saving again gives the same bytes.
  ASSERT_TRUE(SaveLogFile(again, dir.File("out2.log")));
  EXPECT_EQ(ReadBytes(dir.File("out.log")), ReadBytes(dir.File("out2.log")));
  EXPECT_NE(ReadBytes(dir.File("out.log")).find(w64 + "\t\r\n"), std::string::npos);
}

TEST(SaveLogFile, TabsAndLineEndsInFieldsDoNotSplitTheRecord) {
  TempDir dir;
  std::vector<TConnObj> records{
      TConnObj(F("1/1/00", "a", "b", "c", "d", "e", "f", "g", "h", "i", "Modem:\tA\r\nB"))};
  ASSERT_TRUE(SaveLogFile(records, dir.File("t.log")));
  std::vector<TConnObj> again;
  LoadLogFile(dir.File("t.log"), again);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].Service(), "Modem: A  B");
}

TEST(FormatLog, CostsTimesAndDurations) {
  EXPECT_EQ(FormatLogCost(889.0, 1), "889");
  EXPECT_EQ(FormatLogCost(889.5, 2), "889.50");
  EXPECT_EQ(FormatLogCost(889.25, 1), "889.3");
  const TDateTime start = EncodeDate(1999, 10, 15) + EncodeTime(23, 50, 0, 700);
  const TDateTime end = EncodeDate(1999, 10, 16) + EncodeTime(0, 10, 0, 200);
  EXPECT_EQ(FormatLogTime(start), "23.50.00");
  // Whole seconds first: 23.50.00 to 00.10.00 is twenty minutes.
  EXPECT_EQ(FormatLogDuration(start, end), "00.20.00");
  EXPECT_EQ(FormatLogDuration(end, start), "00.00.00");
}

TEST(BuildServiceText, KindPartyAndNumber) {
  EXPECT_EQ(BuildServiceText(2, "Tiscali", ""), "Modem: Tiscali");
  EXPECT_EQ(BuildServiceText(5, "", "0612345"), "A voce:  (0612345)");
  EXPECT_EQ(BuildServiceText(0, "Avvio manuale", ""), "Sconosciuto: Avvio manuale");
  EXPECT_EQ(BuildServiceText(9, "X", ""), "Sconosciuto: X");
  EXPECT_EQ(NormalizeServiceText("   "), "?");
}

class AppendLogRecordTest : public ::testing::Test {
 protected:
  AppendOptions Options() const {
    AppendOptions o;
    o.dataDir = m_program.path();
    return o;
  }
  LogCall Call() const {
    LogCall c;
    c.ticks = "7";
    c.tariff = "TI-I";
    c.speed = "28800";
    c.service = "Modem: Tiscali";
    c.received = "1000";
    c.sent = "200";
    c.cost = 889;
    c.start = EncodeDate(1999, 10, 15) + EncodeTime(21, 3, 5);
    c.end = EncodeDate(1999, 10, 15) + EncodeTime(21, 15, 40);
    return c;
  }
  TempDir m_program, m_other;
};

TEST_F(AppendLogRecordTest, ServiceChosenAfterTheAppendRewritesOnlyThatRecord) {
  AppendOptions o = Options();
  o.logPath = m_other.File("calls.log");
  // An older blank-separated line and the same call twice: only the last copy changes.
  const std::string older = "14/10/99 20.00.00 20.01.00 00.01.00 TI 1 127 Vecchio\r\n";
  WriteBytes(o.logPath, older);
  ASSERT_TRUE(AppendLogRecord(Call(), o).status);
  const AppendOutcome out = AppendLogRecord(Call(), o);
  ASSERT_TRUE(out.status);
  const auto changed = SetLogRecordService(o.logPath, out.line, "BBS \tAmiga\xc3\xa8");
  ASSERT_TRUE(changed) << changed.error;
  const std::string first =
      "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI-I\t7\t889\t28800\t1000\t200\t";
  EXPECT_EQ(ReadBytes(o.logPath),
            older + first + "Modem: Tiscali\t\r\n" + first + "BBS  Amiga\xe8\t\r\n");
  EXPECT_EQ(*changed, first + "BBS  Amiga\xc3\xa8\t");
  // A line no longer in the log changes nothing.
  const std::string before = ReadBytes(o.logPath);
  EXPECT_FALSE(SetLogRecordService(o.logPath, first + "Nessuno\t", "X"));
  EXPECT_EQ(ReadBytes(o.logPath), before);
}

TEST_F(AppendLogRecordTest, FirstCallCreatesTheLogWithTheLine) {
  AppendOptions o = Options();
  o.logPath = m_other.File("calls.log");
  const AppendOutcome out = AppendLogRecord(Call(), o);
  ASSERT_TRUE(out.status) << out.status.error;
  EXPECT_EQ(out.logPath, o.logPath);
  EXPECT_FALSE(out.usedDefaultPath);
  EXPECT_EQ(ReadBytes(o.logPath),
            "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI-I\t7\t889\t28800\t1000\t200\t"
            "Modem: Tiscali\t\r\n");
  LogCall second = Call();
  second.ticks = "?";
  second.speed = "";
  second.cost = 889.5;
  AppendOptions two = o;
  two.decimals = 2;
  ASSERT_TRUE(AppendLogRecord(second, two).status);
  std::vector<TConnObj> records;
  LoadLogFile(o.logPath, records);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].Ticks(), "?");
  EXPECT_EQ(records[1].Bps(), "n.d");
  EXPECT_EQ(records[1].Cost(), "889.50");
}

TEST_F(AppendLogRecordTest, MissingFolderOrNoPathGoesToTheProgramDirectory) {
  AppendOptions o = Options();
  o.logPath = m_other.path() + "gone/calls.log";
  AppendOutcome out = AppendLogRecord(Call(), o);
  ASSERT_TRUE(out.status);
  EXPECT_EQ(out.logPath, m_program.File("calls.log"));
  EXPECT_TRUE(FileExists(m_program.File("calls.log")));

  // No path and nobody to ask: the default log, and the caller is told.
  out = AppendLogRecord(Call(), Options());
  ASSERT_TRUE(out.status);
  EXPECT_TRUE(out.usedDefaultPath);
  EXPECT_EQ(out.logPath, m_program.File("ORVA.LOG"));

  // A chooser that gives a file; one that gives none falls back too.
  AppendOptions asked = Options();
  asked.chooseLogFile = [&] { return std::optional<std::string>(m_other.File("chosen.log")); };
  out = AppendLogRecord(Call(), asked);
  EXPECT_EQ(out.logPath, m_other.File("chosen.log"));
  EXPECT_FALSE(out.usedDefaultPath);
  asked.chooseLogFile = [] { return std::optional<std::string>(); };
  out = AppendLogRecord(Call(), asked);
  EXPECT_TRUE(out.usedDefaultPath);
  std::vector<TConnObj> records;
  LoadLogFile(m_program.File("ORVA.LOG"), records);
  EXPECT_EQ(records.size(), 2u);
}

TEST_F(AppendLogRecordTest, FullDiskKeepsThePreviousLogAndHandsTheRecordBack) {
  AppendOptions o = Options();
  o.logPath = m_other.File("calls.log");
  ASSERT_TRUE(AppendLogRecord(Call(), o).status);
  const std::string before = ReadBytes(o.logPath);
  o.write.failAfterBytes = static_cast<std::int64_t>(before.size()) + 10;
  const AppendOutcome out = AppendLogRecord(Call(), o);
  EXPECT_FALSE(out.status);
  EXPECT_NE(out.status.error.find("No space left on device"), std::string::npos)
      << out.status.error;
  EXPECT_EQ(ReadBytes(o.logPath), before);
  EXPECT_EQ(out.record.Service(), "Modem: Tiscali");
  EXPECT_EQ(out.line + "\r\n", before);
}

TEST_F(AppendLogRecordTest, OtherLineEndsAreKeptAsSeparateLines) {
  AppendOptions o = Options();
  o.logPath = m_other.File("calls.log");
  WriteBytes(o.logPath,
             "1/1/00\ta\tb\tc\td\te\tf\tg\th\ti\tA\t\n2/1/00\ta\tb\tc\td\te\tf\tg\th\ti\tB\t");
  ASSERT_TRUE(AppendLogRecord(Call(), o).status);
  const std::string bytes = ReadBytes(o.logPath);
  EXPECT_EQ(bytes.substr(0, 29), "1/1/00\ta\tb\tc\td\te\tf\tg\th\ti\tA\t\r\n");
  std::vector<TConnObj> records;
  LoadLogFile(o.logPath, records);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].Service(), "B");
  EXPECT_EQ(records[2].Service(), "Modem: Tiscali");
  EXPECT_EQ(bytes.find("\t\n"), std::string::npos);
}

TEST_F(AppendLogRecordTest, TextsWithTabsOrLineEndsStayOneRecord) {
  AppendOptions o = Options();
  o.logPath = m_other.File("calls.log");
  LogCall c = Call();
  c.service = "Modem:\tA\r\nB";
  c.tariff = "T\tI";
  const AppendOutcome out = AppendLogRecord(c, o);
  ASSERT_TRUE(out.status);
  std::vector<TConnObj> records;
  LoadLogFile(o.logPath, records);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Tariff(), "T I");
  EXPECT_EQ(records[0].Service(), "Modem: A  B");
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// The split rule written out plainly for a line with a TAB (ASCII): fields 1-8 trimmed and cut
// to 24, the byte counts raw when three TABs remain after them, the rest without its TABs.
std::array<std::string, 11> PlainSplit(std::string_view line) {
  auto trim = [](std::string_view t) {
    while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ') t.remove_prefix(1);
    while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.remove_suffix(1);
    return t;
  };
  auto take = [&line] {
    const auto tab = line.find('\t');
    const std::string_view field = line.substr(0, tab);
    line.remove_prefix(tab == std::string_view::npos ? line.size() : tab + 1);
    return field;
  };
  std::array<std::string, 11> out;
  for (int i = 0; i < 8; ++i) out[i] = std::string(trim(trim(take()).substr(0, 24)));
  if (std::count(line.begin(), line.end(), '\t') < 3) {
    out[8] = out[9] = "n.d.";
  } else {
    out[8] = std::string(take());
    out[9] = std::string(take());
  }
  std::string rest;
  for (char c : line)
    if (c != '\t') rest += c;
  out[10] = rest.empty() || rest == " " ? "?" : rest.substr(0, 64);
  for (int i = 8; i < 10; ++i) out[i] = out[i].substr(0, 24);
  return out;
}

TEST(SplitLogLine, TabsAndLineEndsAnywhereInTheLine) {
  // Lines of every length up to three blocks of the scanner, with TABs, blanks and a CR at
  // every place: the fields are those of the plain rule.
  const std::string base = "01/02/03 10.00.00 11.00.00 01.00.00 TI 12 345.5 28800 1234 567 S x";
  for (std::size_t length = 6; length <= 50; ++length) {
    for (std::size_t step = 1; step <= 5; ++step) {
      std::string line = base.substr(0, length);
      for (std::size_t i = step - 1; i < line.size(); i += step)
        if (line[i] == ' ') line[i] = '\t';
      line[length / 2] = '\t';
      const auto records = ParseLogBytes(line + "\r\n");
      ASSERT_EQ(records.size(), 1u) << line;
      const auto expected = PlainSplit(line);
      for (std::size_t f = 0; f < kLogFieldCount; ++f)
        EXPECT_EQ(records[0].Field(f), expected[f]) << "field " << f << " of \"" << line << "\"";
    }
    // A CR inside the line ends it there; a byte above 127 at the very end is a character.
    const std::string line = "a\tb\tc" + std::string(length, 'x') + "\rd\te\tf\xe8";
    const auto records = ParseLogBytes(line);
    ASSERT_EQ(records.size(), 2u) << length;
    EXPECT_EQ(records[1].Date(), "d");
    EXPECT_EQ(records[1].End(), "f\xc3\xa8");
  }
}

// Lines of all kinds up to about `size` bytes, one longer than a read block in the middle, and
// a last line without its end.
std::string MixedLog(std::size_t size) {
  const std::string kinds[] = {
      "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t889\t28800\t1536\t1034\tModem: X\t\r\n",
      "14/10/99\t08.00.00\t08.30.00\t00.30.00\tTI\t13\t1651.5\tn.d\t0\t0\tFAX\t\n",
      "short\r\n",
      "16/10/99 09.00.00 09.10.00 00.10.00 TI 3 381 Vecchio formato\r\n",
      "17/10/99\t09.00.00\t09.10.00\t00.10.00\tCAFF\xc8\t3\t381\tn.d\t5\t6\tA voce: \xe8\t\r",
  };
  std::string bytes;
  for (int i = 0; bytes.size() < size; ++i) {
    bytes += kinds[i % 5];
    if (i == 1000)
      bytes += "18/10/99\t09.00.00\t09.10.00\t00.10.00\tTI\t1\t127\t9600\t1\t2\t" +
               std::string(1500000, 'S') + "\t\r\n";
  }
  bytes += "19/10/99\t09.00.00\t09.10.00\t00.10.00\tTI\t1\t127\t9600\t1\t2\tultima\t";
  return bytes;
}

TEST(ForEachLogRecordInFile, ReadsWhatTheWholeFileGivesAcrossBlocks) {
  TempDir dir;
  const std::string bytes = MixedLog(2500000);
  const std::string path = dir.File("big.log");
  WriteBytes(path, bytes);
  std::vector<TConnObj> streamed;
  ASSERT_TRUE(ForEachLogRecordInFile(
      path, [&](const TConnObj::Fields& row) { streamed.emplace_back(row); }));
  EXPECT_EQ(streamed, ParseLogBytes(bytes));
  EXPECT_EQ(streamed.back().Service(), "ultima");

  const Status missing = ForEachLogRecordInFile(dir.File("none.log"), [](const auto&) {});
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.error.find("none.log"), std::string::npos);
}

TEST(ForEachLogRecordInFileSplit, PiecesTogetherAreTheWholeFileAndTheirSumsAgree) {
  TempDir dir;
  // Big enough to be cut: every cut lands somewhere among lines of every kind (a lone CR, a
  // line without TABs, a character above 127); one piece starts inside the very long line.
  const std::string bytes = MixedLog(20000000);
  const std::string path = dir.File("big.log");
  WriteBytes(path, bytes);
  const auto whole = ParseLogBytes(bytes);
  for (const std::size_t parts : {2u, 3u, 5u}) {
    std::vector<std::vector<TConnObj>> pieces(parts);
    ASSERT_TRUE(ForEachLogRecordInFileSplit(
        path, parts, [&](std::size_t k, const auto& row) { pieces.at(k).emplace_back(row); }));
    std::vector<TConnObj> joined;
    for (const auto& piece : pieces) {
      EXPECT_FALSE(piece.empty()) << parts;
      joined.insert(joined.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(joined, whole) << parts << " pieces";
  }
  // The command line's totals, summed piece by piece, are the log window's over the same rows.
  LogTotalsAccumulator sum;
  ASSERT_TRUE(SumLogFile(path, sum));
  const LogTotals window = ComputeLogTotals(whole, 2, 0.2);
  const LogTotals cli = sum.Result(whole.size(), 2, 0.2);
  EXPECT_EQ(cli.rows, window.rows);
  EXPECT_EQ(cli.duration, window.duration);
  EXPECT_EQ(cli.ticks, window.ticks);
  EXPECT_EQ(cli.cost, window.cost);
  EXPECT_EQ(cli.bps, window.bps);
  EXPECT_EQ(cli.received, window.received);
  EXPECT_EQ(cli.sent, window.sent);
  EXPECT_EQ(cli.total, window.total);

  const Status missing = ForEachLogRecordInFileSplit(dir.File("none.log"), 2, [](auto, auto&) {});
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.error.find("none.log"), std::string::npos);
  // Something that opens but cannot be read is a failure, not an empty log.
  EXPECT_FALSE(ForEachLogRecordInFileSplit(dir.path(), 2, [](auto, auto&) {}));
}

}  // namespace
}  // namespace orva
