// The manual entry's rules.
#include "log/Logentry.h"

#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/Trim.h"
#include "tariff/Ricalcolo.h"

namespace orva {

LogEntryModel::LogEntryModel(const TariffCatalogue& catalogue, TConnObj record, bool isNew,
                             TDateTime today, int decimals, Currency currency)
    : m_catalogue(catalogue),
      m_record(std::move(record)),
      m_isNew(isNew),
      m_decimals(decimals),
      m_currency(currency),
      m_startDate(DatePart(today)),
      m_endDate(DatePart(today)) {
  m_service = std::string(TrimBlanks(m_record.Service()));
  if (m_isNew) return;
  const auto date = StrToDate(m_record.Date());
  if (!date) return;
  m_startDate = *date;
  m_startTime = StrToTime(m_record.Start()).value_or(0);
  m_endTime = StrToTime(m_record.End()).value_or(0);
  // The end date is the date plus the duration, so a call across midnight ends the next day.
  const TDateTime duration =
      static_cast<double>(ParseDuration(m_record.Duration()).value_or(0)) / kSecondsPerDay;
  m_endDate = DatePart(m_startDate + m_startTime + duration);
  m_tariff = m_catalogue.IndexOfAbbreviation(TrimBlanks(m_record.Tariff()));
}

std::string LogEntryModel::Caption() const {
  return m_isNew ? "Inserisci nuova connessione in elenco"
                 : "Modifica i dati della connessione in elenco";
}

std::string LogEntryModel::OkCaption() const {
  return m_isNew ? "Inserisci" : "Modifica";
}

void LogEntryModel::Changed() {
  m_okEnabled = false;
  m_calcEnabled = true;
  m_duration.clear();
  m_cost.clear();
  m_ticks.clear();
}

bool LogEntryModel::SetStartDate(std::string_view text) {
  const auto d = StrToDate(text);
  if (!d) return false;
  if (*d != m_startDate) m_startDate = *d, Changed();
  return true;
}

bool LogEntryModel::SetEndDate(std::string_view text) {
  const auto d = StrToDate(text);
  if (!d) return false;
  if (*d != m_endDate) m_endDate = *d, Changed();
  return true;
}

bool LogEntryModel::SetStartTime(std::string_view text) {
  const auto t = StrToTime(text);
  if (!t) return false;
  if (*t != m_startTime) m_startTime = *t, Changed();
  return true;
}

bool LogEntryModel::SetEndTime(std::string_view text) {
  const auto t = StrToTime(text);
  if (!t) return false;
  if (*t != m_endTime) m_endTime = *t, Changed();
  return true;
}

void LogEntryModel::SetTariff(int index) {
  const int valid = index >= 0 && index < m_catalogue.Size() ? index : -1;
  if (valid != m_tariff) m_tariff = valid, Changed();
}

bool LogEntryModel::Calcola(Dialogs& dialogs) {
  if (m_tariff < 0 || End() < Start()) return false;
  auto texts = RecalculateCall(m_catalogue, m_tariff, Start(), End(), m_decimals, dialogs);
  if (!texts) {
    dialogs.Message(texts.error, MsgType::Error);
    return false;
  }
  m_calcEnabled = false;
  m_duration = texts->duration;
  m_cost = texts->cost;
  m_ticks = texts->ticks;
  m_okEnabled = true;
  return true;
}

std::string LogEntryModel::ShownCost() const {
  if (m_currency == Currency::Lire) return m_cost;
  const auto lire = ParseDecimal(m_cost);
  return lire ? FormatAmount(*lire, m_currency) : m_cost;
}

TConnObj LogEntryModel::Result() const {
  TConnObj r = m_record;
  r.Set(LogField::Date, DateToStr(m_startDate));
  r.Set(LogField::Start, TimeToStr(m_startTime));
  r.Set(LogField::End, TimeToStr(m_endTime));
  if (m_tariff >= 0)
    r.Set(LogField::Tariff, m_catalogue.abbreviations[static_cast<std::size_t>(m_tariff)]);
  r.Set(LogField::Service, m_service);
  if (!m_duration.empty()) {
    r.Set(LogField::Duration, m_duration);
    r.Set(LogField::Cost, m_cost);
    r.Set(LogField::Ticks, m_ticks);
  }
  return r;
}

}  // namespace orva
