#include "services/CatalogueTariffs.h"

#include <algorithm>
#include <utility>

#include "tariff/Lista.h"

namespace orva {

MsgAnswer OnceDialogs::Message(const std::string& text, MsgType type, MsgButtons buttons) {
  if (text == m_last) return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Closed;
  m_last = text;
  return m_inner.Message(text, type, buttons);
}

Status CatalogueTariffs::Evaluate(int index, long long ticks, TDateTime elapsed, TDateTime moment,
                                  TariffValues& values) {
  TariffResult r{values};
  const int t = static_cast<int>(std::clamp<long long>(ticks, 0, 0x7FFFFFFF));
  const Status s = EvaluateTariff(m_catalogue, index, t, elapsed, moment, r, m_dialogs);
  if (s) values = std::move(r.values);
  return s;
}

std::string CatalogueTariffs::Abbreviation(int index) const {
  if (m_catalogue.Empty()) return {};
  if (index < 0 || index >= m_catalogue.Size()) index = 0;
  return m_catalogue.abbreviations[static_cast<std::size_t>(index)];
}

std::string CatalogueTariffs::FindAssociation(const std::string& entry, const std::string& current,
                                              const std::function<void(int)>& select) {
  return orva::FindAssociation(m_listPath, entry, m_catalogue, current, select);
}

}  // namespace orva
