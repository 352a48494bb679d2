// Starting and stopping dovecot and chrony for the live tests.
#include "MailLiveServers.h"

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <filesystem>
#include <thread>

extern char** environ;

namespace orva::test {

namespace fs = std::filesystem;

namespace {

std::string FindProgram(const std::string& name) {
  for (const char* dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/", "/usr/local/sbin/"}) {
    const std::string p = std::string(dir) + name;
    if (::access(p.c_str(), X_OK) == 0) return p;
  }
  return "";
}

std::string Fill(std::string text, const std::string& dir, int port) {
  for (auto [key, value] :
       {std::pair<std::string, std::string>{"@DIR@", dir}, {"@PORT@", std::to_string(port)}}) {
    for (auto pos = text.find(key); pos != std::string::npos; pos = text.find(key, pos))
      text.replace(pos, key.size(), value);
  }
  return text;
}

// Everyone may walk and write the folder: the servers drop to their own users.
void OpenUp(const std::string& dir, bool toNobody) {
  uid_t uid = 0;
  gid_t gid = 0;
  if (toNobody) {
    if (const passwd* pw = getpwnam("nobody")) uid = pw->pw_uid;
    if (const group* gr = getgrnam("nogroup")) gid = gr->gr_gid;
  }
  std::error_code ec;
  ::chmod(dir.c_str(), 0777);
  for (const auto& e : fs::recursive_directory_iterator(dir, ec)) {
    ::chmod(e.path().c_str(), e.is_directory() ? 0777 : 0666);
    if (toNobody && e.path().string().find("/mail") != std::string::npos)
      if (::chown(e.path().c_str(), uid, gid) != 0) {
      }
  }
}

bool TcpPortOpen(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(fd);
  return ok;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
  for (int waited = 0; waited < ms; waited += 50) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

}  // namespace

std::string LiveSkipReason(const std::string& program) {
  if (::geteuid() != 0) return "needs root to start " + program + " on loopback";
  if (FindProgram(program).empty()) return program + " is not installed";
  return "";
}

int RunProgram(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const std::string path = argv[0].find('/') == std::string::npos ? FindProgram(argv[0]) : argv[0];
  pid_t pid = 0;
  if (path.empty() || posix_spawn(&pid, path.c_str(), nullptr, nullptr, args.data(), environ) != 0)
    return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > limit.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!done()) QThread::usleep(200);
  }
  return true;
}

// ---- certificates ----

bool TestCertificates::Make(std::string& error) {
  const std::string d = m_dir.path();
  const auto run = [&](std::vector<std::string> argv) {
    if (RunProgram(argv) == 0) return true;
    error = "openssl failed: " + argv[1] + " " + argv.back();
    return false;
  };
  const std::vector<std::string> ec = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                       "-nodes"};
  const auto authority = [&](const std::string& name) {
    std::vector<std::string> argv = {"openssl", "req", "-x509"};
    argv.insert(argv.end(), ec.begin(), ec.end());
    for (const auto& a : {"-keyout", "", "-out", "", "-days", "2", "-subj", ""}) argv.push_back(a);
    argv[argv.size() - 7] = d + name + ".key";
    argv[argv.size() - 5] = d + name + ".pem";
    argv.back() = "/CN=ORVA test " + name;
    return run(argv);
  };
  const auto server = [&](const std::string& name, const std::string& ca, const std::string& san,
                          const std::string& days = "2") {
    std::vector<std::string> req = {"openssl", "req"};
    req.insert(req.end(), ec.begin(), ec.end());
    for (const auto& a : {"-keyout", "", "-out", "", "-subj", "/CN=orva-test"}) req.push_back(a);
    req[req.size() - 5] = d + name + ".key";
    req[req.size() - 3] = d + name + ".csr";
    WriteBytes(d + name + ".ext", "subjectAltName=" + san + "\n");
    return run(req) && run({"openssl", "x509", "-req", "-in", d + name + ".csr", "-CA",
                            d + ca + ".pem", "-CAkey", d + ca + ".key", "-CAcreateserial", "-out",
                            d + name + ".pem", "-days", days, "-extfile", d + name + ".ext"});
  };
  return authority("ca") && authority("stranger") && server("good", "ca", "IP:127.0.0.1") &&
         server("wrongName", "ca", "DNS:mail.example.org") &&
         server("unknownIssuer", "stranger", "IP:127.0.0.3") &&
         server("expired", "ca", "IP:127.0.0.4", "-1");  // ended yesterday
}

// ---- dovecot ----

DovecotServer::DovecotServer(int port) : m_port(port) {
  const std::string d = m_dir.path();
  for (const char* sub : {"mail/tester/Maildir/cur", "mail/tester/Maildir/new",
                          "mail/tester/Maildir/tmp", "run", "state"})
    fs::create_directories(d + sub);
  WriteBytes(d + "passwd", "tester:{PLAIN}secret\n");
  WriteBytes(d + "dovecot.conf", Fill(ReadBytes(TestDataDir() + "net2/dovecot-pop3.conf"),
                                      d.substr(0, d.size() - 1), port));
}

