// Provider/tariff associations.
#include "tariff/Lista.h"

#include "core/HowUtils.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"

namespace orva {

std::string FindAssociation(const std::string& listPath, const std::string& entryName,
                            const TariffCatalogue& catalogue, const std::string& currentNegotiation,
                            const std::function<void(int)>& selectTariff) {
  std::string result = kDefaultNegotiation;
  const std::string path = ResolveNoCase(listPath);
  if (!FileExists(path)) return result;
  const auto lines = ReadTextLines(path);
  if (!lines) return result;
  for (const auto& line : *lines) {
    const auto fields = SplitTabFields(line);
    if (fields.empty() || fields[0] != entryName) continue;
    if (fields.size() < 2) continue;
    const int index = catalogue.IndexOfDescription(fields[1]);
    if (index < 0) continue;
    if (selectTariff) selectTariff(index);
    if (fields.size() < 3) {
      result = currentNegotiation;
    } else if (ParseInteger(fields[2])) {
      result = fields[2];
    }
  }
  return result;
}

std::vector<Association> LoadAssociations(const std::string& listPath) {
  std::vector<Association> rows;
  const auto lines = ReadTextLines(ResolveNoCase(listPath));
  if (!lines) return rows;
  for (const auto& line : *lines) {
    const auto fields = SplitTabFields(line);
    if (fields.empty()) continue;
    Association a;
    a.provider = fields[0];
    if (fields.size() > 1) a.tariff = fields[1];
    if (fields.size() > 2) a.negotiation = fields[2];
    rows.push_back(std::move(a));
  }
  return rows;
}

Status SaveAssociations(const std::string& listPath, const std::vector<Association>& rows) {
  std::vector<std::string> lines;
  lines.reserve(rows.size());
  for (const auto& r : rows) lines.push_back(r.provider + "\t" + r.tariff + "\t" + r.negotiation);
  return WriteTextLines(listPath, lines);
}

}  // namespace orva
