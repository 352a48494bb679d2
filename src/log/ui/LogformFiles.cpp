// The log window's files: "Apri", "Nuovo" and "Salva con nome" of a log, and the external
// editor that opens it.
#include "log/ui/Logform.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "log/ui/LogformShared.h"
#include "platform/SafeFile.h"

namespace orva {

using namespace logform_ui;

void TLog::FileOpenBtnClick() {
  if (!m_model->ConfirmDiscard()) return;
  const auto chosen = m_dialogs.ChooseOpenFile("Apri file", DirectoryOf(m_model->LogPath()),
                                               "Log files (*.log *.LOG)");
  if (!chosen || !FileExists(*chosen)) return;
  if (Status st = m_model->Open(*chosen); !st) m_dialogs.Message(st.error, MsgType::Error);
  ShowNewLog();
}

void TLog::FileNewBtnClick() {
  if (!m_model->ConfirmDiscard()) return;
  const auto chosen = m_dialogs.ChooseSaveFile("Nuovo file", DirectoryOf(m_model->LogPath()),
                                               "Log files (*.log *.LOG)");
  if (!chosen) return;
  if (Status st = m_model->New(*chosen); !st) m_dialogs.Message(st.error, MsgType::Error);
  ShowNewLog();
}

void TLog::ShowNewLog() {
  // Open and New: the chosen file becomes the current log, shown from scratch.
  m_settings.logFileName = m_model->LogPath();
  setWindowTitle(QStringLiteral("ORVA32 - ") + Q(m_model->LogPath()));
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
  RefreshCommands();
}

void TLog::BackupBtnClick() {
  const auto chosen = m_dialogs.ChooseSaveFile("Salva file con nome", m_model->LogPath(),
                                               "Log files (*.log *.LOG)");
  if (!chosen) return;
  if (Status st = m_model->SaveAs(*chosen); !st) m_dialogs.Message(st.error, MsgType::Error);
  m_settings.logFileName = m_model->LogPath();
  setWindowTitle(QStringLiteral("ORVA32 - ") + Q(m_model->LogPath()).toUpper());
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::SelectEditorBtnClick() {
  const auto chosen = m_dialogs.ChooseOpenFile("Scelta editor", "/usr/bin", "Programmi (*)");
  if (chosen) m_settings.logEditor = *chosen;
}

void TLog::StartBtnClick() {
  // The editor gets the log path as one argument, never through a shell; without a usable
  // stored editor the desktop's default application for text files opens the log.
  const QString editor = Q(m_settings.logEditor);
  const QString path = Q(m_model->LogPath());
  const QFileInfo info(editor);
  const bool usable =
      !editor.isEmpty() &&
      (info.isAbsolute() ? info.isExecutable() : !QStandardPaths::findExecutable(editor).isEmpty());
  if (usable && QProcess::startDetached(editor, {path})) return;
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
    m_dialogs.Message("Impossibile avviare l'editor per " + m_model->LogPath(), MsgType::Error);
}

}  // namespace orva
