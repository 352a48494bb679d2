#include "tariff/Lista.h"

#include <gtest/gtest.h>

#include "TariffFixtures.h"
#include "TempDir.h"

namespace orva {
namespace {

class FindAssociationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    catalogue.Add("Alfa", "A", "/x/A.TRF");
    catalogue.Add("Beta", "B", "/x/B.TRF");
    list = dir.File("lista.ser");
  }
  std::string Find(const std::string& entry, const std::string& current = "7000") {
    selected.clear();
    return FindAssociation(list, entry, catalogue, current,
                           [this](int i) { selected.push_back(i); });
  }
  test::TempDir dir;
  TariffCatalogue catalogue;
  std::string list;
  std::vector<int> selected;
};

TEST_F(FindAssociationTest, LaterLineOverridesEarlier) {
  test::WriteBytes(list, "Provider\tBeta\t5000\r\nAltro\tAlfa\t1\r\nProvider\tAlfa\t8000\r\n");
  EXPECT_EQ(Find("Provider"), "8000");
  EXPECT_EQ(selected, (std::vector<int>{1, 0}));
}

TEST_F(FindAssociationTest, FieldRules) {
  test::WriteBytes(list,
                   "Due\tAlfa\r\n"           // two fields: the current negotiation text
                   "Tab\tBeta\t\r\n"         // third field " ": not a number, result stays
                   "NonNum\tAlfa\t12a\r\n"   // not a whole number: ignored
                   "Ignota\tGamma\t500\r\n"  // tariff not in the catalogue: nothing
                   "Sola\r\n");
  EXPECT_EQ(Find("Due"), "7000");
  EXPECT_EQ(selected, (std::vector<int>{0}));
  EXPECT_EQ(Find("Tab"), "10000");
  EXPECT_EQ(selected, (std::vector<int>{1}));
  EXPECT_EQ(Find("NonNum"), "10000");
  EXPECT_EQ(selected.size(), 1u);
  EXPECT_EQ(Find("Ignota"), "10000");
  EXPECT_TRUE(selected.empty());
  EXPECT_EQ(Find("Sola"), "10000");
  EXPECT_TRUE(selected.empty());
}

TEST_F(FindAssociationTest, EntryNamesAreCaseSensitive) {
  test::WriteBytes(list, "Provider\tAlfa\t3000\r\n");
  EXPECT_EQ(Find("provider"), "10000");
  EXPECT_TRUE(selected.empty());
}

TEST_F(FindAssociationTest, MissingFile) {
  EXPECT_EQ(Find("Provider"), "10000");
  EXPECT_TRUE(selected.empty());
}

TEST_F(FindAssociationTest, SaveAndLoadRoundTrip) {
  const std::vector<Association> rows = {{"Libero è", "Alfa", "10000"}, {"Tin", "?", "2500"}};
  ASSERT_TRUE(SaveAssociations(list, rows));
  EXPECT_EQ(test::ReadBytes(list), "Libero \xE8\tAlfa\t10000\r\nTin\t?\t2500\r\n");
  EXPECT_EQ(LoadAssociations(list), rows);
  EXPECT_EQ(Find("Libero è"), "10000");
  EXPECT_EQ(selected, (std::vector<int>{0}));
}

}  // namespace
}  // namespace orva
