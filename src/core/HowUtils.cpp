// The common helpers.
#include "core/HowUtils.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "platform/DataFiles.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"

namespace orva {

std::string WithTrailingBackslash(std::string path) {
  return DataPath(path).Dir();
}

std::string DataSubdirectory(const std::string& dataDir, const std::string& name) {
  const std::string path = WithTrailingBackslash(dataDir) + name;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) static_cast<void>(MakeDirectories(path));
  return WithTrailingBackslash(path);
}

std::string SettingsFileIn(const std::string& dataDir) {
  return DataPath(dataDir).Found(kSettingsFileName);
}

std::string PlatformCode() {
  return "LNX";
}

bool IsNumber(std::string_view text) {
  return ParseDecimal(text).has_value();
}

std::string GroupThousands(std::string_view text) {
  if (text.size() <= 3) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 3);
  std::size_t taken = 0;
  for (std::size_t i = text.size(); i-- > 0;) {
    out += text[i];
    ++taken;
    if (taken % 3 == 0 && i != 0) out += '.';
  }
  std::reverse(out.begin(), out.end());
  return out;
}

std::string GroupInteger(long long value) {
  return GroupThousands(std::to_string(value));
}

TDateTime WholeSeconds(TDateTime value) {
  const TimeParts t = DecodeTime(value);
  return DatePart(value) + EncodeTime(t.hour, t.minute, t.second, 0);
}

TDateTime NowWholeSeconds(const Clock& clock) {
  return WholeSeconds(clock.Now());
}

SplitTime SplitMilliseconds(double ms) {
  SplitTime r;
  if (!std::isfinite(ms) || ms < 0) ms = 0;
  long long s = static_cast<long long>(ms / 1000);
  const double fraction = ms / 1000 - static_cast<double>(s);
  int milli = static_cast<int>(std::lround(fraction * 1000));
  if (milli >= 1000) {
    ++s;
    milli = 0;
  }
  r.hours = s / 3600;
  r.minutes = static_cast<int>(s % 3600 / 60);
  r.seconds = static_cast<int>(s % 60);
  r.milliseconds = milli;
  return r;
}

std::vector<std::string> SplitTabFields(std::string_view text) {
  std::vector<std::string> fields;
  for (auto tab = text.find('\t'); tab != std::string_view::npos; tab = text.find('\t')) {
    fields.emplace_back(text.substr(0, tab));
    text.remove_prefix(tab + 1);
  }
  fields.emplace_back(text.empty() || text == " " ? " " : std::string(text));
  return fields;
}

std::string NumericMailDate(std::string_view text) {
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 0; m < 12; ++m) {
    const auto pos = text.find(kMonths[m]);
    if (pos == std::string_view::npos) continue;
    std::string out(text);
    const char number[3] = {static_cast<char>('0' + (m + 1) / 10),
                            static_cast<char>('0' + (m + 1) % 10), 0};
    out.replace(pos, 3, number);
    std::replace(out.begin(), out.end(), ' ', '/');
    return out;
  }
  return std::string(text);
}

std::vector<TilePoint> TileBackground(int areaWidth, int areaHeight, int w, int h) {
  std::vector<TilePoint> out;
  if (w <= 0 || h <= 0) return out;
  for (int y = 0; y < areaHeight; y += h)
    for (int x = 0; x < areaWidth; x += w) out.push_back({x, y});
  return out;
}

std::string FormatFormPosition(const FormGeometry& g) {
  if (g.state == 2) return "2";
  return std::to_string(g.state) + " " + std::to_string(g.top) + " " + std::to_string(g.left) +
         " " + std::to_string(g.width) + " " + std::to_string(g.height);
}

FormGeometry ApplyFormPosition(std::string_view text, FormGeometry g, int screenWidth,
                               int screenHeight, bool restoreSize) {
  if (text.empty() || text == "Default") return g;
  g.state = text[0] == '1' ? 1 : text[0] == '2' ? 2 : 0;
  if (g.state == 2) return g;
  // The numbers after the first, second, third and fourth blank.
  std::vector<int> numbers;
  std::size_t pos = text.find(' ');
  while (pos != std::string_view::npos && numbers.size() < 4) {
    const auto next = text.find(' ', pos + 1);
    const auto v = ParseInteger(text.substr(
        pos + 1, next == std::string_view::npos ? std::string_view::npos : next - pos - 1));
    numbers.push_back(v.value_or(0));
    pos = next;
  }
  numbers.resize(4, 0);
  g.top = numbers[0] < screenHeight ? numbers[0] : 0;
  g.left = numbers[1] < screenWidth ? numbers[1] : 0;
  if (restoreSize) {
    g.width = numbers[2];
    g.height = numbers[3];
  }
  return g;
}

void SaveFormPosition(TIniFile& ini, std::string_view section, std::string_view key,
                      const FormGeometry& g) {
  ini.WriteString(section, key, FormatFormPosition(g));
}

FormGeometry RestoreFormPosition(const TIniFile& ini, std::string_view section,
                                 std::string_view key, FormGeometry current, int screenWidth,
                                 int screenHeight, bool restoreSize) {
  return ApplyFormPosition(ini.ReadString(section, key, "Default"), current, screenWidth,
                           screenHeight, restoreSize);
}

}  // namespace orva
