// The service file and the service choice.
#include "log/Servform.h"

#include <algorithm>

#include "core/HowUtils.h"
#include "platform/DataFiles.h"
#include "platform/TextFile.h"

namespace orva {

std::string ServiceFilePath(const std::string& dataDir) {
  return DataPath(dataDir).Found(kServiceFileName);
}

std::vector<std::string> LoadServiceFile(const std::string& path, std::string* error) {
  if (!FileExists(path)) return {};
  auto lines = ReadTextLines(path);
  if (!lines) {
    if (error) *error = lines.error;
    return {};
  }
  return std::move(*lines);
}

Status SaveServiceFile(const std::vector<std::string>& services, const std::string& path,
                       const SafeWriteOptions& options) {
  return WriteTextLines(path, services, options);
}

std::vector<std::string> DistinctServices(const std::vector<TConnObj>& records) {
  std::vector<std::string_view> all;
  all.reserve(records.size());
  for (const auto& r : records) all.push_back(r.Service());
  std::sort(all.begin(), all.end());
  all.erase(std::unique(all.begin(), all.end()), all.end());
  return std::vector<std::string>(all.begin(), all.end());
}

ServiceChoice::ServiceChoice(std::string serviceFilePath)
    : m_path(std::move(serviceFilePath)), m_items(LoadServiceFile(m_path)) {}

void ServiceChoice::ItemClick(std::size_t index) {
  if (index < m_items.size()) edit = m_items[index];
}

Status ServiceChoice::AssociaClick() {
  m_chosen = edit;
  if (m_chosen.empty() || m_chosen == "?") return Status::Ok();
  if (std::find(m_items.begin(), m_items.end(), m_chosen) != m_items.end()) return Status::Ok();
  m_items.push_back(m_chosen);
  return SaveServiceFile(m_items, m_path);
}

}  // namespace orva
