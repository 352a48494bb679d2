#include "log/Logform.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "log/LogFile.h"
#include "log/Servform.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

using test::ReadBytes;
using test::WriteBytes;

struct Row {
  std::string date = "15/10/99", start = "21.00.00", end = "21.10.00", dur = "00.10.00",
              tariff = "TI", ticks = "5", cost = "635", bps = "28800", rec = "1000", sent = "100",
              service = "Modem: A";
};
TConnObj R(const Row& r) {
  return TConnObj(
      {r.date, r.start, r.end, r.dur, r.tariff, r.ticks, r.cost, r.bps, r.rec, r.sent, r.service});
}
std::string Line(const Row& r) {
  return FormatLogLine(R(r)) + "\r\n";
}

std::vector<std::string> Column(const LogModel& m, LogField f) {
  std::vector<std::string> out;
  for (const auto& r : m.Records()) out.emplace_back(r.Field(f));
  return out;
}

class LogModelTest : public ::testing::Test {
 protected:
  LogModelTest() : model(dialogs, dir.path()) { model.SetLogPath(dir.File("ORVA.LOG")); }
  void Write(const std::vector<Row>& rows, const std::string& path) {
    std::string bytes;
    for (const auto& r : rows) bytes += Line(r);
    WriteBytes(path, bytes);
  }
  void Use(const std::vector<Row>& rows) {
    Write(rows, model.LogPath());
    ASSERT_TRUE(model.Show());
  }
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  LogModel model;
};

TEST(LogSortState, SameColumnFlipsOtherColumnStartsAscending) {
  LogSortState s;
  EXPECT_FALSE(s.Click(0));
  EXPECT_FALSE(s.Click(12));
  ASSERT_TRUE(s.Click(7));
  EXPECT_EQ(s.column, 7);
  EXPECT_TRUE(s.ascending);
  s.Click(7);
  EXPECT_FALSE(s.ascending);
  s.Click(7);
  EXPECT_TRUE(s.ascending);
  s.Click(7);
  s.Click(2);
  EXPECT_EQ(s.column, 2);
  EXPECT_TRUE(s.ascending);
}

TEST_F(LogModelTest, SortsEachColumnByItsKindWithTextsFirst) {
  Row a, b, c, d;
  a.date = "01/02/00", a.start = "10.00.00", a.cost = "1000,5", a.bps = "n.d", a.ticks = "?";
  a.rec = "1.200", a.tariff = "beta", a.service = "b";
  b.date = "31/12/99", b.start = "23.00.00", b.cost = "99.5", b.bps = "33600", b.ticks = "12";
  b.rec = "900", b.tariff = "Alfa", b.service = "C";
  c.date = "?", c.start = "?", c.cost = "?", c.bps = "9600", c.ticks = "3", c.rec = "n.d";
  c.tariff = "gamma", c.service = "a";
  d.date = "01/02/00", d.start = "09.00.00", d.cost = "n.d", d.bps = "14400.5", d.ticks = "7";
  d.rec = "50", d.tariff = "ALFA", d.service = "B";
  Use({a, b, c, d});

  ASSERT_TRUE(model.HeaderClick(1));  // date, then start; "?" first
  EXPECT_EQ(Column(model, LogField::Start),
            (std::vector<std::string>{"?", "23.00.00", "09.00.00", "10.00.00"}));
  model.HeaderClick(1);
  EXPECT_EQ(Column(model, LogField::Start),
            (std::vector<std::string>{"10.00.00", "09.00.00", "23.00.00", "?"}));
  model.HeaderClick(7);  // "," is a decimal point; texts are the smallest
  EXPECT_EQ(Column(model, LogField::Cost),
            (std::vector<std::string>{"n.d", "?", "99.5", "1000,5"}));
  model.HeaderClick(8);
  EXPECT_EQ(Column(model, LogField::Bps),
            (std::vector<std::string>{"n.d", "9600", "14400.5", "33600"}));
  model.HeaderClick(6);  // "?" counts as 0
  EXPECT_EQ(Column(model, LogField::Ticks), (std::vector<std::string>{"?", "3", "7", "12"}));
  model.HeaderClick(9);  // "." groups thousands; "n.d" counts as 0
  EXPECT_EQ(Column(model, LogField::Received),
            (std::vector<std::string>{"n.d", "50", "900", "1.200"}));
  model.HeaderClick(5);  // case ignored, equal ones keep their order
  const auto tariffs = Column(model, LogField::Tariff);
  EXPECT_EQ(tariffs, (std::vector<std::string>{"ALFA", "Alfa", "beta", "gamma"}));
  model.HeaderClick(11);
  model.HeaderClick(11);
  EXPECT_EQ(Column(model, LogField::Service), (std::vector<std::string>{"C", "B", "b", "a"}));
  // The sort column applies again at load.
  ASSERT_TRUE(model.Load(model.LogPath()).status);
  EXPECT_EQ(Column(model, LogField::Service), (std::vector<std::string>{"C", "b", "B", "a"}));
}

