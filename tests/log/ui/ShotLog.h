// The log the documentation pictures show: a month of evening calls with varied lengths,
// costs, speeds and byte counts, some voice calls without speed or bytes.
#pragma once

#include <cstdio>
#include <string>

namespace orva::test {

inline std::string ShotLog(int rows) {
  static const char* kServices[] = {"Modem: Tiscali", "Modem: Libero", "A voce: Rossi (06555123)",
                                    "Modem: Telecom Italia Net", "Modem: Infostrada"};
  static const int kSpeeds[] = {33600, 28800, 31200, 48000, 52000};
  std::string log;
  for (int i = 0; i < rows; ++i) {
    const int day = 1 + i * 28 / (rows > 0 ? rows : 1), hour = 18 + i % 5, minute = (i * 17) % 50;
    const int seconds = 120 + (i * 577) % 2400;  // two to forty-two minutes
    const int endMinute = minute + seconds / 60, endSecond = seconds % 60;
    const int ticks = seconds / 180 + 1;  // 180-second evening ticks
    const int cost = ticks * 127 + 200;   // and a fixed charge
    const bool voice = i % 5 == 2;
    char speed[16] = "n.d";
    if (!voice) std::snprintf(speed, sizeof speed, "%d", kSpeeds[(i * 3) % 5]);
    const long long received = voice ? 0 : 1800LL * seconds * (2 + i % 4);
    const long long sent = voice ? 0 : received / (6 + i % 5);
    char line[256];
    std::snprintf(
        line, sizeof line,
        "%02d/10/99\t%02d.%02d.00\t%02d.%02d.%02d\t00.%02d.%02d\tNET\t%d\t%d\t%s\t%lld\t%lld"
        "\t%s\t\r\n",
        day, hour, minute, hour + endMinute / 60, endMinute % 60, endSecond, seconds / 60,
        seconds % 60, ticks, cost, speed, received, sent, kServices[i % 5]);
    log += line;
  }
  return log;
}

}  // namespace orva::test
