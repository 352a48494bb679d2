// SetupContext: what the options dialog is given by the program that opens it: the settings,
// the registry, the dialogs and the sound, the lists it offers and the hooks it calls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "platform/Dialogs.h"
#include "platform/Result.h"
#include "platform/Sound.h"
#include "setup/Setting.h"

namespace orva {

struct SetupContext {
  Settings& settings;
  Registry& registry;
  Dialogs& dialogs;
  Sound& sound;
  std::vector<std::string> tariffDescriptions;
  std::vector<std::string> dialupEntries;
  std::string programPath;
  // The mailbox file: read on opening, written on closing when ShouldWrite.
  std::function<std::vector<MailboxRow>()> loadMailboxes;
  std::function<Status(const std::vector<MailboxRow>&)> saveMailboxes;
  // "Impostazioni" of a dial-up entry: false when its editor cannot be opened.
  std::function<bool(const std::string& entry)> editEntry;
  // The stored user name of an entry, for the "Accesso Remoto" page.
  std::function<std::string(const std::string& entry)> entryUser;
  std::function<void(int context)> openHelp;
  // Where the sound chooser starts for an event without a sound: the data directory.
  std::string dataDir;
  // Where the mailboxes' passwords are kept, in words; empty: nothing is said.
  std::string passwordStore;
};

}  // namespace orva
