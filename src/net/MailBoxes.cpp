// POP3.LST records.
#include "net/MailBoxes.h"

#include <filesystem>

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

namespace orva {

namespace {

struct Field {
  std::size_t offset, size;  // size includes the length byte
};
constexpr Field kServer{0, 128}, kPort{128, 9}, kUser{137, 65}, kPassword{202, 41};
constexpr std::size_t kEnabled = 243;

std::string ReadField(std::string_view record, Field f) {
  std::size_t length = static_cast<unsigned char>(record[f.offset]);
  if (length > f.size - 1) length = f.size - 1;
  return Cp1252ToUtf8(record.substr(f.offset + 1, length));
}

void WriteField(std::string& record, Field f, std::string_view utf8) {
  std::string bytes = Utf8ToCp1252(utf8);
  if (bytes.size() > f.size - 1) bytes.resize(f.size - 1);
  record[f.offset] = static_cast<char>(bytes.size());
  record.replace(f.offset + 1, bytes.size(), bytes);
}

}  // namespace

std::vector<Pop3Record> DecodePop3List(std::string_view bytes) {
  std::vector<Pop3Record> out;
  for (std::size_t at = 0; at + kPop3RecordSize <= bytes.size(); at += kPop3RecordSize) {
    const auto record = bytes.substr(at, kPop3RecordSize);
    Pop3Record r;
    r.server = ReadField(record, kServer);
    r.port = ReadField(record, kPort);
    r.user = ReadField(record, kUser);
    r.password = ReadField(record, kPassword);
    r.enabled = record[kEnabled] != 0;
    out.push_back(std::move(r));
  }
  return out;
}

std::string EncodePop3List(const std::vector<Pop3Record>& records) {
  std::string out;
  out.reserve(records.size() * kPop3RecordSize);
  for (const auto& r : records) {
    std::string record(kPop3RecordSize, '\0');
    WriteField(record, kServer, r.server);
    WriteField(record, kPort, r.port);
    WriteField(record, kUser, r.user);
    WriteField(record, kPassword, r.password);
    record[kEnabled] = r.enabled ? 1 : 0;
    out += record;
  }
  return out;
}

Result<std::vector<Pop3Record>> ReadPop3List(const std::string& path) {
  const std::string found = ResolveNoCase(path);
  // Only a missing file is an empty table; one that is there and cannot be read is an error.
  std::error_code ec;
  if (!std::filesystem::exists(found, ec) && !ec) return Result<std::vector<Pop3Record>>::Ok({});
  auto bytes = ReadFileBytes(found);
  if (!bytes) return Result<std::vector<Pop3Record>>::Fail(bytes.error);
  return Result<std::vector<Pop3Record>>::Ok(DecodePop3List(*bytes));
}

Status WritePop3List(const std::string& path, const std::vector<Pop3Record>& records) {
  SafeWriteOptions options;
  options.mode = 0600;
  options.ownerOnly = true;
  return ReplaceFile(ResolveNoCase(path), EncodePop3List(records), options);
}

std::vector<TPOP3Object> MailboxesFrom(const std::vector<Pop3Record>& records) {
  std::vector<TPOP3Object> out;
  for (const auto& r : records) {
    if (!r.enabled) continue;
    TPOP3Object o;
    o.server = r.server;
    o.port = r.port;
    o.user = r.user;
    o.password = r.password;
    out.push_back(std::move(o));
  }
  return out;
}

}  // namespace orva
