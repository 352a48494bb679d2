// Tariff files, the tariff catalogue and the tariff evaluation.
#include "tariff/Tariffe.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <limits>

#include "core/Amounts.h"
#include "core/Currency.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "tariff/Feste.h"
#include "tariff/RawIni.h"

namespace orva {
namespace {

constexpr const char* kBandSections[3] = {"Tariffa feriale", "Tariffa prefestiva",
                                          "Tariffa festiva"};
constexpr const char* kDiscountedSections[3] = {
    "Tariffa feriale scontata", "Tariffa prefestiva scontata", "Tariffa festiva scontata"};
constexpr long long kMsPerDay = 86400000;
// Fixed-point tick costs are kept well inside 64 bits so that sums of them cannot overflow
// unnoticed; larger costs saturate.
constexpr double kMaxFixedCost = 1e17;

// "Cut to n characters" without copying when the text is already short enough.
void CutInPlace(std::string& text, std::size_t n) {
  if (text.size() > n && Utf8Length(text) > n) text = Utf8Left(text, n);
}

std::string Cut(std::string text, std::size_t n) {
  CutInPlace(text, n);
  return text;
}

struct BandView {
  std::string_view start, end, seconds, cost;
};

BandView SplitBandView(std::string_view line) {
  BandView v;
  auto take = [&line]() {
    const auto space = line.find(' ');
    std::string_view field = line.substr(0, space);
    line = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
    return field;
  };
  v.start = take();
  v.end = take();
  v.seconds = take();
  v.cost = line.empty() ? std::string_view("127") : line;
  return v;
}

// An "hh.mm" band time as milliseconds of the day; none when it is no valid time.
std::optional<long long> BandTimeMs(std::string_view text) {
  const auto t = StrToTime(text);
  if (!t) return std::nullopt;
  return std::llround(*t * static_cast<double>(kMsPerDay));
}

std::int64_t ToFixed(double cost) {
  const double scaled = std::round(cost * 10000.0);
  if (scaled > kMaxFixedCost) return static_cast<std::int64_t>(kMaxFixedCost);
  if (scaled < -kMaxFixedCost) return -static_cast<std::int64_t>(kMaxFixedCost);
  return static_cast<std::int64_t>(scaled);
}

// "hh.mm.ss" of the tick length's whole seconds, taken modulo 65536 like a 16-bit count.
void SetTickText(double seconds, std::string& text) {
  const double whole = std::fmod(std::floor(seconds), 65536.0);
  const int s = whole < 0 ? 0 : static_cast<int>(whole);
  const int parts[3] = {s / 3600, s % 3600 / 60, s % 60};
  char buffer[8];
  for (int i = 0; i < 3; ++i) {
    buffer[i * 3] = static_cast<char>('0' + parts[i] / 10);
    buffer[i * 3 + 1] = static_cast<char>('0' + parts[i] % 10);
    if (i < 2) buffer[i * 3 + 2] = '.';
  }
  text.assign(buffer, 8);
}

// The number of band lines to read for a "Fasce" count. Keys beyond those present read as
// empty lines, and the band search stops at the first of them, so a huge count is cut to
// the keys present plus one without changing what is read.
int BandCount(const TIniFile& ini, std::string_view section, int count) {
  if (count <= 0) return 0;
  if (count <= kMaxBandLines) return count;
  const int keys = static_cast<int>(ini.ReadSection(section).size());
  return std::min(count, keys + 1);
}

std::vector<std::string> ReadBandLines(const TIniFile& ini, std::string_view section) {
  std::vector<std::string> lines;
  const int n = BandCount(ini, section, ini.ReadInteger(section, "Fasce", 0));
  lines.reserve(static_cast<std::size_t>(n));
  char key[16];
  for (int i = 1; i <= n; ++i) {
    const auto len = std::snprintf(key, sizeof key, "%d", i);
    lines.push_back(
        ini.ReadString(section, std::string_view(key, static_cast<std::size_t>(len)), ""));
  }
  return lines;
}

using BandViews = std::vector<std::string_view>;

// The load of one day class from a file that exists, once it is read. The band lines are
// views into the file's bytes, cut to 128 characters (one byte each in the file's code page).
// Numbers beyond what a tariff holds make the file unusable: they are reported, never metered.
Status LoadFromRaw(const RawIni& ini, int ticks, DayClass dayClass, TDateTime elapsed,
                   BandViews& bands, TariffValues& values) {
  auto cut = [](std::string_view v) { return v.substr(0, kMaxValueChars); };
  const std::string_view vatText = cut(ini.Value(kGeneralSection, "Aliquota IVA").value_or("20"));
  const auto vat = ParseDecimal(vatText);
  if (vat && !(std::isfinite(*vat) && *vat >= 0 && *vat <= kMaxVatPercent))
    return Status::Fail("l'aliquota IVA \"" + Cp1252ToUtf8(vatText) +
                        "\" è fuori dai limiti (da 0 a 100)");
  values.vatRate = vat ? *vat / 100.0 : kDefaultVatRate;
  const std::string_view fixedText =
      cut(ini.Value(kGeneralSection, "Addebito fisso").value_or("0"));
  const auto fixedNumber = ParseDecimal(fixedText);
  if (fixedNumber &&
      !(std::isfinite(*fixedNumber) && *fixedNumber >= 0 && *fixedNumber <= kMaxTickPrice))
    return Status::Fail("l'addebito fisso \"" + Cp1252ToUtf8(fixedText) +
                        "\" è fuori dai limiti (da 0 a 10000000)");
  values.euroPrices =
      ParseCurrencyName(ini.Value(kGeneralSection, "Valuta").value_or("Lire")) == Currency::Euro;
  values.fixedChargeUnit = ini.Integer(kGeneralSection, "Addebito fisso espresso in", 0);
  if (values.euroPrices && values.fixedChargeUnit == 1) {
    // An amount in euro ("0.50"): the meter charges it as whole lire.
    const double lire = fixedNumber ? ToLire(*fixedNumber, Currency::Euro) : 0;
    if (!(lire <= kMaxTickPrice))
      return Status::Fail("l'addebito fisso \"" + Cp1252ToUtf8(fixedText) +
                          "\" è fuori dai limiti (fino a 10000000 lire)");
    values.fixedCharge = static_cast<int>(std::llround(lire));
  } else {
    const auto fixed = ParseInteger(fixedText);
    values.fixedCharge = fixed ? *fixed : 0;
  }

  bands.clear();
  bool discounted = false;
  const int unit = ini.Integer(kDiscountSection, "Attivo a", -1);
  if (unit == 0 || unit == 1) {
    const int after = ini.Integer(kDiscountSection, "Dopo", -1);
    if (after != -1) {
      if (unit == 0) {
        discounted = after <= ticks;
      } else if (std::isfinite(elapsed)) {
        // Compared in milliseconds so that an elapsed time of exactly N seconds counts.
        const double ms = std::round(elapsed * static_cast<double>(kMsPerDay));
        discounted = ms >= static_cast<double>(after) * 1000.0;
      }
    }
  }
  values.discountActive = discounted;

  const int cls = static_cast<int>(dayClass);
  const char* section = discounted ? kDiscountedSections[cls] : kBandSections[cls];
  int n = ini.Integer(section, "Fasce", 0);
  // Keys beyond those present read as empty lines, and the band search stops at the first of
  // them, so a huge count is cut to the keys present plus one without changing the outcome.
  if (n > kMaxBandLines) n = std::min(n, ini.KeyCount(section) + 1);
  char key[16];
  for (int i = 1; i <= n; ++i) {
    const auto len = std::snprintf(key, sizeof key, "%d", i);
    bands.push_back(
        cut(ini.Value(section, std::string_view(key, static_cast<std::size_t>(len))).value_or("")));
  }
  return Status::Ok();
}

void LoadDefault(BandViews& bands, TariffValues& values) {
  bands.assign(1, kDefaultBandLine);
  values.euroPrices = false;
  values.vatRate = kDefaultVatRate;
  values.fixedCharge = 0;
}

bool ReadIni(const std::string& path, TIniFile& ini) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) {
    // Files copied from Windows come in any letter case.
    const std::string other = ResolveNoCase(path);
    if (other == path) return false;
    bytes = ReadFileBytes(other);
    if (!bytes) return false;
  }
  ini = TIniFile::FromText(Cp1252ToUtf8(*bytes));
  return true;
}

