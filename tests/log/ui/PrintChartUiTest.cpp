// The log report printed to PDF and the chart page of the log window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXYSeries>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>

#include "ScriptedDialogs.h"
#include "ShotLog.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "log/ui/Logform.h"

namespace orva {
namespace {

std::string LogOf(int rows) {
  std::string log;
  for (int i = 0; i < rows; ++i) {
    char line[200];
    std::snprintf(
        line, sizeof line,
        "%02d/10/99\t10.%02d.00\t10.%02d.30\t00.00.30\tTI\t1\t127\t%s\t%s\t%d\tCall %d\t\r\n",
        1 + i % 28, i % 60, i % 60, i % 3 == 1 ? "n.d" : "33600", i % 3 == 1 ? "n.d." : "2048",
        1000 + i, i + 1);
    log += line;
  }
  return log;
}

struct PrintFixture : ::testing::Test {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  Settings settings;
  void SetUp() override { settings.logFileName = dir.File("ORVA.LOG"); }
  std::string PdfText(TLog& w, bool onlySelected) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = QString::fromStdString(dir.File("report.pdf"));
    printer.setOutputFileName(pdf);
    EXPECT_TRUE(w.PrintReport(printer, onlySelected).ok);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000)) return {};
    return p.readAllStandardOutput().toStdString();
  }
};

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

TEST_F(PrintFixture, SelectedRowsAreNumberedFromOne) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  test::WriteBytes(settings.logFileName, LogOf(10));
  TLog w(settings, dialogs, dir.path(), {});
  w.SelectRows({4, 6, 8});
  const std::string text = PdfText(w, true);
  EXPECT_NE(text.find("ORVA32Elenco connessioni"), std::string::npos) << text;
  EXPECT_NE(text.find("Call 5"), std::string::npos);
  EXPECT_EQ(text.find("Call 4"), std::string::npos);
  EXPECT_NE(text.find("Pag. 1"), std::string::npos);
  EXPECT_NE(text.find("Tot.L."), std::string::npos);
}

TEST_F(PrintFixture, LongReportRepeatsItsHeadingsOnEveryPage) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  test::WriteBytes(settings.logFileName, LogOf(150));
  TLog w(settings, dialogs, dir.path(), {});
  const std::string text = PdfText(w, false);
  const std::size_t pages = Count(text, "Pag. ");
  ASSERT_GE(pages, 2u) << text.substr(0, 2000);
  EXPECT_EQ(Count(text, "Servizio"), pages);  // the headings' last column on every page
  EXPECT_NE(text.find("Call 150"), std::string::npos);
}

// The words of the first page with their places in points, from pdftotext -bbox: a row is
// the words at one height, left to right.
struct Word {
  double left, top, right;
  std::string text;
};
std::vector<std::vector<Word>> PageRows(const std::string& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"),
          {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
           QStringLiteral("1"), QString::fromStdString(pdf), QStringLiteral("-")});
  if (!p.waitForFinished(20000)) return {};
  const std::string html = p.readAllStandardOutput().toStdString();
  static const std::regex word(
      R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
  std::vector<std::vector<Word>> rows;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator();
       ++it) {
    const Word w{std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), (*it)[4]};
    auto row = std::find_if(rows.begin(), rows.end(),
                            [&](const auto& r) { return std::abs(r.front().top - w.top) < 2; });
    if (row == rows.end()) row = rows.insert(rows.end(), std::vector<Word>{});
    row->push_back(w);
  }
  for (auto& r : rows)
    std::sort(r.begin(), r.end(), [](const Word& a, const Word& b) { return a.left < b.left; });
  return rows;
}

// Long service names are cut with "…" inside their column and never run into the speed before
// them, and no heading runs into the next: on the printed page there is room between them.
TEST_F(PrintFixture, LongServiceNamesKeepClearOfTheSpeedColumn) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  std::string log;
  const char* speeds[] = {"33600", "115200", "2048", "n.d."};
  for (int i = 0; i < 12; ++i) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "%02d/10/99\t10.%02d.00\t10.%02d.30\t00.00.30\tTI\t1\t127\t%s\t2048\t%d\t", 1 + i,
                  i, i, speeds[i % 4], 1000 + i);
    // Narrow letters after wide ones: cut to its column, the name fills it to a hair's
    // breadth, whatever the font.
    log += line + std::string("Connessione ") + std::string(static_cast<std::size_t>(i), 'W') +
           std::string(120, 'i') + "\t\r\n";
  }
  test::WriteBytes(settings.logFileName, log);
  TLog w(settings, dialogs, dir.path(), {});
  ASSERT_FALSE(PdfText(w, false).empty());
  constexpr double kLeastGap = 3;  // points: more than a letter's side bearings
  int serviceRows = 0;
  for (const auto& row : PageRows(dir.File("report.pdf"))) {
    const bool headings = row.front().text == "N.";
    for (std::size_t k = 1; k < row.size(); ++k) {
      if (row[k].text == "Connessione") {
        ++serviceRows;
        EXPECT_GE(row[k].left - row[k - 1].right, kLeastGap)
            << row[k - 1].text << " " << row[k].text;
        EXPECT_NE(row.back().text.find("\u2026"), std::string::npos) << row.back().text;
      }
      if (headings) {
        EXPECT_GE(row[k].left - row[k - 1].right, kLeastGap)
            << row[k - 1].text << " " << row[k].text;
      }
    }
    // The headings are whole and apart, however narrow their columns.
    if (headings) {
      EXPECT_EQ(row.size(), 10u);
      for (const Word& h : row) EXPECT_EQ(h.text.find("\u2026"), std::string::npos) << h.text;
    }
  }
  EXPECT_EQ(serviceRows, 12);
}

