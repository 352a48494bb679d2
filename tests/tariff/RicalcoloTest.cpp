#include "tariff/Ricalcolo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "ScriptedDialogs.h"
#include "TariffFixtures.h"
#include "TempDir.h"

namespace orva {
namespace {

using test::At;
using test::CrLf;
using test::WriteTariff;

class RecalculateCallTest : public ::testing::Test {
 protected:
  Result<RecalcTexts> Run(const std::string& text, TDateTime start, TDateTime end,
                          int decimals = 1) {
    const auto path = WriteTariff(dir, "T.TRF", text);
    return RecalculateCallFile(path, start, end, decimals, dialogs);
  }
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
};

TEST_F(RecalculateCallTest, CountsTicksLikeALiveCall) {
  // Answer: 1 fixed tick; then one tick per started minute.
  const auto r = Run(test::ExampleTariff(), At(2024, 4, 22, 10, 0, 0), At(2024, 4, 22, 10, 10, 0));
  ASSERT_TRUE(r) << r.error;
  EXPECT_EQ(*r, (RecalcTexts{"00.10.00", "1397", "10"}));
  // One second more starts another tick.
  EXPECT_EQ(Run(test::ExampleTariff(), At(2024, 4, 22, 10), At(2024, 4, 22, 10, 10, 1))->ticks,
            "11");
  // A zero-length call costs its answer charge only.
  EXPECT_EQ(*Run(test::ExampleTariff(), At(2024, 4, 22, 10), At(2024, 4, 22, 10)),
            (RecalcTexts{"00.00.00", "127", "0"}));
}

TEST_F(RecalculateCallTest, AcrossMidnightAndBands) {
  const std::string tariff =
      CrLf({"[Dati generali]", "Addebito fisso=50", "Addebito fisso espresso in=1",
            "[Tariffa feriale]", "Fasce=2", "1=00.00 07.59 240 10", "2=08.00 23.59 60 100"});
  // 07.58: the first tick ends at 08.02 and is priced by the band then in force.
  auto r = Run(tariff, At(2024, 4, 22, 7, 58), At(2024, 4, 22, 8, 1));
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, (RecalcTexts{"00.03.00", "150", "1"}));
  // Monday 23.50 to Tuesday 00.10: 10 ticks of 60 s, then ticks of 240 s at 10 lire.
  r = Run(tariff, At(2024, 4, 22, 23, 50), At(2024, 4, 23, 0, 10));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->duration, "00.20.00");
  // Rounds end at 23.51 ... 00.00 (10 rounds: 9 x 100 + 1 x 10), then at 00.04, 00.08 and,
  // since 00.08 is still before the end, 00.12.
  EXPECT_EQ(r->ticks, "13");
  EXPECT_EQ(r->cost, std::to_string(50 + 9 * 100 + 4 * 10));
}

TEST_F(RecalculateCallTest, FractionalCostsUseTheDecimalsSetting) {
  const std::string tariff = CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 60 0.25"});
  auto r = Run(tariff, At(2024, 4, 22, 10), At(2024, 4, 22, 10, 1, 30), 2);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->cost, "0.50");  // 2 ticks
  r = Run(tariff, At(2024, 4, 22, 10), At(2024, 4, 22, 10, 3, 30), 2);
  EXPECT_EQ(r->cost, "1");  // 4 ticks: a whole number has no decimals
}

TEST_F(RecalculateCallTest, SubSecondTicksAdvanceOneSecondPerRound) {
  const std::string tariff = CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 0.25 1"});
  const auto r = Run(tariff, At(2024, 4, 22, 10), At(2024, 4, 22, 10, 0, 10));
  ASSERT_TRUE(r) << r.error;
  // Ten seconds at four ticks a second; tick lengths of 1 s or less give "?" as ticks.
  EXPECT_EQ(*r, (RecalcTexts{"00.00.10", "40", "?"}));
  const auto oneSecond = Run(CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 1 2"}),
                             At(2024, 4, 22, 10), At(2024, 4, 22, 10, 0, 10));
  EXPECT_EQ(*oneSecond, (RecalcTexts{"00.00.10", "20", "?"}));
}

TEST_F(RecalculateCallTest, DiscountStartsDuringTheCall) {
  const std::string tariff =
      CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 60 100", "[Sconto]", "Attivo a=1",
            "Dopo=180", "[Tariffa feriale scontata]", "Fasce=1", "1=00.00 23.59 60 10"});
  const auto r = Run(tariff, At(2024, 4, 22, 10), At(2024, 4, 22, 10, 5));
  ASSERT_TRUE(r);
  // Rounds end at 60, 120 (full price) and 180, 240, 300 s (discounted).
  EXPECT_EQ(*r, (RecalcTexts{"00.05.00", std::to_string(2 * 100 + 3 * 10), "5"}));
}

TEST_F(RecalculateCallTest, CallOfMoreThanADayKeepsItsWholeHours) {
  const std::string tariff = CrLf({"[Tariffa feriale]", "Fasce=1", "1=00.00 23.59 3600 100",
                                   "[Tariffa prefestiva]", "Fasce=1", "1=00.00 23.59 3600 100"});
  // Monday 22 April 2024 10.00 to Tuesday 11.00.10: 25 hours and ten seconds.
  const auto r = Run(tariff, At(2024, 4, 22, 10), At(2024, 4, 23, 11, 0, 10));
  ASSERT_TRUE(r) << r.error;
  EXPECT_EQ(r->duration, "25.00.10");
  EXPECT_EQ(r->ticks, "26");
}

