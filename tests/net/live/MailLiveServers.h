// Real servers on loopback for the live tests: dovecot serving POP3 from Maildirs and chrony
// answering NTP, each started in its own temporary folder on a test port and stopped again.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "TempDir.h"

namespace orva::test {

// Why a live test cannot run here (not root, server missing), or empty.
std::string LiveSkipReason(const std::string& program);

// Runs a program with an argument vector (no shell) and waits; the exit status.
int RunProgram(const std::vector<std::string>& argv);

// Runs the Qt event loop until done() holds or the time is up; false on time-out.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// A certificate authority and server certificates made with openssl for the TLS tests:
// "good" names 127.0.0.1 and is signed by the authority, "wrongName" names mail.example.org
// only, "unknownIssuer" names 127.0.0.3 but is signed by an authority nobody trusts,
// "expired" names 127.0.0.4 and ended yesterday.
class TestCertificates {
 public:
  bool Make(std::string& error);
  std::string CaFile() const { return m_dir.File("ca.pem"); }
  std::string Cert(const std::string& name) const { return m_dir.File(name + ".pem"); }
  std::string Key(const std::string& name) const { return m_dir.File(name + ".key"); }

 private:
  TempDir m_dir;
};

class DovecotServer {
 public:
  struct Message {
    std::string from, subject, date, body;
  };
  explicit DovecotServer(int port);
  ~DovecotServer();
  // A user "tester" with password "secret" holding the messages.
  void AddMessages(const std::vector<Message>& messages);
  // TLS: STLS on the plain port of 127.0.0.1-3, TLS from the first byte on 127.0.0.1:995;
  // 127.0.0.1 shows the good certificate, 127.0.0.2 the wrong name, 127.0.0.3 the unknown
  // issuer, 127.0.0.4 the expired one. Before Start.
  void EnableTls(const TestCertificates& certificates);
  bool Start(std::string& error);
  int Port() const { return m_port; }
  std::string Log() const;

 private:
  TempDir m_dir;
  int m_port;
  bool m_tls = false;
  bool m_started = false;
  int m_next = 0;
};

class ChronyServer {
 public:
  explicit ChronyServer(int port);
  ~ChronyServer();
  // TLS: STLS on the plain port of 127.0.0.1-3, TLS from the first byte on 127.0.0.1:995;
  // 127.0.0.1 shows the good certificate, 127.0.0.2 the wrong name, 127.0.0.3 the unknown
  // issuer, 127.0.0.4 the expired one. Before Start.
  void EnableTls(const TestCertificates& certificates);
  bool Start(std::string& error);
  int Port() const { return m_port; }
  std::string Log() const;

 private:
  TempDir m_dir;
  int m_port;
  bool m_tls = false;
  bool m_started = false;
};

}  // namespace orva::test
