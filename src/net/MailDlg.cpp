// Rows and order of the mailbox window.
#include "net/MailDlg.h"

#include <algorithm>
#include <limits>

#include "platform/DateTime.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"

namespace orva {

namespace {

// Texts that do not read as numbers, dates or times sort before all that do.
double NumberKey(const std::string& text) {
  const auto v = ParseDecimal(text);
  return v ? *v : -std::numeric_limits<double>::infinity();
}

double DateKey(const std::string& text) {
  const auto v = StrToDate(text);
  return v ? *v : -std::numeric_limits<double>::infinity();
}

double TimeKey(const std::string& text) {
  const auto v = StrToTime(text);
  return v ? *v : -std::numeric_limits<double>::infinity();
}

}  // namespace

MailModel::MailModel(std::vector<TPOP3Object> boxes) : m_boxes(std::move(boxes)) {}

std::vector<std::string> MailModel::TabTitles() const {
  std::vector<std::string> out;
  for (const auto& b : m_boxes)
    out.push_back(b.Address() + " (" + std::to_string(b.messages.size()) + ")" +
                  (b.lastError.empty() ? "" : " - errore"));
  return out;
}

std::string MailModel::Notice() const {
  if (m_boxes.empty()) return "";
  const TPOP3Object& b = m_boxes[static_cast<std::size_t>(m_tab)];
  if (!b.lastError.empty()) return "Controllo non riuscito: " + b.lastError;
  if (b.serverCount > static_cast<int>(b.messages.size()))
    return "Elencati gli ultimi " + std::to_string(b.messages.size()) + " messaggi di " +
           std::to_string(b.serverCount);
  return "";
}

void MailModel::SelectTab(int tab) {
  if (tab >= 0 && tab < static_cast<int>(m_boxes.size())) m_tab = tab;
}

bool MailModel::Empty() const {
  return m_boxes.empty() || m_boxes[static_cast<std::size_t>(m_tab)].messages.empty();
}

void MailModel::ColumnClick(int column) {
  if (column < 0 || column >= kColumns) return;
  if (column == m_sortColumn) {
    m_descending = !m_descending;
  } else {
    m_sortColumn = column;
    m_descending = false;
  }
}

std::vector<MailModel::Row> MailModel::Rows() const {
  std::vector<Row> rows;
  if (Empty()) {
    rows.push_back({kNoMessages, "", "", "", ""});
    return rows;
  }
  for (const auto& m : m_boxes[static_cast<std::size_t>(m_tab)].messages)
    rows.push_back({m.sender, m.size, m.date, m.time, m.subject});
  if (m_sortColumn < 0) return rows;
  const int c = m_sortColumn;
  auto less = [c](const Row& a, const Row& b) {
    const auto& x = a[static_cast<std::size_t>(c)];
    const auto& y = b[static_cast<std::size_t>(c)];
    switch (c) {
      case 1:
        return NumberKey(x) < NumberKey(y);
      case 2:
        return DateKey(x) < DateKey(y);
      case 3:
        return TimeKey(x) < TimeKey(y);
      default:
        return FoldCase(x) < FoldCase(y);
    }
  };
  std::stable_sort(rows.begin(), rows.end(), less);
  if (m_descending) std::reverse(rows.begin(), rows.end());
  return rows;
}

}  // namespace orva
