// The mailbox table POP3.LST (fixed 244-byte records, length-prefixed texts) and the mailboxes
// and message headers the mail check keeps in memory.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "platform/Result.h"

namespace orva {

constexpr std::size_t kPop3RecordSize = 244;

// One record of POP3.LST. Texts are UTF-8 in memory, Windows-1252 on disk.
struct Pop3Record {
  std::string server;    // up to 127 characters
  std::string port;      // up to 8
  std::string user;      // up to 64
  std::string password;  // up to 40, as typed
  bool enabled = false;
  bool operator==(const Pop3Record&) const = default;
};

// Every whole record of the bytes; a trailing partial record is ignored, and a length byte
// larger than its field is cut to the field.
std::vector<Pop3Record> DecodePop3List(std::string_view bytes);
// Texts longer than their fields are cut.
std::string EncodePop3List(const std::vector<Pop3Record>& records);
// A missing file is an empty table.
Result<std::vector<Pop3Record>> ReadPop3List(const std::string& path);
// Rewritten crash-safely and readable by its owner only: it holds passwords.
Status WritePop3List(const std::string& path, const std::vector<Pop3Record>& records);

// One message header.
struct TPOP3Msg {
  std::string sender;    // up to 128
  std::string subject;   // up to 128
  std::string date;      // up to 24
  std::string time;      // up to 12
  std::string size;      // kilobytes, up to 12
  long long bytes = -1;  // the size the server gave, -1 when it gave none
};

// One enabled mailbox.
struct TPOP3Object {
  std::string server, port, user, password;
  bool enabled = true;
  int previousCount = 0;
  bool newMail = false;
  TDateTime lastEmpty = 0;  // when a check last found it empty
  std::string lastError;    // why the last check failed; empty when it went through
  int serverCount = 0;      // messages the server reported at the last check
  std::vector<TPOP3Msg> messages;

  // user + "@" + server
  std::string Address() const { return user + "@" + server; }
};

// The enabled records of a table as mailboxes, in file order.
std::vector<TPOP3Object> MailboxesFrom(const std::vector<Pop3Record>& records);

}  // namespace orva
