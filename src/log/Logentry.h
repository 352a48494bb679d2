// The manual entry of a call ("Nuova (Inserimento manuale)" and "Modifica" of the log window):
// the fields, the rule that OK waits for "Calcola", the re-pricing and what the record gets.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Currency.h"
#include "log/ConnObj.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "tariff/Tariffe.h"

namespace orva {

class LogEntryModel {
 public:
  // `today` gives the dates of a new record (and of a record without a date).
  // The cost is shown in `currency`; the record gets it in lire, as the log keeps it.
  LogEntryModel(const TariffCatalogue& catalogue, TConnObj record, bool isNew, TDateTime today,
                int decimals, Currency currency = Currency::Lire);

  bool IsNew() const { return m_isNew; }
  std::string Caption() const;    // "Inserisci nuova connessione in elenco" / "Modifica i …"
  std::string OkCaption() const;  // "Inserisci" / "Modifica"

  // The texts of the four edits and the tariff choice.
  std::string StartDateText() const { return DateToStr(m_startDate); }
  std::string EndDateText() const { return DateToStr(m_endDate); }
  std::string StartTimeText() const { return TimeToStr(m_startTime); }
  std::string EndTimeText() const { return TimeToStr(m_endTime); }
  int TariffIndex() const { return m_tariff; }
  const std::string& Service() const { return m_service; }

  // Leaving an edit: false (and nothing changes) when the text is no valid date or time.
  bool SetStartDate(std::string_view text);
  bool SetEndDate(std::string_view text);
  bool SetStartTime(std::string_view text);
  bool SetEndTime(std::string_view text);
  void SetTariff(int index);
  void SetService(std::string_view text) { m_service = std::string(text); }

  bool OkEnabled() const { return m_okEnabled; }
  bool CalcolaEnabled() const { return m_calcEnabled; }
  // The three result panels ("Durata", "Costo", "Scatti"), empty until "Calcola".
  const std::string& Duration() const { return m_duration; }
  const std::string& Cost() const { return m_cost; }  // lire, as the record gets it
  // The "Costo" panel: the cost in lire as Cost() writes it, or in euro ("€ 0,46").
  std::string ShownCost() const;
  const std::string& Ticks() const { return m_ticks; }

  // "Calcola": only with a tariff and an end not before the start. False when it did nothing
  // (the error of a tariff that cannot be read is shown through dialogs).
  bool Calcola(Dialogs& dialogs);
  // OK: the record with date, times, tariff abbreviation, service and the results.
  TConnObj Result() const;

 private:
  void Changed();
  TDateTime Start() const { return m_startDate + m_startTime; }
  TDateTime End() const { return m_endDate + m_endTime; }

  const TariffCatalogue& m_catalogue;
  TConnObj m_record;
  bool m_isNew;
  int m_decimals;
  Currency m_currency;
  TDateTime m_startDate, m_endDate, m_startTime = 0, m_endTime = 0;
  int m_tariff = -1;
  std::string m_service;
  bool m_okEnabled = false, m_calcEnabled = true;
  std::string m_duration, m_cost, m_ticks;
};

}  // namespace orva
