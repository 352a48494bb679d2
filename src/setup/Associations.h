// The provider/tariff association table as the options dialog and the setup wizard edit it:
// the rows of "lista.ser" (entry name, tariff description, negotiation time in ms).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace orva {

inline constexpr std::string_view kDefaultNegotiation = "10000";
inline constexpr std::string_view kNoTariff = "?";

struct AssociationRow {
  std::string name;         // dial-up entry, compared exactly
  std::string tariff;       // tariff description, "?" while none is chosen
  std::string negotiation;  // milliseconds as text
  bool operator==(const AssociationRow&) const = default;
};

// One line: fields split at every TAB; a line with fewer than three fields takes "10000".
AssociationRow ParseAssociationLine(std::string_view line);
std::string FormatAssociationLine(const AssociationRow& row);

// Reads the rows; a missing file is created empty first when createMissing is set.
Result<std::vector<AssociationRow>> ReadAssociationFile(const std::string& path,
                                                        bool createMissing);
// Rewrites the file crash-safely, one line per row.
Status WriteAssociationFile(const std::string& path, const std::vector<AssociationRow>& rows);

// The table of the "Corrispondenze" page with its buttons' rules.
class AssociationTable {
 public:
  explicit AssociationTable(std::vector<AssociationRow> rows = {}) : m_rows(std::move(rows)) {}

  const std::vector<AssociationRow>& Rows() const { return m_rows; }
  std::optional<std::size_t> Selected() const { return m_selected; }
  void Select(std::optional<std::size_t> row);

  // "RAS": a row (entry, "?", "10000") for every entry that no row's name begins with
  // (without regard to case); then the first row is selected. Returns how many were added.
  std::size_t AddDialupEntries(const std::vector<std::string>& entries);
  // "Aggiungi": only with a name and a chosen tariff; the new row is selected.
  bool Add(std::string_view name, std::string_view tariff, std::string_view negotiation);
  // "Modifica": with a selected row, a name and a tariff: the row goes to the end, changed.
  bool Modify(std::string_view name, std::string_view tariff, std::string_view negotiation);
  // "Elimina": deletes the selected row.
  bool Delete();

 private:
  std::vector<AssociationRow> m_rows;
  std::optional<std::size_t> m_selected;
};

// The negotiation field takes digits, "." and backspace only.
bool NegotiationFieldAccepts(char c);

}  // namespace orva
