// The printed log report: TPrintObject, a small report engine that lays text out in inches
// on a QPrinter (a real printer, or a PDF file where there is none), and TPrintForm, the
// print dialog "ORVA - Stampa elenco connessioni".
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>
#include <array>
#include <memory>

#include "log/LogReport.h"
#include "platform/Result.h"

class QPainter;
class QPrinter;
class QRadioButton;

namespace orva {

class TPrintObject {
 public:
  struct Line {
    QString text;
    double y = 0;
    int alignment = 0;  // 0 left, 1 centred, 2 right
    QFont font;
  };

  // Begins the job on the printer; false with the system's text when it cannot be opened
  // (a PDF file that cannot be written, a printer that refuses the job).
  Status Start(QPrinter& printer);
  void SetMargins(double top, double bottom, double left, double right);
  void SetHeader(int index, const Line& line);
  void SetFooter(int index, const Line& line);
  void SetPageNumber(const Line& format);  // "%d" stands for the page number
  void SetDetailArea(double top, double bottom, double spacing);
  void SetFont(const QFont& font);
  void DefineColumn(int column, double start, double width);
  // Prints right-aligned in the column, clear of the column before it, cut with "…" where
  // it does not fit; y = -1 next line, -2 current line.
  void PrintInColumn(int column, const QString& text, double y = -2);
  // The same on the current line for a heading, which is printed smaller rather than cut.
  void PrintHeadingInColumn(int column, const QString& text);
  void NextLine();
  int LinesPerPage() const;
  int LinesOnPage() const { return m_linesOnPage; }
  void NewPage();
  Status Finish();
  int Pages() const { return m_page; }
  // A shaded band (grey 238) across the page behind a header or footer line.
  void SetShadedBands(bool on) { m_shaded = on; }

 private:
  double Px(double inches) const { return inches * m_dpi; }
  double LineHeight() const;
  void PrintFrame();
  void PrintLine(const Line& line);
  void PrintCell(int column, const QString& text, double y, bool shrink);

  QPrinter* m_printer = nullptr;
  std::unique_ptr<QPainter> m_painter;
  double m_dpi = 72;
  double m_pageWidth = 8.27, m_pageHeight = 11.69;
  double m_border = 0;
  double m_top = 0, m_bottom = 0, m_left = 0, m_right = 0;
  std::array<Line, 3> m_headers{}, m_footers{};
  Line m_pageNumber;
  double m_detailTop = 1, m_detailBottom = 10.4, m_spacing = 1.4;
  std::array<std::pair<double, double>, 10> m_columns{};
  QFont m_font;
  double m_y = 0;
  int m_linesOnPage = 0;
  int m_page = 1;
  bool m_shaded = false;
};

// Prints the report; the title, footer, page numbers and columns as the log report has them.
Status PrintLogReport(QPrinter& printer, const LogReport& report);

class TPrintForm final : public QDialog {
  Q_OBJECT
 public:
  explicit TPrintForm(QWidget* parent = nullptr);
  bool OnlySelected() const;
  // "Imposta": the printer set-up; true when something was chosen.
  std::function<void()> onSetup;

 private:
  QRadioButton* m_all;
  QRadioButton* m_selected;
};

}  // namespace orva
