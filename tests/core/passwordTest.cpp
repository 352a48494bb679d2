#include "core/password.h"

#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "platform/SafeFile.h"

namespace orva {

namespace {
AccessSettings Guarded(std::string password) {
  AccessSettings a;
  a.password = std::move(password);
  a.preventClose = a.preventStart = a.preventStop = a.limitBill = 1;
  return a;
}
}  // namespace

TEST(PasswordGuards, NoPasswordNeverAsks) {
  AccessSettings a = Guarded("");
  test::ScriptedDialogs d;
  for (auto act : {ProtectedAction::Close, ProtectedAction::ManualStart,
                   ProtectedAction::ManualStop, ProtectedAction::Bill}) {
    EXPECT_FALSE(NeedsPassword(act, a));
    EXPECT_TRUE(CheckPasswordFor(act, a, d));
  }
  EXPECT_TRUE(d.prompts.empty());
}

TEST(PasswordGuards, EachActionHasItsOwnFlagAndOnlyOneCounts) {
  AccessSettings a;
  a.password = "x";
  a.preventStop = 1;
  EXPECT_TRUE(NeedsPassword(ProtectedAction::ManualStop, a));
  EXPECT_FALSE(NeedsPassword(ProtectedAction::ManualStart, a));
  EXPECT_FALSE(NeedsPassword(ProtectedAction::Close, a));
  EXPECT_FALSE(NeedsPassword(ProtectedAction::Bill, a));
  a.preventStop = 2;  // only 1 sets the guard
  EXPECT_FALSE(NeedsPassword(ProtectedAction::ManualStop, a));
  a.preventStart = 1;
  EXPECT_TRUE(NeedsPassword(ProtectedAction::ManualStart, a));
  a.limitBill = 1;
  EXPECT_TRUE(NeedsPassword(ProtectedAction::Bill, a));
  a.preventClose = 1;
  EXPECT_TRUE(NeedsPassword(ProtectedAction::Close, a));
}

TEST(PasswordGuards, RightPasswordLetsEveryActionGo) {
  const AccessSettings a = Guarded("Segreto");
  for (auto act : {ProtectedAction::Close, ProtectedAction::ManualStart,
                   ProtectedAction::ManualStop, ProtectedAction::Bill}) {
    test::ScriptedDialogs d;
    d.NextPassword("Segreto");
    EXPECT_TRUE(CheckPasswordFor(act, a, d));
    EXPECT_EQ(d.prompts, std::vector<std::string>{"Inserire la password corrente"});
    EXPECT_TRUE(d.shown.empty());
  }
}

TEST(PasswordGuards, WrongCaseOrEmptyIsRefused_CloseAndBillSayWhy) {
  const AccessSettings a = Guarded("Segreto");
  EXPECT_FALSE(PasswordMatches("segreto", a));
  for (auto act : {ProtectedAction::Close, ProtectedAction::Bill}) {
    for (std::string typed : {"segreto", ""}) {
      test::ScriptedDialogs d;
      d.NextPassword(typed);
      EXPECT_FALSE(CheckPasswordFor(act, a, d));
      EXPECT_EQ(d.beeps, 1);
      ASSERT_EQ(d.shown.size(), 1u);
      EXPECT_EQ(d.shown[0].text, "Password scorretta !");
      EXPECT_EQ(d.shown[0].type, MsgType::Error);
    }
  }
  for (auto act : {ProtectedAction::ManualStart, ProtectedAction::ManualStop}) {
    test::ScriptedDialogs d;
    d.NextPassword("SEGRETO");
    EXPECT_FALSE(CheckPasswordFor(act, a, d));
    EXPECT_EQ(d.beeps, 0);
    EXPECT_TRUE(d.shown.empty());
  }
}

TEST(PasswordGuards, CancelRefusesSilently) {
  const AccessSettings a = Guarded("Segreto");
  for (auto act : {ProtectedAction::Close, ProtectedAction::ManualStart,
                   ProtectedAction::ManualStop, ProtectedAction::Bill}) {
    test::ScriptedDialogs d;
    d.NextPassword(std::nullopt);
    EXPECT_FALSE(CheckPasswordFor(act, a, d));
    EXPECT_TRUE(d.shown.empty());
    EXPECT_EQ(d.beeps, 0);
  }
}

class SetPasswordFlowTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  Registry reg{dir.path()};
  AccessSettings access;
  test::ScriptedDialogs d;
};