// "hh.mm" as the editor writes it is read directly; anything else goes through the general
// time conversion.
std::optional<long long> BandTime(std::string_view text) {
  auto digit = [&text](std::size_t i) {
    return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1;
  };
  if (text.size() == 5 && text[2] == '.') {
    const int h1 = digit(0), h2 = digit(1), m1 = digit(3), m2 = digit(4);
    if (h1 >= 0 && h2 >= 0 && m1 >= 0 && m2 >= 0) {
      const int h = h1 * 10 + h2, m = m1 * 10 + m2;
      if (h < 24 && m < 60) return (h * 60LL + m) * 60000;
      return std::nullopt;
    }
  }
  return BandTimeMs(text);
}

// The tick length of a band's seconds field: one that is not a number, zero or negative
// would stop the meter, so it is 60 s. (One beyond the bounds is a fault found before.)
double TickSecondsOf(std::string_view field) {
  const auto seconds = ParseDecimal(field);
  return seconds && CheckTickLength(*seconds) == TickLength::Usable ? *seconds
                                                                    : kDefaultTickSeconds;
}

// A band's price in lire: a euro price is converted and kept to the ten-thousandth of a lira,
// the finest a recalculation counts, so a euro tariff and its lire twin charge the same.
std::optional<double> BandPriceLire(std::string_view text, bool euro) {
  const auto price = ParseDecimal(text);
  if (!price || !euro) return price;
  return std::round(ToLire(*price, Currency::Euro) * 10000.0) / 10000.0;
}