TEST_F(RecalculateCallTest, MissingFileIsReportedOnceAndPricedByDefault) {
  const std::string missing = dir.File("NO.TRF");
  const auto r = RecalculateCallFile(missing, At(2024, 4, 22, 10), At(2024, 4, 22, 11), 1, dialogs);
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, (RecalcTexts{"01.00.00", std::to_string(60 * 127), "60"}));
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(RecalculateCallTest, FailuresAreReported) {
  EXPECT_FALSE(Run(test::ExampleTariff(), At(2024, 4, 22, 10), At(2024, 4, 22, 9)));
  const auto bad = Run(CrLf({"[Tariffa feriale]", "Fasce=1", "1=xx 23.59 60 1"}),
                       At(2024, 4, 22, 10), At(2024, 4, 22, 10, 5));
  ASSERT_FALSE(bad);
  EXPECT_NE(bad.error.find("T.TRF"), std::string::npos);
}

TEST(RecalculateCall, EmptyCatalogueUsesDefaultBand) {
  test::ScriptedDialogs dialogs;
  const auto r = RecalculateCall(TariffCatalogue{}, 0, At(2024, 4, 22, 10), At(2024, 4, 22, 10, 2),
                                 1, dialogs);
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, (RecalcTexts{"00.02.00", "254", "2"}));
  EXPECT_TRUE(dialogs.shown.empty());
}

// Long calls are priced by stepping over the spans where band, day class and discount stay the
// same. Against the meter's own tick-by-tick pricing, for every shipped tariff and a tariff
// with a gap minute, a sub-second tick and a discount by ticks: calls of every length up to a
// day and a half, starting at any second of a year with its holidays (Easter, Christmas).
TEST(RecalculateCall, SteppingOverSteadySpansGivesTheTickByTickFigures) {
  const auto tickByTick = [](const LoadedTariff& t, TDateTime start, TDateTime end) {
    TariffResult r;
    EXPECT_TRUE(t.Evaluate(0, 0.0, start, r, true));
    long long cost = r.values.fixedChargeUnit == 1 ? r.values.fixedCharge * 10000
                                                   : r.values.fixedCharge * r.tickCostFixed;
    const long long spanMs = std::llround((end - start) * 86400000.0);
    long long seconds = 0, ticks = 0, rounds = 0;
    while (seconds * 1000 + 999 < spanMs) {
      const bool whole = r.values.tickSeconds >= 1;
      const long long step = whole ? static_cast<long long>(r.values.tickSeconds) : 1;
      const long long count =
          whole ? 1 : static_cast<long long>(std::trunc(1.0 / r.values.tickSeconds));
      seconds += step;
      ticks += count;
      ++rounds;
      const TDateTime elapsed = static_cast<double>(seconds) / 86400.0;
      EXPECT_TRUE(t.Evaluate(static_cast<int>(ticks), elapsed, start + elapsed, r, true));
      cost += count * r.tickCostFixed;
    }
    return std::pair{cost, rounds};
  };
  test::TempDir dir;
  std::vector<std::string> paths;
  for (const char* f : {"ESEMPIO.TRF", "INTERNET.TRF", "INTERURB.TRF", "SECONDO.TRF", "URBANA.TRF"})
    paths.push_back(std::string(ORVA_SOURCE_DIR) + "/data/tariffe/" + f);
  paths.push_back(WriteTariff(dir, "ODD.TRF",
                              "[Dati generali]\nAddebito fisso=2\nAddebito fisso espresso in=0\n"
                              "[Tariffa feriale]\nFasce=2\n1=00.00 07.59 0.5 3\n"
                              "2=08.00 23.58 45 127\n"
                              "[Tariffa prefestiva]\nFasce=1\n1=00.00 23.59 90 100\n"
                              "[Tariffa festiva]\nFasce=1\n1=00.00 23.59 200 50\n"
                              "[Sconto]\nAttivo a=0\nDopo=7\n"
                              "[Tariffa feriale scontata]\nFasce=1\n1=00.00 23.59 30 60\n"
                              "[Tariffa prefestiva scontata]\nFasce=1\n1=00.00 23.59 30 60\n"
                              "[Tariffa festiva scontata]\nFasce=1\n1=00.00 23.59 30 60\n"));
  std::mt19937 rng(2024);
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    const LoadedTariff tariff(path);
    ASSERT_TRUE(tariff.found());
    for (int call = 0; call < 40; ++call) {
      const TDateTime start =
          At(2024, 1, 1) + std::uniform_int_distribution<int>(0, 366 * 86400)(rng) / 86400.0;
      const int seconds = call < 5 ? call : std::uniform_int_distribution<int>(0, 130'000)(rng);
      const TDateTime end = start + seconds / 86400.0;
      const Result<RecalcFigures> fast = RecalculateFigures(tariff, start, end);
      ASSERT_TRUE(fast) << fast.error;
      const auto [cost, rounds] = tickByTick(tariff, start, end);
      ASSERT_EQ(fast->costFixed, cost) << DateTimeToStr(start) << " + " << seconds << " s";
      ASSERT_EQ(fast->ticks, rounds) << DateTimeToStr(start) << " + " << seconds << " s";
    }
  }
}

}  // namespace
}  // namespace orva
