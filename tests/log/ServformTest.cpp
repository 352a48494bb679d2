#include "log/Servform.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

using test::ReadBytes;
using test::WriteBytes;

TEST(ServiceChoice, AssociaAddsNewNamesOnceAndLeavesPlaceholdersOut) {
  test::TempDir dir;
  const std::string file = dir.File("ORVA.SRV");
  WriteBytes(file, "BBS\r\nFAX\r\n");

  ServiceChoice form(file);
  EXPECT_EQ(form.Items(), (std::vector<std::string>{"BBS", "FAX"}));
  EXPECT_EQ(form.edit, "?");
  ASSERT_TRUE(form.AssociaClick());
  EXPECT_EQ(form.Chosen(), "?");
  form.edit = "";
  ASSERT_TRUE(form.AssociaClick());
  EXPECT_EQ(form.Chosen(), "");
  form.ItemClick(1);
  ASSERT_TRUE(form.AssociaClick());
  EXPECT_EQ(form.Chosen(), "FAX");
  EXPECT_EQ(ReadBytes(file), "BBS\r\nFAX\r\n");

  form.edit = "Posta Caffè";
  ASSERT_TRUE(form.AssociaClick());
  EXPECT_EQ(form.Chosen(), "Posta Caffè");
  EXPECT_EQ(ReadBytes(file), "BBS\r\nFAX\r\nPosta Caff\xe8\r\n");
  form.IgnoraClick();
  EXPECT_EQ(form.Chosen(), "?");
}

TEST(ServiceChoice, MissingFileIsAnEmptyListAndAssociaCreatesIt) {
  test::TempDir dir;
  ServiceChoice form(dir.File("ORVA.SRV"));
  EXPECT_TRUE(form.Items().empty());
  form.ItemClick(3);  // nothing to click
  EXPECT_EQ(form.edit, "?");
  form.edit = "Modem: Tiscali";
  ASSERT_TRUE(form.AssociaClick());
  EXPECT_EQ(ReadBytes(dir.File("ORVA.SRV")), "Modem: Tiscali\r\n");
}

TEST(ServiceChoice, FailedSaveIsReportedAndTheChoiceStands) {
  test::TempDir dir;
  ServiceChoice form(dir.path() + "gone/ORVA.SRV");
  form.edit = "BBS";
  const Status s = form.AssociaClick();
  EXPECT_FALSE(s);
  EXPECT_NE(s.error.find("No such file"), std::string::npos) << s.error;
  EXPECT_EQ(form.Chosen(), "BBS");
}

TEST(DistinctServices, SortedWithoutRepeats) {
  auto rec = [](std::string_view service) {
    TConnObj r;
    r.Set(LogField::Service, service);
    return r;
  };
  const std::vector<TConnObj> records{rec("B"), rec("A"), rec("B"), rec("a"), rec("A")};
  EXPECT_EQ(DistinctServices(records), (std::vector<std::string>{"A", "B", "a"}));
}

}  // namespace
}  // namespace orva
