// The visited-servers list and its files.
#include "net/Url.h"

#include <algorithm>

#include "core/HowUtils.h"
#include "platform/DataFiles.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

namespace orva {

void VisitedList::Clear() {
  m_entries.clear();
  m_index.clear();
}

bool VisitedList::Add(const std::string& address, TDateTime now) {
  if (!m_index.emplace(address, m_entries.size()).second) return false;
  m_entries.push_back({address, THostAddr{"?", now}});
  return true;
}

Status SaveVisitedList(const VisitedList& list, const std::string& path,
                       const std::string& timeFormat) {
  if (list.Count() == 0) return Status::Ok();
  std::vector<std::string> lines;
  for (const auto& e : list.Entries()) {
    TIpaddr a{e.address, e.host.hostName, FormatDateTime(timeFormat, e.host.firstSeen)};
    if (IsWritable(a)) lines.push_back(FormatHostsLine(a));
  }
  return WriteTextLines(path, lines);
}

std::string UrlsFilePath(const std::string& dataDir, TDateTime callEnd) {
  return DataSubdirectory(dataDir, "Urls") + FormatDateTime("dd-mm-yyyy hh-nn-ss", callEnd) +
         ".mqm";
}

std::optional<UrlDialogRequest> FindVisitedServersFile(const std::string& dataDir,
                                                       TDateTime callDate, TDateTime startTime,
                                                       TDateTime endTime) {
  TDateTime day = DatePart(callDate);
  if (TimePart(endTime) < TimePart(startTime)) day += 1;
  const std::string name = FormatDateTime("dd-mm-yyyy", day) + " " +
                           FormatDateTime("hh-nn-ss", TimePart(endTime)) + ".mqm";
  const std::string folder = DataPath(dataDir).File("Urls");
  std::string path = ResolveNoCase(JoinPath(folder, name));
  if (!FileExists(path)) return std::nullopt;
  return UrlDialogRequest{path, "Elenco indirizzi server visitati il " + DateToStr(callDate) +
                                    "\n alle ore " + TimeToStr(startTime)};
}

std::vector<TIpaddr> ParseUrlFile(const std::vector<std::string>& lines) {
  std::vector<TIpaddr> rows;
  for (const std::string& line : lines) {
    const std::size_t hash = line.find('#');
    if (hash == std::string::npos || hash < 3) continue;
    TIpaddr r;
    const std::size_t s1 = line.find(' ');
    r.address = line.substr(0, s1);
    if (s1 != std::string::npos) {
      const std::size_t s2 = line.find(' ', s1 + 1);
      r.hostName = line.substr(s1 + 1, s2 == std::string::npos ? std::string::npos : s2 - s1 - 1);
    }
    std::string_view t = std::string_view(line).substr(hash + 1);
    while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ') t.remove_prefix(1);
    while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.remove_suffix(1);
    r.timeText = std::string(t);
    rows.push_back(std::move(r));
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TIpaddr& a, const TIpaddr& b) {
    return FoldCase(a.hostName) < FoldCase(b.hostName);
  });
  return rows;
}

std::vector<TIpaddr> LoadUrlFile(const std::string& path) {
  auto lines = ReadTextLines(path);
  if (!lines) return {};
  return ParseUrlFile(*lines);
}

}  // namespace orva
