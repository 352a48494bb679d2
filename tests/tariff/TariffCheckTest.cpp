#include "tariff/TariffCheck.h"

#include <gtest/gtest.h>

#include "ScriptedDialogs.h"

namespace orva {

namespace {

BandGrid Grid(std::initializer_list<BandRow> rows) {
  return BandGrid(rows);
}

struct Checked {
  GridCheck result;
  test::ScriptedDialogs dialogs;
};

// The texts shown, in order.
std::vector<std::string> Texts(const test::ScriptedDialogs& d) {
  std::vector<std::string> out;
  for (const auto& s : d.shown) out.push_back(s.text);
  return out;
}

}  // namespace

TEST(BandTime, ParseAndFormat) {
  EXPECT_EQ(ParseBandTime("00.00"), 0);
  EXPECT_EQ(ParseBandTime("23.59"), 23 * 3600 + 59 * 60);
  EXPECT_EQ(ParseBandTime(" 8.05 "), 8 * 3600 + 5 * 60);
  EXPECT_EQ(ParseBandTime("08.00.30"), 8 * 3600 + 30);
  for (const char* bad : {"", "24.00", "12.60", "ab.cd", "12", "12.", "-1.00", "12.00x"})
    EXPECT_FALSE(ParseBandTime(bad)) << bad;
  EXPECT_EQ(FormatBandTime(8 * 3600), "08.00");
  EXPECT_EQ(FormatBandTime(23 * 3600 + 59 * 60 + 59), "23.59");
}

TEST(BandGridRows, JoinRemovesInnerSpacesAndRefreshFillsEmptyCells) {
  EXPECT_EQ(JoinBandRow({" 08.00", "18. 29", "6 0", "127.5 "}), "08.00 18.29 60 127.5");
  BandGrid g = Grid({{"", "", "", ""}, {"08.00", "09.00", "60", "2"}});
  RefreshGrid(g);
  EXPECT_EQ(g[0], (BandRow{"00.00", "00.00", "0", "0"}));
  EXPECT_EQ(g[1], (BandRow{"08.00", "09.00", "60", "2"}));
}

TEST(ValidateBandGrid, WellFormedDayPasses) {
  test::ScriptedDialogs d;
  const auto r = ValidateBandGrid(Grid({{"00.00", "07.59", "240", "127"},
                                        {"08.00", "18.29", "60", "127"},
                                        {"18.30", "23.59", "120", "0"}}),
                                  d);
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(d.shown.empty());
  EXPECT_EQ(d.beeps, 0);
  // A band ending at 00.00 followed by one starting at 00.01 is no gap.
  EXPECT_TRUE(
      ValidateBandGrid(Grid({{"00.00", "00.00", "1", "2"}, {"00.01", "23.59", "0.5", "3"}}), d).ok);
}

TEST(ValidateBandGrid, NewTariffBandFailsWithoutMessage) {
  test::ScriptedDialogs d;
  const auto r = ValidateBandGrid(Grid({{"00.00", "00.00", "0", "0"}}), d);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(d.shown.empty());
  EXPECT_EQ(d.beeps, 0);
}

TEST(ValidateBandGrid, EachRuleHasItsMessageAndCell) {
  struct Case {
    BandGrid grid;
    std::string message;
    GridCell cell;
  };
  const std::vector<Case> cases = {
      {Grid({{"00.00", "23.59", "0", "127"}}), "Campo durata scatto errato\r", {1, 2}},
      {Grid({{"00.00", "23.59", "-60", "127"}}), "Campo durata scatto errato\r", {1, 2}},
      {Grid({{"00.00", "23.59", "x", "127"}}), "Campo durata scatto errato\r", {1, 2}},
      {Grid({{"00.00", "08.00", "60", "1"}, {"08.00", "23.59", "60", "1"}}),
       "Inizio periodo antecedente o uguale a fine periodo campo precedente !\r",
       {2, 0}},
      {Grid({{"00.00", "08.00", "60", "1"}, {"07.00", "23.59", "60", "1"}}),
       "Inizio periodo antecedente o uguale a fine periodo campo precedente !\r",
       {2, 0}},
      {Grid({{"00.00", "07.59", "60", "1"}, {"08.01", "23.59", "60", "1"}}),
       "Differenza tra inizio periodo e fine periodo precedente > di 1 minuto !\r",
       {2, 0}},
      {Grid({{"00.00", "07.59", "60", "1"}, {"08.00", "23.59", "0", "1"}}),
       "Campo durata scatto errato o nullo !\r",
       {2, 2}},
      {Grid({{"00.00", "07.59", "60", "1"}, {"08.00", "23.59", "60", "-1"}}),
       "Costo scatto errato o negativo !\r",
       {2, 3}},
      {Grid({{"00.00", "07.59", "60", "1"}, {"08.00", "23.59", "60", "1,5"}}),
       "Costo scatto errato o negativo !\r",
       {2, 3}},
      // The first band's cost as well: "abc" would have been charged as 127 lire.
      {Grid({{"00.00", "07.59", "60", "abc"}, {"08.00", "23.59", "60", "1"}}),
       "Costo scatto errato o negativo !\r",
       {1, 3}},
      {Grid({{"00.00", "07.59", "60", "1"}, {"08.00", "23.58", "60", "1"}}),
       "Ultima fascia diversa da 23.59\r",
       {2, 1}},
      {Grid({{"00.00", "12.00", "60", "1"}}), "Ultima fascia diversa da 23.59\r", {1, 1}},
  };
  for (const auto& c : cases) {
    test::ScriptedDialogs d;
    const auto r = ValidateBandGrid(c.grid, d);
    EXPECT_FALSE(r.ok) << c.message;
    ASSERT_EQ(d.shown.size(), 1u) << c.message;
    EXPECT_EQ(d.shown[0].text, c.message);
    EXPECT_EQ(d.shown[0].type, MsgType::Warning);
    EXPECT_EQ(d.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(d.beeps, 1);
    EXPECT_EQ(r.focus, c.cell) << c.message;
  }
}

TEST(ValidateBandGrid, FirstFaultInBandOrderWins) {
  test::ScriptedDialogs d;
  // A gap after band 1 and a bad cost in band 3: only the gap is reported.
  const auto r = ValidateBandGrid(Grid({{"00.00", "07.59", "60", "1"},
                                        {"08.02", "12.00", "60", "1"},
                                        {"12.01", "23.59", "60", "-4"}}),
                                  d);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(Texts(d), std::vector<std::string>{
                          "Differenza tra inizio periodo e fine periodo precedente > di 1 "
                          "minuto !\r"});
}

TEST(ValidateBandGrid, BadTimeCellIsNamedNotThrown) {
  struct Case {
    BandGrid grid;
    GridCell cell;
    std::string text;
  };
  const std::vector<Case> cases = {
      {Grid({{"00.00", "07.59", "60", "1"}, {"8.6x", "23.59", "60", "1"}}), {2, 0}, "8.6x"},
      {Grid({{"00.00", "25.00", "60", "1"}, {"08.00", "23.59", "60", "1"}}), {1, 1}, "25.00"},
      {Grid({{"00.00", "07.59", "60", "1"}, {"08.00", "", "60", "1"}}), {2, 1}, ""},
      {Grid({{"zz", "23.59", "60", "1"}}), {1, 0}, "zz"},
  };
  for (const auto& c : cases) {
    test::ScriptedDialogs d;
    const auto r = ValidateBandGrid(c.grid, d);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.focus, c.cell);
    ASSERT_EQ(d.shown.size(), 1u);
    EXPECT_EQ(d.shown[0].text,
              BadTimeMessage(c.cell.row, static_cast<BandColumn>(c.cell.column), c.text));
    EXPECT_EQ(d.shown[0].type, MsgType::Warning);
    EXPECT_EQ(d.beeps, 1);
  }
  const std::string m = BadTimeMessage(2, kEndColumn, "1\n2");
  EXPECT_NE(m.find("fascia 2"), std::string::npos);
  EXPECT_NE(m.find("Fine"), std::string::npos);
  EXPECT_EQ(m.find('\n'), std::string::npos);
  EXPECT_EQ(m.back(), '\r');
}

}  // namespace orva
