// Temporary folders and fixture paths for tests.
#include "TempDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace orva::test {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "orva-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  m_path = tmpl + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string TestDataDir() {
  const char* env = std::getenv("ORVA_TEST_DATA");
  std::string dir = env && *env ? env : std::string(ORVA_SOURCE_DIR) + "/tests/data";
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace orva::test
