// Where secrets (the mailboxes' passwords) are kept out of the program's own files: the
// desktop's keyring (the Secret Service, KWallet) stands behind it; tests give doubles.
#pragma once

#include <optional>
#include <string>

#include "platform/Result.h"

namespace orva {

class SecretStore {
 public:
  virtual ~SecretStore() = default;
  // Whether a keyring runs in the session now. It is never started for the asking: a keyring
  // that would first ask its password in a window nobody sees is no store.
  virtual bool Available() = 0;
  // The secret kept under `key`; none when there is none; a failure when the keyring did not
  // answer or refused.
  virtual Result<std::optional<std::string>> Read(const std::string& key) = 0;
  virtual Status Write(const std::string& key, const std::string& secret) = 0;
  // Forgets the key's secret; a key without one is not a failure.
  virtual Status Remove(const std::string& key) = 0;
};

}  // namespace orva
