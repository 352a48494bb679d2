// Sounds of events (WAV files) and the system beep.
#pragma once

#include <string>

namespace orva {

class Sound {
 public:
  virtual ~Sound() = default;
  // Plays a WAV file without waiting; a missing file plays nothing.
  virtual void PlayWav(const std::string& path) = 0;
  virtual void Beep() = 0;
};

class NoSound final : public Sound {
 public:
  void PlayWav(const std::string&) override {}
  void Beep() override {}
};

}  // namespace orva
