// What a meter runs on and records into: the platform, the tariffs, the bill, the log and the
// settings. ProgramServices fills it from a data directory and the program's platform; the
// tests give doubles.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/MeterPlatform.h"
#include "core/MeterServices.h"
#include "core/Settings.h"

namespace orva {

struct MeterDeps : MeterPlatform {
  TariffService* tariffs = nullptr;
  BillService* bill = nullptr;
  LogService* log = nullptr;
  Settings* settings = nullptr;
  // Saves the settings (the record behind `settings`).
  std::function<void()> saveSettings;
  // Whether a file exists (the launcher's programs, the sounds); default: the file system.
  std::function<bool(const std::string&)> fileExists;
  // The data directory, ending in "/": sounds named without a folder are there.
  std::string dataDirectory;
};

// Whether `path` names a file, asked through the dependencies' own test when they have one.
bool MeterFileExists(const MeterDeps& d, const std::string& path);

}  // namespace orva
