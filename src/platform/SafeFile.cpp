// Crash-safe file replacement and small file-system helpers.
#include "platform/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "platform/FileLock.h"
#include "platform/HugePages.h"
#include "platform/TextCodec.h"

namespace orva {
namespace {

bool WriteAll(int fd, std::string_view bytes, std::int64_t failAfter, int& err) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t chunk = bytes.size() - done;
    if (failAfter >= 0) {
      if (static_cast<std::int64_t>(done) >= failAfter) {
        err = ENOSPC;
        return false;
      }
      chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(failAfter) - done);
    }
    const ssize_t n = ::write(fd, bytes.data() + done, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// A temporary name beside path. The process number keeps a forked child from drawing its
// parent's names; the caller still tries again when a name is taken (a killed writer's leftover).
std::string TempNameFor(const std::string& path) {
  static std::mt19937_64 rng{std::random_device{}()};
  const std::string dir = DirectoryOf(path);
  return JoinPath(dir.empty() ? "." : dir, "." + FileNameOf(path) + ".tmp" +
                                               std::to_string(::getpid()) + "." +
                                               std::to_string(rng() % 1000000000ULL));
}

// Creates a new temporary file beside path, open for writing; -1 with errno set on failure.
int CreateTempFile(const std::string& path, std::string& temp) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = TempNameFor(path);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Removes the temporary files of `path` that writers killed mid-way left behind: those of a
// process that no longer runs. A live writer's file is never touched.
void RemoveStaleTempFiles(const std::string& path) {
  const std::string dir = DirectoryOf(path);
  const std::string prefix = "." + FileNameOf(path) + ".tmp";
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return;
  while (dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    const std::string_view rest = name.substr(prefix.size());
    const auto dot = rest.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot > 9) continue;
    long pid = 0;
    bool digits = true;
    for (const char c : rest.substr(0, dot)) {
      if (c < '0' || c > '9') digits = false;
      pid = pid * 10 + (c - '0');
    }
    if (!digits || pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
      ::unlink(JoinPath(dir.empty() ? "." : dir, name).c_str());
  }
  ::closedir(d);
}

void SyncDirectory(const std::string& path) {
  const std::string dir = DirectoryOf(path);
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

std::string SystemErrorText(int err) {
  return std::strerror(err);
}

std::string DirectoryOf(const std::string& path) {
  const auto pos = path.rfind('/');
  return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string FileNameOf(const std::string& path) {
  const auto pos = path.rfind('/');
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '/') out.push_back('/');
  out.append(name);
  return out;
}

// The file a path names after following symbolic links, so that a rewrite replaces the link's
// target and the link stays. A dangling link names the file it would point to; a loop of
// links is left as it is (the rename then replaces the link, as the system would refuse it).
std::string FollowFileLinks(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return current;
    target.resize(static_cast<std::size_t>(n));
    current = target.front() == '/' ? target : DirectoryOf(current) + target;
  }
  return path;
}

Status ReplaceFile(const std::string& path, std::string_view bytes,
                   const SafeWriteOptions& options) {
  return ReplaceFileInPieces(
      path,
      [bytes](const PieceWriter& write) {
        write(bytes);  // a failed write is the replacement's own failure
        return Status::Ok();
      },
      options);
}

Status ReplaceFileInPieces(const std::string& path,
                           const std::function<Status(const PieceWriter& write)>& produce,
                           const SafeWriteOptions& options) {
  // A symbolic link keeps pointing where it did: the file it names is the one replaced.
  const std::string target = FollowFileLinks(path);
  const Result<FileUpdateLock> lock = LockForUpdate(target);
  if (!lock) return Status::Fail(lock.error);
  RemoveStaleTempFiles(target);
  mode_t mode = static_cast<mode_t>(options.mode);
  struct stat st {};
  const bool existed = ::stat(target.c_str(), &st) == 0;
  if (existed) mode = st.st_mode & 07777;
  if (options.ownerOnly) mode = 0600;

  std::string temp;
  const int fd = CreateTempFile(target, temp);
  if (fd < 0) return Status::Fail(path + ": " + SystemErrorText(errno));
  int err = 0;
  std::int64_t written = 0;
  bool ok = true;
  const PieceWriter write = [&](std::string_view piece) {
    if (!ok) return false;
    const std::int64_t budget = options.failAfterBytes < 0
                                    ? -1
                                    : std::max<std::int64_t>(0, options.failAfterBytes - written);
    ok = WriteAll(fd, piece, budget, err);
    written += static_cast<std::int64_t>(piece.size());
    return ok;
  };
  const Status produced = produce(write);
  if (ok && !produced) {
    ::close(fd);
    ::unlink(temp.c_str());
    return produced;
  }
  if (ok && ::fsync(fd) != 0) ok = false, err = errno;
  if (ok && existed) {
    // The old file's owner and group where the system allows it (root may give any owner; a
    // user may keep a group he belongs to); a refusal is no failure of the write. The mode is
    // set after, as a change of owner clears the set-id bits.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0)
      (void)!::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
  }
  if (ok && ::fchmod(fd, mode) != 0) ok = false, err = errno;
  if (::close(fd) != 0 && ok) ok = false, err = errno;
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) ok = false, err = errno;
  if (!ok) {
    ::unlink(temp.c_str());
    return Status::Fail(path + ": " + SystemErrorText(err));
  }
  SyncDirectory(target);
  return Status::Ok();
}

bool CanReplaceFile(const std::string& path) {
  const std::string target = FollowFileLinks(path);
  const std::string dir = DirectoryOf(target);
  if (::access(dir.empty() ? "." : dir.c_str(), W_OK | X_OK) != 0) return false;
  return ::access(target.c_str(), F_OK) != 0 || ::access(target.c_str(), W_OK) == 0;
}

Result<std::string> ReadFileBytes(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Result<std::string>::Fail(path + ": " + SystemErrorText(errno));
  std::string out;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) {
    out.reserve(static_cast<std::size_t>(st.st_size));
    AdviseHugePages(out.data(), out.capacity());
  }
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return Result<std::string>::Fail(path + ": " + SystemErrorText(err));
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return Result<std::string>::Ok(std::move(out));
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectories(const std::string& path) {
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  std::string partial;
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = path.find('/', pos + 1);
    partial = path.substr(0, pos);
    if (!partial.empty() && !DirectoryExists(partial)) ::mkdir(partial.c_str(), 0755);
  }
  return DirectoryExists(path);
}

std::string ResolveNoCase(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return path;
  const std::string dir = DirectoryOf(path);
  const std::string name = FileNameOf(path);
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return path;
  std::string found = path;
  while (dirent* e = ::readdir(d)) {
    // Names on disk are compared after decoding as Windows-1252 only when they are not UTF-8;
    // a plain byte comparison without regard to ASCII case covers the names the program uses.
    if (EqualsNoCase(e->d_name, name)) {
      found = dir + e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace orva
