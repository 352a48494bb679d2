// The phone book and the voice dialer's rules.
#include "phone/vivavoce.h"

#include <algorithm>

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

namespace orva {

PhoneEntry ParsePhoneLine(std::string_view line) {
  PhoneEntry e;
  const auto tab1 = line.find('\t');
  if (tab1 == std::string_view::npos) {
    e.tariff = std::string(line);
    return e;
  }
  e.name = std::string(line.substr(0, tab1));
  const auto rest = line.substr(tab1 + 1);
  const auto tab2 = rest.find('\t');
  if (tab2 == std::string_view::npos) {
    e.number = std::string(rest);
    return e;
  }
  e.number = std::string(rest.substr(0, tab2));
  e.tariff = std::string(rest.substr(tab2 + 1));
  return e;
}

std::string FormatPhoneLine(const PhoneEntry& e) {
  return e.name + "\t" + e.number + "\t" + e.tariff;
}

Status PhoneBook::Load(const std::string& path) {
  m_rows.clear();
  const std::string real = ResolveNoCase(path);
  if (!FileExists(real)) {
    if (Status st = ReplaceFile(real, ""); !st) return st;
  }
  auto lines = ReadTextLines(real);
  if (!lines) return Status::Fail(lines.error);
  for (const auto& l : *lines) Add(ParsePhoneLine(l));
  return Status::Ok();
}

Status PhoneBook::Save(const std::string& path) const {
  std::vector<std::string> lines;
  lines.reserve(m_rows.size());
  for (const auto& e : m_rows) lines.push_back(FormatPhoneLine(e));
  return WriteTextLines(ResolveNoCase(path), lines);
}

std::size_t PhoneBook::Add(PhoneEntry e) {
  // Names in the order people read them, accents and case aside.
  const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), e.name,
                                   [](const std::string& name, const PhoneEntry& row) {
                                     return ReadingOrderLess(name, row.name);
                                   });
  const auto index = static_cast<std::size_t>(at - m_rows.begin());
  m_rows.insert(at, std::move(e));
  return index;
}

std::size_t PhoneBook::Replace(std::size_t index, PhoneEntry e) {
  Delete(index);
  return Add(std::move(e));
}

void PhoneBook::Delete(std::size_t index) {
  if (index < m_rows.size()) m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(index));
}

std::optional<std::size_t> PhoneBook::Find(std::string_view text, std::size_t start) const {
  if (m_rows.empty()) return std::nullopt;
  const std::string needle = FoldCase(text);
  for (std::size_t k = 0; k < m_rows.size(); ++k) {
    const std::size_t i = (start + k) % m_rows.size();
    if (FoldCase(m_rows[i].name).find(needle) != std::string::npos) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> PhoneBook::IndexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < m_rows.size(); ++i)
    if (m_rows[i].name == name) return i;
  return std::nullopt;
}

bool CanDial(std::string_view number) {
  return !number.empty();
}

bool CanAdd(std::string_view name, std::string_view number, bool tariffSelected) {
  return !name.empty() && !number.empty() && tariffSelected;
}

bool CanModify(std::string_view name, std::string_view number, bool tariffSelected,
               bool rowSelected) {
  return CanAdd(name, number, tariffSelected) && rowSelected;
}

DialRequest MakeDialRequest(std::string_view number, std::string_view name,
                            std::optional<int> selectedTariff) {
  return DialRequest{selectedTariff, std::string(number), std::string(name)};
}

std::string SpeakerCode(int level) {
  switch (level) {
    case 0:
      return "L0M0";
    case 1:
      return "L1M1";
    case 3:
      return "L3M1";
    default:
      return "L2M1";
  }
}

std::string SpeakerInitString(std::string_view base, int level) {
  return std::string(base) + SpeakerCode(std::clamp(level, 0, 3));
}

std::string PhoneBookFileName(std::string_view chosen) {
  const std::string name(chosen);
  const auto slash = name.rfind('/');
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return name;
  // Without an extension: a book already there as ".TEL" (as Windows wrote them) is that book,
  // so no second one is written beside it; else the name gets ".tel". Letter case matters on
  // this file system, so the name itself stays as chosen.
  if (!FileExists(name + ".tel") && FileExists(name + ".TEL")) return name + ".TEL";
  return name + ".tel";
}

}  // namespace orva
