// The connection log's records and totals as JSON.
#include "LogJson.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "log/LogCost.h"
#include "log/LogFile.h"
#include "platform/DateTime.h"
#include "platform/Numbers.h"

namespace orva::cli {
namespace {

struct CallMoments {
  std::optional<TDateTime> start, end;
};

// The log holds the start date and two times of day. The end falls on the first day at or
// after the start; a call of a day or more carries its whole days in the duration, which
// counts real seconds, so an hour of daylight saving does not move the end to another day.
CallMoments Moments(const TConnObj::Fields& r, std::optional<long long> seconds) {
  CallMoments m;
  const auto date = StrToDate(r[0]);
  const auto start = StrToTime(r[1]);
  if (!date || !start) return m;
  m.start = *date + *start;
  const auto end = StrToTime(r[2]);
  if (!end) return m;
  TDateTime e = *date + *end;
  if (e < *m.start) e += 1;
  if (seconds) {
    const double missing = static_cast<double>(*seconds) - (e - *m.start) * kSecondsPerDay;
    const double days = std::round(missing / kSecondsPerDay);
    if (days > 0 && days < 100000) e += days;
  }
  m.end = e;
  return m;
}

std::optional<long long> WholeNumber(std::string_view text) {
  return ParseInteger64(text);
}

// Writes an object's members straight into the output, so a log of a million records is
// printed without building a JSON value for each.
class ObjectWriter {
 public:
  explicit ObjectWriter(std::string& out) : m_out(out) { m_out += '{'; }
  void Close() { m_out += '}'; }
  void String(std::string_view key, std::string_view value) {
    Key(key);
    if (Plain(value)) {
      m_out += '"';
      m_out += value;
      m_out += '"';
    } else {
      m_out += DumpJson(Json(std::string(value)));  // escaped; bytes that are not UTF-8 replaced
    }
  }
  void Value(std::string_view key, const Json& value) {
    Key(key);
    m_out += DumpJson(value);
  }
  void Moment(std::string_view key, std::optional<TDateTime> moment) {
    if (moment)
      String(key, IsoDateTime(*moment));
    else
      Value(key, nullptr);
  }
  // The value, then its text under key + "_text".
  template <class Write>
  void Typed(std::string_view key, std::string_view text, Write write) {
    write(key);
    std::string textKey(key);
    textKey += "_text";
    String(textKey, text);
  }

 private:
  // Printable ASCII with nothing to escape: written as it is.
  static bool Plain(std::string_view s) {
    for (const char c : s)
      if (c < 0x20 || c > 0x7e || c == '"' || c == '\\') return false;
    return true;
  }
  void Key(std::string_view key) {
    if (!m_first) m_out += ',';
    m_first = false;
    m_out += '"';
    m_out += key;
    m_out += "\":";
  }
  std::string& m_out;
  bool m_first = true;
};

}  // namespace

void AppendLogRecordJson(std::string& out, std::size_t n, const TConnObj::Fields& r) {
  ObjectWriter w(out);
  w.Value("n", n);
  const auto seconds = ParseDuration(r[3]);
  const CallMoments moments = Moments(r, seconds);
  const auto date = StrToDate(r[0]);
  w.Typed("date", r[0], [&](std::string_view k) {
    if (date)
      w.String(k, IsoDate(*date));
    else
      w.Value(k, nullptr);
  });
  w.Typed("start", r[1], [&](std::string_view k) { w.Moment(k, moments.start); });
  w.Typed("end", r[2], [&](std::string_view k) { w.Moment(k, moments.end); });
  w.Typed("duration", r[3], [&](std::string_view k) { w.Value(k, NumberOrNull(seconds)); });
  w.String("tariff", r[4]);
  w.Typed("ticks", r[5], [&](std::string_view k) { w.Value(k, NumberOrNull(WholeNumber(r[5]))); });
  w.Typed("cost", r[6], [&](std::string_view k) { w.Value(k, NumberOrNull(ParseLogCost(r[6]))); });
  w.Typed("bps", r[7], [&](std::string_view k) { w.Value(k, NumberOrNull(WholeNumber(r[7]))); });
  w.Typed("received", r[8],
          [&](std::string_view k) { w.Value(k, NumberOrNull(ParseByteCount(r[8]))); });
  w.Typed("sent", r[9],
          [&](std::string_view k) { w.Value(k, NumberOrNull(ParseByteCount(r[9]))); });
  w.String("service", r[10]);
  w.Close();
}

Json LogRecordJson(std::size_t n, const TConnObj::Fields& record) {
  std::string text;
  AppendLogRecordJson(text, n, record);
  return Json::parse(text);
}

Json LogLineJson(std::string_view line) {
  const std::array<std::string, 12> split = SplitLogLine(line, 1);
  TConnObj::Fields fields;
  for (std::size_t f = 0; f < kLogFieldCount; ++f) fields[f] = split[f + 1];
  return LogRecordJson(1, TConnObj(fields).AllFields());
}

Json LogTotalsJson(const LogTotalsAccumulator& sum, const LogTotals& t, int decimals,
                   double vatRate) {
  Json j;
  PutTyped(j, "rows", sum.Rows(), t.rows);
  PutTyped(j, "duration", sum.Seconds(), t.duration);
  PutTyped(j, "ticks", sum.Ticks(), t.ticks);
  PutTyped(j, "cost", AsShown(sum.Cost(), decimals), t.cost);
  const auto bps = sum.AverageBps();
  PutTyped(j, "bps", AsShown(bps.value_or(0), 1), t.bps);
  PutTyped(j, "received", sum.Received(), t.received);
  PutTyped(j, "sent", sum.Sent(), t.sent);
  j["vat_rate"] = vatRate;
  PutTyped(j, "total", AsShown(sum.Cost() * (1 + vatRate), decimals), t.total);
  return j;
}

}  // namespace orva::cli
