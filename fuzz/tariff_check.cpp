// Fuzzes the tariff editor's checks: any tariff file text loads into the editor, and the
// complete test, the band test and adding and deleting bands never fail unsafely.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "tariff/Settar.h"
#include "tariff/Tariffe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text =
      orva::Cp1252ToUtf8(std::string(reinterpret_cast<const char*>(data), size));
  const auto ini = orva::TIniFile::FromText(text);
  orva::SilentDialogs dialogs;
  orva::SetTarModel editor(dialogs, "./");
  editor.LoadTariff(orva::ParseTariffFile(ini), "FUZZ.TRF");
  editor.SetDiscountOn(true);
  editor.TestAll();
  for (int page = 0; page < 2; ++page) {
    editor.TestBand(page);
    for (int i = 0; i < 3 && editor.AddBand(page); ++i) {
    }
    editor.DeleteBand(page);
    editor.SelectDayClass(page, 2);
  }
  editor.ValidateTariff();
  return 0;
}
