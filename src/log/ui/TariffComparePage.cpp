#include "log/ui/TariffComparePage.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "log/ui/TariffBarChart.h"

namespace orva {
namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QTableWidgetItem* Cell(const QString& text, bool amount) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  if (amount) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

QString ComparisonKindName(const ComparisonGroup& group) {
  return group.voice ? QStringLiteral("Chiamate a voce") : QStringLiteral("Connessioni dati");
}

QString ComparisonCountsText(const ComparisonGroup& group) {
  QString text = QStringLiteral("Chiamate confrontate: %1").arg(group.calls);
  if (group.unpaid > 0)
    text +=
        QStringLiteral("; senza costo nel registro: %1 (contate come pagate 0)").arg(group.unpaid);
  return text;
}

TariffComparePage::TariffComparePage(const ComparisonGroup& group, Currency currency,
                                     int lireDecimals, QWidget* parent)
    : QWidget(parent) {
  setObjectName(group.voice ? QStringLiteral("VoicePage") : QStringLiteral("DataPage"));
  auto* layout = new QVBoxLayout(this);
  auto* counts = new QLabel(ComparisonCountsText(group), this);
  counts->setObjectName(QStringLiteral("CountsLb"));
  layout->addWidget(counts);
  m_table = new QTableWidget(0, kColumns, this);
  m_table->setObjectName(QStringLiteral("CompareTable"));
  m_table->setAccessibleName(QStringLiteral("Costi delle tariffe: ") + ComparisonKindName(group));
  m_table->setHorizontalHeaderLabels({QStringLiteral("Tariffa"), QStringLiteral("Costo senza IVA"),
                                      QStringLiteral("Risparmio rispetto al pagato")});
  m_table->verticalHeader()->hide();
  m_table->horizontalHeader()->setSectionResizeMode(kTariff, QHeaderView::Stretch);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setTabKeyNavigation(false);
  FillTable(group, currency, lireDecimals);
  layout->addWidget(m_table, 1);
  m_chart = new TariffBarChart(this);
  FillComparisonChart(*m_chart, group, currency, lireDecimals);
  layout->addWidget(m_chart, 1);
  AddUnknown(group);
}

void TariffComparePage::FillTable(const ComparisonGroup& group, Currency currency,
                                  int lireDecimals) {
  const auto amount = [&](double lire) { return Q(FormatAmount(lire, currency, lireDecimals)); };
  m_table->setRowCount(static_cast<int>(group.tariffs.size()) + 1);
  QTableWidgetItem* paid = Cell(QStringLiteral("Pagato (dal registro)"), false);
  QFont bold = m_table->font();
  bold.setBold(true);
  paid->setFont(bold);
  m_table->setItem(0, kTariff, paid);
  m_table->setItem(0, kCost, Cell(amount(group.paid), true));
  m_table->item(0, kCost)->setFont(bold);
  m_table->setItem(0, kSaving, Cell(QString(), true));
  for (int c = 0; c < kColumns; ++c) m_table->item(0, c)->setBackground(QColor(255, 255, 210));
  int row = 1;
  for (const TariffTotal& t : group.tariffs) {
    m_table->setItem(row, kTariff, Cell(Q(t.name), false));
    if (!t.error.empty()) {
      m_table->setItem(row, kCost, Cell(QStringLiteral("errore: ") + Q(t.error), false));
      m_table->setItem(row, kSaving, Cell(QString(), true));
    } else {
      const double cost = TariffCostLire(t);
      m_table->setItem(row, kCost, Cell(amount(cost), true));
      m_table->setItem(row, kSaving, Cell(amount(group.paid - cost), true));
    }
    ++row;
  }
  m_table->resizeColumnToContents(kCost);
  m_table->resizeColumnToContents(kSaving);
}

void FillComparisonChart(TariffBarChart& chart, const ComparisonGroup& group, Currency currency,
                         int lireDecimals) {
  std::vector<TariffBarChart::Bar> bars;
  for (const TariffTotal& t : group.tariffs) {
    if (!t.error.empty()) continue;
    const double cost = TariffCostLire(t);
    bars.push_back(
        {Q(t.name), FromLire(cost, currency), Q(FormatAmount(cost, currency, lireDecimals))});
  }
  chart.SetBars(std::move(bars), FromLire(group.paid, currency),
                Q(FormatAmount(group.paid, currency, lireDecimals)));
}

// The calls of unknown length are named, one a line, so none goes missing unnoticed.
void TariffComparePage::AddUnknown(const ComparisonGroup& group) {
  if (group.unknown.empty()) return;
  auto* label =
      new QLabel(QStringLiteral("Chiamate di durata sconosciuta, escluse dal confronto: %1")
                     .arg(group.unknown.size()),
                 this);
  label->setObjectName(QStringLiteral("UnknownLb"));
  auto* list = new QListWidget(this);
  list->setObjectName(QStringLiteral("UnknownList"));
  list->setAccessibleName(QStringLiteral("Chiamate di durata sconosciuta"));
  for (const std::string& u : group.unknown) list->addItem(Q(u));
  list->setMaximumHeight(list->sizeHintForRow(0) * std::min<int>(4, list->count()) + 6);
  label->setBuddy(list);
  layout()->addWidget(label);
  layout()->addWidget(list);
}

}  // namespace orva
