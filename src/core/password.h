// The access password: which actions ask for it, the checks before them, and setting and
// removing it from the options dialog.
#pragma once

#include <string_view>

#include "core/Settings.h"
#include "core/UCritto.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"

namespace orva {

enum class ProtectedAction { Close, ManualStart, ManualStop, Bill };

inline constexpr std::string_view kCurrentPasswordPrompt = "Inserire la password corrente";
inline constexpr std::string_view kNewPasswordPrompt = "Inserire una nuova password (max 10 car.)";
inline constexpr std::string_view kVerifyPasswordPrompt = "Inserire la password per verifica";
inline constexpr std::string_view kWrongPasswordText = "Password scorretta !";

// Exact, case-sensitive comparison with the password in memory.
bool PasswordMatches(std::string_view typed, const AccessSettings& access);

// True when the action must ask for the password: a password exists and the action's guard
// value ("SaveOnExit", "Minimize", "Maximize", "Access") is 1.
bool NeedsPassword(ProtectedAction action, const AccessSettings& access);

// The check before a protected action: true when it may go on. Asks "Inserire la password
// corrente" when NeedsPassword; for closing and the bill a wrong or empty password beeps and
// shows "Password scorretta !". Closing while the desktop session ends never asks: the caller
// does not call this then.
bool CheckPasswordFor(ProtectedAction action, const AccessSettings& access, Dialogs& dialogs);

// The options dialog's "Password" button: asks the new password twice and, when both agree,
// makes it the password in memory and stores it scrambled in "Regkey". True when the new
// password was accepted (the password-dependent options are then enabled). A registry that
// cannot be written keeps the old password, in memory too, and shows the error.
bool SetPasswordFlow(AccessSettings& access, Registry& registry, Dialogs& dialogs,
                     const ScrambleRandom& random = DefaultScrambleRandom());

// The options dialog's "Elimina" button: clears the password and deletes "Regkey".
Status RemovePassword(AccessSettings& access, Registry& registry);

}  // namespace orva
