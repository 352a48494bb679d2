#include "platform/SafeFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempDir.h"
#include "platform/Registry.h"

namespace orva {

TEST(ReplaceFile, FailureBeforeRenameKeepsOldFileAndLeavesNoTemporary) {
  test::TempDir dir;
  const std::string path = dir.File("ORVA.LOG");
  test::WriteBytes(path, "old content\r\n");
  SafeWriteOptions failing;
  failing.failAfterBytes = 5;
  const Status st = ReplaceFile(path, "new content that is longer", failing);
  EXPECT_FALSE(st.ok);
  EXPECT_NE(st.error.find("space"), std::string::npos) << st.error;
  EXPECT_EQ(test::ReadBytes(path), "old content\r\n");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++files;
  EXPECT_EQ(files, 1);
}

TEST(ReplaceFile, KeepsPermissionsAndCanRestrictToOwner) {
  test::TempDir dir;
  const std::string path = dir.File("f");
  test::WriteBytes(path, "x");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(ReplaceFile(path, "y"));
  struct stat st {};
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  SafeWriteOptions secret;
  secret.ownerOnly = true;
  ASSERT_TRUE(ReplaceFile(path, "z", secret));
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(ReplaceFile, MissingFolderReportsSystemText) {
  const Status st = ReplaceFile("/nonexistent-dir/x", "a");
  EXPECT_FALSE(st.ok);
  EXPECT_NE(st.error.find("No such file"), std::string::npos) << st.error;
}

TEST(Registry, StringValuesRoundTripWhateverBytesTheyHold) {
  test::TempDir dir;
  std::string tricky = " =\r\n\\x41;[a]\t";
  tricky += '\x01';
  tricky += "ÿ€ ";
  {
    Registry reg(dir.path());
    ASSERT_TRUE(reg.WriteString(kValdoSettingsKey, "Regkey", tricky));
    ASSERT_TRUE(reg.WriteInteger(kValdoSettingsKey, "Access", 1));
  }
  Registry again(dir.path());
  EXPECT_EQ(again.ReadString(kValdoSettingsKey, "Regkey"), tricky);
  EXPECT_EQ(again.ReadInteger(kValdoSettingsKey, "Access"), 1);
  EXPECT_EQ(again.ReadInteger(kValdoSettingsKey, "Missing"), 0);
  ASSERT_TRUE(again.DeleteValue(kValdoSettingsKey, "Regkey"));
  EXPECT_FALSE(Registry(dir.path()).ReadString(kValdoSettingsKey, "Regkey").has_value());
}

}  // namespace orva
