// The log window's table: each record's cells, colours and mark, and the list-box keys.
#include "log/ui/LogTable.h"

#include <QPainter>
#include <QPixmap>

#include "log/LogReport.h"
#include "log/ui/LogformShared.h"

namespace orva {

using namespace logform_ui;

namespace {

constexpr const char* kColumns[kLogColumnCount] = {
    "N",      "Data",  "Inizio", "Fine",     "Durata",  "Tariffa",
    "Scatti", "Costo", "Bps",    "Ricevuti", "Spediti", "Connessione a"};

// A small globe-like mark for calls with a visited-servers file.
QIcon VisitedIcon() {
  QPixmap pm(10, 10);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(40, 110, 200));
  p.setPen(QColor(20, 60, 120));
  p.drawEllipse(1, 1, 8, 8);
  p.setPen(QColor(230, 240, 255));
  p.drawLine(5, 1, 5, 9);
  p.drawLine(1, 5, 9, 5);
  return QIcon(pm);
}

}  // namespace

bool LogColumnRightAligned(int column) {
  return column >= 6 && column <= 10;
}

LogTableModel::LogTableModel(LogModel& model, const LogWindowHooks& hooks, QObject* parent)
    : QAbstractTableModel(parent), m_model(model), m_hooks(hooks), m_icon(VisitedIcon()) {}

int LogTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_model.Count());
}

int LogTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kLogColumnCount;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (row >= m_model.Count()) return {};
  const int column = index.column();
  const TConnObj& r = m_model.Records()[row];
  switch (role) {
    case Qt::DisplayRole:
      return DisplayText(index, r);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(
          (LogColumnRightAligned(column) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    case Qt::BackgroundRole:
      return index.row() % 2 == 0 ? m_evenColour : m_oddColour;
    case Qt::ForegroundRole:
      return m_textColour;
    case Qt::DecorationRole:
      if (column == 0 && m_hooks.hasVisitedServers && m_hooks.hasVisitedServers(r)) return m_icon;
      return {};
    default:
      return {};
  }
}

// "N" counts the rows; the byte columns show kilobytes; the rest are the record's fields.
QVariant LogTableModel::DisplayText(const QModelIndex& index, const TConnObj& record) const {
  const int column = index.column();
  if (column == 0) return QString::number(index.row() + 1);
  if (column == 9 || column == 10)
    return Q(FormatKilobyteCell(record.Field(static_cast<std::size_t>(column - 1))));
  // "Costo" is column 7 ("N" comes first): field 6, shown in the chosen currency.
  if (column == static_cast<int>(LogField::Cost) + 1)
    return Q(ShownCost(record.Cost(), m_model.currency));
  return Q(record.Field(static_cast<std::size_t>(column - 1)));
}

QVariant LogTableModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || section < 0 || section >= kLogColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(kColumns[section]);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

void LogTableModel::Reset() {
  beginResetModel();
  endResetModel();
}

void LogTableModel::Relayout() {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LogTableModel::SetListColour(const QColor& c) {
  m_evenColour = c;
  if (c == QColor(Qt::white)) {
    m_oddColour = QColor(255, 255, 223);
    return;
  }
  // A tenth of the way towards black, or towards white for a dark colour.
  const int towards = c.lightness() < 64 ? 255 : 0;
  auto mix = [towards](int v) { return v + (towards - v) / 10; };
  m_oddColour = QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

QModelIndex LogListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const int rows = model() ? model()->rowCount() : 0;
  if ((action == MoveHome || action == MoveEnd) && rows > 0) {
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    return model()->index(action == MoveHome ? 0 : rows - 1, column);
  }
  return QTableView::moveCursor(action, modifiers);
}

}  // namespace orva
