#include "log/ui/TariffComparePrint.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>

#include "log/ui/TariffBarChart.h"
#include "log/ui/TariffComparePage.h"

namespace orva {
namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size())).toHtmlEscaped();
}

QString Row(const QString& a, const QString& b, const QString& c, bool bold = false) {
  const QString cell =
      bold ? QStringLiteral("<td%1><b>%2</b></td>") : QStringLiteral("<td%1>%2</td>");
  const QString right = QStringLiteral(" align=\"right\"");
  return QStringLiteral("<tr>") + cell.arg(QString(), a) + cell.arg(right, b) + cell.arg(right, c) +
         QStringLiteral("</tr>");
}

QString GroupHtml(const ComparisonGroup& g, int index, Currency currency, int decimals) {
  const auto amount = [&](double lire) { return Q(FormatAmount(lire, currency, decimals)); };
  QString html = QStringLiteral("<h3>%1</h3><p>%2</p>")
                     .arg(ComparisonKindName(g), ComparisonCountsText(g).toHtmlEscaped());
  html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
  html += QStringLiteral(
      "<tr><th>Tariffa</th><th>Costo senza IVA</th>"
      "<th>Risparmio rispetto al pagato</th></tr>");
  html += Row(QStringLiteral("Pagato (dal registro)"), amount(g.paid), QString(), true);
  for (const TariffTotal& t : g.tariffs) {
    if (!t.error.empty())
      html += Row(Q(t.name), QStringLiteral("errore: ") + Q(t.error), QString());
    else
      html += Row(Q(t.name), amount(TariffCostLire(t)), amount(g.paid - TariffCostLire(t)));
  }
  html += QStringLiteral("</table><p><img src=\"chart%1\"></p>").arg(index);
  if (!g.unknown.empty()) {
    html += QStringLiteral("<p>Chiamate di durata sconosciuta, escluse dal confronto: %1</p><ul>")
                .arg(g.unknown.size());
    for (const std::string& u : g.unknown) html += QStringLiteral("<li>%1</li>").arg(Q(u));
    html += QStringLiteral("</ul>");
  }
  return html;
}

// The chart of a group as a picture the document places under its table.
QImage ChartImage(const ComparisonGroup& g, Currency currency, int decimals) {
  TariffBarChart chart;
  FillComparisonChart(chart, g, currency, decimals);
  QImage image(900, chart.sizeHint().height(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  chart.Paint(painter, image.rect());
  return image;
}

QString PeriodText(const ComparisonPeriod& period) {
  const auto day = [](const std::optional<TDateTime>& d) {
    return d ? QString::fromStdString(FormatDateTime("dd/mm/yyyy", *d)) : QStringLiteral("-");
  };
  return QStringLiteral("Chiamate dal %1 al %2").arg(day(period.from), day(period.to));
}

}  // namespace

Status PrintTariffComparison(QPrinter& printer, const TariffComparison& comparison,
                             const ComparisonPeriod& period, Currency currency, int lireDecimals) {
  QTextDocument doc;
  QString html = QStringLiteral("<h2>ORVA32 - Confronto tariffe</h2><p>%1; importi in %2</p>")
                     .arg(PeriodText(period), QString::fromUtf8(CurrencyName(currency)));
  if (comparison.groups.empty()) html += QStringLiteral("<p>Nessuna chiamata nel periodo</p>");
  int index = 0;
  for (const ComparisonGroup& g : comparison.groups) {
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("chart%1").arg(index)),
                    ChartImage(g, currency, lireDecimals));
    html += GroupHtml(g, index++, currency, lireDecimals);
  }
  doc.setHtml(html);
  doc.print(&printer);
  if (printer.printerState() == QPrinter::Error)
    return Status::Fail("La stampa non è stata completata");
  return Status::Ok();
}

}  // namespace orva
