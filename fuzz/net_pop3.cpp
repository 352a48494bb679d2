// Fuzzes the POP3 client and the mail check with server bytes: the first bytes choose how the
// rest is cut into pieces; the whole check cycle runs on whatever the "server" sends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/Mail.h"
#include "simulation/ManualClock.h"

namespace {

class FuzzClient final : public orva::TCustomPop3Cli {
 public:
  int opens = 0;
  bool sentLogin = false;  // a login command went out in clear
  bool tlsWorks = true;

 protected:
  void OpenConnection(const std::string&, std::uint16_t, bool) override { ++opens; }
  // STLS: the handshake succeeds at once or fails, as the input says.
  void StartEncryption() override {
    if (tlsWorks)
      TransportEncrypted();
    else
      TransportError("certificate not trusted");
  }
  void SendBytes(std::string_view bytes) override {
    if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n") std::abort();
    if (bytes.starts_with("USER") || bytes.starts_with("PASS") || bytes.starts_with("APOP"))
      sentLogin = sentLogin || !Encrypted();
  }
  void CloseConnection() override {}
};

class NullView final : public orva::MailView {
 public:
  void SetPop3Label(const std::string&) override {}
  void SetMailIcon(bool, bool) override {}
  void SetMailIconHint(const std::string&) override {}
  void RefreshDisplay() override {}
  void PlayNewMailSound() override {}
  void ShowNewMailBox() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const bool closeAtEnd = data[1] & 1;
  const bool requireTls = data[1] & 2;
  const bool tlsWorks = data[1] & 4;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  orva::ManualClock clock(45000);
  FuzzClient client;
  client.MaxReplyBytes = 1 << 16;
  NullView view;
  client.tlsWorks = tlsWorks;
  orva::TMailCheck mail(client, view, clock, clock);
  mail.RequireEncryption = requireTls;
  std::vector<orva::TPOP3Object> boxes(2);
  for (auto& b : boxes) b.server = "h", b.port = "110", b.user = "u", b.password = "p";
  mail.SetMailboxes(boxes);
  mail.CallStarted();
  int connectedFor = 0;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    if (client.opens > connectedFor) {
      connectedFor = client.opens;
      client.TransportConnected();
    }
    client.TransportData(bytes.substr(at, piece));
    // No login command ever goes out in clear when encryption is required.
    if (requireTls && client.sentLogin) std::abort();
    if (client.LastResponse().size() > orva::TCustomPop3Cli::kLineBufferSize) std::abort();
    clock.AdvanceMs(1);
  }
  if (closeAtEnd) client.TransportClosed();
  for (const auto& b : mail.Mailboxes())
    for (const auto& m : b.messages)
      if (m.date.size() > 24 * 4 || m.sender.size() > 128 * 4) std::abort();
  return 0;
}
