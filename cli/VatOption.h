// The --vat option of the log and bill commands.
#pragma once

#include <string>

#include "Args.h"

namespace orva::cli {

// --vat in percent, as the tariff files write it ("20" or "20%"); without it the VAT rate of
// the selected tariff (index tariffIndex, "Classe tariffa") at this moment. Messages of the
// evaluation go to stderr.
double VatRateOption(const Args& args, const std::string& tariffDir, int tariffIndex);

}  // namespace orva::cli
