// The association table's file and editing rules.
#include "setup/Associations.h"

#include "core/HowUtils.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

namespace orva {

AssociationRow ParseAssociationLine(std::string_view line) {
  const auto fields = SplitTabFields(line);
  AssociationRow row;
  row.name = fields[0];
  row.tariff = fields.size() > 1 ? fields[1] : std::string(kNoTariff);
  row.negotiation = fields.size() > 2 ? fields[2] : std::string(kDefaultNegotiation);
  return row;
}

std::string FormatAssociationLine(const AssociationRow& row) {
  return row.name + "\t" + row.tariff + "\t" + row.negotiation;
}

Result<std::vector<AssociationRow>> ReadAssociationFile(const std::string& path,
                                                        bool createMissing) {
  using R = Result<std::vector<AssociationRow>>;
  const std::string real = ResolveNoCase(path);
  if (!FileExists(real)) {
    if (!createMissing) return R::Ok({});
    if (Status st = ReplaceFile(real, ""); !st) return R::Fail(st.error);
    return R::Ok({});
  }
  auto lines = ReadTextLines(real);
  if (!lines) return R::Fail(lines.error);
  std::vector<AssociationRow> rows;
  for (const auto& l : *lines)
    if (!l.empty()) rows.push_back(ParseAssociationLine(l));
  return R::Ok(std::move(rows));
}

Status WriteAssociationFile(const std::string& path, const std::vector<AssociationRow>& rows) {
  std::vector<std::string> lines;
  lines.reserve(rows.size());
  for (const auto& r : rows) lines.push_back(FormatAssociationLine(r));
  return WriteTextLines(ResolveNoCase(path), lines);
}

void AssociationTable::Select(std::optional<std::size_t> row) {
  m_selected = row && *row < m_rows.size() ? row : std::nullopt;
}

std::size_t AssociationTable::AddDialupEntries(const std::vector<std::string>& entries) {
  std::size_t added = 0;
  for (const auto& entry : entries) {
    const std::string folded = FoldCase(entry);
    bool listed = false;
    for (const auto& r : m_rows) listed = listed || FoldCase(r.name).rfind(folded, 0) == 0;
    if (listed) continue;
    m_rows.push_back({entry, std::string(kNoTariff), std::string(kDefaultNegotiation)});
    ++added;
  }
  Select(m_rows.empty() ? std::nullopt : std::optional<std::size_t>(0));
  return added;
}

bool AssociationTable::Add(std::string_view name, std::string_view tariff,
                           std::string_view negotiation) {
  if (name.empty() || tariff.empty()) return false;
  m_rows.push_back({std::string(name), std::string(tariff), std::string(negotiation)});
  m_selected = m_rows.size() - 1;
  return true;
}

bool AssociationTable::Modify(std::string_view name, std::string_view tariff,
                              std::string_view negotiation) {
  if (!m_selected || name.empty() || tariff.empty()) return false;
  m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*m_selected));
  m_rows.push_back({std::string(name), std::string(tariff), std::string(negotiation)});
  m_selected = m_rows.size() - 1;
  return true;
}

bool AssociationTable::Delete() {
  if (!m_selected) return false;
  m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*m_selected));
  m_selected.reset();
  return true;
}

bool NegotiationFieldAccepts(char c) {
  return (c >= '0' && c <= '9') || c == '.' || c == '\b';
}

}  // namespace orva
