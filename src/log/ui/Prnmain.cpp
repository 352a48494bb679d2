// The report engine and the print dialog.
#include "log/ui/Prnmain.h"

#include <QDate>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/DateTime.h"

namespace orva {

namespace {

// The least room between two columns' texts, in inches.
constexpr double kColumnGap = 0.06;
// The smallest size a heading is printed in to keep its word whole.
constexpr double kSmallestHeadingPoints = 7;

}  // namespace

Status TPrintObject::Start(QPrinter& printer) {
  m_printer = &printer;
  printer.setFullPage(true);
  m_painter = std::make_unique<QPainter>();
  if (!m_painter->begin(&printer)) {
    m_painter.reset();
    const QString file = printer.outputFileName();
    return Status::Fail(file.isEmpty() ? std::string("Impossibile avviare la stampa")
                                       : "Impossibile scrivere " + file.toStdString());
  }
  m_dpi = printer.resolution();
  const QRectF paper = printer.paperRect(QPrinter::Inch);
  m_pageWidth = paper.width();
  m_pageHeight = paper.height();
  const QMarginsF minimum = printer.pageLayout().minimumMargins();
  m_border = std::max({minimum.left(), minimum.top(), 0.0}) / 72.0;  // points to inches
  m_page = 1;
  m_linesOnPage = 0;
  m_y = m_detailTop;
  return Status::Ok();
}

void TPrintObject::SetMargins(double top, double bottom, double left, double right) {
  m_top = std::max(top, m_border);
  m_bottom = std::max(bottom, m_border);
  m_left = std::max(left, m_border);
  m_right = std::max(right, m_border);
}

void TPrintObject::SetHeader(int i, const Line& line) {
  if (i >= 0 && i < 3) m_headers[static_cast<std::size_t>(i)] = line;
}
void TPrintObject::SetFooter(int i, const Line& line) {
  if (i >= 0 && i < 3) m_footers[static_cast<std::size_t>(i)] = line;
}
void TPrintObject::SetPageNumber(const Line& format) {
  m_pageNumber = format;
}

void TPrintObject::SetDetailArea(double top, double bottom, double spacing) {
  m_detailTop = top;
  m_detailBottom = bottom;
  m_spacing = spacing;
  m_y = top;
}

void TPrintObject::SetFont(const QFont& font) {
  m_font = font;
  if (m_painter) m_painter->setFont(font);
}

void TPrintObject::DefineColumn(int c, double start, double width) {
  if (c >= 1 && c <= 10) m_columns[static_cast<std::size_t>(c - 1)] = {start, width};
}

double TPrintObject::LineHeight() const {
  // The font's height in inches, times the line spacing.
  const QFontMetricsF fm(m_font, m_printer);
  return fm.height() / m_dpi * m_spacing;
}

void TPrintObject::PrintInColumn(int c, const QString& text, double y) {
  PrintCell(c, text, y, false);
}

void TPrintObject::PrintHeadingInColumn(int c, const QString& text) {
  PrintCell(c, text, -2, true);
}

void TPrintObject::PrintCell(int c, const QString& text, double y, bool shrink) {
  if (!m_painter || c < 1 || c > 10) return;
  if (y == -1)
    NextLine();
  else if (y >= 0)
    m_y = y;
  const auto [start, width] = m_columns[static_cast<std::size_t>(c - 1)];
  // Every column is right-aligned, so a text as wide as its column would touch the one
  // before: it keeps a small gap on its left, and is cut with "…" to fit in the rest. A
  // heading keeps its whole word in a smaller size instead, down to a legible one.
  const double gap = std::min(Px(kColumnGap), Px(width) / 4);
  const double room = Px(width) - gap;
  QFont font = m_font;
  while (shrink && font.pointSizeF() - 0.5 >= kSmallestHeadingPoints &&
         QFontMetricsF(font, m_printer).horizontalAdvance(text) > room)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  m_painter->setFont(font);
  const QFontMetricsF fm(font, m_printer);
  const QRectF cell(Px(start) + gap, Px(m_y), room, QFontMetricsF(m_font, m_printer).height());
  m_painter->drawText(cell, Qt::AlignRight | Qt::AlignTop,
                      fm.elidedText(text, Qt::ElideRight, cell.width()));
}

void TPrintObject::NextLine() {
  m_y += LineHeight();
  ++m_linesOnPage;
}

int TPrintObject::LinesPerPage() const {
  const double h = LineHeight();
  return h > 0 ? static_cast<int>((m_detailBottom - m_detailTop) / h) : 1;
}

void TPrintObject::PrintLine(const Line& line) {
  if (line.text.isEmpty()) return;
  m_painter->setFont(line.font);
  const QFontMetricsF fm(line.font, m_printer);
  const QRectF area(Px(m_left), Px(line.y), Px(m_pageWidth - m_left - m_right), fm.height());
  const int align = line.alignment == 1   ? Qt::AlignHCenter
                    : line.alignment == 2 ? Qt::AlignRight
                                          : Qt::AlignLeft;
  m_painter->drawText(area, align | Qt::AlignTop, line.text);
}

void TPrintObject::PrintFrame() {
  const auto band = [this](const Line& line) {
    if (!m_shaded || line.text.isEmpty()) return;
    const QFontMetricsF fm(line.font, m_printer);
    m_painter->fillRect(QRectF(Px(m_left), Px(line.y) - fm.height() * 0.15,
                               Px(m_pageWidth - m_left - m_right), fm.height() * 1.3),
                        QColor(238, 238, 238));
  };
  band(m_headers[0]);
  band(m_footers[0]);
  for (const auto& l : m_headers) PrintLine(l);
  for (const auto& l : m_footers) PrintLine(l);
  Line number = m_pageNumber;
  number.text = number.text.replace(QStringLiteral("%d"), QString::number(m_page));
  PrintLine(number);
  m_painter->setFont(m_font);
}

void TPrintObject::NewPage() {
  if (!m_painter) return;
  PrintFrame();
  m_printer->newPage();
  ++m_page;
  m_linesOnPage = 0;
  m_y = m_detailTop;
}

Status TPrintObject::Finish() {
  if (!m_painter) return Status::Fail("Stampa non avviata");
  PrintFrame();
  const bool ok = m_painter->end();
  m_painter.reset();
  if (!ok) return Status::Fail("La stampa non è stata completata");
  return Status::Ok();
}

namespace {

QFont Arial(double size, bool bold) {
  QFont f(QStringLiteral("Arial"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(size);
  f.setBold(bold);
  return f;
}

void Headings(TPrintObject& p) {
  p.SetFont(Arial(10, true));
  for (int c = 0; c < kReportColumns; ++c)
    p.PrintHeadingInColumn(c + 1, QString::fromUtf8(kReportHeadings[static_cast<std::size_t>(c)]));
  p.NextLine();
  p.SetFont(Arial(8, false));
}

}  // namespace

Status PrintLogReport(QPrinter& printer, const LogReport& report) {
  TPrintObject p;
  if (Status st = p.Start(printer); !st) return st;
  p.SetMargins(0.25, 0.25, 0.25, 0.25);
  p.SetDetailArea(1.0, 10.4, 1.4);
  p.SetShadedBands(true);
  p.SetHeader(0, {QStringLiteral("ORVA32Elenco connessioni"), 0.4, 1, Arial(12, true)});
  const TDateTime now = FromTimeT(std::time(nullptr));
  p.SetFooter(
      0, {QStringLiteral("ORVA32 4.1  rapporto del ") + QString::fromStdString(DateToStr(now)) +
              QStringLiteral(" ore ") + QString::fromStdString(TimeToStr(now)),
          10.8, 0, Arial(8, true)});
  p.SetPageNumber({QStringLiteral("Pag. %d"), 11.25, 2, Arial(7, false)});
  for (int c = 0; c < kReportColumns; ++c)
    p.DefineColumn(c + 1, kReportColumnStart[static_cast<std::size_t>(c)],
                   kReportColumnWidth[static_cast<std::size_t>(c)]);
  Headings(p);
  for (const auto& row : report.rows) {
    if (p.LinesOnPage() >= p.LinesPerPage()) {
      p.NewPage();
      Headings(p);
    }
    for (int c = 0; c < kReportColumns; ++c)
      p.PrintInColumn(c + 1, QString::fromStdString(row[static_cast<std::size_t>(c)]));
    p.NextLine();
  }
  if (p.LinesOnPage() >= p.LinesPerPage()) {
    p.NewPage();
    Headings(p);
  }
  for (int c = 0; c < kReportColumns; ++c)
    p.PrintInColumn(c + 1, QString::fromStdString(report.totals[static_cast<std::size_t>(c)]));
  return p.Finish();
}

TPrintForm::TPrintForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PrintForm"));
  setWindowTitle(QStringLiteral("ORVA - Stampa elenco connessioni"));
  auto* group = new QGroupBox(QStringLiteral("Stampa"), this);
  m_all = new QRadioButton(QStringLiteral("Tutte le connessioni"), group);
  m_all->setObjectName(QStringLiteral("AllRB"));
  m_all->setChecked(true);
  m_selected = new QRadioButton(QStringLiteral("Solo quelle selezionate"), group);
  m_selected->setObjectName(QStringLiteral("SelectedRB"));
  auto* gl = new QVBoxLayout(group);
  gl->addWidget(m_all);
  gl->addWidget(m_selected);
  auto* print = new QPushButton(QStringLiteral("Stampa"), this);
  print->setObjectName(QStringLiteral("PrintBtn"));
  print->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  auto* setup = new QPushButton(QStringLiteral("Imposta"), this);
  setup->setObjectName(QStringLiteral("SetupBtn"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(print);
  buttons->addWidget(cancel);
  buttons->addWidget(setup);
  auto* top = new QVBoxLayout(this);
  top->addWidget(group);
  top->addLayout(buttons);
  connect(print, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(setup, &QPushButton::clicked, this, [this] {
    if (onSetup) onSetup();
  });
}

bool TPrintForm::OnlySelected() const {
  return m_selected->isChecked();
}

}  // namespace orva
