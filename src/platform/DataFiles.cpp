#include "platform/DataFiles.h"

#include "platform/SafeFile.h"

namespace orva {

DataPath::DataPath(std::string_view dir) : m_dir(dir.empty() ? "." : dir) {
  if (m_dir.back() != '/') m_dir += '/';
}

std::string DataPath::Found(std::string_view name) const {
  return ResolveNoCase(File(name));
}

}  // namespace orva
