// The hosts table manager: the staging file "hosts.mqm" of the servers resolved during calls,
// its merge into the system hosts file, and the logic of the dialog that edits both lists.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Result.h"

namespace orva {

// One entry of a hosts list. `line` is the line of the file it was read from (-1: added), and
// `changed` tells that its time text was updated since, so an untouched entry is written
// back exactly as it was read.
struct TIpaddr {
  std::string address;   // up to 24 characters
  std::string hostName;  // up to 255
  std::string timeText;  // up to 64
  int line = -1;
  bool changed = false;
};

// The line rule: a line is taken only when its first "#" is the fourth character or later.
// The address is the text before the first space, the host name the text between the first
// and the second space, the time text everything after the first "#" (all trimmed).
std::optional<TIpaddr> ParseHostsLine(std::string_view line);
// Address, one space, host name, one space, "#", time text; the address and its space cut to
// 25 characters (an IPv6 address is never cut: a cut one would name another machine), the
// whole line to 255.
std::string FormatHostsLine(const TIpaddr& entry);
// Entries named "?" (not resolved) are never written.
bool IsWritable(const TIpaddr& entry);

// Letters, digits, hyphens and dots; labels of 1 to 63 characters not starting or ending with
// a hyphen; at most 253 in all; not an address (the last label is not all digits).
bool IsValidHostName(std::string_view name);
// Four decimal numbers 0..255 separated by dots, nothing else.
bool IsIPv4Address(std::string_view text);
// An IPv6 address in its text forms ("2001:db8::1", "::ffff:1.2.3.4"), without a zone.
bool IsIPv6Address(std::string_view text);
bool IsIPAddress(std::string_view text);
// The usual text of an address, so that two spellings of one IPv6 address compare equal; the
// text itself when it is no address.
std::string CanonicalAddress(std::string_view text);

// A hosts file as read: every line with its own line end, and the entries the rule took.
// Lines the rule does not take are written back byte for byte in their place.
struct HostsFile {
  struct Line {
    std::string bytes;   // as on disk, without the line end
    std::string ending;  // "\r\n", "\n", "\r" or "" for a last line without one
    bool taken = false;
    // Taken and written the program's way ("address name #time"): a line whose time text the
    // program may renew. A person's line with aliases, blanks or a comment of his own is
    // taken but kept byte for byte.
    bool own = false;
  };
  std::vector<Line> lines;
  std::vector<TIpaddr> entries;
  // The system hosts file is UTF-8 and takes only entries with an IPv4 or IPv6 address and a
  // valid host name; the program's own files are Windows-1252 with CR LF.
  bool system = false;

