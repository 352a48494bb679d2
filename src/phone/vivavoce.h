// The phone book of the voice dialer: names, numbers and the tariff of each number, kept in a
// ".TEL" text file (name TAB number TAB tariff name per line), shown sorted by name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace orva {

struct PhoneEntry {
  std::string name;
  std::string number;
  std::string tariff;  // tariff description, as the tariff selectors list it
  bool operator==(const PhoneEntry&) const = default;
};

// One line of a phone-book file. A line without tabs is all tariff name.
PhoneEntry ParsePhoneLine(std::string_view line);
std::string FormatPhoneLine(const PhoneEntry& e);

class PhoneBook {
 public:
  // Loads a file, creating it empty when missing. On failure the rows are left empty.
  Status Load(const std::string& path);
  // Writes the rows in list order (CR LF), crash-safely.
  Status Save(const std::string& path) const;

  const std::vector<PhoneEntry>& Rows() const { return m_rows; }
  // Inserts keeping the list sorted by name (in reading order: accents and case aside, see
  // ReadingOrderLess); a name that already
  // exists gives a second row. Returns the index of the new row.
  std::size_t Add(PhoneEntry e);
  // Deletes row `index` and adds the new values in its place; returns the new row's index.
  std::size_t Replace(std::size_t index, PhoneEntry e);
  void Delete(std::size_t index);
  // The first row, from `start` on and wrapping round, whose name contains `text` (without
  // regard to case); none when no row matches.
  std::optional<std::size_t> Find(std::string_view text, std::size_t start = 0) const;
  // The row found by name (the first one), for selecting after an addition.
  std::optional<std::size_t> IndexOfName(std::string_view name) const;

 private:
  std::vector<PhoneEntry> m_rows;
};

// The buttons' rules.
bool CanDial(std::string_view number);
bool CanAdd(std::string_view name, std::string_view number, bool tariffSelected);
bool CanModify(std::string_view name, std::string_view number, bool tariffSelected,
               bool rowSelected);

// What "Componi" does: hand the tariff over to the main window (message 1028 with the
// tariff's index) when one is selected, then ask for the voice call.
struct DialRequest {
  std::optional<int> tariffIndex;  // none: no hand-over
  std::string number;
  std::string calledParty;
};
DialRequest MakeDialRequest(std::string_view number, std::string_view name,
                            std::optional<int> selectedTariff);

// The modem speaker commands appended to the base initialisation string for levels 0..3.
std::string SpeakerCode(int level);
std::string SpeakerInitString(std::string_view base, int level);

// The file name a chooser's answer becomes: as chosen, with ".tel" appended when it has no
// extension (".TEL" when a book is already there under that name).
std::string PhoneBookFileName(std::string_view chosen);

}  // namespace orva
