// The log window's edits of the records: delete, copy and paste, import from another log,
// the manual entry and its change, and the service chosen in the tool bar's list.
#include "log/ui/Logform.h"

#include <QComboBox>
#include <QGuiApplication>

#include "log/ui/LogformShared.h"
#include "platform/SafeFile.h"

namespace orva {

using namespace logform_ui;

void TLog::RebuildServiceCombo() {
  ServCB->blockSignals(true);
  ServCB->clear();
  QStringList items;
  items.reserve(static_cast<qsizetype>(m_model->Services().size()));
  for (const auto& s : m_model->Services()) items.push_back(Q(s));
  ServCB->addItems(items);
  ServCB->setCurrentIndex(-1);
  ServCB->blockSignals(false);
}

void TLog::DelBtnClick() {
  DeleteSelected(QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
}

void TLog::DeleteSelected(bool ctrlHeld) {
  if (!m_model->Delete(ctrlHeld)) return;
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
  RefreshCommands();
}

void TLog::CopyClick() {
  if (Status st = m_model->Copy(); !st) m_dialogs.Message(st.error, MsgType::Error);
  RefreshCommands();
}

void TLog::PasteClick() {
  const ImportOutcome r = m_model->Paste(m_askDuplicates);
  if (!r.status) m_dialogs.Message(r.status.error, MsgType::Error);
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::ImportClick() {
  const auto chosen = m_dialogs.ChooseOpenFile("Apri file", DirectoryOf(m_model->LogPath()),
                                               "Log files (*.log *.LOG)");
  if (!chosen) return;
  const ImportOutcome r = m_model->Import(*chosen, m_askDuplicates);
  if (!r.status) m_dialogs.Message(r.status.error, MsgType::Error);
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::NewEntryClick() {
  if (!m_hooks.editRecord) return;
  TConnObj record = LogModel::NewManualRecord();
  if (!m_hooks.editRecord(record, true)) return;
  if (Status st = m_model->AddRecord(std::move(record)); !st)
    m_dialogs.Message(st.error, MsgType::Error);
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::EditEntryClick() {
  const auto rows = SelectedRows();
  if (rows.empty() || !m_hooks.editRecord) return;
  TConnObj record = m_model->Records()[rows.front()];
  if (!m_hooks.editRecord(record, false)) return;
  if (Status st = m_model->ReplaceRecord(rows.front(), std::move(record)); !st)
    m_dialogs.Message(st.error, MsgType::Error);
  ReorderList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::ServCBChange(int index) {
  if (index < 0) return;
  const std::string service = S(ServCB->itemText(index));
  if (Status st = m_model->ChangeService(service); !st) m_dialogs.Message(st.error, MsgType::Error);
  // Saving may have brought in the calls appended meanwhile.
  RedrawList();
  RedrawTotals();
  RebuildServiceCombo();  // back to no selection
}

}  // namespace orva
