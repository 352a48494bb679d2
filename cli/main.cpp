// orva32cli: the meter's logic, scriptable, without windows.
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "Args.h"
#include "CommandLine.h"
#include "Commands.h"
#include "QtProgram.h"
#include "core/HowUtils.h"
#include "platform/DataDir.h"

namespace orva::cli {

Context MakeContext(const std::vector<std::string>& words, DataAccess access) {
  Context ctx;
  std::string option;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "--json") ctx.json = true;
    if (words[i] == "--data-dir") {
      if (i + 1 >= words.size()) throw UsageError("manca il valore di --data-dir");
      option = words[i + 1];
    } else if (words[i].rfind("--data-dir=", 0) == 0) {
      option = words[i].substr(11);
    }
  }
  const bool write = access == DataAccess::Write;
  auto dir = ResolveDataDirectory(option, write);
  if (!dir) throw UsageError(dir.error);
  ctx.dataDir = *dir;
  ctx.tariffDir = ctx.dataDir;
  if (write) {
    if (const Status seeded = SeedTariffs(ctx.dataDir); !seeded)
      std::fprintf(stderr, "orva32cli: %s\n", seeded.error.c_str());
  } else if (!HoldsTariffFiles(ctx.dataDir)) {
    if (std::string shipped = ShippedTariffDirectory(); !shipped.empty()) ctx.tariffDir = shipped;
  }
  return ctx;
}

int NotYetAvailable(const std::string& what) {
  std::fprintf(stderr, "orva32cli: %s non è ancora disponibile\n", what.c_str());
  return 2;
}

}  // namespace orva::cli

namespace {

int Run(const std::vector<std::string>& words, char** argv) {
  using namespace orva::cli;
  const CommandLine line = SplitCommandLine(words);
  if (line.version) {
    std::printf("orva32cli %s\n", ORVA_VERSION);
    return 0;
  }
  if (line.command.empty()) {
    std::fputs(GeneralUsage().c_str(), line.help ? stdout : stderr);
    return line.help ? 0 : 2;
  }
  static const std::map<std::string, int (*)(const std::vector<std::string>&)> kGroups = {
      {"tariff", RunTariff},
      {"easter", RunEaster},
      {"log", RunLog},
      {"bill", RunBill},
      {"meter", RunMeter},
      {"send", RunSend},
      {"simulate-call", RunSimulateCall},
      {"netstat", RunNetstat},
      {"hosts", RunHosts},
      {"dns", RunDns},
      {"time", RunTime},
      {"mail", RunMail},
  };
  const auto it = kGroups.find(line.command);
  if (it == kGroups.end()) {
    std::fprintf(stderr, "orva32cli: comando sconosciuto: %s (orva32cli --help)\n",
                 line.command.c_str());
    return 2;
  }
  if (line.help) {
    std::fputs(CommandUsage(line.command).c_str(), stdout);
    return 0;
  }
  if (NeedsQtProgram(line.command)) return RunQtProgram(argv);
  return it->second(line.arguments);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orva::cli;
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc), argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "orva32cli: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orva32cli: %s\n", e.what());
    return 1;
  }
}
