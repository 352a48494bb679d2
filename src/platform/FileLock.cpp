// The writers' lock: flock on the folder of the file, or on a lock file in it where the file
// system does not lock folders.
#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <thread>
#include <utility>

#include "platform/Numbers.h"
#include "platform/SafeFile.h"

namespace orva {

// One open lock per folder and thread; the last holder to go lets it go.
struct FileUpdateLock::Held {
  int fd = -1;
  std::pair<dev_t, ino_t> folder;
  ~Held();
};

namespace {

constexpr char kLockFileName[] = ".orva32.lock";

// The locks this thread holds, so that a locked operation calling another takes none twice
// (two descriptors of one process would wait for each other).
thread_local std::map<std::pair<dev_t, ino_t>, std::weak_ptr<FileUpdateLock::Held>> t_held;

bool TryLock(int fd, int& err) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    err = errno;
    return false;
  }
  return true;
}

// A descriptor that can carry the folder's lock: the folder itself, or its lock file where
// the file system cannot lock folders (some network file systems). -1 when there is none to
// be had (no such folder, or one this user cannot read nor write to).
int OpenLockable(const std::string& folder, int& err) {
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    if (::flock(dirFd, LOCK_SH | LOCK_NB) == 0 || errno == EWOULDBLOCK) {
      ::flock(dirFd, LOCK_UN);
      return dirFd;
    }
    ::close(dirFd);
  }
  const int fileFd = ::open(JoinPath(folder, kLockFileName).c_str(),
                            O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fileFd < 0) err = errno;
  return fileFd;
}

}  // namespace

FileUpdateLock::Held::~Held() {
  if (fd >= 0) ::close(fd);  // closing the last descriptor lets the lock go
  t_held.erase(folder);
}

FileUpdateLock::~FileUpdateLock() = default;

std::chrono::milliseconds DefaultLockWait() {
  if (const char* text = std::getenv("ORVA32_LOCK_WAIT_MS")) {
    if (const auto ms = ParseInteger64(text); ms && *ms >= 0 && *ms <= 600000)
      return std::chrono::milliseconds(*ms);
  }
  return std::chrono::seconds(10);
}

Result<FileUpdateLock> LockForUpdate(const std::string& path, std::chrono::milliseconds wait) {
  using R = Result<FileUpdateLock>;
  const std::string target = FollowFileLinks(path);
  std::string folder = DirectoryOf(target);
  if (folder.empty()) folder = ".";
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return R::Ok({});
  const std::pair<dev_t, ino_t> key{st.st_dev, st.st_ino};
  FileUpdateLock lock;
  if (auto it = t_held.find(key); it != t_held.end()) {
    lock.m_held = it->second.lock();
    if (lock.m_held) return R::Ok(std::move(lock));
  }
  int err = 0;
  const int fd = OpenLockable(folder, err);
  if (fd < 0) {
    // A folder that takes no files cannot be written either: the write says why.
    if (err == EACCES || err == EROFS || err == EPERM) return R::Ok({});
    return R::Fail(path + ": " + SystemErrorText(err));
  }
  const auto deadline = std::chrono::steady_clock::now() + wait;
  auto pause = std::chrono::milliseconds(5);
  while (!TryLock(fd, err)) {
    if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      if (err != EWOULDBLOCK) return R::Fail(path + ": " + SystemErrorText(err));
      return R::Fail(path + ": il file è in uso da un altro programma (attesa di " +
                     std::to_string((wait.count() + 999) / 1000) +
                     " s scaduta), non è stato cambiato nulla");
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(100));
  }
  lock.m_held = std::make_shared<FileUpdateLock::Held>();
  lock.m_held->fd = fd;
  lock.m_held->folder = key;
  t_held[key] = lock.m_held;
  return R::Ok(std::move(lock));
}

}  // namespace orva
