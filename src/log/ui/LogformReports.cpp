// The log window's outputs: the printed report (or the chart) on a printer or a PDF file, the
// printer's page setup, and the CSV export.
#include "log/ui/Logform.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "core/HowUtils.h"
#include "log/LogReport.h"
#include "log/ui/LogformShared.h"
#include "log/ui/Prnmain.h"
#include "platform/SafeFile.h"

namespace orva {

using namespace logform_ui;

QPrinter& TLog::Printer() {
  if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *m_printer;
}

void TLog::PrinterSetupClick() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.exec();
}

Status TLog::PrintReport(QPrinter& printer, bool onlySelected) {
  if (ChartShowing()) {
    // A chart is wider than high: across the page it fills the sheet inside the margins; the
    // orientation chosen for the report comes back afterwards.
    const QPageLayout::Orientation chosen = printer.pageLayout().orientation();
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    Status st = Status::Ok();
    if (!painter.begin(&printer)) {
      st = Status::Fail("Impossibile avviare la stampa del grafico");
    } else {
      m_chartView->render(&painter);
      if (!painter.end()) st = Status::Fail("La stampa non è stata completata");
    }
    printer.setPageOrientation(chosen);
    return st;
  }
  std::vector<bool> which;
  if (onlySelected) {
    which = m_model->Selection();
    which.resize(m_model->Count(), false);
  }
  return PrintLogReport(printer, BuildLogReport(m_model->Records(), which, m_model->decimals,
                                                m_model->vatRate, m_model->currency));
}

void TLog::PrintBtnClick() {
  if (m_model->Count() == 0) return;
  bool onlySelected = false;
  if (!ChartShowing()) {
    TPrintForm form(this);
    form.onSetup = [this] { PrinterSetupClick(); };
    if (form.exec() != QDialog::Accepted) return;
    onlySelected = form.OnlySelected();
    if (onlySelected && m_model->SelectedCount() == 0) return;
  }
  QPrinter* printer = PrinterForOutput();
  if (!printer) return;
  if (Status st = PrintReport(*printer, onlySelected); !st)
    m_dialogs.Message(st.error, MsgType::Error);
}

QPrinter* TLog::PrinterForOutput() {
  QPrinter& printer = Printer();
  // Without an installed printer the report goes to a PDF file the user names, each time:
  // the last file is only proposed, so a report never silently replaces an earlier one.
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    const std::string last = S(printer.outputFileName());
    const auto file =
        m_hooks.choosePdfFile
            ? m_hooks.choosePdfFile()
            : m_dialogs.ChooseSaveFile("Stampa su file PDF",
                                       last.empty() ? DirectoryOf(m_model->LogPath()) : last,
                                       "File PDF (*.pdf)");
    if (!file) return nullptr;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Q(*file));
  }
  return &printer;
}

void TLog::ExportCsvClick() {
  const auto chosen = m_dialogs.ChooseSaveFile(
      "Salva file in formato CSV", DirectoryOf(m_model->LogPath()), "Log files (*.csv *.CSV)");
  if (!chosen) return;
  if (Status st = m_model->ExportCsv(ChangeFileExt(*chosen, ".CSV")); !st)
    m_dialogs.Message(st.error, MsgType::Error);
}

}  // namespace orva
