// The application message protocol.
#include "core/AppMessages.h"

#include "platform/Numbers.h"

namespace orva {
namespace {

constexpr int kFirst = 1025;
constexpr int kLast = 1122;

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\r' || line[i] == '\n')) ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\r' && line[j] != '\n') ++j;
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

}  // namespace

std::optional<AppMessage> ParseSendWords(const std::vector<std::string>& words) {
  if (words.empty()) return std::nullopt;
  const std::string& w = words[0];
  auto only = [&](int n) -> std::optional<AppMessage> {
    if (words.size() != 1) return std::nullopt;
    return AppMessage{n, 0, 0};
  };
  if (w == "start") return only(1025);
  if (w == "stop") return only(1026);
  if (w == "quit") return only(1027);
  if (w == "default") return only(1029);
  if (w == "redraw") return only(1030);
  if (w == "tariff") {
    if (words.size() != 2) return std::nullopt;
    const auto n = ParseInteger(words[1]);
    if (!n || *n < 0 || *n > 255) return std::nullopt;
    return AppMessage{1028, 0, *n};
  }
  const auto n = ParseInteger(w);
  if (!n || *n < kFirst || *n > kLast || words.size() > 3) return std::nullopt;
  AppMessage m{*n, 0, 0};
  if (words.size() > 1) {
    const auto p = ParseInteger64(words[1]);
    if (!p) return std::nullopt;
    m.wParam = *p;
  }
  if (words.size() > 2) {
    const auto p = ParseInteger64(words[2]);
    if (!p) return std::nullopt;
    m.lParam = *p;
  }
  return m;
}

std::string FormatShowRequest() {
  return "SHOW\n";
}

std::string FormatMessageRequest(const AppMessage& m) {
  return "MSG " + std::to_string(m.number) + " " + std::to_string(m.wParam) + " " +
         std::to_string(m.lParam) + "\n";
}

std::optional<WireRequest> ParseWireRequest(std::string_view line) {
  const auto words = Words(line);
  if (words.size() == 1 && words[0] == "SHOW") return WireRequest{true, {}};
  if (words.size() != 4 || words[0] != "MSG") return std::nullopt;
  const auto n = ParseInteger(words[1]);
  const auto w = ParseInteger64(words[2]);
  const auto l = ParseInteger64(words[3]);
  if (!n || !w || !l || *n < kFirst || *n > kLast) return std::nullopt;
  return WireRequest{false, {*n, *w, *l}};
}

std::string FormatReply(const AppMessage& m) {
  return "REPLY " + std::to_string(m.number) + " " + std::to_string(m.wParam) + " " +
         std::to_string(m.lParam) + "\n";
}

std::string FormatDone(bool handled) {
  return handled ? "OK 1\n" : "OK 0\n";
}

}  // namespace orva