TEST_F(LogModelTest, TotalsOfTheSelection) {
  Row a, b, c;
  a.dur = "23.59.59", a.ticks = "10", a.cost = "1270", a.bps = "28800", a.rec = "1.000",
  a.sent = "1034";
  b.dur = "00.00.02", b.ticks = "?", b.cost = "635.5", b.bps = "n.d", b.rec = "536", b.sent = "n.d";
  c.dur = "?", c.ticks = "4", c.cost = "n.d", c.bps = "33600", c.rec = "n.d", c.sent = "0";
  Use({a, b, c});
  model.decimals = 2;
  model.vatRate = 0.20;
  LogTotals t = model.Totals();
  EXPECT_EQ(t.rows, "0/3");
  EXPECT_EQ(t.received, "0,00 Kb");
  model.SelectAll();
  t = model.Totals();
  EXPECT_EQ(t.rows, "3/3");
  EXPECT_EQ(t.duration, "24.00.01");
  EXPECT_EQ(t.ticks, "14");
  EXPECT_EQ(t.cost, "1905.50");
  EXPECT_EQ(t.bps, "31200");  // the two numeric speeds only
  EXPECT_EQ(t.received, "1,50 Kb");
  EXPECT_EQ(t.sent, "1,01 Kb");
  EXPECT_EQ(t.total, "TOT.L.2286.60");
  model.Select(1, false);
  model.Select(2, false);
  model.Select(0, false);
  model.Select(1, true);
  t = model.Totals();
  EXPECT_EQ(t.rows, "1/3");
  EXPECT_EQ(t.bps, "0");
}

TEST(FormatKilobytes, RoundsToHundredthsAndGroups) {
  EXPECT_EQ(FormatKilobytes(1536), "1,50 Kb");
  EXPECT_EQ(FormatKilobytes(1034), "1,01 Kb");
  EXPECT_EQ(FormatKilobytes(1023), "1,00 Kb");
  EXPECT_EQ(FormatKilobytes(0), "0,00 Kb");
  EXPECT_EQ(FormatKilobytes(1234567890), "1.205.632,71 Kb");
  EXPECT_EQ(FormatKilobyteCell("n.d"), "n.d");
  EXPECT_EQ(FormatKilobyteCell("2.048"), "2,00 Kb");
}

TEST_F(LogModelTest, AverageSpeedKeepsOneDecimal) {
  Row a, b;
  a.bps = "28800", b.bps = "33601";
  Use({a, b});
  model.SelectAll();
  EXPECT_EQ(model.Totals().bps, "31200.5");
}