DovecotServer::~DovecotServer() {
  if (!m_started) return;
  RunProgram({"dovecot", "-c", m_dir.path() + "dovecot.conf", "stop"});
  WaitFor([this] { return !TcpPortOpen(m_port) && (!m_tls || !TcpPortOpen(995)); }, 3000);
  // The master removes its pid file last; give its children the moment to go.
  WaitFor([this] { return !fs::exists(m_dir.path() + "run/master.pid"); }, 3000);
}

void DovecotServer::AddMessages(const std::vector<Message>& messages) {
  for (const auto& m : messages) {
    const std::string name = m_dir.path() + "mail/tester/Maildir/new/1700000000.M" +
                             std::to_string(++m_next) + "P1.orva";
    WriteBytes(name, "From: " + m.from + "\r\nTo: tester@localhost\r\nSubject: " + m.subject +
                         "\r\nDate: " + m.date + "\r\nMessage-ID: <" + std::to_string(m_next) +
                         "@orva>\r\n\r\n" + m.body);
  }
}

std::string DovecotServer::Log() const {
  return ReadBytes(m_dir.path() + "dovecot.log");
}

void DovecotServer::EnableTls(const TestCertificates& c) {
  m_tls = true;
  const std::string conf = m_dir.path() + "dovecot.conf";
  std::string text = ReadBytes(conf);
  const auto replace = [&](const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
  };
  const std::string p = std::to_string(m_port);
  replace("listen = 127.0.0.1", "listen = 127.0.0.1, 127.0.0.2, 127.0.0.3, 127.0.0.4");
  replace("ssl = no", "ssl = yes\nssl_cert = <" + c.Cert("good") + "\nssl_key = <" + c.Key("good") +
                          "\nlocal 127.0.0.2 {\n  ssl_cert = <" + c.Cert("wrongName") +
                          "\n  ssl_key = <" + c.Key("wrongName") + "\n}\nlocal 127.0.0.3 {\n" +
                          "  ssl_cert = <" + c.Cert("unknownIssuer") + "\n  ssl_key = <" +
                          c.Key("unknownIssuer") + "\n}\nlocal 127.0.0.4 {\n  ssl_cert = <" +
                          c.Cert("expired") + "\n  ssl_key = <" + c.Key("expired") + "\n}");
  replace("    address = 127.0.0.1\n    port = " + p,
          "    address = 127.0.0.1, 127.0.0.2, 127.0.0.3, 127.0.0.4\n    port = " + p);
  replace("    port = 0\n", "    address = 127.0.0.1\n    port = 995\n    ssl = yes\n");
  WriteBytes(conf, text);
}

bool DovecotServer::Start(std::string& error) {
  OpenUp(m_dir.path(), true);
  const int rc = RunProgram({"dovecot", "-c", m_dir.path() + "dovecot.conf"});
  if (rc != 0) {
    error = "dovecot did not start (" + std::to_string(rc) +
            "): " + ReadBytes(m_dir.path() + "dovecot.log");
    return false;
  }
  m_started = true;
  if (!WaitFor([this] { return TcpPortOpen(m_port) && (!m_tls || TcpPortOpen(995)); }, 20000)) {
    error = "dovecot does not listen: " + ReadBytes(m_dir.path() + "dovecot.log");
    return false;
  }
  return true;
}

// ---- chrony ----

ChronyServer::ChronyServer(int port) : m_port(port) {
  const std::string d = m_dir.path();
  WriteBytes(d + "chrony.conf",
             Fill(ReadBytes(TestDataDir() + "net2/chrony.conf"), d.substr(0, d.size() - 1), port));
}

ChronyServer::~ChronyServer() {
  if (!m_started) return;
  const std::string pidText = ReadBytes(m_dir.path() + "chronyd.pid");
  const pid_t pid = static_cast<pid_t>(std::atoi(pidText.c_str()));
  if (pid > 1) {
    ::kill(pid, SIGTERM);
    WaitFor([pid] { return ::kill(pid, 0) != 0; }, 3000);
  }
}

bool ChronyServer::Start(std::string& error) {
  OpenUp(m_dir.path(), false);
  const std::string d = m_dir.path();
  const int rc = RunProgram({"chronyd", "-x", "-f", d + "chrony.conf", "-l", d + "log"});
  if (rc != 0) {
    error = "chronyd did not start (" + std::to_string(rc) + "): " + ReadBytes(d + "log");
    return false;
  }
  m_started = true;
  if (!WaitFor([&] { return fs::exists(d + "chronyd.pid"); }, 20000)) {
    error = "chronyd wrote no pid file: " + ReadBytes(d + "log");
    return false;
  }
  return true;
}

}  // namespace orva::test
