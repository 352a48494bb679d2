// The meter's state for the counter display.
#include "app/MeterCounters.h"

#include <algorithm>

namespace orva {

CounterInput MeterCounters(const MainLogic& g, TDateTime now) {
  CounterInput in;
  in.metering = g.Metering();
  in.now = now;
  in.tickStart = g.TickStart();
  in.elapsed = MainLogic::FromSeconds(g.ElapsedSeconds());
  in.ticks = static_cast<int>(std::min<long long>(g.Ticks(), 0x7FFFFFFF));
  in.cost = g.Cost();
  in.periodCost = g.PeriodCost();
  const MeterTariff& t = g.Tariff();
  in.tickSeconds = t.tickSeconds;
  in.tickCost = t.tickCost;
  in.tickText = t.tickText;
  in.vatRate = t.vatRate;
  in.fixedCharge = t.fixedCharge;
  in.fixedChargeUnit = t.fixedChargeUnit;
  in.discount = t.discountActive;
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
