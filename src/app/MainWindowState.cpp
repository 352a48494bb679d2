#include "app/MainWindowState.h"

namespace orva {

void MainWindowState::Create(bool inSight) {
  m_firstActivation = true;
  m_positioned = false;
  m_hidden = !inSight;
  m_shown = inSight;
}

bool MainWindowState::TakeFirstActivation() {
  const bool first = m_firstActivation;
  m_firstActivation = false;
  return first;
}

bool MainWindowState::TrayClick() {
  const bool bringBack = !m_shown;
  m_hidden = !bringBack;
  m_shown = bringBack;
  return bringBack;
}

bool MainWindowState::BringUp() {
  const bool wasHidden = m_hidden;
  m_hidden = false;
  m_shown = true;
  return wasHidden;
}

bool MainWindowState::Hide() {
  if (m_hidden) return false;
  m_hidden = true;
  m_shown = false;
  return true;
}

void MainWindowState::CloseToTray() {
  m_hidden = true;
  m_shown = false;
}

}  // namespace orva
