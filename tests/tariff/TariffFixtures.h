// Tariff files written for tests.
#pragma once

#include <initializer_list>
#include <string>

#include "TempDir.h"
#include "platform/DateTime.h"

namespace orva::test {

// Lines joined with CR LF, as the editor writes them.
inline std::string CrLf(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* l : lines) text += std::string(l) + "\r\n";
  return text;
}

// The example tariff: three weekday bands, two Saturday bands, one for holidays.
inline std::string ExampleTariff() {
  return CrLf({"[Dati generali]", "Nome file=ESEMPIO.TRF", "Abbreviazione=ESE",
               "Descrizione=Tariffa di esempio", "Aliquota IVA=20", "Addebito fisso=1",
               "Addebito fisso espresso in=0", "[Tariffa feriale]", "Fasce=3",
               "1=00.00 07.59 240 127", "2=08.00 18.29 60 127", "3=18.30 23.59 120 127",
               "[Tariffa prefestiva]", "Fasce=2", "1=00.00 12.59 60 127", "2=13.00 23.59 240 127",
               "[Tariffa festiva]", "Fasce=1", "1=00.00 23.59 240 127"});
}

inline std::string WriteTariff(const TempDir& dir, const std::string& name,
                               const std::string& text) {
  const std::string path = dir.File(name);
  WriteBytes(path, text);
  return path;
}

inline TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s);
}

}  // namespace orva::test
