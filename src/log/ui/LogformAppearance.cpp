// The log window's appearance and place: the list's font and colour, the column widths and
// the window's place kept between openings.
#include "log/ui/Logform.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <algorithm>

#include "core/WindowPlaces.h"
#include "log/ui/LogTable.h"
#include "log/ui/LogformShared.h"
#include "platform/qt/ClientPlace.h"

namespace orva {

using namespace logform_ui;

void TLog::FontClick() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, ConnLB->font(), this);
  if (!ok) return;
  m_settings.logFont = S(font.family());
  m_settings.logFontSize = font.pointSize();
  m_settings.logFontStyle = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) |
                            (font.underline() ? 4 : 0) | (font.strikeOut() ? 8 : 0);
  ApplyAppearance();
}

void TLog::ColourClick() {
  const QColor c = QColorDialog::getColor(ToQColor(m_settings.logBackgroundColour), this);
  if (!c.isValid()) return;
  m_settings.logBackgroundColour = FromQColor(c);
  ApplyAppearance();
}

void TLog::ApplyAppearance() {
  QFont font = ConnLB->font();
  if (!m_settings.logFont.empty()) font.setFamily(Q(m_settings.logFont));
  if (m_settings.logFontSize > 0) font.setPointSize(m_settings.logFontSize);
  font.setBold(m_settings.logFontStyle & 1);
  font.setItalic(m_settings.logFontStyle & 2);
  font.setUnderline(m_settings.logFontStyle & 4);
  font.setStrikeOut(m_settings.logFontStyle & 8);
  ConnLB->setFont(font);
  HeaderBottom->setFont(font);
  m_table->SetTextColour(ToQColor(m_settings.logFontColour));
  m_table->SetListColour(ToQColor(m_settings.logBackgroundColour));
  // The list's style sheet (its silver grid lines) overrides the palette, so the colour of the
  // space under the rows goes into it too.
  const QColor back = ToQColor(m_settings.logBackgroundColour);
  ConnLB->setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(192,192,192); "
                                       "background-color: %1; }")
                            .arg(back.name()));
  QPalette p = ConnLB->palette();
  p.setColor(QPalette::Base, back);
  ConnLB->setPalette(p);
  ConnLB->viewport()->update();
}

void TLog::RestoreState() {
  const QFontMetrics fm(ConnLB->font());
  const int narrow = fm.horizontalAdvance(QStringLiteral("000000000")) - 4;
  const int wide = fm.horizontalAdvance(QStringLiteral("00000000000")) - 4;
  // The byte columns show kilobytes ("146,48 Kb"): wide enough for that text.
  const int kb = fm.horizontalAdvance(QStringLiteral("000.000,00 Kb")) + 6;
  std::vector<int> widths(kLogColumnCount);
  for (int i = 0; i < kLogColumnCount; ++i)
    widths[static_cast<std::size_t>(i)] = i == 11               ? 30
                                          : (i >= 1 && i <= 4)  ? wide
                                          : (i == 9 || i == 10) ? kb
                                                                : narrow;
  if (m_places) widths = m_places->ColumnWidths(kLogWindowPlace, widths);
  for (int i = 0; i < kLogColumnCount; ++i) {
    ConnLB->horizontalHeader()->resizeSection(i, widths[static_cast<std::size_t>(i)]);
    HeaderBottom->resizeSection(i, ConnLB->horizontalHeader()->sectionSize(i));
  }
  resize(760, 480);
  if (!m_places) return;
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->geometry()
                           : QRect(0, 0, 1024, 768);
  if (const auto g = m_places->Place(kLogWindowPlace, {0, y(), x(), width(), height()},
                                     screen.width(), screen.height(), true)) {
    // The client area's place, as stored: put back exactly under a window manager.
    PlaceClientArea(*this, g->left, g->top, std::max(g->width, 600), std::max(g->height, 450));
    if (g->state == 2) setWindowState(Qt::WindowMaximized);
  }
}

void TLog::StoreState() {
  if (m_places) {
    std::vector<int> widths;
    for (int i = 0; i < kLogColumnCount; ++i)
      widths.push_back(ConnLB->horizontalHeader()->sectionSize(i));
    // Widths and a place not stored only mean the window opens as it was built next time.
    static_cast<void>(m_places->Store(kLogWindowPlace,
                                      {isMaximized()   ? 2
                                       : isMinimized() ? 1
                                                       : 0,
                                       geometry().y(), geometry().x(), width(), height()},
                                      widths));
  }
  m_settings.sortIndex = m_model->sort.column;
  m_settings.sortAscending = m_model->sort.ascending;
}

}  // namespace orva
