// The counters' time to the next tick follows real time across a daylight-saving change.
#include "meter/MeterCounters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "MeterFixture.h"

namespace orva::test {
namespace {

class SpringChangeCounters : public MeterTest {
 protected:
  static TDateTime StartInRome() {
    // The zone is set before the clock is made, which reads it.
    setenv("TZ", "Europe/Rome", 1);
    tzset();
    return EncodeDate(2026, 3, 29) + EncodeTime(1, 59, 0);
  }
  SpringChangeCounters() : MeterTest(StartInRome()) {}
};

TEST_F(SpringChangeCounters, TimeToTheNextTickIsRealTimeWhenTheClocksGoForward) {
  tariffs.value.tickSeconds = 120;
  Make();
  logic->Start1Click();  // 01.59.00, the tick starts before the change
  AdvanceSeconds(70.1);  // 03.00.10 local, 70 s later
  EXPECT_EQ(logic->Call().Ticks(), 1);
  // The counters see 70 s of the tick (50 s to the next), not the hour the clock jumped.
  const CounterInput in = MeterCounters(logic->Call(), clock.Now());
  EXPECT_EQ(std::llround((in.now - in.tickStart) * kSecondsPerDay), 70);
  EXPECT_EQ(std::llround(in.elapsed * kSecondsPerDay), 70);
}

}  // namespace
}  // namespace orva::test
