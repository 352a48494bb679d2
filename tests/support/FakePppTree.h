// Fake /sys, /run, /proc and peers trees for the pppd dial-up service, with the addresses its
// interfaces would have: links and daemons are files the test writes.
#pragma once

#include <map>
#include <string>

#include "TempDir.h"
#include "platform/Dialup.h"
#include "platform/SafeFile.h"

namespace orva::test {

struct FakePppTree {
  TempDir dir;
  PppRoots roots;
  std::map<std::string, std::string> addresses;

  FakePppTree() {
    roots.sys = dir.path() + "sys";
    roots.run = dir.path() + "run";
    roots.proc = dir.path() + "proc";
    roots.peers = dir.path() + "peers";
    for (const auto& d : {roots.sys + "/class/net", roots.run, roots.proc, roots.peers})
      MakeDirectories(d);
  }
  // An interface with its index, up or down.
  void Interface(const std::string& name, int index, bool up) {
    const std::string d = roots.sys + "/class/net/" + name;
    MakeDirectories(d + "/statistics");
    WriteBytes(d + "/ifindex", std::to_string(index) + "\n");
    WriteBytes(d + "/flags", up ? "0x1091\n" : "0x1090\n");
  }
  // A process with its name and its NUL-separated command line.
  void Process(int pid, const std::string& comm, const std::string& cmdline) {
    const std::string d = roots.proc + "/" + std::to_string(pid);
    MakeDirectories(d);
    WriteBytes(d + "/comm", comm + "\n");
    WriteBytes(d + "/cmdline", cmdline);
  }
  // The service over the trees, watching "ppp*".
  PppDialup Service() {
    return PppDialup(roots, {"ppp*"}, [this](const std::string& ifname) {
      const auto it = addresses.find(ifname);
      return it == addresses.end() ? std::string() : it->second;
    });
  }
};

}  // namespace orva::test
