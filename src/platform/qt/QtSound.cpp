// Event sounds on Qt Multimedia and the system beep.
#include "platform/qt/QtSound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace orva {

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::PlayWav(const std::string& path) {
  const QString file = QString::fromStdString(path);
  if (file.isEmpty() || !QFileInfo(file).isFile()) return;
  if (!m_effect) m_effect = std::make_unique<QSoundEffect>();
  m_effect->stop();
  m_effect->setSource(QUrl::fromLocalFile(file));
  m_effect->play();
}

void QtSound::Beep() {
  QApplication::beep();
}

}  // namespace orva