// What is wrong with a band's numbers beyond what a tariff holds; empty when nothing is.
std::string BandNumbersFault(const BandView& v, bool euro) {
  const auto seconds = ParseDecimal(v.seconds);
  if (seconds && CheckTickLength(*seconds) == TickLength::OutOfBounds)
    return "ha una durata scatto fuori dai limiti (fino a 86400 secondi)";
  const auto cost = BandPriceLire(v.cost, euro);
  if (cost && !IsTickPrice(*cost))
    return "ha un costo scatto fuori dai limiti (fino a 10000000 lire)";
  return {};
}

// The band search over lines in memory; cp1252 tells that the lines are raw file bytes (for
// the error text). keepTick: tick seconds and text on entry are this tariff's own and stay
// when no band matches; otherwise the band that began last before the moment gives them.
Status FindBandIn(const BandViews& bands, TDateTime timeOfDay, TariffResult& result,
                  bool fixedPoint, bool cp1252, bool keepTick = true) {
  TariffValues& values = result.values;
  values.tickCost = kDefaultTickCost;
  if (fixedPoint) result.tickCostFixed = ToFixed(kDefaultTickCost);
  const double t = std::isfinite(timeOfDay) ? timeOfDay : 0.0;
  const long long ms = std::llround(std::clamp(t, 0.0, 1.0) * static_cast<double>(kMsPerDay));
  std::optional<std::size_t> begunLast;
  long long begunLastAt = -1;
  for (std::size_t i = 0; i < bands.size(); ++i) {
    const BandView v = SplitBandView(bands[i]);
    auto fail = [&](const std::string& fault) {
      const std::string line = cp1252 ? Cp1252ToUtf8(bands[i]) : std::string(bands[i]);
      return Status::Fail("la fascia " + std::to_string(i + 1) + " \"" + line + "\" " + fault);
    };
    if (const std::string fault = BandNumbersFault(v, values.euroPrices); !fault.empty())
      return fail(fault);
    // The cost is taken from every line examined, so with no match the last line's stays.
    const auto cost = BandPriceLire(v.cost, values.euroPrices);
    values.tickCost = cost ? *cost : kDefaultTickCost;
    if (fixedPoint) result.tickCostFixed = ToFixed(values.tickCost);
    const auto start = BandTime(v.start);
    const auto end = BandTime(v.end);
    if (!start || !end) return fail("non ha un orario valido");
    // A band's end "hh.mm" stands for hh:mm:00, so the rest of that minute matches no band.
    if (*start <= ms && ms <= *end) {
      const double s = TickSecondsOf(v.seconds);
      values.tickSeconds = s;
      SetTickText(s, values.tickText);
      return Status::Ok();
    }
    if (*start <= ms && *start > begunLastAt) {
      begunLastAt = *start;
      begunLast = i;
    }
  }
  // The last minute of a band after its first instant: the band it ends is the one in force.
  if (!keepTick && begunLast) {
    const double s = TickSecondsOf(SplitBandView(bands[*begunLast]).seconds);
    values.tickSeconds = s;
    SetTickText(s, values.tickText);
  }
  return Status::Ok();
}

