// orva32cli tariff check: the tariff editor's complete test applied to a file.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "tariff/Settar.h"

namespace orva::cli {

int RunTariffCheck(const std::vector<std::string>& words) {
  const Args args(words, {"json"});
  args.Allow({});
  const Context ctx = MakeContext(words);
  const std::string& path = args.Word(0, "il file della tariffa (PATH)");
  if (args.Positional().size() > 1) throw UsageError("argomento in più: " + args.Positional()[1]);

  const auto check = CheckTariffFile(path);
  if (!check) {
    // A file that is there but cannot be read is a failure of the check, not of the command
    // line.
    if (check.error.find("non leggibile") != std::string::npos)
      throw std::runtime_error(check.error);
    throw UsageError(check.error);
  }
  if (ctx.json) {
    const nlohmann::json out = {
        {"path", path}, {"passed", check->passed}, {"messages", check->messages}};
    std::puts(out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  } else {
    for (const auto& m : check->messages) std::puts(m.c_str());
  }
  return check->passed ? 0 : 1;
}

}  // namespace orva::cli
