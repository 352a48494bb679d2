// The --vat option of the log and bill commands.
#include "VatOption.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "tariff/Tariffe.h"

namespace orva::cli {

double VatRateOption(const Args& args, const std::string& tariffDir, int tariffIndex) {
  if (auto text = args.Get("vat")) {
    std::string t = *text;
    if (!t.empty() && t.back() == '%') t.pop_back();
    const auto v = ParseDecimal(t);
    if (!v || *v < 0 || *v > 1000) throw UsageError("--vat: aliquota IVA non valida: " + *text);
    return *v / 100.0;
  }
  TariffCatalogue catalogue;
  ScanTariffFiles(catalogue, tariffDir);
  TariffResult result;
  SilentDialogs dialogs;
  const Status st =
      EvaluateTariff(catalogue, tariffIndex, 0, 0, SystemClock().Now(), result, dialogs);
  for (const auto& m : dialogs.messages) std::fprintf(stderr, "orva32cli: %s\n", m.c_str());
  if (!st) std::fprintf(stderr, "orva32cli: %s\n", st.error.c_str());
  return result.values.vatRate;
}

}  // namespace orva::cli