TEST_F(LogModelTest, DeleteAsksUnlessCtrlAndRebuildsServices) {
  Row a, b, c;
  a.service = "A", b.service = "B", c.service = "C";
  Use({a, b, c});
  EXPECT_EQ(ReadBytes(dir.File("ORVA.SRV")), "A\r\nB\r\nC\r\n");
  EXPECT_FALSE(model.Delete(false));  // nothing selected: no question
  EXPECT_TRUE(dialogs.shown.empty());
  model.Select(1, true);
  dialogs.NextAnswer(MsgAnswer::No);
  EXPECT_FALSE(model.Delete(false));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "\rCancello gli elementi selezionati ?\r\r");
  EXPECT_EQ(model.Count(), 3u);
  dialogs.NextAnswer(MsgAnswer::Yes);
  EXPECT_TRUE(model.Delete(false));
  EXPECT_EQ(Column(model, LogField::Service), (std::vector<std::string>{"A", "C"}));
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(ReadBytes(dir.File("ORVA.SRV")), "A\r\nC\r\n");
  model.Select(0, true);
  EXPECT_TRUE(model.Delete(true));
  EXPECT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(model.Services(), (std::vector<std::string>{"C"}));
}

TEST_F(LogModelTest, ImportAsksOnceAboutDuplicatesAndSaves) {
  Row a, b, c, d;
  b.start = "22.00.00", c.start = "23.00.00", d.start = "23.30.00";
  Use({a, b});
  // The import file repeats a and b, brings c and d, and has a short line and an old line.
  const std::string from = dir.File("other.LOG");
  WriteBytes(from, Line(a) + "x\r\n" + Line(c) + Line(b) +
                       "12/09/98 22.10.00 22.40.00 00.30.00 TI 16 2032 A voce\r\n" + Line(d));
  int asked = 0;
  ImportOutcome out = model.Import(from, [&] {
    ++asked;
    return DupAnswer::No;
  });
  ASSERT_TRUE(out.status) << out.status.error;
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(out.added, 2u);
  EXPECT_EQ(out.duplicatesSkipped, 2u);
  EXPECT_FALSE(model.Modified());  // saved
  std::vector<TConnObj> saved;
  LoadLogFile(model.LogPath(), saved);
  EXPECT_EQ(saved, model.Records());
  EXPECT_EQ(saved.size(), 4u);

  // "Si" takes this duplicate and every later one.
  asked = 0;
  out = model.Import(from, [&] {
    ++asked;
    return DupAnswer::Si;
  });
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(out.added, 4u);
  // Closing the question skips that one and asks again.
  asked = 0;
  out = model.Import(from, [&] {
    ++asked;
    return DupAnswer::Closed;
  });
  EXPECT_EQ(asked, 4);
  EXPECT_EQ(out.added, 0u);
  // The current log itself (any letter case) is not imported.
  out = model.Import(dir.File("orva.log"), nullptr);
  EXPECT_TRUE(out.sameFile);
  EXPECT_EQ(model.Count(), 8u);
}

TEST_F(LogModelTest, DuplicateQuestionThroughDialogs) {
  Row a;
  Use({a});
  WriteBytes(dir.File("x.log"), Line(a) + Line(a));
  dialogs.NextAnswer(MsgAnswer::Closed);
  dialogs.NextAnswer(MsgAnswer::Yes);
  const ImportOutcome out = model.Import(dir.File("x.log"), AskDuplicatesWith(dialogs));
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, "Inserisco connessioni con dati uguali ?");
  EXPECT_EQ(out.added, 1u);
}

TEST_F(LogModelTest, ImportOfAMissingFileChangesNothing) {
  Row a;
  Use({a});
  const ImportOutcome out = model.Import(dir.File("missing.log"), nullptr);
  EXPECT_FALSE(out.status);
  EXPECT_EQ(model.Count(), 1u);
  EXPECT_FALSE(model.Modified());
}

