// The application messages between instances, carried over a local socket: one text line per
// request and per answer. A second copy of the program sends "SHOW"; `orva32cli send` sends
// "MSG <number> <first parameter> <second parameter>" and gets "OK <0|1>" back, preceded by
// "REPLY <number> <first> <second>" for each message the instance answers with.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

struct AppMessage {
  int number = 0;
  long long wParam = 0;
  long long lParam = 0;
  bool operator==(const AppMessage&) const = default;
};

// The words of `send`: start, stop, quit, tariff N, default, redraw, or a number 1025..1122
// (with up to two numeric parameters). None for anything else.
std::optional<AppMessage> ParseSendWords(const std::vector<std::string>& words);

struct WireRequest {
  bool show = false;  // "SHOW": bring the window up
  AppMessage message;
};

std::string FormatShowRequest();
std::string FormatMessageRequest(const AppMessage& m);
// None for a line that is neither request, or carries numbers out of range.
std::optional<WireRequest> ParseWireRequest(std::string_view line);
std::string FormatReply(const AppMessage& m);
std::string FormatDone(bool handled);

}  // namespace orva
