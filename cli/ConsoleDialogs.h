// Message boxes of the console: the text on stderr without its trailing line ends, after a
// prefix. Nobody answers: a message with OK gets OK, a question is closed unanswered.
#pragma once

#include <cstdio>
#include <string>
#include <utility>

#include "platform/Dialogs.h"

namespace orva::cli {

class ConsoleDialogs final : public NoChoiceDialogs {
 public:
  // With `oneLine`, the line ends inside the text become spaces.
  explicit ConsoleDialogs(std::string prefix = {}, bool oneLine = false)
      : m_prefix(std::move(prefix)), m_oneLine(oneLine) {}
  MsgAnswer Message(const std::string& text, MsgType, MsgButtons buttons) override {
    std::string line = text;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (m_oneLine)
      for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    std::fprintf(stderr, "%s%s\n", m_prefix.c_str(), line.c_str());
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Closed;
  }

 private:
  std::string m_prefix;
  bool m_oneLine;
};

}  // namespace orva::cli
