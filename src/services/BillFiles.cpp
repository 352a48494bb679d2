#include "services/BillFiles.h"

#include "bill/DbsetINI.h"
#include "bill/MonthForecast.h"
#include "core/Amounts.h"
#include "platform/Numbers.h"

namespace orva {

Status BillFiles::AddTicks(TDateTime day, long long ticks, double price) {
  const DateParts d = DecodeDate(day);
  // A bill file names its month with a four-digit year: a day beyond that is refused, never
  // counted in another month.
  if (!IsValidDate(d.year, d.month, d.day))
    return Status::Fail("La bolletta non può registrare il giorno " + std::to_string(d.day) + "/" +
                        std::to_string(d.month) + "/" + std::to_string(d.year) +
                        ": gli anni vanno da 1 a 9999");
  if (!IsBillPrice(price))
    return Status::Fail("Costo scatto fuori dai limiti della bolletta: " + FormatShortest(price));
  TDataSetINI month(d.month, d.year, Options());
  const Status s = month.AddTicks(d.day, ticks, price);
  if (s) added.push_back({DatePart(day), ticks, price});
  return s;
}

double BillFiles::PeriodCost() {
  return orva::PeriodCost(m_settings.billStart, DecodeDate(m_clock.Now()), Options());
}

std::optional<PeriodForecastCost> BillFiles::PeriodForecast() {
  const DateParts today = DecodeDate(m_clock.Now());
  const BillPeriodForecast p =
      ForecastPeriod(PeriodStart(m_settings.billStart, today), today, Options());
  if (!p.available) return std::nullopt;
  return p.forecast;
}

BillOptions BillFiles::Options() const {
  BillOptions o;
  o.directory = m_dir;
  o.decimals = m_settings.decimals;
  return o;
}

Status DeferredBill::AddTicks(TDateTime day, long long ticks, double price) {
  added.push_back({DatePart(day), ticks, price});
  return Status::Ok();
}

Status DeferredBill::Flush() {
  Status first = Status::Ok();
  for (std::size_t i = m_flushed; i < added.size();) {
    std::size_t j = i;
    long long ticks = 0;
    while (j < added.size() && added[j].day == added[i].day && added[j].price == added[i].price)
      ticks += added[j++].ticks;
    if (const Status s = m_files.AddTicks(added[i].day, ticks, added[i].price); !s && first)
      first = s;
    i = m_flushed = j;
  }
  return first;
}

AppendResult BillFirstLog::Append(const CallRecord& record) {
  if (const Status billed = m_bill.Flush(); !billed && m_billFailed) m_billFailed(billed);
  return m_log.Append(record);
}

}  // namespace orva
