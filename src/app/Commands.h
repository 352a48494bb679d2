// The commands of the main window, each once: its menu item and button (by component name),
// its caption and shortcut, and the rule that enables it. The main menu (which is also the
// tray menu), the "Tabelle" menu, the mail icon's menu, the buttons, the enabling and the
// dispatch all read this table; a command is named by its id, so a misspelt one does not build.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

enum class CommandId {
  Start,
  Stop,
  Connect,
  Disconnect,
  Voice,
  Log,
  Bill,
  Tariffs,
  Servers,
  ApplyHosts,
  MailNow,
  MailCyclic,
  MailStop,
  SmallWindow,
  LargeWindow,
  Bitmap,
  Details,
  Panel1,
  Panel2,
  Panel3,
  Panel4,
  Panel5,
  Panel6,
  Counter1,
  Counter2,
  Counter3,
  Counter4,
  Counter5,
  Counter6,
  Counter7,
  Options,
  Wizard,
  Tips,
  About,
  Quit,
  ShowMail,
  HideMailIcon,
  Clock,
  Count,
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(CommandId::Count);

// The command that shows or hides panel `index` (0..5) and the one that picks counter item
// `index` + 1 (0..6).
constexpr CommandId PanelCommand(int index) {
  return static_cast<CommandId>(static_cast<int>(CommandId::Panel1) + index);
}
constexpr CommandId CounterCommand(int index) {
  return static_cast<CommandId>(static_cast<int>(CommandId::Counter1) + index);
}

// When a command's controls are enabled.
enum class EnableRule {
  Own,           // the window switches it itself (or never)
  Always,        //
  Idle,          // no call is metered
  Metering,      // a call is metered
  DataCall,      // a call is metered and it is not a voice call
  MailNow,       // a call is metered and no mail check runs
  MailIdle,      // no mail check runs
  MailRunning,   // a mail check runs
  HostsWaiting,  // no call is metered and names wait for the hosts file
};

struct CommandInfo {
  CommandId id;
  const char* item;     // component name of its menu item; nullptr: no menu item
  const char* caption;  // the menu item's text
  const char* shortcut;
  EnableRule rule;
  bool checkable = false;
  const char* button = nullptr;      // component name of its button
  const char* buttonHint = nullptr;  // the button's hint
  EnableRule buttonRule = EnableRule::Own;
  const char* tablesItem = nullptr;  // its item in the "Tabelle" button's menu
  const char* tablesCaption = nullptr;
};

// Every command, in the order of CommandId.
std::span<const CommandInfo> CommandTable();
const CommandInfo& Command(CommandId id);
// The command a menu item or button belongs to; nullptr for a name of no command.
const CommandInfo* FindCommand(std::string_view componentName);

// The entries of a menu, in order: commands, separators and named submenus.
struct MenuEntry {
  enum class Kind { Command, Separator, Submenu, End };
  Kind kind;
  CommandId id = CommandId::Count;
  const char* name = nullptr;  // a submenu's component name
  const char* caption = nullptr;
};
// The main menu, also the tray icon's menu; each submenu runs up to its End.
std::span<const MenuEntry> MainMenuLayout();
// The menu of the "Tabelle" button and the one of the mail icon.
std::span<const MenuEntry> TablesMenuLayout();
std::span<const MenuEntry> MailIconMenuLayout();

// What the enabling reads.
struct CommandStateInput {
  bool metering = false;
  bool voiceCall = false;         // the metered call is a voice call
  bool mailCheckRunning = false;  // a mail check is in progress
  bool hostsWaiting = false;      // names wait for "Applica hosts"
};

bool Enabled(EnableRule rule, const CommandStateInput& in);

// The enabled state of every control the table switches, by component name.
struct CommandState {
  std::string name;
  bool enabled;
};
std::vector<CommandState> RefreshCommandStates(const CommandStateInput& in);

// The handlers of the commands: each part of the program binds the ones it runs.
class CommandHandlers {
 public:
  void Bind(CommandId id, std::function<void()> handler);
  bool Bound(CommandId id) const;
  // Runs the command's handler; false when none is bound.
  bool Run(CommandId id) const;

 private:
  std::array<std::function<void()>, kCommandCount> m_handlers;
};

}  // namespace orva
