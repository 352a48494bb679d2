#include "simulation/Simulated.h"

#include <algorithm>

namespace orva {

std::int64_t SimulatedDialup::Add(const std::string& entry, int state,
                                  const std::string& interfaceName) {
  Link link;
  link.connection.handle = m_next++;
  link.connection.entryName = entry;
  link.connection.deviceType = "modem";
  link.connection.deviceName = "Modem simulato";
  link.connection.interfaceName = interfaceName;
  link.connection.interfaceIndex = static_cast<int>(link.connection.handle) + 100;
  link.connection.ipv4 = state == kRasConnected ? "10.64.64.64" : "";
  link.state = state;
  m_links.push_back(link);
  return link.connection.handle;
}

SimulatedDialup::Link* SimulatedDialup::Find(std::int64_t handle) {
  for (auto& l : m_links)
    if (l.connection.handle == handle) return &l;
  return nullptr;
}

void SimulatedDialup::SetState(std::int64_t handle, int state, int error) {
  if (Link* l = Find(handle)) {
    l->state = state;
    l->error = error;
    if (state == kRasConnected && l->connection.ipv4.empty()) l->connection.ipv4 = "10.64.64.64";
  }
}

void SimulatedDialup::Remove(std::int64_t handle) {
  std::erase_if(m_links, [&](const Link& l) { return l.connection.handle == handle; });
}

Result<std::vector<DialupConnection>> SimulatedDialup::EnumConnections() {
  if (m_fail) return Result<std::vector<DialupConnection>>::Fail("Accesso remoto non disponibile");
  std::vector<DialupConnection> result;
  for (const auto& l : m_links) result.push_back(l.connection);
  return Result<std::vector<DialupConnection>>::Ok(std::move(result));
}

DialupStatus SimulatedDialup::GetConnectStatus(std::int64_t handle) {
  if (Link* l = Find(handle))
    return {l->state, l->error, l->connection.deviceType, l->connection.deviceName};
  return {};
}

std::string SimulatedDialup::ErrorText(int code) {
  return "Errore " + std::to_string(code);
}

Status SimulatedDialup::HangUp(std::int64_t handle) {
  hungUp.push_back(handle);
  if (m_hangUpFails || !Find(handle)) return Status::Fail("Impossibile chiudere la connessione");
  if (m_hangUpRemoves) Remove(handle);
  return Status::Ok();
}

std::vector<std::string> SimulatedDialup::DialCommand(const std::string& entry) {
  if (!IsDialableEntryName(entry)) return {};
  return {"pon", entry};
}

std::vector<std::string> SimulatedStatistics::Interfaces() const {
  std::vector<std::string> names;
  for (const auto& [key, value] : values)
    if (std::find(names.begin(), names.end(), key.first) == names.end()) names.push_back(key.first);
  return names;
}

std::optional<std::int64_t> SimulatedStatistics::ReadCounter(const std::string& interfaceName,
                                                             const std::string& counter) const {
  const auto it = values.find({interfaceName, counter});
  if (it == values.end()) return std::nullopt;
  return it->second;
}

void SimulatedStatistics::RemoveInterface(const std::string& interfaceName) {
  std::erase_if(values, [&](const auto& kv) { return kv.first.first == interfaceName; });
}

}  // namespace orva
