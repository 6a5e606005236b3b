#pragma once

// Everything the operating system decides, behind drive-form paths ("D:\SURVEY\HOLE1\").
// Windows answers natively; POSIX answers from a drive table in the Wine convention
// (<system directory>/dosdevices/c: ...; with no entry at all, Z: is "/").
// Drive letters are upper case in every result. Functions never throw unless they say so.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::platform {

// While one lives on a thread, the drive table is read once and kept for that thread (POSIX):
// a run turns thousands of drive-form paths into host paths, and reading the table folder and
// resolving every drive's links each time costs more than the file operation itself. The
// folder's entry is looked at before every use, so a drive mapped, removed or re-pointed
// during the scope is seen at once; a link further along a drive's target that is re-pointed
// during the scope is not. Nests; the table is dropped when the outermost scope ends.
class DriveTableScope {
 public:
  DriveTableScope();
  ~DriveTableScope();
  DriveTableScope(const DriveTableScope&) = delete;
  DriveTableScope& operator=(const DriveTableScope&) = delete;
};

// Drives present in the table (Windows: the machine's logical drives), "C:" order.
std::vector<char16_t> Drives();

// True when the drive exists and its root folder can be read now.
bool CanSelectDrive(char16_t drive);

// Makes the drive current. False (and nothing changes) when it cannot be selected.
bool SetCurrentDrive(char16_t drive);
// At start the drive of the process's working folder, which is that drive's current folder.
// POSIX works it out from the drive table when first needed (the first drive of the table,
// at its root, when no drive reaches the working folder) and never changes the host's own
// working folder.
char16_t CurrentDrive();

// The current folder of a drive, drive-form without a trailing "\" except at the root ("D:\").
std::u16string CurrentFolder(char16_t drive);

// Makes a folder the current folder of its drive and its drive the current drive.
// False when the folder does not exist.
bool SetCurrentFolder(const std::u16string& path);

// Makes a possibly relative drive-form path absolute ("D:\A\B"), as Windows does:
// "D:x" is relative to D's current folder, "\x" to the current drive, "x" to the current
// folder; "." and ".." are resolved and doubled separators collapse. Nothing is looked up.
std::u16string FullPath(const std::u16string& path);

// The host path that a drive-form path names: each component matched without regard to
// letter case (exact name first); a missing component keeps its case. nullopt when the
// path's drive does not exist or the path holds a NUL.
std::optional<std::filesystem::path> ToHostPath(const std::u16string& path);

// The drive-form path of a host path: the drive whose root is its longest prefix.
std::optional<std::u16string> ToDrivePath(const std::filesystem::path& host);

// A path as a person types it: a host absolute path is turned into drive-form, anything
// else is returned unchanged (Windows: always unchanged).
std::u16string ToDriveForm(const std::u16string& typed);

bool FolderExists(const std::u16string& path);
// A regular file (not a folder) exists under the path.
bool FileExists(const std::u16string& path);
// A file or folder exists under the path.
bool EntryExists(const std::u16string& path);
// Creates one folder level. False on failure (also when its parent is missing).
bool CreateFolder(const std::u16string& path);
// Size in bytes; -1 when the file does not exist or is no regular file.
std::int64_t FileSize(const std::u16string& path);
bool RemoveFile(const std::u16string& path);

// What a look at a file's entry tells without reading the file. A write to the file, by this
// process or any other, changes its size, one of its times or (a replacement) its identity;
// only a rewrite that keeps the size within one tick of the file system's clock keeps all.
struct FileStamp {
  std::uint64_t volume = 0;
  std::uint64_t file_id = 0;  // POSIX inode, Windows file index
  std::int64_t size = 0;
  std::int64_t modified_ns = 0;  // last write of the data, nanoseconds since 1970-01-01 UTC
  std::int64_t changed_ns = 0;   // last change of data or entry (POSIX ctime, Windows ChangeTime)
  bool operator==(const FileStamp&) const = default;
};
// The stamp of the regular file under the path; nullopt when there is none.
std::optional<FileStamp> StampOf(const std::u16string& path);

// Writes `bytes` into a new file `work` (in the target's folder) and renames it over `target`.
// A stale entry named `work`, a link planted there included, is removed first and never
// followed; `target` is replaced as an entry, so a link standing there is replaced, never
// written through. With `durable` the data and then the rename reach the disk before it
// returns: a power cut at any instant leaves either the old or the new target. False on
// failure, with `target` as it was, `work` removed and LastErrorText() saying why.
bool WriteReplacing(const std::u16string& target, const std::u16string& work,
                    std::string_view bytes, bool durable);

// The system's reason, in its words, for the last call of this layer that failed.
std::u16string LastErrorText();

// True when this process may write the file, or create and remove entries in the folder.
bool CanWrite(const std::u16string& path);

// True when the two paths lead to one entry, or would once created: links followed, letter
// case ignored as the look-up ignores it, relative paths taken from the current folders.
bool SamePath(const std::u16string& a, const std::u16string& b);

// An exclusive lock of a folder among processes, held from construction to destruction and
// given up by a process however it ends. POSIX locks the folder itself; Windows holds a
// file of the folder, XKISHITU.LCK, that is removed when it is closed.
class FolderLock {
 public:
  enum class State {
    kLocked,
    kBusy,         // another process held the lock for all of `wait`
    kUnavailable,  // the folder cannot be locked here (missing, read-only on Windows, ...)
  };
  FolderLock(const std::u16string& folder, std::chrono::milliseconds wait);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  State state() const { return state_; }

 private:
  State state_ = State::kUnavailable;
  std::intptr_t handle_ = -1;
};

// The system directory without a trailing "\" (POSIX: $MIRTA2VESK_SYSDIR, else
// ${XDG_CONFIG_HOME:-$HOME/.config}/mirta2vesk, in drive-form). Every platform honours
// MIRTA2VESK_SYSDIR so that tests are hermetic.
std::u16string SysDir();
// The text without its trailing blanks.
std::u16string QPRTrim(const std::u16string& text);

// The folder that holds the program file, drive-form, without a trailing "\".
std::u16string ProgramFolder();
// The folders where the pattern-added marker may live, the one it belongs in first.
// Windows: the program folder, then %LOCALAPPDATA%\mirta2vesk for a program installed where
// its user cannot write (Program Files); only the system directory when MIRTA2VESK_SYSDIR
// names one, so that tests are hermetic. POSIX: the system directory, which is the user's
// own (a program's folder there is /usr/bin or a build tree, no place for a user's file).
std::vector<std::u16string> MarkerFolders();

// Names (not paths) of the entries of a folder, sorted; folders or regular files only.
std::vector<std::u16string> ListFolders(const std::u16string& path);
std::vector<std::u16string> ListFiles(const std::u16string& path);

}  // namespace m2v::platform
