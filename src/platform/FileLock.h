// The lock every writer of a data file holds for the whole of its read, change and rename, so
// that the desktop program, the command-line tool and a second session never lose each other's
// changes. It is an advisory lock (flock) on the file's folder; a thread that already holds the
// folder's lock takes it again at no cost, so a locked operation may call another.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/Result.h"

namespace orva {

class FileUpdateLock {
 public:
  FileUpdateLock() = default;
  FileUpdateLock(FileUpdateLock&&) noexcept = default;
  FileUpdateLock& operator=(FileUpdateLock&&) noexcept = default;
  ~FileUpdateLock();

  struct Held;

 private:
  friend Result<FileUpdateLock> LockForUpdate(const std::string&, std::chrono::milliseconds);
  std::shared_ptr<Held> m_held;
};

// How long a writer waits for another one: ORVA32_LOCK_WAIT_MS when set (0 to 600000),
// else 10 seconds.
std::chrono::milliseconds DefaultLockWait();

// Takes the lock for a change of `path` (its folder after following links), waiting up to
// `wait` for another writer. A folder that does not exist or takes no files needs no lock: the
// write itself then reports why it failed. The failure names the file.
Result<FileUpdateLock> LockForUpdate(const std::string& path,
                                     std::chrono::milliseconds wait = DefaultLockWait());

}  // namespace orva