// A one-page report with its totals line, rendered from the PDF (pdftoppm, poppler-utils).
TEST_F(PrintFixture, ReportScreenshot) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  test::WriteBytes(settings.logFileName, test::ShotLog(40));
  settings.currency = Currency::Euro;  // the pictures show today's money
  TLog w(settings, dialogs, dir.path(), {});
  w.Model().vatRate = 0.20;
  const std::string text = PdfText(w, false);
  ASSERT_EQ(Count(text, "Pag. "), 1u) << text;
  ASSERT_NE(text.find("€"), std::string::npos) << text;
  EXPECT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("90"),
                               QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                               QStringLiteral("1"), QString::fromStdString(dir.File("report.pdf")),
                               QString::fromUtf8(out) + QStringLiteral("/log-report")}),
            0);
}

TEST_F(PrintFixture, ChartPageDisablesListCommandsUntilRitorna) {
  test::WriteBytes(settings.logFileName, LogOf(3));
  TLog w(settings, dialogs, dir.path(), {});
  auto* del = w.findChild<QAction*>(QStringLiteral("DelBtn"));
  w.ChartKindClick(2);  // nothing selected
  EXPECT_FALSE(w.ChartShowing());
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().text, "Selezionare almeno una connessione");
  w.SelectRows({0, 1, 2});
  w.ChartKindClick(2);
  EXPECT_TRUE(w.ChartShowing());
  EXPECT_FALSE(del->isEnabled());
  w.ChartStyleClick(2);  // the kind stays
  EXPECT_TRUE(w.findChild<QAction*>(QStringLiteral("ChartKind2"))->isChecked());
  w.RitornaClick();
  EXPECT_FALSE(w.ChartShowing());
  EXPECT_TRUE(del->isEnabled());
}

QStringList BottomLabels(TLog& w) {
  for (QAbstractAxis* axis : w.ChartView()->chart()->axes(Qt::Horizontal))
    if (auto* categories = qobject_cast<QCategoryAxis*>(axis))
      return categories->categoriesLabels();
  return {};
}

TEST_F(PrintFixture, OnlyTheCostInPointsAndLinesNamesThePointsByDate) {
  test::WriteBytes(settings.logFileName, LogOf(3));
  TLog w(settings, dialogs, dir.path(), {});
  w.SelectRows({0, 2});
  w.ChartKindClick(1);
  EXPECT_EQ(BottomLabels(w),
            (QStringList{QStringLiteral("01/10/99 (1)"), QStringLiteral("03/10/99 (2)")}));
  w.ChartStyleClick(2);
  EXPECT_EQ(BottomLabels(w), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
  w.ChartStyleClick(3);
  EXPECT_EQ(BottomLabels(w), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

// The bytes chart marks each point with its value as people read it: 2.345.678, not
// 2.34568e+06.
TEST_F(PrintFixture, BytesChartMarksItsPointsInGroupsOfThreeDigits) {
  test::WriteBytes(settings.logFileName,
                   "01/10/99\t10.00.00\t11.00.00\t01.00.00\tTI\t1\t127\t33600\t2345678\t"
                   "12288\tA\t\r\n");
  TLog w(settings, dialogs, dir.path(), {});
  w.SelectRows({0});
  w.ChartKindClick(2);
  QStringList marks;
  for (QAbstractSeries* series : w.ChartView()->chart()->series())
    if (auto* xy = qobject_cast<QXYSeries*>(series); xy && xy->pointLabelsVisible())
      marks.push_back(xy->pointLabelsFormat());
  EXPECT_TRUE(marks.contains(QStringLiteral("2.345.678"))) << marks.join(u'|').toStdString();
  EXPECT_TRUE(marks.contains(QStringLiteral("12.288"))) << marks.join(u'|').toStdString();
  for (const QString& m : marks)
    EXPECT_FALSE(m.contains(u'@') || m.contains(u'e')) << m.toStdString();
}

// The window at its opening size with every call selected and the cost chart showing.
void ShowCostChartOfAll(TLog& w) {
  w.resize(760, 480);  // the size the window opens at
  w.show();
  w.SelectAllBtnClick();
  w.ChartKindClick(1);
  QApplication::processEvents();
}

// The chart printed on a page: inside the page's margins, as wide as they allow, and drawn
// as it is shown (the axis titles whole), across the sheet. pdftoppm renders the page to
// look at the ink.
TEST_F(PrintFixture, PrintedChartFillsThePageWidthInsideItsMargins) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() ||
      QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftoppm or pdftotext (poppler-utils) is not installed";
  test::WriteBytes(settings.logFileName, test::ShotLog(12));
  TLog w(settings, dialogs, dir.path(), {});
  ShowCostChartOfAll(w);
  const std::string text = PdfText(w, false);
  EXPECT_NE(text.find("Connessione"), std::string::npos) << text;
  EXPECT_NE(text.find("Costi di connessione"), std::string::npos) << text;
  const QString stem = QString::fromStdString(dir.File("chart"));
  ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"),
                               QStringLiteral("-singlefile"),
                               QString::fromStdString(dir.File("report.pdf")), stem}),
            0);
  const QImage page(stem + QStringLiteral(".png"));
  ASSERT_FALSE(page.isNull());
  QRect ink;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (qGray(page.pixel(x, y)) < 200) ink |= QRect(x, y, 1, 1);
  ASSERT_FALSE(ink.isNull());
  // At 40 dpi a 10 mm margin is about 16 pixels.
  EXPECT_GE(ink.left(), 12) << "no left margin";
  EXPECT_GE(ink.top(), 12) << "no top margin";
  EXPECT_LE(ink.right(), page.width() - 12) << "no right margin";
  EXPECT_GE(ink.width(), page.width() * 3 / 4) << "the chart does not use the page's width";
  // Across the sheet, so that it fills the page rather than its top quarter.
  EXPECT_GT(page.width(), page.height());
  EXPECT_GE(ink.height(), page.height() / 2);
}

