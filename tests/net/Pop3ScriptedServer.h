// A POP3 client whose transport is a script: the test reads the commands the client sent and
// feeds the server's bytes back, in whatever pieces it likes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "net/Pop3Prot.h"

namespace orva::test {

class ScriptedPop3 : public TCustomPop3Cli {
 public:
  struct Done {
    TPop3Request request;
    int error;
    std::string message;
  };

  ScriptedPop3() {
    OnRequestDone = [this](TPop3Request r, int e) { done.push_back({r, e, ErrorMessage()}); };
  }

  // The server's side.
  void Accept(const std::string& greeting) {
    TransportConnected();
    TransportData(greeting);
  }
  void Reply(const std::string& bytes) { TransportData(bytes); }
  void PeerCloses() { TransportClosed(); }
  // Commands sent since the last call, without their CR LF.
  std::vector<std::string> TakeCommands() {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (true) {
      const auto e = m_sent.find("\r\n", pos);
      if (e == std::string::npos) break;
      out.push_back(m_sent.substr(pos, e - pos));
      pos = e + 2;
    }
    m_sent.erase(0, pos);
    return out;
  }
  // Connect, greet and log in with USER/PASS.
  void LogIn(const std::string& greeting = "+OK ready\r\n") {
    Connect();
    Accept(greeting);
    User();
    Reply("+OK\r\n");
    Pass();
    Reply("+OK logged in\r\n");
    TakeCommands();
    done.clear();
  }

  std::vector<Done> done;
  std::string openedHost;
  std::uint16_t openedPort = 0;
  bool openedEncrypted = false;
  int opens = 0, closes = 0, tlsStarts = 0;

 protected:
  void OpenConnection(const std::string& host, std::uint16_t port, bool encrypted) override {
    openedHost = host;
    openedPort = port;
    openedEncrypted = encrypted;
    ++opens;
  }
  void StartEncryption() override { ++tlsStarts; }
  void SendBytes(std::string_view bytes) override { m_sent.append(bytes); }
  void CloseConnection() override { ++closes; }

 private:
  std::string m_sent;
};

}  // namespace orva::test
