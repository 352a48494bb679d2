#include "net/MailPasswords.h"

namespace orva {

std::string MailboxSecretKey(const Pop3Record& record) {
  return "pop3://" + record.user + "@" + record.server + ":" + record.port;
}

KeptPasswords FillPasswords(std::vector<Pop3Record>& records, SecretStore* store) {
  KeptPasswords kept;
  if (!store || !store->Available()) return kept;
  for (auto& r : records) {
    if (!r.password.empty()) continue;
    const std::string key = MailboxSecretKey(r);
    auto secret = store->Read(key);
    if (!secret) {
      kept.problems.push_back(r.user + "@" + r.server + ": " + secret.error);
      continue;
    }
    if (!secret->has_value()) continue;
    r.password = **secret;
    kept.keys.insert(key);
  }
  return kept;
}

Status MovePasswordsToStore(std::vector<Pop3Record>& records, SecretStore* store,
                            const std::set<std::string>& kept) {
  if (!store || !store->Available()) return Status::Ok();
  std::set<std::string> present;
  std::string stayed;
  for (auto& r : records) {
    const std::string key = MailboxSecretKey(r);
    present.insert(key);
    if (r.password.empty()) {
      if (kept.count(key)) (void)store->Remove(key);
      continue;
    }
    if (const Status written = store->Write(key, r.password); !written) {
      stayed += (stayed.empty() ? "" : ", ") + r.user + "@" + r.server;
      continue;
    }
    r.password.clear();
  }
  for (const auto& key : kept)
    if (!present.count(key)) (void)store->Remove(key);
  if (stayed.empty()) return Status::Ok();
  return Status::Fail("Il portachiavi del desktop non ha preso la password di " + stayed +
                      ": resta nel file POP3.LST.");
}

std::string PasswordStoreText(bool keyringRuns) {
  return keyringRuns ? "Le password sono custodite nel portachiavi del desktop."
                     : "Nessun portachiavi del desktop attivo: le password restano nel file "
                       "POP3.LST, leggibile solo dal proprietario.";
}

}  // namespace orva
