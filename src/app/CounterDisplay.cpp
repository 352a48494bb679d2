// The counter texts of the main window.
#include "app/CounterDisplay.h"

#include <cmath>
#include <optional>

#include "core/HowUtils.h"
#include "platform/Numbers.h"

namespace orva {

namespace {

constexpr const char* kElapsedHint = "Tempo trascorso dall'inizio della connessione";

int ClampItem(int item) {
  return item < 1 || item > kCounterItems ? 1 : item;
}

// "hh.mm.ss" of a duration; a day or more wraps as a time of day does.
std::string ElapsedText(TDateTime days) {
  return FormatDateTime("hh:nn:ss", days);
}

// The "h.mm.ss" form of a number of seconds.
std::string SecondsText(long long seconds) {
  return FormatDateTime("h:nn:ss", static_cast<double>(seconds) / kSecondsPerDay);
}

bool IsWhole(double x) {
  return std::isfinite(x) && x == std::trunc(x);
}

}  // namespace

std::string CounterPrefix(int item, Currency currency) {
  static constexpr const char* kPrefixes[kCounterItems] = {
      "", "L+iva: ", "Timer : ", "Scatti : ", "Rim : ", "Boll: ", "Perc: "};
  if (ClampItem(item) == 2 && currency == Currency::Euro) return "€+iva: ";
  return kPrefixes[ClampItem(item) - 1];
}

std::string CounterHint(int item, Currency currency) {
  if (ClampItem(item) == 1 && currency == Currency::Euro)
    return "Tempo trascorso dall'inizio della connessione - Costo della connessione in euro";
  static constexpr const char* kHints[kCounterItems] = {
      "Tempo trascorso dall'inizio della connessione - Costo della connessione in lire",
      "Costo connessione più IVA",
      kElapsedHint,
      "Totale scatti effettuati",
      "Tempo al prossimo scatto",
      "Totale in bolletta",
      "Percentuale dello scatto consumata"};
  return kHints[ClampItem(item) - 1];
}

long long RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  const double r = std::nearbyint(value);  // the default rounding mode: half to even
  if (r >= 9.2e18) return 9200000000000000000LL;
  if (r <= -9.2e18) return -9200000000000000000LL;
  return static_cast<long long>(r);
}

long long WholeSecondsOf(TDateTime days) {
  if (!std::isfinite(days)) return 0;
  // Milliseconds rounded first, as a date-time value decodes, then the seconds.
  const long long ms = std::llround(days * kSecondsPerDay * 1000.0);
  return ms >= 0 ? ms / 1000 : -((-ms) / 1000);
}

std::string HourlyCostText(double tickSeconds, double tickCost, double fixedCharge,
                           int fixedChargeUnit, Currency currency) {
  if (CheckTickLength(tickSeconds) != TickLength::Usable) return "?";
  const double u = 3600.0 / tickSeconds;
  long long amount;
  if (fixedChargeUnit == 1) {
    amount = RoundHalfEven(u * tickCost);
  } else {
    // Every started tick of the hour is charged.
    const double c = IsWhole(u) ? u : std::trunc(u) + 1;
    amount = RoundHalfEven(c * tickCost);
  }
  if (currency == Currency::Euro) {
    // The hour's lire are rounded as before, then converted, so both currencies agree.
    std::string text = FormatAmount(static_cast<double>(amount), currency);
    if (fixedChargeUnit == 1)
      text += " + " + FormatAmountNumber(fixedCharge, currency) + " iniziali.";
    else if (fixedCharge != 0)
      text += " + " + FormatShortest(fixedCharge) + " scatti iniziali";
    return text;
  }
  std::string text = "L. " + GroupInteger(amount);
  const std::string fixed = IsWhole(fixedCharge)
                                ? std::to_string(static_cast<long long>(fixedCharge))
                                : FormatShortest(fixedCharge);
  if (fixedChargeUnit == 1)
    text += " + " + GroupThousands(fixed) + " iniziali.";
  else if (fixedCharge != 0)
    text += " + " + fixed + " scatti iniziali";
  return text;
}

long long SecondsToNextTick(const CounterInput& in) {
  if (in.tariff.tickSeconds <= 1) return 1;
  const long long length = RoundHalfEven(in.tariff.tickSeconds);
  if (!in.metering) return length;
  return length - WholeSecondsOf(in.now - in.tickStart);
}

