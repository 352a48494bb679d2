// Event sounds on Qt Multimedia and the system beep.
#pragma once

#include <memory>
#include <string>

#include "platform/Sound.h"

class QSoundEffect;

namespace orva {

class QtSound final : public Sound {
 public:
  QtSound();
  ~QtSound() override;
  // Plays without waiting; a new sound replaces one still playing, as the system's player does.
  void PlayWav(const std::string& path) override;
  void Beep() override;

 private:
  // Made at the first sound, so a program that never plays one never opens the audio device.
  std::unique_ptr<QSoundEffect> m_effect;
};

}  // namespace orva
