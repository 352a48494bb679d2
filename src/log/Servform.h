// The service list: the service names met so far, kept in "ORVA.SRV" (one per line), offered
// when a call is closed, in the manual entry and in the log window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "log/ConnObj.h"
#include "platform/DataFiles.h"
#include "platform/Result.h"
#include "platform/SafeFile.h"

namespace orva {

// The service file of the program directory (found without regard to case).
std::string ServiceFilePath(const std::string& dataDir);

// A missing file is an empty list; so is one that cannot be read (reported in `error`).
std::vector<std::string> LoadServiceFile(const std::string& path, std::string* error = nullptr);
// Rewrites the file crash-safely.
Status SaveServiceFile(const std::vector<std::string>& services, const std::string& path,
                       const SafeWriteOptions& options = {});

// Every distinct service text of the records, sorted (exact text compare).
std::vector<std::string> DistinctServices(const std::vector<TConnObj>& records);

// What the service choice window at call end (`TSelServForm`) does: the list from the service
// file, the edit "Scelta" that starts as the call's service text, and the two ways out.
class ServiceChoice {
 public:
  explicit ServiceChoice(std::string serviceFilePath);

  const std::vector<std::string>& Items() const { return m_items; }
  // Edit1: the text that "Associa" confirms; "?" until the caller puts the call's text in.
  std::string edit = "?";
  // A click on a list item copies it into the edit.
  void ItemClick(std::size_t index);

  // "Associa": the edit becomes the chosen text; a new name other than "" and "?" is added to
  // the list and the file is saved. The dialog closes with OK in every case; a failed save is
  // reported, the chosen text stands.
  Status AssociaClick();
  // "Ignora": the caller takes "?".
  void IgnoraClick() { m_chosen = "?"; }

  const std::string& Chosen() const { return m_chosen; }

 private:
  std::string m_path;
  std::vector<std::string> m_items;
  std::string m_chosen;
};

}  // namespace orva
