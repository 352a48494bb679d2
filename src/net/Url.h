// The servers visited during a call: the list collected from the connection table, its files
// (one per call in the "Urls" folder, and the hosts staging file), and the logic of TURLDlg,
// the window that shows a call's file again from the connection log.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "net/Hosts.h"
#include "platform/DateTime.h"
#include "platform/Result.h"

namespace orva {

struct THostAddr {
  std::string hostName = "?";  // "?" until resolved
  TDateTime firstSeen = 0;
};

// Ordered entries keyed by the remote address text.
class VisitedList {
 public:
  struct Entry {
    std::string address;
    THostAddr host;
  };
  void Clear();
  // Appends an address not yet in the list; false when it is there already.
  bool Add(const std::string& address, TDateTime now);
  int Count() const { return static_cast<int>(m_entries.size()); }
  bool Contains(const std::string& address) const { return m_index.count(address) > 0; }
  Entry& operator[](int i) { return m_entries[static_cast<std::size_t>(i)]; }
  const Entry& operator[](int i) const { return m_entries[static_cast<std::size_t>(i)]; }
  const std::vector<Entry>& Entries() const { return m_entries; }

 private:
  std::vector<Entry> m_entries;
  std::unordered_map<std::string, std::size_t> m_index;
};

// Writes the resolved entries in list order: address, host name and "#" + the first-seen time
// in `timeFormat`. Nothing is written (the file is not touched) when the list is empty.
Status SaveVisitedList(const VisitedList& list, const std::string& path,
                       const std::string& timeFormat);

// The file of a call, named after its end: "dd-mm-yyyy hh-mm-ss.mqm" in the data directory's
// "Urls" folder (created when missing).
std::string UrlsFilePath(const std::string& dataDir, TDateTime callEnd);

// What the connection log window needs to open TURLDlg for a record.
struct UrlDialogRequest {
  std::string path;
  std::string caption;
};
// The file of a logged call: the record's date with its end time; a call that ended earlier in
// the day than it started crossed midnight, so its file carries the next day's date. None when
// the file does not exist (the window is not opened).
std::optional<UrlDialogRequest> FindVisitedServersFile(const std::string& dataDir,
                                                       TDateTime callDate, TDateTime startTime,
                                                       TDateTime endTime);

// TURLDlg's rows: lines whose "#" is missing or among the first three characters are skipped;
// first word = address, second word = host name, the text after the first "#" = time; sorted
// by host name without regard to case.
std::vector<TIpaddr> ParseUrlFile(const std::vector<std::string>& lines);
std::vector<TIpaddr> LoadUrlFile(const std::string& path);

}  // namespace orva
