// The band grid checks of the tariff editor.
#include "tariff/TariffCheck.h"

#include <cmath>

#include "core/Amounts.h"
#include "core/Currency.h"
#include "core/TariffValues.h"
#include "platform/DateTime.h"
#include "platform/Numbers.h"

namespace orva {

namespace {

constexpr int kMinute = 60;
constexpr int kLastMinute = 23 * 3600 + 59 * 60;

// A message line holds no control character, whatever a cell holds.
std::string Printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    out += (u < 0x20 || u == 0x7F) ? '?' : c;
  }
  return out;
}

bool Warn(Dialogs& dialogs, const std::string& text) {
  dialogs.Beep();
  dialogs.Message(text, MsgType::Warning, MsgButtons::Ok);
  return false;
}

GridCheck Fail(int row, int column) {
  return GridCheck{false, GridCell{row, column}};
}

// A tick length or cost beyond what a tariff holds (a number the other checks let through):
// warned and pointed at.
std::optional<GridCheck> OutOfBounds(const BandRow& band, int row, Dialogs& dialogs) {
  const auto seconds = ParseDecimal(band.seconds);
  if (seconds && CheckTickLength(*seconds) == TickLength::OutOfBounds) {
    Warn(dialogs, "Durata scatto fuori dai limiti nella fascia " + std::to_string(row) +
                      " (al massimo 86400 secondi)\r");
    return Fail(row, kSecondsColumn);
  }
  const auto cost = ParseDecimal(band.cost);
  if (cost && !IsTickPrice(*cost)) {
    Warn(dialogs, "Costo scatto fuori dai limiti nella fascia " + std::to_string(row) +
                      " (al massimo 10000000 lire)\r");
    return Fail(row, kCostColumn);
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> ParseBandTime(std::string_view text) {
  const auto value = StrToTime(text);
  if (!value || *value < 0 || *value >= 1.0) return std::nullopt;
  return static_cast<int>(std::lround(*value * kSecondsPerDay));
}

std::string FormatBandTime(int seconds) {
  seconds = ((seconds % 86400) + 86400) % 86400;
  const int h = seconds / 3600;
  const int m = seconds % 3600 / 60;
  std::string out;
  out += static_cast<char>('0' + h / 10);
  out += static_cast<char>('0' + h % 10);
  out += '.';
  out += static_cast<char>('0' + m / 10);
  out += static_cast<char>('0' + m % 10);
  return out;
}

std::string JoinBandRow(const BandRow& row) {
  auto squeeze = [](const std::string& cell) {
    std::string out;
    for (const char c : cell)
      if (c != ' ') out += c;
    return out;
  };
  return squeeze(row.start) + ' ' + squeeze(row.end) + ' ' + squeeze(row.seconds) + ' ' +
         squeeze(row.cost);
}

void RefreshGrid(BandGrid& grid) {
  for (auto& row : grid) {
    if (row.start.empty()) row.start = "00.00";
    if (row.end.empty()) row.end = "00.00";
    if (row.seconds.empty()) row.seconds = "0";
    if (row.cost.empty()) row.cost = "0";
  }
}

std::string WithDecimalPoint(std::string_view text) {
  std::string out(text);
  if (out.find(',') == std::string::npos || !ParseTickPrice(text)) return out;
  for (char& c : out)
    if (c == ',') c = '.';
  return out;
}

bool IsTickLength(std::string_view text) {
  // A tick of no length, or of a negative one, would never fall: refused like "0".
  const auto v = ParseDecimal(text);
  return v && *v > 0;
}

bool IsNotNegative(std::string_view text) {
  const auto v = ParseDecimal(text);
  return v && *v >= 0;
}

std::string BadTimeMessage(int row, BandColumn column, std::string_view text) {
  return "Orario \"" + Printable(text) + "\" non valido nella fascia " + std::to_string(row) +
         ", colonna " + (column == kStartColumn ? "Inizio" : "Fine") +
         " (usare il formato hh.mm)\r";
}

GridCheck ValidateBandGrid(const BandGrid& grid, Dialogs& dialogs) {
  if (grid.empty()) return GridCheck{};
  // Each time is converted where the check first needs it, so the first fault in band order
  // is the one reported.
  auto timeOf = [&](std::size_t index, BandColumn column) -> std::optional<int> {
    const std::string& text = column == kStartColumn ? grid[index].start : grid[index].end;
    const auto t = ParseBandTime(text);
    if (!t) Warn(dialogs, BadTimeMessage(static_cast<int>(index) + 1, column, text));
    return t;
  };
  const auto firstStart = timeOf(0, kStartColumn);
  if (!firstStart) return Fail(1, kStartColumn);
  if (grid.size() == 1) {
    const auto end = timeOf(0, kEndColumn);
    if (!end) return Fail(1, kEndColumn);
    if (*end == *firstStart) return GridCheck{false, std::nullopt};
  }
  if (!IsTickLength(grid[0].seconds)) {
    Warn(dialogs, "Campo durata scatto errato\r");
    return Fail(1, kSecondsColumn);
  }
  // The first band's cost too: a text that is no price would be charged as some other one.
  if (!IsNotNegative(grid[0].cost)) {
    Warn(dialogs, "Costo scatto errato o negativo !\r");
    return Fail(1, kCostColumn);
  }
  if (const auto fault = OutOfBounds(grid[0], 1, dialogs)) return *fault;
  for (std::size_t i = 1; i < grid.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    const auto previousEnd = timeOf(i - 1, kEndColumn);
    if (!previousEnd) return Fail(row - 1, kEndColumn);
    const auto start = timeOf(i, kStartColumn);
    if (!start) return Fail(row, kStartColumn);
    if (*start <= *previousEnd) {
      Warn(dialogs, "Inizio periodo antecedente o uguale a fine periodo campo precedente !\r");
      return Fail(row, kStartColumn);
    }
    if (*start - *previousEnd > kMinute) {
      Warn(dialogs, "Differenza tra inizio periodo e fine periodo precedente > di 1 minuto !\r");
      return Fail(row, kStartColumn);
    }
    if (!IsTickLength(grid[i].seconds)) {
      Warn(dialogs, "Campo durata scatto errato o nullo !\r");
      return Fail(row, kSecondsColumn);
    }
    if (!IsNotNegative(grid[i].cost)) {
      Warn(dialogs, "Costo scatto errato o negativo !\r");
      return Fail(row, kCostColumn);
    }
    if (const auto fault = OutOfBounds(grid[i], row, dialogs)) return *fault;
  }
  const int lastRow = static_cast<int>(grid.size());
  const auto lastEnd = timeOf(grid.size() - 1, kEndColumn);
  if (!lastEnd) return Fail(lastRow, kEndColumn);
  if (*lastEnd < kLastMinute) {
    Warn(dialogs, "Ultima fascia diversa da 23.59\r");
    return Fail(lastRow, kEndColumn);
  }
  return GridCheck{true, std::nullopt};
}

}  // namespace orva
