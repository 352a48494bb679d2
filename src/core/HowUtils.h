// Small helpers shared by most of the program: where its files live, digit grouping, the
// whole-second clock sample, TAB-separated fields, e-mail dates and window positions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/IniFile.h"

namespace orva {

// Appends the path separator when the last character is not one (the data directory is
// passed around with it, as "\" ended it); an empty path gives "./".
std::string WithTrailingBackslash(std::string path);
// A folder of the data directory, with a trailing "/", created when missing (a folder that
// cannot be made shows when a file is written there).
std::string DataSubdirectory(const std::string& dataDir, const std::string& name);
// The settings file, the data directory + "ORVA32.INI" (found without regard to case).
std::string SettingsFileIn(const std::string& dataDir);

// "LNX": Linux takes the Windows 95/98 ways where the program chooses between them.
std::string PlatformCode();
inline bool IsNtPlatform() {
  return false;
}

// The whole text converts as a decimal number ("." as decimal point).
bool IsNumber(std::string_view text);

// Thousands grouping with ".": 28800 -> 28.800; texts of at most 3 characters unchanged.
std::string GroupThousands(std::string_view text);
std::string GroupInteger(long long value);

// The current date and time with the milliseconds dropped: the clock sample of the meter.
TDateTime NowWholeSeconds(const Clock& clock);
// Drops the milliseconds of a value.
TDateTime WholeSeconds(TDateTime value);

struct SplitTime {
  long long hours = 0;
  int minutes = 0, seconds = 0, milliseconds = 0;
};
SplitTime SplitMilliseconds(double ms);

// Splits at every TAB; an empty last field, or one that is exactly one blank, becomes " ".
std::vector<std::string> SplitTabFields(std::string_view text);

// "5 Oct 99" -> "5/10/99": the first English month abbreviation found becomes its number,
// then every blank becomes "/". Unchanged when no abbreviation occurs.
std::string NumericMailDate(std::string_view text);

// The positions (x, y) at which a tile of w x h is drawn to cover an area.
struct TilePoint {
  int x, y;
};
std::vector<TilePoint> TileBackground(int areaWidth, int areaHeight, int w, int h);

// A window's place: state 0 normal, 1 minimised, 2 maximised.
struct FormGeometry {
  int state = 0;
  int top = 0, left = 0, width = 0, height = 0;
  bool operator==(const FormGeometry&) const = default;
};
// "2" when maximised, else "<state> <top> <left> <width> <height>".
std::string FormatFormPosition(const FormGeometry& g);
// Applies a position text to the current geometry: "Default" (or an unreadable text) changes
// nothing; a top or left beyond the screen becomes 0; width and height only with restoreSize.
FormGeometry ApplyFormPosition(std::string_view text, FormGeometry current, int screenWidth,
                               int screenHeight, bool restoreSize);
void SaveFormPosition(TIniFile& ini, std::string_view section, std::string_view key,
                      const FormGeometry& g);
FormGeometry RestoreFormPosition(const TIniFile& ini, std::string_view section,
                                 std::string_view key, FormGeometry current, int screenWidth,
                                 int screenHeight, bool restoreSize);

}  // namespace orva
