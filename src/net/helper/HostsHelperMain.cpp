// orva32-hosts-helper: the privileged side of the hosts upkeep, run through pkexec. It reads the
// entries on its standard input, checks every line and applies them to the system hosts file
// with the safe rewrite, "hosts.bak" first. It takes no file names from its caller when it
// runs with borrowed rights.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/HostsUpkeep.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: orva32-hosts-helper apply [--hosts FILE] < entries\n");
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  std::string hosts = "/etc/hosts";
  if (argc < 2 || std::string(argv[1]) != "apply") return Usage();
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--hosts" && i + 1 < argc) {
      // Another file only for a caller running with his own rights (tests, a chroot): under
      // pkexec the caller could otherwise have any file of the system rewritten.
      if (std::getenv("PKEXEC_UID") != nullptr) {
        std::fprintf(stderr, "orva32-hosts-helper: --hosts is refused under pkexec\n");
        return 3;
      }
      hosts = argv[++i];
    } else {
      return Usage();
    }
  }
  std::string input;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(0, buf, sizeof buf);
    if (n < 0) {
      std::perror("orva32-hosts-helper");
      return 1;
    }
    if (n == 0) break;
    input.append(buf, static_cast<std::size_t>(n));
    if (input.size() > orva::kHelperMaxInputBytes) {
      std::fprintf(stderr, "orva32-hosts-helper: input too large\n");
      return 2;
    }
  }
  const auto request = orva::ParseHelperInput(input);
  if (!request) {
    std::fprintf(stderr, "orva32-hosts-helper: %s\n", request.error.c_str());
    return 2;
  }
  const orva::Status s = orva::ApplyHostsRequest(hosts, *request);
  if (!s) {
    std::fprintf(stderr, "orva32-hosts-helper: %s\n", s.error.c_str());
    return 1;
  }
  std::printf("%zu\n", request->upserts.size() + request->removals.size());
  return 0;
}
