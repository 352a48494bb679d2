// Security page states and the mailbox table.
#include "setup/Setting.h"

namespace orva {

SecurityPageState SecurityOnOpen(bool hasPassword) {
  SecurityPageState s;
  s.passwordField = hasPassword;
  s.passwordButton = !hasPassword;
  return s;
}

SecurityPageState SecurityOnTyped(SecurityPageState s, std::string_view typed,
                                  std::string_view password) {
  const bool match = !password.empty() && typed == password;
  s.options = s.passwordButton = s.deleteButton = match;
  return s;
}

SecurityPageState SecurityAfterNewPassword() {
  return {true, true, true, true};
}

SecurityPageState SecurityAfterDelete() {
  return {false, true, false, false};
}

void MailboxTable::Select(std::optional<std::size_t> row) {
  m_selected = row && *row < m_rows.size() ? row : std::nullopt;
}

bool MailboxTable::Add(std::string_view server, int port, std::string_view user,
                       std::string_view password) {
  if (server.empty()) return false;
  m_rows.push_back({std::string(server), port, std::string(user), std::string(password), false});
  m_selected = m_rows.size() - 1;
  return true;
}

bool MailboxTable::Modify(std::string_view server, int port, std::string_view user,
                          std::string_view password) {
  if (!m_selected || server.empty()) return false;
  const bool enabled = m_rows[*m_selected].enabled;
  m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*m_selected));
  m_rows.push_back({std::string(server), port, std::string(user), std::string(password), enabled});
  m_selected = m_rows.size() - 1;
  return true;
}

bool MailboxTable::Delete() {
  if (!m_selected) return false;
  m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*m_selected));
  m_selected.reset();
  m_removed = true;
  return true;
}

}  // namespace orva

#include "platform/Numbers.h"

namespace orva {

void RestoreAfterCancel(Settings& live, Settings copy) {
  copy.soundFiles = live.soundFiles;
  // The dialog's place is stored whatever the result.
  copy.setupPosition = live.setupPosition;
  copy.access = live.access;
  live = std::move(copy);
}

int NumberOrKeep(std::string_view text, int old) {
  return ParseInteger(text).value_or(old);
}

}  // namespace orva
