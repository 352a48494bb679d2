// The options dialog's logic that is not one page's widgets: the security page's states and
// the mailbox table with its buttons.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

// Which security controls are enabled.
struct SecurityPageState {
  bool passwordField = false;
  bool passwordButton = false;
  bool deleteButton = false;
  bool options = false;
  bool operator==(const SecurityPageState&) const = default;
};

// On opening: options off; with a password the field is on and "Password" off, without one
// the field is off and "Password" on.
SecurityPageState SecurityOnOpen(bool hasPassword);
// Typing in the field: the options and both buttons are on exactly while the text is the
// stored password.
SecurityPageState SecurityOnTyped(SecurityPageState s, std::string_view typed,
                                  std::string_view password);
// After a new password was accepted, and after "Elimina".
SecurityPageState SecurityAfterNewPassword();
SecurityPageState SecurityAfterDelete();

// The most characters of a mailbox password that "POP3.LST" holds.
inline constexpr int kMailboxPasswordMax = 40;
inline constexpr std::string_view kMailboxPasswordTooLong =
    "La password può contenere al massimo 40 caratteri";

struct MailboxRow {
  std::string server;
  int port = 110;
  std::string user;
  std::string password;  // kept with the row, not shown
  bool enabled = false;  // the row's check box
  bool operator==(const MailboxRow&) const = default;
};

// The "Caselle di posta" table. Removing rows is remembered, so that a table the user
// emptied is written (as an empty file) instead of leaving the old mailboxes in place.
class MailboxTable {
 public:
  explicit MailboxTable(std::vector<MailboxRow> rows = {}) : m_rows(std::move(rows)) {}
  const std::vector<MailboxRow>& Rows() const { return m_rows; }
  std::vector<MailboxRow>& MutableRows() { return m_rows; }
  std::optional<std::size_t> Selected() const { return m_selected; }
  void Select(std::optional<std::size_t> row);
  // "Nuovo": no selection; the fields are cleared and the port shows 110.
  void New() { m_selected.reset(); }
  // "Aggiungi": with a server, a row with its check box off, selected.
  bool Add(std::string_view server, int port, std::string_view user, std::string_view password);
  // "Modifica": the selected row is replaced by a new row at the end.
  bool Modify(std::string_view server, int port, std::string_view user, std::string_view password);
  bool Delete();
  // Whether closing writes the table: when it has rows, or when the user removed some.
  bool ShouldWrite() const { return !m_rows.empty() || m_removed; }

 private:
  std::vector<MailboxRow> m_rows;
  std::optional<std::size_t> m_selected;
  bool m_removed = false;
};

}  // namespace orva

#include "core/Settings.h"

namespace orva {

// "Annulla": the settings copied when the dialog opened come back, except what took effect at
// once and stays: the sound files chosen in the dialog and the access values and password;
// and the dialog's place, stored whatever the result.
void RestoreAfterCancel(Settings& live, Settings copy);

// "OK" for a number field: the whole number, or the old value when the text is none.
int NumberOrKeep(std::string_view text, int old);

}  // namespace orva
