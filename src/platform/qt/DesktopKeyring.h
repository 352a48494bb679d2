// The desktop's keyring through qtkeychain: the Secret Service (GNOME Keyring, KeePassXC,
// KWallet 6) or KWallet 5 on the session bus. Each call waits for the keyring's answer on a
// local event loop, at most `timeoutMs`.
#pragma once

#include <QString>

#include "platform/SecretStore.h"

namespace orva {

class DesktopKeyring final : public SecretStore {
 public:
  // `service`: the name the secrets are filed under in the keyring.
  explicit DesktopKeyring(QString service = QStringLiteral("orva32"));

  bool Available() override;
  Result<std::optional<std::string>> Read(const std::string& key) override;
  Status Write(const std::string& key, const std::string& secret) override;
  Status Remove(const std::string& key) override;

  int timeoutMs = 10000;

 private:
  QString m_service;
};

}  // namespace orva
