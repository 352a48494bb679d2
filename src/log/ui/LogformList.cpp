// The log window's list: redrawn after its rows change, sorted by a header click, its
// highlighted rows kept in step with the records' selection, the totals under it, and
// "Seleziona tutti" and "Filtro" that choose rows.
#include "log/ui/Logform.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

#include "log/ui/Filter.h"
#include "log/ui/LogTable.h"
#include "log/ui/LogformShared.h"

namespace orva {

using namespace logform_ui;

void TLog::RedrawList() {
  // A reset clears the view's selection without a signal: the highlighted rows are set again
  // from the record list's flags, so what is highlighted is what the totals and the commands
  // work on.
  m_table->Reset();
  PushSelectionToView();
}

void TLog::ReorderList() {
  m_table->Relayout();
  PushSelectionToView();
}

QString TLog::BottomText(int section) const {
  return m_bottomModel->headerData(section, Qt::Horizontal).toString();
}

void TLog::RedrawTotals() {
  const LogTotals t = m_model->Totals();
  const std::string* texts[kLogColumnCount] = {&t.rows,     nullptr,     nullptr,  nullptr,
                                               &t.duration, nullptr,     &t.ticks, &t.cost,
                                               &t.bps,      &t.received, &t.sent,  &t.total};
  for (int i = 0; i < kLogColumnCount; ++i) {
    m_bottomModel->setHeaderData(i, Qt::Horizontal, texts[i] ? Q(*texts[i]) : QString());
    m_bottomModel->setHeaderData(
        i, Qt::Horizontal,
        QVariant::fromValue(Qt::Alignment(
            (LogColumnRightAligned(i) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter)),
        Qt::TextAlignmentRole);
  }
}

std::vector<std::size_t> TLog::SelectedRows() const {
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < m_model->Count(); ++i)
    if (m_model->Selected(i)) rows.push_back(i);
  return rows;
}

void TLog::SelectRows(const std::vector<std::size_t>& rows) {
  m_model->ClearSelection();
  for (std::size_t r : rows) m_model->Select(r, true);
  PushSelectionToView();
  RedrawTotals();
  RefreshCommands();
}

void TLog::PullSelectionFromView() {
  m_model->ClearSelection();
  for (const QItemSelectionRange& range : ConnLB->selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r)
      m_model->Select(static_cast<std::size_t>(r), true);
}

void TLog::PushSelectionToView() {
  QItemSelection selection;
  const auto& flags = m_model->Selection();
  const int last = kLogColumnCount - 1;
  for (std::size_t i = 0; i < flags.size();) {
    if (!flags[i]) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j + 1 < flags.size() && flags[j + 1]) ++j;
    selection.select(m_table->index(static_cast<int>(i), 0),
                     m_table->index(static_cast<int>(j), last));
    i = j + 1;
  }
  m_syncing = true;
  ConnLB->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  m_syncing = false;
}

void TLog::HeaderTopSectionClick(int column) {
  if (!m_model->HeaderClick(column)) return;
  ReorderList();
  QHeaderView* top = ConnLB->horizontalHeader();
  top->setSortIndicatorShown(true);
  top->setSortIndicator(column, m_model->sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  m_settings.sortIndex = m_model->sort.column;
  m_settings.sortAscending = m_model->sort.ascending;
}

void TLog::SelectAllBtnClick() {
  m_model->SelectAll();
  PushSelectionToView();
  RedrawTotals();
  RefreshCommands();
}

void TLog::FilterBtnClick() {
  TFilterForm form(m_model->Services(), m_filter, this);
  if (form.exec() != QDialog::Accepted) return;
  ApplyFilter(form.Filter());
}

void TLog::ApplyFilter(const LogFilter& filter) {
  m_filter = filter;
  m_model->SelectByCriteria(m_filter);
  PushSelectionToView();
  RedrawTotals();
  RefreshCommands();
}

void TLog::ConnLBDblClick() {
  const auto rows = SelectedRows();
  if (rows.empty() || !m_hooks.showVisitedServers) return;
  m_hooks.showVisitedServers(m_model->Records()[rows.front()]);
}

}  // namespace orva
