// User-facing questions and messages go through this interface: the Qt front end shows
// message boxes and file choosers, tests script the answers, the console tool prints.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orva {

enum class MsgType { Information, Warning, Error, Confirmation };

// Buttons of a message box, and the answer (the button pressed, or Closed). The first button
// is the default, except in YesNoDefaultNo: a question whose "Sì" cannot be undone (ending a
// call) is not answered by a stray Enter.
enum class MsgButtons {
  Ok,
  OkCancel,
  YesNo,
  YesNoDefaultNo,
  YesNoCancel,
  RetryCancel,
  AbortRetryIgnore
};
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore, Closed };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MsgAnswer Message(const std::string& text, MsgType type,
                            MsgButtons buttons = MsgButtons::Ok) = 0;
  // The password window: the typed text, or none for Cancel.
  virtual std::optional<std::string> AskPassword(const std::string& prompt) = 0;
  // File choosers; none when cancelled. filter is like "File log (*.log)".
  virtual std::optional<std::string> ChooseOpenFile(const std::string& title,
                                                    const std::string& directory,
                                                    const std::string& filter) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const std::string& title,
                                                    const std::string& directory,
                                                    const std::string& filter) = 0;
  // The system beep (MessageBeep).
  virtual void Beep() = 0;
};

// Where nobody can choose: no password, every file chooser cancelled, no beep. What remains
// is how the messages are shown.
class NoChoiceDialogs : public Dialogs {
 public:
  std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
  std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&,
                                            const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&,
                                            const std::string&) override {
    return std::nullopt;
  }
  void Beep() override {}
};

// Answers nothing and shows nothing: for background use where no one can be asked. The
// messages are kept.
class SilentDialogs final : public NoChoiceDialogs {
 public:
  MsgAnswer Message(const std::string& text, MsgType, MsgButtons) override {
    messages.push_back(text);
    return MsgAnswer::Closed;
  }
  std::vector<std::string> messages;
};

}  // namespace orva
