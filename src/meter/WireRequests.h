// Answers one request line of another instance or of `orva32cli send` with the meter: SHOW
// brings the window up, a message goes to the meter, and the answer lines come back.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "meter/MainLogic.h"

namespace orva {

// show: brings the window up (none for the console meter). beforeMessage: runs with the
// message number before the meter handles it.
std::vector<std::string> AnswerWireRequest(MainLogic& meter, const std::string& line,
                                           const std::function<void()>& show = {},
                                           const std::function<void(int)>& beforeMessage = {});

}  // namespace orva
