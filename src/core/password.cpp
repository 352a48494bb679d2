// The access password checks and the set/remove flow.
#include "core/password.h"

#include <string>

namespace orva {

bool PasswordMatches(std::string_view typed, const AccessSettings& access) {
  return typed == access.password;
}

bool NeedsPassword(ProtectedAction action, const AccessSettings& access) {
  if (!access.HasPassword()) return false;
  switch (action) {
    case ProtectedAction::Close:
      return access.preventClose == 1;
    case ProtectedAction::ManualStart:
      return access.preventStart == 1;
    case ProtectedAction::ManualStop:
      return access.preventStop == 1;
    case ProtectedAction::Bill:
      return access.limitBill == 1;
  }
  return false;
}

bool CheckPasswordFor(ProtectedAction action, const AccessSettings& access, Dialogs& dialogs) {
  if (!NeedsPassword(action, access)) return true;
  const auto typed = dialogs.AskPassword(std::string(kCurrentPasswordPrompt));
  if (!typed) return false;
  if (!typed->empty() && PasswordMatches(*typed, access)) return true;
  // Manual start and stop refuse silently; closing and the bill say why.
  if (action == ProtectedAction::Close || action == ProtectedAction::Bill) {
    dialogs.Beep();
    dialogs.Message(std::string(kWrongPasswordText), MsgType::Error, MsgButtons::Ok);
  }
  return false;
}

bool SetPasswordFlow(AccessSettings& access, Registry& registry, Dialogs& dialogs,
                     const ScrambleRandom& random) {
  const auto first = dialogs.AskPassword(std::string(kNewPasswordPrompt));
  if (!first || first->empty()) return false;
  const auto again = dialogs.AskPassword(std::string(kVerifyPasswordPrompt));
  if (!again) {
    dialogs.Message("Operazione annullata !", MsgType::Information, MsgButtons::Ok);
    return false;
  }
  if (*again != *first) {
    dialogs.Message("Verifica password non superata !", MsgType::Error, MsgButtons::Ok);
    return false;
  }
  const Status st = registry.WriteString(kValdoSettingsKey, "Regkey",
                                         ScramblePassword(*first, kPasswordPeriod, random));
  if (!st) {
    // Accepting it in memory only would leave the old password in force at the next start.
    dialogs.Message(st.error, MsgType::Error, MsgButtons::Ok);
    return false;
  }
  access.password = *first;
  dialogs.Message("Nuova password accettata", MsgType::Information, MsgButtons::Ok);
  return true;
}

Status RemovePassword(AccessSettings& access, Registry& registry) {
  access.password.clear();
  return registry.DeleteValue(kValdoSettingsKey, "Regkey");
}

}  // namespace orva
