// The command groups of orva32cli. Each group lives in its own file; `words` are the
// arguments after the group's name. A handler returns the exit code (2 for bad arguments is
// raised as UsageError).
#pragma once

#include <string>
#include <vector>

namespace orva::cli {

struct Context {
  std::string dataDir;    // with a trailing "/"
  std::string tariffDir;  // where the tariff files are read from, with a trailing "/"
  bool json = false;
};

// What a command does to the data directory. A reader never creates, seeds or writes it: when
// the folder holds no tariff yet it reads the tariffs the program ships. A writer creates the
// folder and seeds it with the shipped tariffs, as the desktop program does at its first start.
enum class DataAccess { Read, Write };

// Resolves --data-dir / ORVA32_HOME / the default and sets the program directory. Throws
// UsageError when no folder can be had.
Context MakeContext(const std::vector<std::string>& words, DataAccess access = DataAccess::Read);

int RunTariff(const std::vector<std::string>& words);  // tariff list|eval|cost|check
// "tariff check PATH", in its own file beside the tariff editor's checks; RunTariff hands over.
int RunTariffCheck(const std::vector<std::string>& words);   // words after "check"
int RunEaster(const std::vector<std::string>& words);        // easter YEAR
int RunLog(const std::vector<std::string>& words);           // log show|totals|sort|...
int RunLogCompare(const std::vector<std::string>& words);    // words after "log compare"
int RunBill(const std::vector<std::string>& words);          // bill add|day|month|period
int RunMeter(const std::vector<std::string>& words);         // meter [--simulate ENTRY]
int RunSend(const std::vector<std::string>& words);          // send MESSAGE
int RunSimulateCall(const std::vector<std::string>& words);  // simulate-call ...
int RunNetstat(const std::vector<std::string>& words);       // netstat [--view V]
int RunHosts(const std::vector<std::string>& words);         // hosts merge
int RunDns(const std::vector<std::string>& words);           // dns reverse|forward
int RunTime(const std::vector<std::string>& words);          // time check SERVER
int RunMail(const std::vector<std::string>& words);          // mail check

// Prints "orva32cli: <what> non è ancora disponibile" and returns 2.
int NotYetAvailable(const std::string& what);

}  // namespace orva::cli
