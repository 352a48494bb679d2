// "Confronta tariffe": the rows the log window shows, handed to the comparison dialog with the
// program's tariffs, currency and the report's printing route.
#include "log/ui/Logform.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "log/ui/TariffCompareDlg.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

// The first and last day of the calls; today when none has a readable date.
std::pair<TDateTime, TDateTime> DaysOf(const std::vector<TConnObj>& records) {
  std::optional<TDateTime> first, last;
  for (const TConnObj& r : records) {
    const std::optional<TDateTime> day = RecordedDay(r);
    if (!day) continue;
    first = first ? std::min(*first, *day) : *day;
    last = last ? std::max(*last, *day) : *day;
  }
  const TDateTime today = DatePart(FromTimeT(std::time(nullptr)));
  return {first.value_or(today), last.value_or(today)};
}

}  // namespace

void TLog::CompareTariffsClick() {
  if (m_model->Count() == 0) return;
  // The filter leaves its rows selected; without a selection every row is compared.
  auto records = std::make_shared<std::vector<TConnObj>>();
  const std::vector<std::size_t> rows = SelectedRows();
  if (rows.empty()) {
    *records = m_model->Records();
  } else {
    records->reserve(rows.size());
    for (std::size_t row : rows) records->push_back(m_model->Records()[row]);
  }
  TariffCompareInput input;
  std::tie(input.from, input.to) = DaysOf(*records);
  input.records = std::move(records);
  if (m_hooks.tariffCatalogue) input.catalogue = m_hooks.tariffCatalogue();
  input.currency = m_model->currency;
  input.lireDecimals = m_model->decimals;
  input.directory = DirectoryOf(m_model->LogPath());
  input.choosePrinter = [this]() -> QPrinter* {
    QPrinter* printer = PrinterForOutput();
    if (!printer || QPrinterInfo::availablePrinters().isEmpty()) return printer;
    QPrintDialog dialog(printer, m_compare);
    return dialog.exec() == QDialog::Accepted ? printer : nullptr;
  };
  // Another comparison open shows other rows: it gives way to the new one.
  if (m_compare) m_compare->close();
  m_compare = new TTariffCompareDlg(std::move(input), m_dialogs, this);
  m_compare->setAttribute(Qt::WA_DeleteOnClose);
  m_compare->show();
  m_compare->raise();
  m_compare->activateWindow();
}

TTariffCompareDlg* TLog::CompareDialog() const {
  return m_compare;
}

}  // namespace orva
