// Whole-file replacement that never leaves a half-written file: write a temporary file in the
// same folder, flush it, keep the old file's permissions, owner and group, rename it over the
// old one (over the target of a symbolic link, never over the link) and flush the folder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace orva {

struct SafeWriteOptions {
  // Permissions of a file that does not exist yet (an existing file keeps its own).
  unsigned mode = 0644;
  // When set, the file is made readable by its owner only, also when it existed.
  bool ownerOnly = false;
  // Tests: fail with ENOSPC once this many bytes have been written (-1: never).
  std::int64_t failAfterBytes = -1;
};

// Replaces `path` with `bytes`. On failure the old file is untouched, the temporary file is
// removed and the error holds the system's text.
Status ReplaceFile(const std::string& path, std::string_view bytes,
                   const SafeWriteOptions& options = {});

// Hands one piece of a file's new content on; false when it could not be written (the
// producer may stop, the write has failed).
using PieceWriter = std::function<bool(std::string_view piece)>;
// Replaces `path` with what `produce` writes piece by piece, so a file of any size is written
// in the memory of one piece. A failure of `produce` (a source that cannot be read) or of a
// write leaves the old file untouched, as ReplaceFile does.
Status ReplaceFileInPieces(const std::string& path,
                           const std::function<Status(const PieceWriter& write)>& produce,
                           const SafeWriteOptions& options = {});

// Whether this process may replace `path` (after following links) with ReplaceFile: its folder
// takes new files and an existing file is writable.
bool CanReplaceFile(const std::string& path);

// The file a path names after following symbolic links (a dangling link: the file it would
// name).
std::string FollowFileLinks(const std::string& path);

// Reads a whole file as bytes. A missing file is a failure (see FileExists to tell).
Result<std::string> ReadFileBytes(const std::string& path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates a directory and its parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

// A fixed file name found without regard to case when the exact name is missing: files
// copied from Windows come in any case. Returns the exact path when nothing matches.
std::string ResolveNoCase(const std::string& path);

// The text of errno for messages.
std::string SystemErrorText(int err);

// Folder and file name parts of a path ("/a/b.txt" -> "/a/", "b.txt").
std::string DirectoryOf(const std::string& path);
std::string FileNameOf(const std::string& path);
// Joins a folder and a name with one "/".
std::string JoinPath(std::string_view dir, std::string_view name);

}  // namespace orva