TEST_F(LogModelTest, CopyWritesSwapFileAndPasteAddsWithoutSaving) {
  Row a, b, q;
  b.start = "22.00.00", q.date = " ? ";
  Use({a, b, q});
  const std::string before = ReadBytes(model.LogPath());
  model.Select(1, true);
  model.Select(2, true);
  ASSERT_TRUE(model.Copy());
  EXPECT_TRUE(model.PasteAvailable());
  EXPECT_EQ(ReadBytes(dir.File("swap.tmp")), Line(b));  // the "?" row is not copied

  WriteBytes(
      dir.File("swap.tmp"), Line(b) + Line(b) + [] {
        Row c;
        c.start = "08.00.00";
        return Line(c);
      }());
  const ImportOutcome out = model.Paste([] { return DupAnswer::No; });
  ASSERT_TRUE(out.status);
  EXPECT_EQ(out.added, 1u);
  EXPECT_EQ(model.Count(), 4u);
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(ReadBytes(model.LogPath()), before);
}

TEST_F(LogModelTest, CsvQuotesOnlyFieldsThatNeedIt) {
  Row a, b;
  a.service = "Modem: Rossi, Bianchi";
  b.service = "BBS \"Zefir\"";
  b.cost = "12.5";
  Use({a, b});
  ASSERT_TRUE(model.ExportCsv(dir.File("out.CSV")));
  EXPECT_EQ(ReadBytes(dir.File("out.CSV")),
            "15/10/99,21.00.00,21.10.00,00.10.00,TI,5,635,28800,1000,100,"
            "\"Modem: Rossi, Bianchi\",\r\n"
            "15/10/99,21.00.00,21.10.00,00.10.00,TI,5,12.5,28800,1000,100,"
            "\"BBS \"\"Zefir\"\"\",\r\n");
}

TEST_F(LogModelTest, SelectionByServiceAndDate) {
  Row a, b, c, d;
  a.date = "01/10/99", a.service = "Modem: Tiscali";
  b.date = "15/10/99", b.service = " FAX G3: Rossi";
  c.date = "31/10/99", c.service = "Modem: tiscali";
  d.date = "?", d.service = "Modem: Tiscali 2";
  Use({a, b, c, d});
  auto selected = [&] {
    std::vector<int> rows;
    for (std::size_t i = 0; i < model.Count(); ++i)
      if (model.Selected(i)) rows.push_back(static_cast<int>(i));
    return rows;
  };
  model.Select(1, true);
  model.SelectByCriteria({});  // no criterion: nothing changes
  EXPECT_EQ(selected(), (std::vector<int>{1}));

  LogFilter f;
  f.byService = true;
  f.service = "Tiscali";  // case matters
  model.SelectByCriteria(f);
  EXPECT_EQ(selected(), (std::vector<int>{0, 3}));
  f.byDate = true;
  f.from = EncodeDate(1999, 10, 1);
  f.to = EncodeDate(1999, 10, 31) + 0.75;
  model.SelectByCriteria(f);
  EXPECT_EQ(selected(), (std::vector<int>{0}));
  f.byService = false;
  f.from = EncodeDate(1999, 10, 2);
  model.SelectByCriteria(f);
  EXPECT_EQ(selected(), (std::vector<int>{1, 2}));
}

TEST_F(LogModelTest, ChangeServiceOfSelectedRowsSavesAndRebuilds) {
  Row a, b;
  a.service = "A", b.service = "B";
  Use({a, b});
  model.Select(0, true);
  dialogs.NextAnswer(MsgAnswer::No);
  ASSERT_TRUE(model.ChangeService("Z"));
  EXPECT_EQ(model.Records()[0].Service(), "A");
  dialogs.NextAnswer(MsgAnswer::Yes);
  ASSERT_TRUE(model.ChangeService(std::string(70, 'Z')));
  EXPECT_EQ(dialogs.shown.back().text,
            "Aggiorno il campo \"Connessione a\" delle voci selezionate ?");
  EXPECT_EQ(model.Records()[0].Service(), std::string(64, 'Z'));
  std::vector<TConnObj> saved;
  LoadLogFile(model.LogPath(), saved);
  EXPECT_EQ(saved, model.Records());
  EXPECT_EQ(model.Services(), (std::vector<std::string>{"B", std::string(64, 'Z')}));
  EXPECT_EQ(LoadServiceFile(dir.File("ORVA.SRV")), model.Services());
}

