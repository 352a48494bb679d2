// orva32cli: the meter's logic, scriptable, without windows.
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "Args.h"
#include "Commands.h"
#include "core/HowUtils.h"
#include "platform/DataDir.h"

namespace orva::cli {

Context MakeContext(const std::vector<std::string>& words) {
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
  auto dir = ResolveDataDirectory(option);
  if (!dir) throw UsageError(dir.error);
  ctx.dataDir = *dir;
  SeedTariffs(ctx.dataDir);
  SetProgramDirectory(ctx.dataDir);
  return ctx;
}

int NotYetAvailable(const std::string& what) {
  std::fprintf(stderr, "orva32cli: %s non è ancora disponibile\n", what.c_str());
  return 2;
}

namespace {

void Usage(FILE* to) {
  std::fputs(
      "uso: orva32cli COMANDO [ARGOMENTI] [--data-dir DIR] [--json]\n"
      "comandi:\n"
      "  tariff list | eval | cost | check    tariffe\n"
      "  easter ANNO                          Pasqua e Pasquetta\n"
      "  log show|totals|sort|export-csv|import   registro connessioni\n"
      "  bill add|day|month|period|period-cost    bolletta\n"
      "  meter [--simulate VOCE]              contascatti da console\n"
      "  send MESSAGGIO                       messaggio all'istanza in esecuzione\n"
      "  simulate-call --entry VOCE ...       chiamata simulata su orologio finto\n"
      "  netstat | hosts merge | dns reverse|forward   servizi di rete\n"
      "  time check SERVER | mail check       ora di rete e posta\n",
      to);
}

}  // namespace
}  // namespace orva::cli

int main(int argc, char** argv) {
  using namespace orva::cli;
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    Usage(words.empty() ? stderr : stdout);
    return words.empty() ? 2 : 0;
  }
  static const std::map<std::string, int (*)(const std::vector<std::string>&)> kGroups = {
      {"tariff", RunTariff},   {"easter", RunEaster},   {"log", RunLog},
      {"bill", RunBill},       {"meter", RunMeter},     {"send", RunSend},
      {"simulate-call", RunSimulateCall},               {"netstat", RunNetstat},
      {"hosts", RunHosts},     {"dns", RunDns},         {"time", RunTime},
      {"mail", RunMail},
  };
  const auto it = kGroups.find(words[0]);
  if (it == kGroups.end()) {
    std::fprintf(stderr, "orva32cli: comando sconosciuto: %s\n", words[0].c_str());
    return 2;
  }
  try {
    return it->second(std::vector<std::string>(words.begin() + 1, words.end()));
  } catch (const UsageError& e) {
    std::fprintf(stderr, "orva32cli: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orva32cli: %s\n", e.what());
    return 1;
  }
}
