#include "services/CatalogueTariffs.h"

#include <algorithm>

#include "tariff/Lista.h"

namespace orva {

MsgAnswer OnceDialogs::Message(const std::string& text, MsgType type, MsgButtons buttons) {
  if (text == m_last) return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Closed;
  m_last = text;
  return m_inner.Message(text, type, buttons);
}

Status CatalogueTariffs::Evaluate(int index, long long ticks, TDateTime elapsed, TDateTime moment,
                                  MeterTariff& out) {
  TariffResult r;
  r.tickSeconds = out.tickSeconds;
  r.tickCost = out.tickCost;
  r.tickText = out.tickText;
  r.vatRate = out.vatRate;
  r.fixedCharge = out.fixedCharge;
  r.fixedChargeUnit = out.fixedChargeUnit;
  r.discountActive = out.discountActive;
  r.tickFrom = out.tickFrom;
  const int t = static_cast<int>(std::clamp<long long>(ticks, 0, 0x7FFFFFFF));
  const Status s = EvaluateTariff(m_catalogue, index, t, elapsed, moment, r, m_dialogs);
  if (!s) return s;
  out.tickSeconds = r.tickSeconds;
  out.tickCost = r.tickCost;
  out.tickText = r.tickText;
  out.vatRate = r.vatRate;
  out.fixedCharge = r.fixedCharge;
  out.fixedChargeUnit = r.fixedChargeUnit;
  out.discountActive = r.discountActive;
  out.tickFrom = std::move(r.tickFrom);
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
