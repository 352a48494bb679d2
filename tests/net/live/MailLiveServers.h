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

class DovecotServer {
 public:
  struct Message {
    std::string from, subject, date, body;
  };
  explicit DovecotServer(int port);
  ~DovecotServer();
  // A user "tester" with password "secret" holding the messages.
  void AddMessages(const std::vector<Message>& messages);
  bool Start(std::string& error);
  int Port() const { return m_port; }

 private:
  TempDir m_dir;
  int m_port;
  bool m_started = false;
  int m_next = 0;
};

class ChronyServer {
 public:
  explicit ChronyServer(int port);
  ~ChronyServer();
  bool Start(std::string& error);
  int Port() const { return m_port; }

 private:
  TempDir m_dir;
  int m_port;
  bool m_started = false;
};

}  // namespace orva::test
