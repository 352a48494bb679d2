// The tips of the day: a dozen short hints on using the meter, shown one at a time by the
// tips window, which starts at a different tip each day.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orva {

struct Settings;

const std::vector<std::string>& TipTexts();

class TipsOfTheDay {
 public:
  // dayNumber: any whole day count (days since 1899-12-30); each day starts at the next tip.
  explicit TipsOfTheDay(long dayNumber);
  const std::string& Current() const;
  std::size_t Index() const { return m_index; }
  std::size_t Count() const;
  // Forward and back, round the list.
  void Next();
  void Previous();
  // "Suggerimento 3 di 12".
  std::string Position() const;

 private:
  std::size_t m_index = 0;
};

// The tips come up at the first activation when "Help Tips" is on and the tips window's own
// "Suggerimenti" choice has not been switched off.
bool ShowTipsAtStart(const Settings& s);

}  // namespace orva