TEST_F(SetPasswordFlowTest, MatchingTextsStoreTheScrambledPassword) {
  d.NextPassword("Nuova1");
  d.NextPassword("Nuova1");
  EXPECT_TRUE(SetPasswordFlow(access, reg, d));
  EXPECT_EQ(access.password, "Nuova1");
  EXPECT_EQ(d.prompts, (std::vector<std::string>{"Inserire una nuova password (max 10 car.)",
                                                 "Inserire la password per verifica"}));
  ASSERT_EQ(d.shown.size(), 1u);
  EXPECT_EQ(d.shown[0].text, "Nuova password accettata");
  EXPECT_EQ(d.shown[0].type, MsgType::Information);
  const Registry again(dir.path());
  AccessSettings loaded;
  LoadAccessSettings(loaded, again);
  EXPECT_EQ(loaded.password, "Nuova1");
  EXPECT_NE(again.ReadString(kValdoSettingsKey, "Regkey"), "Nuova1");

  ASSERT_TRUE(RemovePassword(access, reg));
  EXPECT_FALSE(access.HasPassword());
  EXPECT_FALSE(Registry(dir.path()).ValueExists(kValdoSettingsKey, "Regkey"));
}

TEST_F(SetPasswordFlowTest, ScrambledBytesOfEveryKindSurviveTheRegistry) {
  // High characters wrap round to control codes, "=" and line ends once scrambled.
  const std::string plain = "\xC3\xBF\xC3\xBE=\xC3\xB7 \xE2\x82\xAC\\";
  for (int r = 0; r < 20; ++r) {
    d.NextPassword(plain);
    d.NextPassword(plain);
    ASSERT_TRUE(SetPasswordFlow(access, reg, d, [r] { return r; }));
    AccessSettings loaded;
    LoadAccessSettings(loaded, Registry(dir.path()));
    EXPECT_EQ(loaded.password, plain) << r;
  }
}

TEST_F(SetPasswordFlowTest, CancelEmptyAndMismatchChangeNothing) {
  access.password = "vecchia";
  d.NextPassword(std::nullopt);
  EXPECT_FALSE(SetPasswordFlow(access, reg, d));
  d.NextPassword("");
  EXPECT_FALSE(SetPasswordFlow(access, reg, d));
  EXPECT_TRUE(d.shown.empty());
  EXPECT_EQ(d.prompts.size(), 2u);

  d.NextPassword("a");
  d.NextPassword(std::nullopt);
  EXPECT_FALSE(SetPasswordFlow(access, reg, d));
  ASSERT_EQ(d.shown.size(), 1u);
  EXPECT_EQ(d.shown[0].text, "Operazione annullata !");
  EXPECT_EQ(d.shown[0].type, MsgType::Information);

  d.NextPassword("a");
  d.NextPassword("A");
  EXPECT_FALSE(SetPasswordFlow(access, reg, d));
  ASSERT_EQ(d.shown.size(), 2u);
  EXPECT_EQ(d.shown[1].text, "Verifica password non superata !");
  EXPECT_EQ(d.shown[1].type, MsgType::Error);

  EXPECT_EQ(access.password, "vecchia");
  EXPECT_FALSE(reg.ValueExists(kValdoSettingsKey, "Regkey"));
}

TEST_F(SetPasswordFlowTest, UnwritableRegistryKeepsTheOldPassword) {
  access.password = "vecchia";
  // A folder where the registry file should be: the rename over it fails.
  ASSERT_TRUE(MakeDirectories(dir.File("registry.ini")));
  d.NextPassword("nuova");
  d.NextPassword("nuova");
  EXPECT_FALSE(SetPasswordFlow(access, reg, d));
  EXPECT_EQ(access.password, "vecchia");
  ASSERT_EQ(d.shown.size(), 1u);
  EXPECT_EQ(d.shown[0].type, MsgType::Error);
}

}  // namespace orva