TEST_F(LogModelTest, UnsavedChangesYesSavesNoDiscardsCancelStays) {
  Row a;
  Use({a});
  EXPECT_TRUE(model.ConfirmDiscard());  // nothing to save: no question
  EXPECT_TRUE(dialogs.shown.empty());
  ASSERT_TRUE(model.AddRecord(LogModel::NewManualRecord()));
  dialogs.NextAnswer(MsgAnswer::Cancel);
  EXPECT_FALSE(model.ConfirmDiscard());
  dialogs.NextAnswer(MsgAnswer::No);
  EXPECT_TRUE(model.ConfirmDiscard());
  EXPECT_TRUE(model.Modified());
  dialogs.NextAnswer(MsgAnswer::Yes);
  EXPECT_TRUE(model.ConfirmDiscard());
  EXPECT_FALSE(model.Modified());
  EXPECT_EQ(dialogs.shown[0].text, "La lista delle connessioni non è stata salvata, la salvo ?");
  std::vector<TConnObj> saved;
  LoadLogFile(model.LogPath(), saved);
  EXPECT_EQ(saved, model.Records());
  EXPECT_EQ(model.Records()[1].Service(), "Nessuno");
  EXPECT_EQ(model.Records()[1].Bps(), "n.d");
}

TEST_F(LogModelTest, NewCreatesAnEmptyLogAndKeepsAnExistingOne) {
  Row a;
  Write({a}, dir.File("old.LOG"));
  ASSERT_TRUE(model.New(dir.File("old")));
  EXPECT_EQ(model.LogPath(), dir.File("old.LOG"));
  EXPECT_EQ(model.Count(), 1u);
  ASSERT_TRUE(model.New(dir.File("fresh")));
  EXPECT_EQ(model.LogPath(), dir.File("fresh.LOG"));
  EXPECT_TRUE(FileExists(dir.File("fresh.LOG")));
  EXPECT_EQ(model.Count(), 0u);
  // Opening a missing file keeps the previous list.
  ASSERT_TRUE(model.AddRecord(R(a)));
  ASSERT_TRUE(model.Open(dir.File("missing.LOG")));
  EXPECT_EQ(model.Count(), 1u);
}

TEST(DefaultFileExt, AddsTheExtensionOnlyToANameWithoutOne) {
  EXPECT_EQ(DefaultFileExt("/d/other.log", ".LOG"), "/d/other.log");
  EXPECT_EQ(DefaultFileExt("/d/other", ".LOG"), "/d/other.LOG");
  EXPECT_EQ(DefaultFileExt("/d/other.", ".LOG"), "/d/other.LOG");
  EXPECT_EQ(DefaultFileExt("/d.x/other", ".LOG"), "/d.x/other.LOG");
  EXPECT_EQ(DefaultFileExt("/d/.hidden", ".LOG"), "/d/.hidden.LOG");
  EXPECT_EQ(DefaultFileExt("/d/Amici.txt", ".TEL"), "/d/Amici.txt");
}

TEST_F(LogModelTest, NewAndSaveAsKeepTheChosenName) {
  Row a;
  Use({a});
  ASSERT_TRUE(model.SaveAs(dir.File("other.log")));
  EXPECT_EQ(model.LogPath(), dir.File("other.log"));
  EXPECT_FALSE(FileExists(dir.File("other.LOG")));
  ASSERT_TRUE(model.New(dir.File("other.log")));
  EXPECT_EQ(model.LogPath(), dir.File("other.log"));
  EXPECT_EQ(model.Count(), 1u);  // the existing file is loaded, not emptied
}

