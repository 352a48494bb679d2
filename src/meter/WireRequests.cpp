// The answer to a request line.
#include "meter/WireRequests.h"

#include "core/AppMessages.h"

namespace orva {

std::vector<std::string> AnswerWireRequest(MainLogic& meter, const std::string& line,
                                           const std::function<void()>& show,
                                           const std::function<void(int)>& beforeMessage) {
  const auto request = ParseWireRequest(line);
  if (!request) return {FormatDone(false)};
  if (request->show) {
    if (show) show();
    return {FormatDone(true)};
  }
  const AppMessage& m = request->message;
  if (beforeMessage) beforeMessage(m.number);
  std::vector<std::string> answers;
  const bool handled = meter.HandleAppMessage(m.number, m.wParam, m.lParam,
                                              [&](long long, int number, long long w, long long l) {
                                                answers.push_back(FormatReply({number, w, l}));
                                              });
  answers.push_back(FormatDone(handled));
  return answers;
}

}  // namespace orva