// A euro cost chart, as shown and printed: its value axis steps by cents ("0,00", "0,50"),
// not by whole euro that would name two steps "1", and the average reads in cents too.
TEST_F(PrintFixture, EuroCostChartReadsCentsOnItsAxisAndAverage) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  test::WriteBytes(settings.logFileName, test::ShotLog(12));
  settings.currency = Currency::Euro;
  TLog w(settings, dialogs, dir.path(), {});
  ShowCostChartOfAll(w);
  const std::string text = PdfText(w, false);
  EXPECT_NE(text.find("0,00"), std::string::npos) << text;
  EXPECT_NE(text.find("0,50"), std::string::npos) << text;
  QString average;
  for (QAbstractSeries* series : w.ChartView()->chart()->series())
    if (series->name() == QStringLiteral("Average1"))
      average = qobject_cast<QXYSeries*>(series)->pointLabelsFormat();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]+,[0-9][0-9]$")).match(average).hasMatch())
      << average.toStdString();
}

// However many calls are selected, the bottom axis names no more of them than fit side by
// side (a name with no room is cut down to "…"), and names more as the window grows.
TEST_F(PrintFixture, BottomAxisNamesAsManyCallsAsFit) {
  test::WriteBytes(settings.logFileName, test::ShotLog(40));
  TLog w(settings, dialogs, dir.path(), {});
  ShowCostChartOfAll(w);
  const QStringList shown = BottomLabels(w);
  ASSERT_FALSE(shown.isEmpty());
  EXPECT_EQ(shown.front(), QStringLiteral("01/10/99 (1)"));
  EXPECT_GT(w.ChartView()->LabelStep(), 1);
  QCategoryAxis* axis = nullptr;
  for (QAbstractAxis* a : w.ChartView()->chart()->axes(Qt::Horizontal))
    axis = qobject_cast<QCategoryAxis*>(a);
  ASSERT_NE(axis, nullptr);
  const double lineHeight = QFontMetrics(axis->labelsFont()).height();
  EXPECT_LE(shown.size() * lineHeight * 1.5, w.ChartView()->chart()->plotArea().width());
  w.resize(1900, 480);
  QApplication::processEvents();
  EXPECT_EQ(BottomLabels(w).size(), 40);
  EXPECT_EQ(w.ChartView()->LabelStep(), 1);
}

TEST_F(PrintFixture, ChartScreenshots) {
  const char* out = std::getenv("ORVA_SCREENSHOTS");
  if (!out || !*out) GTEST_SKIP() << "ORVA_SCREENSHOTS not set";
  test::WriteBytes(settings.logFileName, test::ShotLog(12));
  settings.currency = Currency::Euro;  // the pictures show today's money
  TLog w(settings, dialogs, dir.path(), {});
  w.resize(760, 480);  // the size the window opens at
  w.show();
  w.SelectAllBtnClick();
  const char* names[3] = {"cost", "bytes", "speed"};
  for (int kind = 1; kind <= 3; ++kind) {
    w.ChartKindClick(kind);
    w.ChartStyleClick(kind);
    QApplication::processEvents();
    w.grab().save(QString::fromUtf8(out) + QStringLiteral("/log-chart-") +
                  QString::fromUtf8(names[kind - 1]) + QStringLiteral(".png"));
  }
}

}  // namespace
}  // namespace orva
