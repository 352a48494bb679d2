// The log window's chart page: the kind and the style chosen in "Grafico", drawn from the
// selected calls in place of the list until "Ritorna".
#include "log/ui/Logform.h"

#include <QAction>
#include <QStackedWidget>

namespace orva {

bool TLog::ChartShowing() const {
  return m_pages->currentIndex() == 1;
}

void TLog::ChartKindClick(int kind) {
  ChooseChart(m_kindItems, m_chartKind, kind);
}

void TLog::ChartStyleClick(int style) {
  ChooseChart(m_styleItems, m_chartStyle, style);
}

void TLog::ChooseChart(const std::array<QAction*, 3>& items, int& current, int chosen) {
  // Without a selected row nothing changes, and the menu keeps its tick where it was.
  if (m_model->SelectedCount() == 0) {
    m_dialogs.Message("Selezionare almeno una connessione", MsgType::Information);
    items[static_cast<std::size_t>(current - 1)]->setChecked(true);
    return;
  }
  current = chosen;
  items[static_cast<std::size_t>(chosen - 1)]->setChecked(true);
  DrawChart();
}

void TLog::Chart3DClick(bool on) {
  m_chart3D = on;
  if (ChartShowing()) DrawChart();
}

void TLog::RitornaClick() {
  m_pages->setCurrentIndex(0);
  SetListCommandsEnabled(true);
}

void TLog::DrawChart() {
  m_chartView->Draw(BuildLogChart(m_model->Records(), m_model->Selection(),
                                  static_cast<LogChartKind>(m_chartKind), m_model->currency),
                    m_chartStyle, m_chart3D);
  if (!ChartShowing()) {
    m_pages->setCurrentIndex(1);
    SetListCommandsEnabled(false);
  }
}

}  // namespace orva