  static HostsFile Parse(std::string_view bytes, bool system);
  // The names (as HostNameKey) on the lines that are not the program's own: a person's lines
  // and the system's, taken or not.
  std::unordered_set<std::string> ForeignNames() const;
  // The line end for added lines: the file's own (its first line's), else the kind's default.
  std::string NewLineEnding() const;
  // The file's bytes with `list` in place of the entries: every entry read from the file goes
  // back to its own line, whatever the list's order (untouched entries as they were read);
  // lines of entries no longer in the list go; added entries are appended in list order; lines
  // the rule did not take stay where they were. Entries that may not be written are left out,
  // and so, in the system file, are added entries whose name a remaining line gives already
  // (in any case) or whose address is loopback or link-local.
  std::string Render(const std::vector<TIpaddr>& list) const;
};

// The program's hosts files.
struct HostsPaths {
  std::string staging;         // "hosts.mqm" in the program folder
  std::string system;          // the system hosts file
  std::string Backup() const;  // "hosts.bak" beside the system file
};
inline constexpr const char* kSystemHostsPath = "/etc/hosts";
// The data directory's "hosts.mqm" (found without regard to case) and the system hosts file.
HostsPaths HostsPathsIn(const std::string& dataDir, std::string systemHosts = kSystemHostsPath);

// Reads a list file; a missing file is a failure.
Result<HostsFile> LoadHostsFile(const std::string& path, bool system);
// Writes a list of the program's own (Windows-1252, CR LF) by the writing rule.
Status SaveHostsList(const std::string& path, const std::vector<TIpaddr>& list);

// The merge rule: each staged entry, in order, updates the time text of the first system entry
// with the same host name in any letter case (its address stays), or is appended. Indexed by
// host name.
void MergeInto(std::vector<TIpaddr>& system, const std::vector<TIpaddr>& staged);

// The progress box of long operations (TSmallMsg): the window implements it; logic without a
// display passes none.
class ProgressBox {
 public:
  virtual ~ProgressBox() = default;
  // Shows the box, or replaces its text when it is open.
  virtual void Show(const std::string& text, bool stopVisible) = 0;
  virtual void Close() = 0;
  // "Interrompi" was pressed and confirmed.
  virtual bool Aborted() const = 0;
  // Lets the window draw and take clicks between entries of a long loop.
  virtual void Pump() {}
};

// The automatic merge of "hosts.mqm" into the system hosts file. A missing staging file stops
// without a message; a system file that cannot be written is left untouched and the failure
// carries the system's text. Nothing is written when the merge changes nothing.
Status MergeStagedHosts(const HostsPaths& paths, ProgressBox* progress = nullptr);

class HostsAuthority;

// THostsDlg's logic: the staging list (0, left) and the system list (1, right).
class HostsModel {
 public:
  // `authority`: who writes a system hosts file this program may not write (none: nobody).
  HostsModel(HostsPaths paths, Dialogs& dialogs, ProgressBox* progress = nullptr,
             HostsAuthority* authority = nullptr);

  // First activation: both lists from their files.
  void Activate();
  // Loads a list from a file (resetting its direction to ascending); a missing file leaves the
  // list empty.
  void LoadList(int side, const std::string& path);
  const std::vector<TIpaddr>& List(int side) const { return m_lists[side]; }
  const std::string& FilePath(int side) const { return m_files[side]; }
  const HostsPaths& Paths() const { return m_paths; }
  bool Ascending(int side) const { return m_ascending[side]; }
  bool Modified() const { return m_modified; }
  // " 12 elementi"
  std::string CountText(int side) const;

  // A header click: flips the direction and sorts again.
  void HeaderClick(int side);
  // Deletes rows by index (any order) from the last upwards. The left list asks first and
  // rewrites "hosts.mqm" in the program folder when anything was deleted; the right list is
  // marked modified. Returns the number deleted (the stop button ends the loop).
  int DeleteSelected(int side, std::vector<int> rows);
  // How the last rewrite of "hosts.mqm" after a deletion went (the window reports a failure).
  const Status& StagingWriteStatus() const { return m_stagingWrite; }
  // ">" and ">>>": copies left entries into the right list by the merge rule.
  void CopySelected(const std::vector<int>& rows);
  void CopyAll();
  // Save0Btn: the left list to a file of the user's choice.
  Status SaveLeft(const std::string& path);
  // Save1Btn: keeps a copy of the system file as "hosts.bak", then writes the right list to
  // the system hosts file. A failure leaves the system file untouched. A file this program may
  // not write gets the changes (added, updated and deleted entries) through the privileged
  // helper, with one authorisation, and the list is read again from it.
  Status SaveSystem();
  // Closing with unsaved changes asks; false keeps the dialog open.
  bool CanClose();

 private:
  void Sort(int side);
  void Progress(const std::string& text, bool stop);

  HostsPaths m_paths;
  Dialogs& m_dialogs;
  ProgressBox* m_progress;
  HostsAuthority* m_authority;
  std::vector<TIpaddr> m_lists[2];
  HostsFile m_layout[2];
  std::string m_files[2];
  bool m_ascending[2] = {true, true};
  bool m_modified = false;
  Status m_stagingWrite;
};

}  // namespace orva
