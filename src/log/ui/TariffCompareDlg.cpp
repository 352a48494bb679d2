#include "log/ui/TariffCompareDlg.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "log/Logform.h"
#include "log/ui/TariffComparePage.h"
#include "log/ui/TariffComparePrint.h"

namespace orva {
namespace {

QDate ToQDate(TDateTime d) {
  const DateParts p = DecodeDate(d);
  return QDate(p.year, p.month, p.day);
}

TDateTime FromQDate(const QDate& d) {
  return EncodeDate(d.year(), d.month(), d.day());
}

QDateEdit* DateEdit(QWidget* parent, const char* name, const char* accessible, TDateTime day) {
  auto* edit = new QDateEdit(ToQDate(day), parent);
  edit->setObjectName(QString::fromUtf8(name));
  edit->setAccessibleName(QString::fromUtf8(accessible));
  edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
  edit->setCalendarPopup(true);
  return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, const char* accessible) {
  auto* b = new QPushButton(QString::fromUtf8(text), parent);
  b->setObjectName(QString::fromUtf8(name));
  b->setAccessibleName(QString::fromUtf8(accessible));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TTariffCompareDlg::TTariffCompareDlg(TariffCompareInput input, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_input(std::move(input)), m_dialogs(dialogs) {
  setObjectName(QStringLiteral("TariffCompareDlg"));
  setWindowTitle(QStringLiteral("ORVA32 - Confronto tariffe"));
  setAccessibleName(windowTitle());
  BuildWidgets();
  resize(720, 620);
  Recompute();
}

TTariffCompareDlg::~TTariffCompareDlg() {
  StopWorker();
}

void TTariffCompareDlg::BuildWidgets() {
  auto* layout = new QVBoxLayout(this);
  auto* period = new QHBoxLayout;
  FromEd = DateEdit(this, "FromEd", "Dal giorno", m_input.from);
  ToEd = DateEdit(this, "ToEd", "Al giorno", m_input.to);
  for (auto [text, edit] : {std::pair{"&Dal", FromEd}, std::pair{"&Al", ToEd}}) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setBuddy(edit);
    period->addWidget(label);
    period->addWidget(edit);
    connect(edit, &QDateEdit::dateChanged, this, &TTariffCompareDlg::Recompute);
  }
  period->addStretch(1);
  layout->addLayout(period);
  StatusLb = new QLabel(this);
  StatusLb->setObjectName(QStringLiteral("StatusLb"));
  StatusLb->setAccessibleName(QStringLiteral("Stato del confronto"));
  layout->addWidget(StatusLb);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("KindTabs"));
  m_tabs->setAccessibleName(QStringLiteral("Tipi di chiamata"));
  layout->addWidget(m_tabs, 1);
  auto* buttons = new QHBoxLayout;
  PrintBtn = Button(this, "PrintBtn", "&Stampa", "Stampa il confronto");
  CsvBtn = Button(this, "CsvBtn", "&Esporta CSV", "Esporta il confronto in un file CSV");
  QPushButton* close = Button(this, "CloseBtn", "&Chiudi", "Chiudi il confronto");
  buttons->addStretch(1);
  for (QPushButton* b : {PrintBtn, CsvBtn, close}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(PrintBtn, &QPushButton::clicked, this, &TTariffCompareDlg::PrintClick);
  connect(CsvBtn, &QPushButton::clicked, this, &TTariffCompareDlg::ExportCsvClick);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

ComparisonPeriod TTariffCompareDlg::Period() const {
  return {FromQDate(FromEd->date()), FromQDate(ToEd->date())};
}

void TTariffCompareDlg::SetPeriod(TDateTime from, TDateTime to) {
  const QSignalBlocker blockFrom(FromEd), blockTo(ToEd);
  FromEd->setDate(ToQDate(from));
  ToEd->setDate(ToQDate(to));
  Recompute();
}

void TTariffCompareDlg::StopWorker() {
  if (!m_worker.joinable()) return;
  m_worker.request_stop();
  m_worker.join();
}

// Starts the figures of the days now chosen over; the ones being computed are given up.
void TTariffCompareDlg::Recompute() {
  StopWorker();
  const unsigned generation = ++m_generation;
  m_result.reset();
  ShowResult();
  const ComparisonPeriod period = Period();
  if (*period.to < *period.from) {
    StatusLb->setText(QStringLiteral("La data \"Al\" precede la data \"Dal\""));
    return;
  }
  StatusLb->setText(QStringLiteral("Calcolo in corso…"));
  // The worker reads only its own copies; its result comes back through the event loop. The
  // destructor stops and joins it before this object goes, so the posted call never outlives
  // the dialog (a call still queued is dropped with the object).
  m_worker = std::jthread([this, generation, period, records = m_input.records,
                           catalogue = m_input.catalogue](std::stop_token stop) {
    auto result = std::make_shared<const TariffComparison>(
        CompareTariffs(*records, LoadCatalogueTariffs(catalogue), period.from, period.to, stop));
    if (stop.stop_requested()) return;
    QMetaObject::invokeMethod(
        this, [this, generation, result] { Finished(generation, result); }, Qt::QueuedConnection);
  });
}

void TTariffCompareDlg::Finished(unsigned generation,
                                 std::shared_ptr<const TariffComparison> result) {
  if (generation != m_generation) return;  // the days changed meanwhile
  m_result = std::move(result);
  if (m_result->groups.empty())
    StatusLb->setText(QStringLiteral("Nessuna chiamata nel periodo"));
  else if (m_input.catalogue.Empty())
    StatusLb->setText(QStringLiteral("Nessuna tariffa nel catalogo da confrontare"));
  else
    StatusLb->clear();
  ShowResult();
  emit Computed();
}

void TTariffCompareDlg::ShowResult() {
  while (m_tabs->count() > 0) {
    QWidget* page = m_tabs->widget(0);
    m_tabs->removeTab(0);
    delete page;
  }
  const bool ready = m_result && !m_result->groups.empty();
  PrintBtn->setEnabled(ready);
  CsvBtn->setEnabled(ready);
  if (!m_result) return;
  for (const ComparisonGroup& g : m_result->groups)
    m_tabs->addTab(new TariffComparePage(g, m_input.currency, m_input.lireDecimals, m_tabs),
                   ComparisonKindName(g));
}

void TTariffCompareDlg::PrintClick() {
  if (!m_result || !m_input.choosePrinter) return;
  QPrinter* printer = m_input.choosePrinter();
  if (!printer) return;
  if (Status st = PrintTariffComparison(*printer, *m_result, Period(), m_input.currency,
                                        m_input.lireDecimals);
      !st)
    m_dialogs.Message(st.error, MsgType::Error);
}

void TTariffCompareDlg::ExportCsvClick() {
  if (!m_result) return;
  const auto chosen = m_dialogs.ChooseSaveFile("Salva il confronto in formato CSV",
                                               m_input.directory, "File CSV (*.csv *.CSV)");
  if (!chosen) return;
  if (Status st = WriteTariffComparisonCsv(ChangeFileExt(*chosen, ".CSV"), *m_result, Period(),
                                           m_input.currency, m_input.lireDecimals);
      !st)
    m_dialogs.Message(st.error, MsgType::Error);
}

}  // namespace orva
