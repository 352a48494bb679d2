// Tariff files (".TRF", INI layout), the tariff catalogue built at start-up, and the
// evaluation that gives tick length, tick cost, VAT and fixed charge for a moment.
//
// The evaluation keeps no state: it reads the tariff file on every call, so a change on disk
// takes effect at the next evaluation.
#pragma once

#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Currency.h"
#include "core/TariffValues.h"
#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Result.h"
#include "tariff/RawIni.h"

namespace orva {

// ---------------------------------------------------------------------------------------------
// File layout

enum class DayClass { Feriale = 0, Prefestiva = 1, Festiva = 2 };
// "Feriale", "Prefestiva", "Festiva".
const char* DayClassName(DayClass dayClass);

inline constexpr const char* kGeneralSection = "Dati generali";
inline constexpr const char* kDiscountSection = "Sconto";
inline constexpr const char* kDiscountedSuffix = " scontata";
// "Tariffa feriale", "Tariffa prefestiva", "Tariffa festiva", with " scontata" appended for
// the discounted lists.
std::string BandSection(DayClass dayClass, bool discounted);

// The band used when there is no file to read: the default tick (TariffValues) all day.
inline constexpr const char* kDefaultBandLine = "00.00 23.59 60 127";
// Band lines, "Aliquota IVA" and "Addebito fisso" are read as at most this many characters.
inline constexpr std::size_t kMaxValueChars = 128;

// One band line "start end seconds cost", split as the reader does: the start runs to the
// first space, the end to the next, the tick length to the next space or the end of the
// text, and the cost is everything after it ("127" when nothing is left). Missing fields are
// empty.
struct BandFields {
  std::string start, end, seconds, cost;
  bool operator==(const BandFields&) const = default;
};
BandFields SplitBandLine(std::string_view line);

// The "Fasce" count of a section is untrusted: counts above this are cut to the number of
// keys the section holds (plus one), which reads the same lines.
inline constexpr int kMaxBandLines = 1440;

// A whole tariff file as the tariff editor loads and saves it.
struct TariffFile {
  std::string fileName = "NONAME.TRF";  // "Nome file": written, never read
  std::string abbreviation;             // at most 5 characters
  std::string description;              // at most 64 characters
  std::string vatText = "0";            // "Aliquota IVA", at most 10 characters
  std::string fixedChargeText = "0";    // "Addebito fisso", at most 10 characters
  int fixedChargeUnit = 0;              // 0 ticks ("Scatti"), 1 an amount ("Lire"/"Euro")
  // "Valuta": what the band prices and an amount fixed charge are written in; absent, lire.
  Currency currency = Currency::Lire;
  bool discountEnabled = false;  // "Tariffa scontata attivata"
  int discountUnit = -1;         // "Attivo a": 0 ticks, 1 seconds
  int discountAfter = -1;        // "Dopo"
  // Indexed by DayClass: the ordinary and the discounted band lines.
  std::array<std::vector<std::string>, 3> bands;
  std::array<std::vector<std::string>, 3> discountBands;
  bool operator==(const TariffFile&) const = default;
};

// Reads a tariff file with the editor's defaults and cuts: description and abbreviation
// "None" when missing (cut to 64 and 5), VAT "20" and fixed charge "0" (cut to 10), the
// discount switch on when "Dopo" is not -1; fileName is TariffFileName(path). A missing file
// is a failure.
Result<TariffFile> ReadTariffFile(const std::string& path);
// Reads an INI already in memory the same way (fileName left at its default).
TariffFile ParseTariffFile(const TIniFile& ini);
// The name the editor gives a loaded file: without folder, upper case, extension ".TRF".
std::string TariffFileName(const std::string& path);

// The editor's save: erases the eight tariff sections in order, keeps every other section,
// writes "Dati generali", the three band sections and, only with the discount switch on,
// "Sconto" and the three discounted sections. The file is replaced crash-safely.
Status WriteTariffFile(const std::string& path, const TariffFile& tariff);

// ---------------------------------------------------------------------------------------------
// Catalogue

// The tariff files found at start-up as three parallel lists; a tariff is named everywhere
// by its index here. Descriptions are sorted without regard to case and hold no duplicates:
// of two files with the same description the first one found (in file name order) is kept.
struct TariffCatalogue {
  std::vector<std::string> descriptions;
  std::vector<std::string> abbreviations;
  std::vector<std::string> paths;
  // Why files of the folder could not be read (each stays in the catalogue under its name).
  std::vector<std::string> errors;

