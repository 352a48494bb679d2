// Fuzzes the SNTP reply decoder and the client's handling of datagrams: any bytes, from the
// server or from elsewhere, decode within the packet or are ignored.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "net/SntpCheck.h"
#include "simulation/ManualClock.h"

namespace {

class FuzzNetwork final : public orva::NetworkFactory, public orva::Resolver {
 public:
  class Udp final : public orva::DatagramSocket {
   public:
    bool Bind(std::uint16_t, std::string&) override { return true; }
    void SendTo(const std::string&, std::uint16_t, std::string_view) override {}
    void Close() override {}
  };
  std::unique_ptr<orva::StreamSocket> CreateStreamSocket() override { return nullptr; }
  std::unique_ptr<orva::DatagramSocket> CreateDatagramSocket() override {
    auto s = std::make_unique<Udp>();
    last = s.get();
    return s;
  }
  orva::Resolver& GetResolver() override { return *this; }
  int LookupName(const std::string&, Callback) override { return 1; }
  int LookupAddress(const std::string&, Callback) override { return 1; }
  void Abort(int) override {}
  Udp* last = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (const auto a = orva::DecodeSntpPacket(bytes)) {
    if (size < orva::kSntpPacketSize) std::abort();
    if (a->leapIndicator > 3 || a->version > 7 || a->mode > 7 || a->stratum > 255) std::abort();
    if (!std::isfinite(a->transmitTime) || !std::isfinite(a->rootDelay)) std::abort();
    // A packet that echoes the stamp and passes every check is the only one used.
    const std::string problem = orva::SntpReplyProblem(*a, a->originateRaw);
    const bool sound = (a->mode == 4 || a->mode == 5) && a->version >= 1 && a->version <= 4 &&
                       a->stratum >= 1 && a->stratum <= 15 && a->leapIndicator != 3 &&
                       !a->transmitIsZero;
    if (problem.empty() != sound) std::abort();
  } else if (size >= orva::kSntpPacketSize) {
    std::abort();
  }

  orva::ManualClock clock(46000);
  FuzzNetwork net;
  orva::TSNTPClient client(net, clock, clock);
  // The stamp of the request comes from the input, so replies that echo it are explored too.
  client.NextTransmitStamp = [&] {
    std::uint64_t v = 0;
    for (std::size_t i = 24; i < 32 && i < size; ++i) v = v << 8 | data[i];
    return v;
  };
  orva::TNetworkTimeCheck check(client, clock, [](std::time_t) {
    return orva::ZoneInfo{60, "CET"};
  });
  check.SetServers({"192.0.2.1"});
  check.SetCallHasAddress(true);
  check.SetGetNetworkTime(true);
  check.ClockBtnClick();
  // The first byte picks the sender and the delay; the rest is the datagram.
  const std::string from = size && (data[0] & 1) ? "192.0.2.1" : "198.51.100.9";
  clock.AdvanceMs(size ? data[0] * 8 : 0);
  if (net.last && net.last->OnDatagram) net.last->OnDatagram(bytes, from, 123);
  clock.AdvanceMs(2000);
  if (!check.ClockBtnEnabled()) std::abort();
  return 0;
}