// The evaluation once the file's bytes are at hand (null: no file, the default band).
Status EvaluateRaw(const RawIni* ini, const std::string& path, int ticks, TDateTime elapsed,
                   TDateTime moment, TariffResult& result, bool fixedPoint) {
  TariffValues& values = result.values;
  values.tickCost = kDefaultTickCost;
  values.fixedCharge = 0;
  if (fixedPoint) result.tickCostFixed = ToFixed(kDefaultTickCost);
  // A holiday replaces whatever its weekday or Saturday load set, so only the class in force
  // is loaded.
  const DayClass dayClass = DayClassOf(moment);
  result.dayClass = dayClass;
  thread_local BandViews bands;
  if (ini) {
    if (Status loaded = LoadFromRaw(*ini, ticks, dayClass, elapsed, bands, values); !loaded) {
      loaded.error = "Errore nel file tariffe " + path + ": " + loaded.error;
      return loaded;
    }
  } else {
    LoadDefault(bands, values);
  }
  const bool ownTick = !values.tickFrom.empty() && values.tickFrom == path;
  Status status = FindBandIn(bands, TimePart(moment), result, fixedPoint, true, ownTick);
  if (status) values.tickFrom = path;
  if (!status) {
    status.error = "Errore nel file tariffe " + path + ", sezione [" +
                   BandSection(dayClass, values.discountActive) + "]: " + status.error;
  }
  return status;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

Status EvaluateFile(const std::string& path, int ticks, TDateTime elapsed, TDateTime moment,
                    TariffResult& result, Dialogs& dialogs, bool fixedPoint) {
  thread_local std::string bytes;
  thread_local RawIni ini;
  // The file is read again whenever it is another file or has changed since it was read (its
  // inode, size, modification or change time): the meter asks at every tick, and a file saved
  // meanwhile counts from the next evaluation on.
  thread_local std::string readPath;
  thread_local struct stat readIdentity {};
  struct stat now {};
  const bool known = ::stat(path.c_str(), &now) == 0;
  if (known && !readPath.empty() && readPath == path && SameFile(now, readIdentity))
    return EvaluateRaw(&ini, path, ticks, elapsed, moment, result, fixedPoint);
  readPath.clear();
  if (!ReadWholeFile(path, bytes)) {
    // Each day-class load reports the missing file: a holiday that is not a Sunday is
    // loaded twice (as its weekday, then as "Festiva"), so it is reported twice.
    const int day = DayOfWeek(moment);
    const int loads = (day != 1 ? 1 : 0) + (DayClassOf(moment) == DayClass::Festiva ? 1 : 0);
    for (int i = 0; i < loads; ++i)
      dialogs.Message(MissingTariffMessage(path), MsgType::Error, MsgButtons::Ok);
    return EvaluateRaw(nullptr, path, ticks, elapsed, moment, result, fixedPoint);
  }
  ini.Index(bytes);
  // A file written in the last seconds may be written again within the same tick of the
  // file system's clock, leaving the same times: such a file is read again next time.
  timespec clock{};
  ::clock_gettime(CLOCK_REALTIME, &clock);
  if (known && clock.tv_sec - now.st_mtim.tv_sec > 2) {
    readPath = path;
    readIdentity = now;
  }
  return EvaluateRaw(&ini, path, ticks, elapsed, moment, result, fixedPoint);
}

}  // namespace

const char* DayClassName(DayClass dayClass) {
  switch (dayClass) {
    case DayClass::Feriale:
      return "Feriale";
    case DayClass::Prefestiva:
      return "Prefestiva";
    case DayClass::Festiva:
      return "Festiva";
  }
  return "Feriale";
}

std::string BandSection(DayClass dayClass, bool discounted) {
  const int cls = static_cast<int>(dayClass);
  return discounted ? kDiscountedSections[cls] : kBandSections[cls];
}

BandFields SplitBandLine(std::string_view line) {
  const BandView v = SplitBandView(line);
  return {std::string(v.start), std::string(v.end), std::string(v.seconds), std::string(v.cost)};
}

// ---------------------------------------------------------------------------------------------
// Whole files

