// The mailboxes' passwords between POP3.LST and a keyring, over the saves a person makes: a
// password is never lost, whatever the keyring does.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "net/MailPasswords.h"

namespace orva {
namespace {

class FakeKeyring final : public SecretStore {
 public:
  bool running = true;
  std::set<std::string> refuseWrites, failReads;
  std::map<std::string, std::string> secrets;

  bool Available() override { return running; }
  Result<std::optional<std::string>> Read(const std::string& key) override {
    if (failReads.count(key)) return Result<std::optional<std::string>>::Fail("locked");
    auto it = secrets.find(key);
    if (it == secrets.end()) return Result<std::optional<std::string>>::Ok(std::nullopt);
    return Result<std::optional<std::string>>::Ok(it->second);
  }
  Status Write(const std::string& key, const std::string& secret) override {
    if (refuseWrites.count(key)) return Status::Fail("refused");
    secrets[key] = secret;
    return Status::Ok();
  }
  Status Remove(const std::string& key) override {
    secrets.erase(key);
    return Status::Ok();
  }
};

const Pop3Record kAnna{"pop.a.it", "110", "anna", "segreta", true};
const Pop3Record kBob{"pop.b.it", "995", "bob", "parola", true};

TEST(MailPasswords, MovedOnTheFirstSaveAndBackOnEveryRead) {
  FakeKeyring keyring;
  std::vector<Pop3Record> table{kAnna, kBob};
  ASSERT_TRUE(MovePasswordsToStore(table, &keyring, {}));
  EXPECT_EQ(table[0].password, "");
  EXPECT_EQ(table[1].password, "");
  EXPECT_EQ(keyring.secrets.at("pop3://anna@pop.a.it:110"), "segreta");

  const KeptPasswords kept = FillPasswords(table, &keyring);
  EXPECT_EQ(table[0].password, "segreta");
  EXPECT_EQ(table[1].password, "parola");
  EXPECT_EQ(kept.keys.size(), 2u);

  // The user clears Bob's password and renames Anna's mailbox: both old secrets are forgotten.
  table[0].user = "anna.r";
  table[1].password.clear();
  ASSERT_TRUE(MovePasswordsToStore(table, &keyring, kept.keys));
  EXPECT_EQ(keyring.secrets.count("pop3://anna@pop.a.it:110"), 0u);
  EXPECT_EQ(keyring.secrets.count("pop3://bob@pop.b.it:995"), 0u);
  EXPECT_EQ(keyring.secrets.at("pop3://anna.r@pop.a.it:110"), "segreta");
}

TEST(MailPasswords, WhatTheKeyringCannotTakeOrGiveStaysWhereItIs) {
  FakeKeyring keyring;
  keyring.refuseWrites.insert("pop3://bob@pop.b.it:995");
  std::vector<Pop3Record> table{kAnna, kBob};
  const Status moved = MovePasswordsToStore(table, &keyring, {});
  EXPECT_FALSE(moved);
  EXPECT_NE(moved.error.find("bob@pop.b.it"), std::string::npos) << moved.error;
  EXPECT_EQ(table[0].password, "");
  EXPECT_EQ(table[1].password, "parola") << "a refused password stays in the file";

  // A read that fails leaves the field empty, and the next save does not forget the secret.
  keyring.failReads.insert("pop3://anna@pop.a.it:110");
  const KeptPasswords kept = FillPasswords(table, &keyring);
  ASSERT_EQ(kept.problems.size(), 1u);
  EXPECT_EQ(table[0].password, "");
  ASSERT_TRUE(!MovePasswordsToStore(table, &keyring, kept.keys).ok);
  EXPECT_EQ(keyring.secrets.at("pop3://anna@pop.a.it:110"), "segreta");

  // Without a keyring the file is the store: passwords stay, nothing is asked of it.
  keyring.running = false;
  std::vector<Pop3Record> plain{kAnna};
  ASSERT_TRUE(MovePasswordsToStore(plain, &keyring, {}));
  EXPECT_EQ(plain[0].password, "segreta");
  ASSERT_TRUE(MovePasswordsToStore(plain, nullptr, {}));
  EXPECT_EQ(plain[0].password, "segreta");
}

}  // namespace
}  // namespace orva