// The meter appends to the log while the window holds it: every save of the window keeps
// those calls, and the list shows them afterwards.
TEST_F(LogModelTest, EverySaveKeepsTheCallsAppendedSinceLoading) {
  Row a, b, c, meter1, meter2;
  a.service = "A", b.service = "B", c.service = "C", c.start = "20.00.00";
  meter1.start = "22.00.00", meter1.service = "Meter 1";
  meter2.start = "23.00.00", meter2.service = "Meter 2";
  Use({a, b});
  auto append = [&](const Row& r) {
    WriteBytes(model.LogPath(), ReadBytes(model.LogPath()) + Line(r));
  };
  auto onDisk = [&] {
    std::vector<TConnObj> saved;
    LoadLogFile(model.LogPath(), saved);
    return saved;
  };
  auto services = [](const std::vector<TConnObj>& records) {
    std::vector<std::string> out;
    for (const auto& r : records) out.emplace_back(r.Service());
    std::sort(out.begin(), out.end());
    return out;
  };

  // The window deletes a row (unsaved), the meter appends; "Sì" at close keeps both.
  model.Select(1, true);
  ASSERT_TRUE(model.Delete(true));
  append(meter1);
  dialogs.NextAnswer(MsgAnswer::Yes);
  ASSERT_TRUE(model.ConfirmDiscard());
  EXPECT_EQ(services(onDisk()), (std::vector<std::string>{"A", "Meter 1"}));
  EXPECT_EQ(services(model.Records()), services(onDisk()));

  // The service box: the edited row and the new call.
  append(meter2);
  model.ClearSelection();
  model.Select(0, true);
  dialogs.NextAnswer(MsgAnswer::Yes);
  ASSERT_TRUE(model.ChangeService("Z"));
  EXPECT_EQ(services(onDisk()), (std::vector<std::string>{"Meter 1", "Meter 2", "Z"}));
  EXPECT_EQ(services(model.Records()), services(onDisk()));

  // Import.
  append(meter1);  // the same call twice in the file: both copies stay
  Write({c}, dir.File("other.LOG"));
  ASSERT_TRUE(model.Import(dir.File("other.LOG"), nullptr).status);
  EXPECT_EQ(services(onDisk()),
            (std::vector<std::string>{"C", "Meter 1", "Meter 1", "Meter 2", "Z"}));

  // "Salva con nome": the calls appended to the log in use come along.
  Row meter3;
  meter3.start = "23.30.00", meter3.service = "Meter 3";
  append(meter3);
  ASSERT_TRUE(model.SaveAs(dir.File("copy.LOG")));
  EXPECT_EQ(services(onDisk()),
            (std::vector<std::string>{"C", "Meter 1", "Meter 1", "Meter 2", "Meter 3", "Z"}));
  // Nothing appended since: a save changes nothing and the list has no doubles.
  ASSERT_TRUE(model.Save());
  EXPECT_EQ(model.Count(), 6u);
}

TEST_F(LogModelTest, AppendedCallsAreShownWithoutChangingTheModifiedFlag) {
  Row a, meter;
  meter.start = "22.00.00", meter.service = "Meter";
  Use({a});
  WriteBytes(model.LogPath(), ReadBytes(model.LogPath()) + Line(meter));
  auto added = model.TakeAppended();
  ASSERT_TRUE(added);
  EXPECT_EQ(*added, 1u);
  EXPECT_FALSE(model.Modified());
  EXPECT_EQ(*model.TakeAppended(), 0u);
  // The meter then sets the call's service: the list follows, and a save writes it once.
  Row named = meter;
  named.service = "BBS";
  const std::string oldLine = FormatLogLine(R(meter)), newLine = FormatLogLine(R(named));
  WriteBytes(model.LogPath(), Line(a) + Line(named));
  model.RecordRewritten(oldLine, newLine);
  EXPECT_EQ(model.Records()[1].Service(), "BBS");
  ASSERT_TRUE(model.AddRecord(LogModel::NewManualRecord()));
  ASSERT_TRUE(model.Save());
  std::vector<TConnObj> saved;
  LoadLogFile(model.LogPath(), saved);
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[1].Service(), "BBS");
}

}  // namespace
}  // namespace orva