  int Size() const { return static_cast<int>(descriptions.size()); }
  bool Empty() const { return descriptions.empty(); }
  void Clear();
  // The index of a description compared without regard to case, or -1.
  int IndexOfDescription(std::string_view description) const;
  // The first index whose abbreviation equals the text (case ignored), or -1.
  int IndexOfAbbreviation(std::string_view abbreviation) const;
  // Adds one entry in sorted place; returns its index, or -1 when the description is there.
  int Add(std::string description, std::string abbreviation, std::string path);
};

// Fills the catalogue from every "*.TRF" file (letter case ignored) of the folder: the
// description ("Descrizione", the file name when empty) and the abbreviation ("Abbreviazione",
// "None" when missing), each cut to 64 characters, and the full path. onFile, when given,
// gets each file name before it is read (the splash window's status line).
void ScanTariffFiles(TariffCatalogue& catalogue, const std::string& directory,
                     const std::function<void(const std::string& fileName)>& onFile = {});

// ---------------------------------------------------------------------------------------------
// Evaluation

// The answer of one evaluation: the tariff values and what only the evaluation tells. The
// caller owns it and passes it in again: tick seconds and tick text keep their value when no
// band matches.
struct TariffResult {
  TariffValues values;
  // Recalculation variant: the tick cost in units of 1/10000 lira (127.0000 when the cost is
  // not a number). The live evaluation leaves it alone.
  std::int64_t tickCostFixed = 1270000;
  // The day class whose bands were used.
  DayClass dayClass = DayClass::Feriale;
};

using BandList = std::vector<std::string>;

// The message shown when a tariff file is missing, or names why it cannot be read.
std::string MissingTariffMessage(const std::string& path);

// Reads one day class of a tariff file into bands and sets VAT rate, fixed charge, its unit
// and the discount flag. A missing file shows "File tariffe <path> non trovato !" (error, OK)
// and gives the single default band, VAT 20 % and no fixed charge.
void LoadDayClassBands(const std::string& path, int ticks, DayClass dayClass, TDateTime elapsed,
                       BandList& bands, TariffValues& values, Dialogs& dialogs);

// Picks the band for the time of day (a fraction of a day) and sets tick seconds, tick cost
// and tick text; fixedPoint also sets tickCostFixed. A tick length that is not a number, or
// not above zero, is 60 seconds. A band start or end that is not an "hh.mm" time stops the
// search with a failure naming the band (its number in the list and its text).
Status FindBand(const BandList& bands, TDateTime timeOfDay, TariffResult& result,
                bool fixedPoint = false);

// The whole evaluation of a catalogue tariff for a moment (now for the live meter). An index
// outside the catalogue, or above 255, evaluates tariff 0; an empty catalogue gives the
// default band, VAT 20 % and no fixed charge without any message. A failure names the tariff
// file and the band line that could not be read.
Status EvaluateTariff(const TariffCatalogue& catalogue, int index, int ticks, TDateTime elapsed,
                      TDateTime moment, TariffResult& result, Dialogs& dialogs);
// The same for a tariff file given by its path.
Status EvaluateTariffFile(const std::string& path, int ticks, TDateTime elapsed, TDateTime moment,
                          TariffResult& result, Dialogs& dialogs);

// The recalculation variant used to re-price a past call: as above, and the tick cost is also
// given in fixed point (tickCostFixed, 1/10000 lira).
Status EvaluateTariffRecalc(const TariffCatalogue& catalogue, int index, int ticks,
                            TDateTime elapsed, TDateTime moment, TariffResult& result,
                            Dialogs& dialogs);
Status EvaluateTariffFileRecalc(const std::string& path, int ticks, TDateTime elapsed,
                                TDateTime moment, TariffResult& result, Dialogs& dialogs);

// A tariff file read once and evaluated many times (the recalculation of a past call prices
// every tick of it from one reading). Without a file it evaluates as the default band.
class LoadedTariff {
 public:
  // No file: the default band, VAT 20 %, no fixed charge.
  LoadedTariff() = default;
  // Reads the file now; found() tells whether it was there.
  explicit LoadedTariff(const std::string& path);
  // A file's bytes already in memory; path names it in error texts.
  LoadedTariff(std::string path, std::string bytes);
  // The index points into the bytes it holds: not copied, not moved.
  LoadedTariff(const LoadedTariff&) = delete;
  LoadedTariff& operator=(const LoadedTariff&) = delete;
  bool found() const { return m_found; }
  const std::string& path() const { return m_path; }
  // Evaluates without reading again: day class, discount, band, as EvaluateTariff does.
  Status Evaluate(int ticks, TDateTime elapsed, TDateTime moment, TariffResult& result,
                  bool fixedPoint) const;

  // How long an evaluation at these arguments keeps giving the result it gives now: until
  // the moment of the next band start or end of the day class in force (or the next
  // midnight), and, while the discount has not begun, below the ticks and the elapsed
  // seconds at which it may begin. A re-pricing steps over such a span in one go.
  struct Steady {
    TDateTime until = 0;
    long long ticksBelow = LLONG_MAX;
    double secondsBelow = HUGE_VAL;
  };
  Steady SteadyFrom(int ticks, TDateTime elapsed, TDateTime moment) const;

 private:
  std::string m_path;
  bool m_found = false;
  std::string m_bytes;
  RawIni m_ini;
};

// The catalogue path that an evaluation of this index reads; empty for an empty catalogue.
std::string EvaluatedTariffPath(const TariffCatalogue& catalogue, int index);

// The day class of a date: "Festiva" on Sundays and holidays, "Prefestiva" on other
// Saturdays, "Feriale" otherwise.
DayClass DayClassOf(TDateTime date);

}  // namespace orva
