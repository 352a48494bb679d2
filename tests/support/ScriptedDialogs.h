// Dialogs whose answers a test scripts in advance; every message shown is recorded.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace orva::test {

class ScriptedDialogs final : public Dialogs {
 public:
  struct Shown {
    std::string text;
    MsgType type;
    MsgButtons buttons;
  };

  void NextAnswer(MsgAnswer a) { m_answers.push_back(a); }
  void NextPassword(std::optional<std::string> p) { m_passwords.push_back(std::move(p)); }
  void NextFile(std::optional<std::string> f) { m_files.push_back(std::move(f)); }

  MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override {
    shown.push_back({text, type, buttons});
    if (m_answers.empty()) return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Closed;
    const MsgAnswer a = m_answers.front();
    m_answers.pop_front();
    return a;
  }
  std::optional<std::string> AskPassword(const std::string& prompt) override {
    prompts.push_back(prompt);
    if (m_passwords.empty()) return std::nullopt;
    auto p = m_passwords.front();
    m_passwords.pop_front();
    return p;
  }
  std::optional<std::string> ChooseOpenFile(const std::string&, const std::string& directory,
                                            const std::string&) override {
    proposed.push_back(directory);
    return NextFileAnswer();
  }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string& directory,
                                            const std::string&) override {
    proposed.push_back(directory);
    return NextFileAnswer();
  }
  void Beep() override { ++beeps; }

  std::vector<Shown> shown;
  std::vector<std::string> prompts;
  // What each file chooser was opened on (a folder, or a file it proposed).
  std::vector<std::string> proposed;
  int beeps = 0;

 private:
  std::optional<std::string> NextFileAnswer() {
    if (m_files.empty()) return std::nullopt;
    auto f = m_files.front();
    m_files.pop_front();
    return f;
  }
  std::deque<MsgAnswer> m_answers;
  std::deque<std::optional<std::string>> m_passwords;
  std::deque<std::optional<std::string>> m_files;
};

}  // namespace orva::test