namespace {

// An amount of a counter: lire with the chosen decimals as always, euro with its cents.
std::string CounterAmount(double lire, int decimals, Currency currency) {
  if (currency == Currency::Euro) return FormatAmountNumber(lire, currency);
  return FormatFixed(lire, decimals);
}

// The value of counter item `item`, or none while the next tick falls due (the counter keeps
// its last text until there is something to say).
std::optional<std::string> ItemValue(int item, const CounterInput& in, int decimals) {
  switch (item) {
    case 1:
      return ElapsedText(in.elapsed) + " - " + CounterAmount(in.cost, decimals, in.currency);
    case 2: {
      const double x = in.cost * (1 + in.tariff.vatRate);
      return CounterAmount(x, IsWhole(x) ? 0 : decimals, in.currency);
    }
    case 3:
      return ElapsedText(in.elapsed);
    case 4:
      return in.tariff.tickSeconds > 1 ? std::to_string(in.ticks) : std::string();
    case 5: {
      const long long r = SecondsToNextTick(in);
      if (r <= 0) return std::nullopt;
      return "-" + SecondsText(r);
    }
    case 6: {
      const double base = in.metering ? in.periodCost + in.cost : in.periodCost;
      return CounterAmount(base * (1 + in.tariff.vatRate), decimals, in.currency);
    }
    case 7: {
      const long long r = SecondsToNextTick(in);
      if (r <= 0) return std::nullopt;
      const long long length = RoundHalfEven(in.tariff.tickSeconds);
      // A tick rounded to no whole second has no share to show.
      long long p = length > 0 ? 100 - RoundHalfEven(static_cast<double>(r) / length * 100) : 0;
      if (p < 0) p = 0;
      return std::to_string(p) + "%";
    }
    default:
      return std::string();
  }
}

// Item 6's forecast: " → " and the period's cost projected to the month's end, with VAT as
// the item's figure, whole lire or euro cents; " !" when it reaches "Costo periodo". The hint
// says it in words.
struct ForecastTexts {
  std::string suffix, hint;
};
std::optional<ForecastTexts> BillForecast(const CounterInput& in) {
  if (!in.periodForecast) return std::nullopt;
  const double lire =
      in.metering ? ForecastWithRunningCall(*in.periodForecast, in.cost) : in.periodForecast->cost;
  const double withVat = lire * (1 + in.tariff.vatRate);
  ForecastTexts t;
  t.suffix = " → " + CounterAmount(withVat, 0, in.currency);
  t.hint = " - previsione a fine mese " + FormatAmount(withVat, in.currency) + " IVA inclusa";
  if (in.periodLimit && ReachesLimit(lire, in.tariff.vatRate, *in.periodLimit)) {
    t.suffix += " !";
    t.hint += ", supera il costo massimo del periodo";
  }
  return t;
}

std::string GaugeHint(const CounterInput& in, int decimals) {
  return " Stato :" + in.status + "\n" + " Servizio :" + in.entryName + "\n" +
         " Velocità :" + in.speed + "\n" + " Durata :" + ElapsedText(in.elapsed) + "\n" +
         " Scatto ogni :" + in.tariff.tickText + "  \n" +
         " Costo scatto :" + CounterAmount(in.tariff.tickCost, decimals, in.currency) + "\n" +
         " Sconto attivo :" + (in.tariff.discountActive ? "Si" : "No") + "\n" +
         " IP :" + in.hostName + "\n" + " Indirizzo IP :" + in.ipAddress;
}

}  // namespace

CounterTexts RedrawCounters(const CounterInput& in) {
  CounterTexts out;
  out.bytesReceived = GroupThousands(in.bytesReceived);
  out.bytesSent = GroupThousands(in.bytesSent);
  out.tickItemsEnabled = in.tariff.tickSeconds > 2;
  out.hourlyCost = HourlyCostText(in.tariff.tickSeconds, in.tariff.tickCost, in.tariff.fixedCharge,
                                  in.tariff.fixedChargeUnit, in.currency);

  const int item = ClampItem(in.item);
  const int decimals = in.decimals < 0 ? 0 : (in.decimals > 10 ? 10 : in.decimals);
  const std::optional<std::string> value = ItemValue(item, in, decimals);
  if (!value) {
    out.complete = false;
    return out;
  }
  out.value = *value;
  if (item == 1)
    out.counter = *value;  // the elapsed time and the cost need no caption
  else if (item == 4 && in.tariff.tickSeconds <= 1)
    out.counter = CounterPrefix(item, in.currency) + "?";  // no ticks to count
  else
    out.counter = CounterPrefix(item, in.currency) + *value;
  out.counterHint = CounterHint(item, in.currency);
  if (item == 6) {
    if (const auto forecast = BillForecast(in)) {
      out.counter += forecast->suffix;
      out.counterHint += forecast->hint;
    }
  }
  out.gaugeHint = GaugeHint(in, decimals);
  out.tickText = in.tariff.tickText;
  return out;
}

int NextDisplayItem(int item, double tickSeconds) {
  int next = ClampItem(item) + 1;
  if (next > kCounterItems) next = 1;
  if (tickSeconds <= 1) {
    if (next == 4 || next == 5) next = 6;
    if (next == 7) next = 1;
  }
  return next;
}

std::string TrayHint(TrayCall call, const std::string& status, const std::string& entryName,
                     const std::string& calledParty, const std::string& remoteParty) {
  switch (call) {
    case TrayCall::Idle:
      return "ORVA32 - nessuna connessione";
    case TrayCall::DialUp:
      return "ORVA32 - Connesso a : " + entryName;
    case TrayCall::Manual:
      return "ORVA32 - " + status;
    case TrayCall::Telephony:
      return "ORVA32 - " + status + " a: " + calledParty + "  " + remoteParty;
  }
  return "ORVA32 - nessuna connessione";
}

}  // namespace orva
