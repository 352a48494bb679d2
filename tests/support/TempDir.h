// A temporary folder removed at the end of a test, and small file helpers.
#pragma once

#include <string>
#include <string_view>

namespace orva::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // With a trailing "/".
  const std::string& path() const { return m_path; }
  std::string File(std::string_view name) const { return m_path + std::string(name); }

 private:
  std::string m_path;
};

// Writes bytes to a file as they are (no conversion).
void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
// The folder of the test fixtures (tests/data/), with a trailing "/".
std::string TestDataDir();

}  // namespace orva::test