std::string TariffFileName(const std::string& path) {
  std::string name = FileNameOf(path);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  name += ".TRF";
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

TariffFile ParseTariffFile(const TIniFile& ini) {
  TariffFile t;
  t.description = Cut(ini.ReadString(kGeneralSection, "Descrizione", "None"), 64);
  t.abbreviation = Cut(ini.ReadString(kGeneralSection, "Abbreviazione", "None"), 5);
  t.vatText = Cut(ini.ReadString(kGeneralSection, "Aliquota IVA", "20"), 10);
  t.fixedChargeText = Cut(ini.ReadString(kGeneralSection, "Addebito fisso", "0"), 10);
  t.fixedChargeUnit = ini.ReadInteger(kGeneralSection, "Addebito fisso espresso in", 0);
  t.currency =
      ParseCurrencyName(ini.ReadString(kGeneralSection, "Valuta", "Lire")).value_or(Currency::Lire);
  for (int c = 0; c < 3; ++c) {
    t.bands[c] = ReadBandLines(ini, kBandSections[c]);
    t.discountBands[c] = ReadBandLines(ini, kDiscountedSections[c]);
  }
  t.discountUnit = ini.ReadInteger(kDiscountSection, "Attivo a", -1);
  t.discountAfter = ini.ReadInteger(kDiscountSection, "Dopo", -1);
  t.discountEnabled = t.discountAfter != -1;
  return t;
}

Result<TariffFile> ReadTariffFile(const std::string& path) {
  TIniFile ini = TIniFile::FromText({});
  if (!ReadIni(path, ini)) return Result<TariffFile>::Fail(MissingTariffMessage(path));
  TariffFile t = ParseTariffFile(ini);
  t.fileName = TariffFileName(path);
  return Result<TariffFile>::Ok(std::move(t));
}

Status WriteTariffFile(const std::string& path, const TariffFile& t) {
  TIniFile ini(path);
  ini.EraseSection(kGeneralSection);
  for (const char* s : kBandSections) ini.EraseSection(s);
  ini.EraseSection(kDiscountSection);
  for (const char* s : kDiscountedSections) ini.EraseSection(s);

  ini.WriteString(kGeneralSection, "Nome file", t.fileName);
  ini.WriteString(kGeneralSection, "Abbreviazione", t.abbreviation);
  ini.WriteString(kGeneralSection, "Descrizione", t.description);
  ini.WriteString(kGeneralSection, "Aliquota IVA", t.vatText);
  // Lire files stay as they always were, readable by any older reader.
  if (t.currency == Currency::Euro) ini.WriteString(kGeneralSection, "Valuta", "Euro");
  ini.WriteString(kGeneralSection, "Addebito fisso", t.fixedChargeText);
  ini.WriteInteger(kGeneralSection, "Addebito fisso espresso in", t.fixedChargeUnit);
  auto writeBands = [&ini](const char* section, const std::vector<std::string>& lines) {
    ini.WriteInteger(section, "Fasce", static_cast<long long>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i)
      ini.WriteString(section, std::to_string(i + 1), lines[i]);
  };
  for (int c = 0; c < 3; ++c) writeBands(kBandSections[c], t.bands[c]);
  if (t.discountEnabled) {
    ini.WriteInteger(kDiscountSection, "Attivo a", t.discountUnit);
    ini.WriteInteger(kDiscountSection, "Dopo", t.discountAfter);
    for (int c = 0; c < 3; ++c) writeBands(kDiscountedSections[c], t.discountBands[c]);
  }
  return ini.UpdateFile();
}

// ---------------------------------------------------------------------------------------------
// Catalogue

void TariffCatalogue::Clear() {
  errors.clear();
  descriptions.clear();
  abbreviations.clear();
  paths.clear();
}

int TariffCatalogue::IndexOfDescription(std::string_view description) const {
  const std::string key = FoldCase(description);
  const auto it =
      std::lower_bound(descriptions.begin(), descriptions.end(), key,
                       [](const std::string& a, const std::string& k) { return FoldCase(a) < k; });
  if (it == descriptions.end() || FoldCase(*it) != key) return -1;
  return static_cast<int>(it - descriptions.begin());
}

int TariffCatalogue::IndexOfAbbreviation(std::string_view abbreviation) const {
  for (std::size_t i = 0; i < abbreviations.size(); ++i)
    if (EqualsNoCase(abbreviations[i], abbreviation)) return static_cast<int>(i);
  return -1;
}

int TariffCatalogue::Add(std::string description, std::string abbreviation, std::string path) {
  const std::string key = FoldCase(description);
  const auto it =
      std::lower_bound(descriptions.begin(), descriptions.end(), key,
                       [](const std::string& a, const std::string& k) { return FoldCase(a) < k; });
  if (it != descriptions.end() && FoldCase(*it) == key) return -1;
  const auto at = it - descriptions.begin();
  descriptions.insert(it, std::move(description));
  abbreviations.insert(abbreviations.begin() + at, std::move(abbreviation));
  paths.insert(paths.begin() + at, std::move(path));
  return static_cast<int>(at);
}

void ScanTariffFiles(TariffCatalogue& catalogue, const std::string& directory,
                     const std::function<void(const std::string&)>& onFile) {
  catalogue.Clear();
  // Full paths: the evaluation reads them later whatever the working folder is then.
  std::error_code error;
  std::string dir = std::filesystem::absolute(directory.empty() ? "." : directory, error);
  if (error) dir = directory.empty() ? "." : directory;
  if (dir.back() != '/') dir += '/';
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      if (name.size() <= 4 || !EqualsNoCase(name.substr(name.size() - 4), ".trf")) continue;
      struct stat st {};
      if (::stat((dir + e->d_name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
      names.emplace_back(name);
    }
    ::closedir(d);
  }
  // The order of a directory listing is arbitrary; name order makes the catalogue (and which
  // of two equal descriptions is kept) the same on every start.
  std::sort(names.begin(), names.end());
  for (const auto& name : names) {
    if (onFile) onFile(name);
    const std::string path = dir + name;
    TIniFile ini = TIniFile::FromText({});
    if (!ReadIni(path, ini)) {
      // Kept under its file name, so the index of every later tariff stays what the
      // associations and the settings hold, and a call on it says why it cannot be metered.
      catalogue.errors.push_back(MissingTariffMessage(path));
      catalogue.Add(Cut(Cp1252ToUtf8(name), 64), "None", path);
      continue;
    }
    std::string description = ini.ReadString(kGeneralSection, "Descrizione", "");
    if (description.empty()) description = Cp1252ToUtf8(name);
    std::string abbreviation = ini.ReadString(kGeneralSection, "Abbreviazione", "None");
    catalogue.Add(Cut(std::move(description), 64), Cut(std::move(abbreviation), 64), path);
  }
}

// ---------------------------------------------------------------------------------------------
// Evaluation

std::string MissingTariffMessage(const std::string& path) {
  // A file that is there but cannot be read (no permission, a folder in its place) is not
  // "missing": the person must learn why, or he looks for a file that is plainly there.
  const std::string found = ResolveNoCase(path);
  struct stat st {};
  int err = EIO;
  if (::stat(found.c_str(), &st) != 0) {
    err = errno;
  } else if (S_ISDIR(st.st_mode)) {
    err = EISDIR;
  } else if (const int fd = ::open(found.c_str(), O_RDONLY | O_CLOEXEC); fd < 0) {
    err = errno;
  } else {
    ::close(fd);
  }
  if (err == ENOENT || err == ENOTDIR) return "File tariffe " + path + " non trovato !";
  return "File tariffe " + path + " non leggibile: " + SystemErrorText(err) + " !";
}

DayClass DayClassOf(TDateTime date) {
  const int day = DayOfWeek(date);
  if (day == 1 || IsHoliday(date)) return DayClass::Festiva;
  return day == 7 ? DayClass::Prefestiva : DayClass::Feriale;
}

void LoadDayClassBands(const std::string& path, int ticks, DayClass dayClass, TDateTime elapsed,
                       BandList& bands, TariffValues& values, Dialogs& dialogs) {
  std::string bytes;
  BandViews views;
  if (!ReadWholeFile(path, bytes)) {
    dialogs.Message(MissingTariffMessage(path), MsgType::Error, MsgButtons::Ok);
    LoadDefault(views, values);
  } else {
    RawIni ini;
    ini.Index(bytes);
    // Numbers out of bounds leave the bands read so far; the evaluation reports them.
    (void)LoadFromRaw(ini, ticks, dayClass, elapsed, views, values);
  }
  bands.clear();
  for (const auto v : views) bands.push_back(Cp1252ToUtf8(v));
}

Status FindBand(const BandList& bands, TDateTime timeOfDay, TariffResult& result, bool fixedPoint) {
  thread_local BandViews views;
  views.assign(bands.begin(), bands.end());
  return FindBandIn(views, timeOfDay, result, fixedPoint, false);
}

LoadedTariff::LoadedTariff(const std::string& path) : m_path(path) {
  m_found = ReadWholeFile(path, m_bytes);
  if (m_found) m_ini.Index(m_bytes);
}

LoadedTariff::LoadedTariff(std::string path, std::string bytes)
    : m_path(std::move(path)), m_found(true), m_bytes(std::move(bytes)) {
  m_ini.Index(m_bytes);
}

Status LoadedTariff::Evaluate(int ticks, TDateTime elapsed, TDateTime moment, TariffResult& result,
                              bool fixedPoint) const {
  return EvaluateRaw(m_found ? &m_ini : nullptr, m_path, ticks, elapsed, moment, result,
                     fixedPoint);
}

LoadedTariff::Steady LoadedTariff::SteadyFrom(int ticks, TDateTime elapsed,
                                              TDateTime moment) const {
  Steady steady;
  const double day = std::floor(moment);
  steady.until = day + 1.0;  // the day class may change at midnight
  BandViews bands;
  TariffValues values;
  if (m_found) {
    if (!LoadFromRaw(m_ini, ticks, DayClassOf(moment), elapsed, bands, values)) {
      steady.until = moment;  // nothing to step over: every tick is evaluated
      return steady;
    }
    if (!values.discountActive) {
      const int unit = m_ini.Integer(kDiscountSection, "Attivo a", -1);
      const int after = m_ini.Integer(kDiscountSection, "Dopo", -1);
      if ((unit == 0 || unit == 1) && after != -1) {
        steady.ticksBelow = after;
        steady.secondsBelow = after;
      }
    }
  } else {
    LoadDefault(bands, values);
  }
  // Which band matches changes only where a band starts, or just after one ends.
  const long long now =
      std::llround(std::clamp(TimePart(moment), 0.0, 1.0) * static_cast<double>(kMsPerDay));
  long long next = kMsPerDay;
  for (const std::string_view band : bands) {
    const BandView v = SplitBandView(band);
    const auto start = BandTime(v.start);
    const auto end = BandTime(v.end);
    if (!start || !end) {
      steady.until = moment;
      return steady;
    }
    for (const long long edge : {*start, *end + 1})
      if (edge > now && edge < next) next = edge;
  }
  steady.until = std::min(steady.until, day + static_cast<double>(next) / kMsPerDay);
  return steady;
}

std::string EvaluatedTariffPath(const TariffCatalogue& catalogue, int index) {
  if (catalogue.Empty()) return {};
  if (index < 0 || index >= catalogue.Size() || index > 255) index = 0;
  return catalogue.paths[static_cast<std::size_t>(index)];
}

Status EvaluateTariffFile(const std::string& path, int ticks, TDateTime elapsed, TDateTime moment,
                          TariffResult& result, Dialogs& dialogs) {
  return EvaluateFile(path, ticks, elapsed, moment, result, dialogs, false);
}

Status EvaluateTariffFileRecalc(const std::string& path, int ticks, TDateTime elapsed,
                                TDateTime moment, TariffResult& result, Dialogs& dialogs) {
  return EvaluateFile(path, ticks, elapsed, moment, result, dialogs, true);
}

Status EvaluateTariff(const TariffCatalogue& catalogue, int index, int ticks, TDateTime elapsed,
                      TDateTime moment, TariffResult& result, Dialogs& dialogs) {
  // An empty catalogue has no file to read: the default band, without any message.
  if (catalogue.Empty()) return LoadedTariff().Evaluate(ticks, elapsed, moment, result, false);
  return EvaluateFile(EvaluatedTariffPath(catalogue, index), ticks, elapsed, moment, result,
                      dialogs, false);
}

Status EvaluateTariffRecalc(const TariffCatalogue& catalogue, int index, int ticks,
                            TDateTime elapsed, TDateTime moment, TariffResult& result,
                            Dialogs& dialogs) {
  if (catalogue.Empty()) return LoadedTariff().Evaluate(ticks, elapsed, moment, result, true);
  return EvaluateFile(EvaluatedTariffPath(catalogue, index), ticks, elapsed, moment, result,
                      dialogs, true);
}

}  // namespace orva
