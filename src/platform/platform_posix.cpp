#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/platform.h"
#include "text/utf.h"

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace m2v::platform {

namespace fs = std::filesystem;
using text::Utf16ToUtf8;
using text::Utf8ToUtf16;

namespace {

constexpr char16_t kSep = u'\\';

char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

std::u16string RootOf(char16_t drive) { return {drive, u':', kSep}; }

// The folder form used for current folders and the system directory: no trailing "\"
// except at a drive's root.
std::u16string WithoutTrailingSep(std::u16string path) {
  while (path.size() > 3 && path.back() == kSep) path.pop_back();
  return path;
}

fs::path HostSysDir() {
  if (const char* own = std::getenv("MIRTA2VESK_SYSDIR"); own != nullptr && *own != '\0') {
    return own;
  }
  fs::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
    config = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
      const passwd* pw = getpwuid(getuid());
      home = (pw != nullptr && pw->pw_dir != nullptr) ? pw->pw_dir : "/";
    }
    config = fs::path(home) / ".config";
  }
  return config / "mirta2vesk";
}

struct Drive {
  char16_t letter;
  fs::path entry;      // as listed in dosdevices; every look-up goes through it
  fs::path canonical;  // symbolic links resolved, for matching host paths
};

// Read afresh on every call: tests point MIRTA2VESK_SYSDIR elsewhere between cases, and
// a user may map a drive while the program runs. The folder holds a handful of entries.
std::vector<Drive> ReadDriveTableNow() {
  std::map<char16_t, fs::path> entries;
  std::error_code ec;
  for (fs::directory_iterator it(HostSysDir() / "dosdevices", ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // "d::" and "com1" are device entries in the same folder; only "x:" names a drive.
    if (name.size() != 2 || name[1] != ':') continue;
    const char letter = LowerAscii(name[0]);
    if (letter < 'a' || letter > 'z') continue;
    const auto key = static_cast<char16_t>(letter - 'a' + 'A');
    // With both "d:" and "D:" present the lower-case one (the usual spelling) wins.
    if (entries.count(key) == 0 || name[0] == letter) entries[key] = it->path();
  }
  std::vector<Drive> drives;
  if (entries.empty()) {
    drives.push_back({u'Z', "/", "/"});
    return drives;
  }
  for (const auto& [letter, entry] : entries) {
    std::error_code canon_ec;
    fs::path canonical = fs::weakly_canonical(entry, canon_ec);
    if (canon_ec) canonical = entry;
    drives.push_back({letter, entry, canonical});
  }
  return drives;
}

// The drive table as a DriveTableScope keeps it on this thread: the folder read and every
// drive's links resolved once, for as long as the folder's entry does not change.
struct KeptDriveTable {
  int scopes = 0;
  bool kept = false;
  fs::path folder;
  struct stat folder_info {};
  bool folder_present = false;
  std::vector<Drive> drives;
  // Full drive-form paths whose every component was found under its exact name, with the
  // drive root they were resolved from: while they all still exist, so does that choice.
  std::map<std::u16string, std::pair<fs::path, fs::path>> exact;
};

thread_local KeptDriveTable t_kept;

#if defined(__APPLE__)
const timespec& ModifiedTime(const struct stat& info) { return info.st_mtimespec; }
const timespec& ChangedTime(const struct stat& info) { return info.st_ctimespec; }
#else
const timespec& ModifiedTime(const struct stat& info) { return info.st_mtim; }
const timespec& ChangedTime(const struct stat& info) { return info.st_ctim; }
#endif

std::int64_t Nanoseconds(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + static_cast<std::int64_t>(t.tv_nsec);
}

bool SameEntry(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         Nanoseconds(ModifiedTime(a)) == Nanoseconds(ModifiedTime(b)) &&
         Nanoseconds(ChangedTime(a)) == Nanoseconds(ChangedTime(b));
}

// The drive table as it is now: the kept one inside a DriveTableScope, else read into
// `scratch` for this call alone.
const std::vector<Drive>& CurrentDriveTable(std::vector<Drive>& scratch) {
  if (t_kept.scopes == 0) {
    scratch = ReadDriveTableNow();
    return scratch;
  }
  const fs::path folder = HostSysDir() / "dosdevices";
  struct stat info {};
  // Looked at before the folder is read, so that a change while it is read shows next time.
  const bool present = stat(folder.c_str(), &info) == 0;
  if (t_kept.kept && t_kept.folder == folder && t_kept.folder_present == present &&
      (!present || SameEntry(t_kept.folder_info, info))) {
    return t_kept.drives;
  }
  t_kept.drives = ReadDriveTableNow();
  t_kept.kept = true;
  t_kept.folder = folder;
  t_kept.folder_info = info;
  t_kept.folder_present = present;
  return t_kept.drives;
}

std::vector<Drive> ReadDriveTable() {
  std::vector<Drive> scratch;
  return CurrentDriveTable(scratch);
}

// The drive of a letter in `table`, or null.
const Drive* DriveIn(const std::vector<Drive>& table, char16_t letter) {
  letter = UpperAscii(letter);
  for (const Drive& drive : table) {
    if (drive.letter == letter) return &drive;
  }
  return nullptr;
}

std::optional<Drive> FindDrive(char16_t letter) {
  std::vector<Drive> scratch;
  const Drive* drive = DriveIn(CurrentDriveTable(scratch), letter);
  if (drive == nullptr) return std::nullopt;
  return *drive;
}

bool IsReadableFolder(const fs::path& path) {
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return false;
  closedir(dir);
  return true;
}

// Components of a path, no empty ones: "/a//b/" gives {"a", "b"}.
std::vector<std::string> HostComponents(const fs::path& path) {
  std::vector<std::string> parts;
  for (const fs::path& part : path.relative_path()) {
    if (!part.empty()) parts.push_back(part.string());
  }
  return parts;
}

std::optional<std::u16string> DriveFormOf(const fs::path& host) {
  try {
    std::error_code ec;
    fs::path absolute = fs::absolute(host, ec);
    if (ec) return std::nullopt;
    fs::path canonical = fs::weakly_canonical(absolute, ec);
    if (ec) canonical = absolute.lexically_normal();
    const std::vector<std::string> parts = HostComponents(canonical);

    const Drive* best = nullptr;
    std::size_t best_length = 0;
    const std::vector<Drive> drives = ReadDriveTable();
    for (const Drive& drive : drives) {
      const std::vector<std::string> root = HostComponents(drive.canonical);
      if (root.size() > parts.size() || !std::equal(root.begin(), root.end(), parts.begin())) {
        continue;
      }
      // Strictly longer only, so the first letter wins between drives with one root.
      if (best == nullptr || root.size() > best_length) {
        best = &drive;
        best_length = root.size();
      }
    }
    if (best == nullptr) return std::nullopt;

    std::u16string result = RootOf(best->letter);
    for (std::size_t i = best_length; i < parts.size(); ++i) {
      if (i > best_length) result += kSep;
      result += Utf8ToUtf16(parts[i]);
    }
    return result;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Current drive and the current folder of every drive visited, as Windows keeps them per
// process. The host's own working directory is never changed.
struct CurrentState {
  std::mutex mutex;
  char16_t drive = u'Z';
  std::map<char16_t, std::u16string> folders;
};

CurrentState& State() {
  // Never destroyed, so that code running at exit can still ask.
  static CurrentState* state = [] {
    auto* s = new CurrentState;
    std::error_code ec;
    const fs::path cwd = fs::current_path(ec);
    std::optional<std::u16string> here;
    if (!ec) here = DriveFormOf(cwd);
    if (here) {
      s->drive = (*here)[0];
      s->folders[s->drive] = WithoutTrailingSep(*here);
    } else {
      // Working outside every drive: start at the root of the first one.
      s->drive = ReadDriveTable().front().letter;
    }
    return s;
  }();
  return *state;
}

std::u16string CurrentFolderLocked(CurrentState& state, char16_t drive) {
  const auto it = state.folders.find(drive);
  return it != state.folders.end() ? it->second : RootOf(drive);
}

bool IsSep(char16_t c) { return c == u'\\' || c == u'/'; }

std::optional<fs::path> Host(const std::u16string& path) {
  if (path.empty()) return std::nullopt;
  return ToHostPath(path);
}

fs::file_status StatusOf(const std::u16string& path) {
  const std::optional<fs::path> host = Host(path);
  if (!host) return fs::file_status(fs::file_type::not_found);
  std::error_code ec;
  return fs::status(*host, ec);
}

// Names in a folder, sorted in code-unit order; `want_folders` picks folders, else regular
// files.
std::vector<std::u16string> ListEntries(const std::u16string& path, bool want_folders) {
  std::vector<std::u16string> names;
  const std::optional<fs::path> host = Host(path);
  if (!host) return names;
  try {
    std::error_code ec;
    for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code type_ec;
      const bool match = want_folders ? it->is_directory(type_ec) : it->is_regular_file(type_ec);
      if (match && !type_ec) names.push_back(Utf8ToUtf16(it->path().filename().string()));
    }
  } catch (const std::exception&) {
    return {};
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The drive-form path without a trailing "\" (a drive's root becomes "D:"), so that the
// caller can append "\NAME"; the host path itself when no drive reaches it.
std::u16string FolderForAppending(const fs::path& host) {
  if (std::optional<std::u16string> drive_form = DriveFormOf(host)) {
    if (drive_form->back() == kSep) drive_form->pop_back();
    return *drive_form;
  }
  std::u16string result = Utf8ToUtf16(host.string());
  while (result.size() > 1 && result.back() == u'/') result.pop_back();
  return result;
}

}  // namespace

DriveTableScope::DriveTableScope() { ++t_kept.scopes; }

DriveTableScope::~DriveTableScope() {
  if (--t_kept.scopes == 0) t_kept = KeptDriveTable{};
}

std::vector<char16_t> Drives() {
  std::vector<char16_t> letters;
  for (const Drive& drive : ReadDriveTable()) letters.push_back(drive.letter);
  return letters;
}

bool CanSelectDrive(char16_t drive) {
  const std::optional<Drive> found = FindDrive(drive);
  return found && IsReadableFolder(found->entry);
}

bool SetCurrentDrive(char16_t drive) {
  if (!CanSelectDrive(drive)) return false;
  CurrentState& state = State();
  std::lock_guard lock(state.mutex);
  state.drive = UpperAscii(drive);
  return true;
}

char16_t CurrentDrive() {
  CurrentState& state = State();
  std::lock_guard lock(state.mutex);
  return state.drive;
}

std::u16string CurrentFolder(char16_t drive) {
  CurrentState& state = State();
  std::lock_guard lock(state.mutex);
  return CurrentFolderLocked(state, UpperAscii(drive));
}

bool SetCurrentFolder(const std::u16string& path) {
  const std::u16string full = FullPath(path);
  if (full.empty() || !FolderExists(full) || !CanSelectDrive(full[0])) return false;
  CurrentState& state = State();
  std::lock_guard lock(state.mutex);
  state.drive = full[0];
  state.folders[full[0]] = WithoutTrailingSep(full);
  return true;
}

std::u16string FullPath(const std::u16string& path) {
  if (path.empty()) return {};
  char16_t drive = 0;
  std::u16string base;  // absolute folder the rest is relative to
  std::u16string rest;
  {
    CurrentState& state = State();
    std::lock_guard lock(state.mutex);
    // "/:" is no drive: Windows reads "/" as a separator wherever it stands.
    if (path.size() >= 2 && path[1] == u':' && !IsSep(path[0])) {
      drive = UpperAscii(path[0]);
      rest = path.substr(2);
      base = (!rest.empty() && IsSep(rest[0])) ? RootOf(drive) : CurrentFolderLocked(state, drive);
    } else {
      drive = state.drive;
      rest = path;
      base = IsSep(rest[0]) ? RootOf(drive) : CurrentFolderLocked(state, drive);
    }
  }

  std::vector<std::u16string> parts;
  auto push_components = [&parts](std::u16string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = start;
      while (end < text.size() && !IsSep(text[end])) ++end;
      const std::u16string_view part = text.substr(start, end - start);
      if (part == u"..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != u".") {
        parts.emplace_back(part);
      }
      start = end + 1;
    }
  };
  push_components(std::u16string_view(base).substr(3));
  push_components(rest);

  std::u16string result = RootOf(drive);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result += kSep;
    result += parts[i];
  }
  // A trailing separator in the input survives, as GetFullPathNameW keeps it.
  if (!rest.empty() && IsSep(rest.back()) && result.back() != kSep) result += kSep;
  return result;
}

namespace {

// ToHostPath, which may hand back a path kept by the DriveTableScope without looking whether
// its components still exist, when `check_kept` is false: for a caller that looks the path up
// itself and asks again with true when that look-up fails.
std::optional<fs::path> ResolveHost(const std::u16string& path, bool check_kept) {
  // The system would read the name only up to a NUL: "D:\..\0x" would leave the drive.
  if (path.find(u'\0') != std::u16string::npos) return std::nullopt;
  try {
    // A host path (the system directory when no drive reaches it) stays a host path.
    if (!path.empty() && path[0] == u'/') {
      std::u16string host = path;
      std::replace(host.begin(), host.end(), kSep, u'/');
      return fs::path(Utf16ToUtf8(host));
    }
    const std::u16string full = FullPath(path);
    if (full.size() < 3) return std::nullopt;
    std::vector<Drive> scratch;
    const Drive* drive = DriveIn(CurrentDriveTable(scratch), full[0]);
    if (drive == nullptr) return std::nullopt;

    if (t_kept.scopes > 0) {
      const auto kept = t_kept.exact.find(full);
      struct stat info {};
      if (kept != t_kept.exact.end() && kept->second.first == drive->canonical &&
          (!check_kept || lstat(kept->second.second.c_str(), &info) == 0)) {
        return kept->second.second;
      }
    }

    fs::path host = drive->canonical;
    bool parent_exists = true;
    bool all_exact = true;
    std::size_t start = 3;
    while (start < full.size()) {
      std::size_t end = full.find(kSep, start);
      if (end == std::u16string::npos) end = full.size();
      const std::string wanted = Utf16ToUtf8(full.substr(start, end - start));
      start = end + 1;
      if (wanted.empty()) continue;

      std::string chosen = wanted;
      if (parent_exists) {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(host / wanted, ec))) {
          // Several names may differ only in case; the smallest wins so that the choice
          // does not depend on the order the folder happens to list them in.
          std::optional<std::string> match;
          for (fs::directory_iterator it(host, ec), stop; !ec && it != stop; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (EqualIgnoringAsciiCase(name, wanted) && (!match || name < *match)) match = name;
          }
          all_exact = false;
          if (match) {
            chosen = *match;
          } else {
            parent_exists = false;
          }
        }
      }
      host /= chosen;
    }
    // "D:\NAME\" names a folder only; "/" keeps that meaning for the host.
    if (full.size() > 3 && full.back() == kSep) host /= "";
    if (t_kept.scopes > 0 && all_exact) t_kept.exact[full] = {drive->canonical, host};
    return host;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<fs::path> ToHostPath(const std::u16string& path) { return ResolveHost(path, true); }

std::optional<std::u16string> ToDrivePath(const fs::path& host) { return DriveFormOf(host); }

std::u16string ToDriveForm(const std::u16string& typed) {
  if (typed.empty() || typed[0] != u'/') return typed;
  std::optional<std::u16string> drive_form = DriveFormOf(fs::path(Utf16ToUtf8(typed)));
  if (!drive_form) return typed;
  // "/srv/out/" names a folder the way "D:\out\" does; keep the hint.
  if (typed.back() == u'/' && drive_form->back() != kSep) *drive_form += kSep;
  return *drive_form;
}

bool FolderExists(const std::u16string& path) { return fs::is_directory(StatusOf(path)); }

bool FileExists(const std::u16string& path) { return fs::is_regular_file(StatusOf(path)); }

bool EntryExists(const std::u16string& path) { return fs::exists(StatusOf(path)); }

bool CreateFolder(const std::u16string& path) {
  const std::optional<fs::path> host = Host(path);
  return host && mkdir(host->c_str(), 0777) == 0;
}

std::int64_t FileSize(const std::u16string& path) {
  const std::optional<fs::path> host = Host(path);
  if (!host) return -1;
  struct stat info {};
  if (stat(host->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

std::optional<FileStamp> StampOf(const std::u16string& path) {
  if (path.empty()) return std::nullopt;
  // A kept path that still leads to a file was resolved to that file: each of its components
  // exists under the exact name asked for, which the resolution always prefers.
  std::optional<fs::path> host = ResolveHost(path, false);
  struct stat info {};
  if (host && stat(host->c_str(), &info) != 0) {
    host = ResolveHost(path, true);
    if (host && stat(host->c_str(), &info) != 0) return std::nullopt;
  }
  if (!host || !S_ISREG(info.st_mode)) return std::nullopt;
  FileStamp stamp;
  stamp.volume = static_cast<std::uint64_t>(info.st_dev);
  stamp.file_id = static_cast<std::uint64_t>(info.st_ino);
  stamp.size = static_cast<std::int64_t>(info.st_size);
  stamp.modified_ns = Nanoseconds(ModifiedTime(info));
  stamp.changed_ns = Nanoseconds(ChangedTime(info));
  return stamp;
}

bool RemoveFile(const std::u16string& path) {
  const std::optional<fs::path> host = Host(path);
  if (!host) return false;
  struct stat info {};
  // unlink() would also take a symbolic link to a folder; only files go this way.
  if (stat(host->c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return unlink(host->c_str()) == 0;
}

namespace {

// Writes all of `bytes` to `fd`; false with errno set on failure.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void SyncFolderOf(const fs::path& file) {
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

}  // namespace

bool WriteReplacing(const std::u16string& target, const std::u16string& work,
                    std::string_view bytes, bool durable) {
  const std::optional<fs::path> to = Host(target);
  const std::optional<fs::path> from = Host(work);
  if (!to || !from) {
    errno = ENOENT;
    return false;
  }
  // A stale work file, or a link planted under its name, goes: it is never written through.
  struct stat info {};
  if (lstat(from->c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      errno = EISDIR;
      return false;
    }
    if (unlink(from->c_str()) != 0) return false;
  }
  const int fd = open(from->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // The replacement keeps the permissions the file had.
  if (stat(to->c_str(), &info) == 0 && S_ISREG(info.st_mode)) fchmod(fd, info.st_mode & 07777);
  bool written = WriteAll(fd, bytes) && (!durable || fsync(fd) == 0);
  int error = errno;
  if (close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  // rename() replaces the entry under the target's name; a link standing there is not followed.
  if (!written || std::rename(from->c_str(), to->c_str()) != 0) {
    if (written) error = errno;
    unlink(from->c_str());
    errno = error;
    return false;
  }
  // The rename is the commit point. Syncing the folder makes it survive a power cut; when that
  // fails the new target is already in place, so the replacement still counts as done.
  if (durable) SyncFolderOf(*to);
  return true;
}

std::u16string LastErrorText() { return Utf8ToUtf16(std::strerror(errno)); }

bool CanWrite(const std::u16string& path) {
  const std::optional<fs::path> host = Host(path);
  return host && access(host->c_str(), W_OK) == 0;
}

bool SamePath(const std::u16string& a, const std::u16string& b) {
  const std::optional<fs::path> host_a = Host(FullPath(a));
  const std::optional<fs::path> host_b = Host(FullPath(b));
  if (!host_a || !host_b) return false;
  std::error_code ec_a;
  std::error_code ec_b;
  const fs::path real_a = fs::weakly_canonical(*host_a, ec_a);
  const fs::path real_b = fs::weakly_canonical(*host_b, ec_b);
  if (ec_a || ec_b) return false;
  // A name not created yet would be found again without regard to letter case.
  return EqualIgnoringAsciiCase(real_a.string(), real_b.string());
}

FolderLock::FolderLock(const std::u16string& folder, std::chrono::milliseconds wait) {
  const std::optional<fs::path> host = Host(folder);
  if (!host) return;
  const int fd = open(host->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      handle_ = fd;
      state_ = State::kLocked;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) break;  // no locks on this file system
    if (std::chrono::steady_clock::now() >= deadline) {
      state_ = State::kBusy;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  close(fd);
}

FolderLock::~FolderLock() {
  if (handle_ >= 0) close(static_cast<int>(handle_));  // closing gives the lock up
}

std::u16string SysDir() {
  try {
    return FolderForAppending(HostSysDir());
  } catch (const std::exception&) {
    return {};
  }
}

std::u16string QPRTrim(const std::u16string& text) {
  const std::size_t end = text.find_last_not_of(u' ');
  return end == std::u16string::npos ? std::u16string() : text.substr(0, end + 1);
}

std::u16string ProgramFolder() {
  try {
#if defined(__APPLE__)
    uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string buffer(size, '\0');
    if (_NSGetExecutablePath(buffer.data(), &size) != 0) return {};
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    const fs::path exe = buffer;
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
#endif
    return FolderForAppending(exe.parent_path());
  } catch (const std::exception&) {
    return {};
  }
}

std::vector<std::u16string> MarkerFolders() {
  std::u16string folder = SysDir();
  if (folder.empty()) return {};
  return {std::move(folder)};
}

std::vector<std::u16string> ListFolders(const std::u16string& path) {
  return ListEntries(path, true);
}

std::vector<std::u16string> ListFiles(const std::u16string& path) {
  return ListEntries(path, false);
}

}  // namespace m2v::platform
