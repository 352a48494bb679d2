#include "platform/SafeFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(ReplaceFile, SymbolicLinkKeptAndItsTargetRewritten) {
  test::TempDir dir;
  ASSERT_TRUE(MakeDirectories(dir.File("etc")));
  const std::string target = dir.File("etc/hosts");
  test::WriteBytes(target, "old\n");
  ::chmod(target.c_str(), 0604);
  // A relative link, and a link to that link.
  ASSERT_EQ(::symlink("etc/hosts", dir.File("hosts").c_str()), 0);
  ASSERT_EQ(::symlink(dir.File("hosts").c_str(), dir.File("hosts2").c_str()), 0);
  ASSERT_TRUE(ReplaceFile(dir.File("hosts2"), "new\n"));
  struct stat st {};
  ASSERT_EQ(::lstat(dir.File("hosts").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::lstat(dir.File("hosts2").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(test::ReadBytes(target), "new\n");
  ::stat(target.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0604u);
  // No temporary file is left beside the link or the target.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.File("etc"))) (void)e, ++files;
  EXPECT_EQ(files, 1);
  // A dangling link gets its target made, and stays a link.
  ASSERT_EQ(::symlink("etc/new-file", dir.File("dangling").c_str()), 0);
  ASSERT_TRUE(ReplaceFile(dir.File("dangling"), "made"));
  EXPECT_EQ(test::ReadBytes(dir.File("etc/new-file")), "made");
  ASSERT_EQ(::lstat(dir.File("dangling").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(ReplaceFile, KeepsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file another owner needs root";
  test::TempDir dir;
  const std::string path = dir.File("hosts");
  test::WriteBytes(path, "x");
  // An owner and group that are not root's, as /etc/hosts owned by root:adm.
  ASSERT_EQ(::chown(path.c_str(), 1234, 4), 0);
  ::chmod(path.c_str(), 02644);
  ASSERT_TRUE(ReplaceFile(path, "y"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 1234u);
  EXPECT_EQ(st.st_gid, 4u);
  EXPECT_EQ(st.st_mode & 07777, 02644u);
  EXPECT_EQ(test::ReadBytes(path), "y");
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
