// The meter's state for the counter display.
#include "meter/MeterCounters.h"

#include <algorithm>

namespace orva {

CounterInput MeterCounters(const MeteredCall& g, TDateTime now) {
  CounterInput in;
  in.metering = g.Metering();
  in.now = now;
  // The tick start as seen from `now`, measured in real time: the local clock moving for
  // daylight saving does not eat the time to the next tick.
  in.tickStart =
      g.Metering() ? now - static_cast<double>(g.MsSinceTickStart()) / 86400000.0 : g.TickStart();
  in.elapsed = MeteredCall::FromSeconds(g.ElapsedSeconds());
  in.ticks = static_cast<int>(std::min<long long>(g.Ticks(), 0x7FFFFFFF));
  in.cost = g.Cost();
  in.periodCost = g.PeriodCost();
  in.periodForecast = g.PeriodForecast();
  in.tariff = g.Tariff();
  const CallInfo& c = g.Info();
  in.status = c.status;
  in.entryName = c.entryName;
  in.speed = c.speed;
  in.hostName = c.hostName;
  in.ipAddress = c.ipAddress;
  in.bytesReceived = c.bytesReceived;
  in.bytesSent = c.bytesSent;
  return in;
}

}  // namespace orva
