#include "phone/vivavoce.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/TextCodec.h"

namespace orva {

TEST(PhoneBook, LinesWithMissingTabsReadAsTheRulesSay) {
  EXPECT_EQ(ParsePhoneLine("Mario Rossi\t06-1234\tTelecom"),
            (PhoneEntry{"Mario Rossi", "06-1234", "Telecom"}));
  EXPECT_EQ(ParsePhoneLine("solo testo"), (PhoneEntry{"", "", "solo testo"}));
  EXPECT_EQ(ParsePhoneLine("Anna\t02-99"), (PhoneEntry{"Anna", "02-99", ""}));
  EXPECT_EQ(ParsePhoneLine("a\tb\tc\td"), (PhoneEntry{"a", "b", "c\td"}));
}

TEST(PhoneBook, MissingFileIsCreatedAndRowsRoundTripSortedByName) {
  test::TempDir dir;
  const std::string path = dir.File("rubrica.tel");
  PhoneBook book;
  ASSERT_TRUE(book.Load(path));
  EXPECT_TRUE(book.Rows().empty());
  EXPECT_EQ(test::ReadBytes(path), "");

  book.Add({"zeta", "1", "T"});
  book.Add({"Alfa", "2", "T"});
  book.Add({"beta", "3", "T"});
  book.Add({"alfa", "4", "T"});  // a name that already exists gives a second row
  ASSERT_EQ(book.Rows().size(), 4u);
  EXPECT_EQ(book.Rows()[0].number, "2");
  EXPECT_EQ(book.Rows()[1].number, "4");
  EXPECT_EQ(book.Rows()[3].name, "zeta");
  ASSERT_TRUE(book.Save(path));
  EXPECT_EQ(test::ReadBytes(path), "Alfa\t2\tT\r\nalfa\t4\tT\r\nbeta\t3\tT\r\nzeta\t1\tT\r\n");

  PhoneBook again;
  ASSERT_TRUE(again.Load(path));
  EXPECT_EQ(again.Rows(), book.Rows());
}

TEST(PhoneBook, ReplaceFindAndDelete) {
  PhoneBook book;
  book.Add({"Bianchi", "1", "A"});
  book.Add({"Rossi", "2", "A"});
  const auto i = book.Replace(0, {"Verdi", "3", "B"});
  EXPECT_EQ(book.Rows()[i].name, "Verdi");
  EXPECT_EQ(book.Find("ross"), 0u);
  EXPECT_EQ(book.Find("erd", 1), 1u);
  EXPECT_EQ(book.Find("rossi", 1), 0u);  // wraps round
  EXPECT_FALSE(book.Find("nessuno"));
  book.Delete(5);  // out of range: nothing
  book.Delete(0);
  EXPECT_EQ(book.Rows().size(), 1u);
}

TEST(VoiceDialer, ButtonRulesDialRequestAndSpeaker) {
  EXPECT_FALSE(CanDial(""));
  EXPECT_TRUE(CanDial("06"));
  EXPECT_FALSE(CanAdd("a", "1", false));
  EXPECT_TRUE(CanAdd("a", "1", true));
  EXPECT_FALSE(CanModify("a", "1", true, false));
  const auto withoutTariff = MakeDialRequest("06-1", "Rossi", std::nullopt);
  EXPECT_FALSE(withoutTariff.tariffIndex);  // dials without hand-over
  EXPECT_EQ(withoutTariff.calledParty, "Rossi");
  EXPECT_EQ(MakeDialRequest("1", "a", 3).tariffIndex, 3);
  EXPECT_EQ(SpeakerInitString("ATX3", 0), "ATX3L0M0");
  EXPECT_EQ(SpeakerInitString("", 3), "L3M1");
  EXPECT_EQ(PhoneBookFileName("/nonexistent/Amici"), "/nonexistent/Amici.tel");
  EXPECT_EQ(PhoneBookFileName("/nonexistent/Casa.TEL"), "/nonexistent/Casa.TEL");
  EXPECT_EQ(PhoneBookFileName("/nonexistent/Amici.txt"),
            "/nonexistent/Amici.txt");  // a chosen extension stays
}

}  // namespace orva

namespace orva {

TEST(PhoneBook, NamesSortAsPeopleReadThemAccentsAndCaseAside) {
  PhoneBook book;
  for (const char* name : {"zeta", "Élodie", "Emma", "Ødegaard", "elena", "Oscar", "Èva", "Eva",
                           "Ærø", "Adamo", "Çelik", "Carla"})
    book.Add({name, "1", "T"});
  std::vector<std::string> names;
  for (const auto& r : book.Rows()) names.push_back(r.name);
  const std::vector<std::string> expected = {"Adamo", "Ærø", "Carla", "Çelik",    "elena", "Élodie",
                                             "Emma",  "Eva", "Èva",   "Ødegaard", "Oscar", "zeta"};
  EXPECT_EQ(names, expected);
  EXPECT_TRUE(ReadingOrderLess("Straße", "Strasser"));  // "ß" reads "ss"
  EXPECT_FALSE(ReadingOrderLess("ANNA", "anna"));
  EXPECT_FALSE(ReadingOrderLess("anna", "ANNA"));
}

}  // namespace orva
