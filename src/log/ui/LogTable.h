// The log window's table: a model with one row per loaded record, and a view that keys like
// a list box.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <QTableView>

#include "log/Logform.h"
#include "log/ui/LogWindowHooks.h"

namespace orva {

// Whether a column's cells (and its total) stand at the right: the counts and the amounts.
bool LogColumnRightAligned(int column);

// One model row per record: the list stays smooth with a hundred thousand calls.
class LogTableModel final : public QAbstractTableModel {
 public:
  LogTableModel(LogModel& model, const LogWindowHooks& hooks, QObject* parent);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  // The rows were added or removed: the view starts afresh.
  void Reset();
  // The same rows in a new order. The view keeps its highlighted rows, its current row and
  // its scroll position by place, as a list box of placeholder items does when the records
  // behind them are sorted; nothing is rebuilt for a hundred thousand rows.
  void Relayout();
  void SetTextColour(const QColor& c) { m_textColour = c; }
  // "Colore sfondo lista" is the colour of the even rows. On the default white the odd rows
  // are pale yellow; on a colour of the user's they are a shade of it, so the rows still
  // alternate without a yellow that clashes with the chosen colour.
  void SetListColour(const QColor& c);

 private:
  QVariant DisplayText(const QModelIndex& index, const TConnObj& record) const;

  LogModel& m_model;
  const LogWindowHooks& m_hooks;
  QIcon m_icon;
  QColor m_textColour = Qt::black;
  QColor m_evenColour = Qt::white;
  QColor m_oddColour = QColor(255, 255, 223);
};

// The list of calls keys like a list box: Home and End go to the first and the last call
// (a table would go to the first and the last column of the row).
class LogListView final : public QTableView {
 public:
  using QTableView::QTableView;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

}  // namespace orva
