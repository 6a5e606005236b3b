#include <windows.h>

#include <direct.h>
#include <stdlib.h>

#include <algorithm>
#include <cwchar>

#include "platform/platform.h"

namespace m2v::platform {

namespace fs = std::filesystem;

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

constexpr char16_t kSep = u'\\';

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::u16string Utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }
bool IsLetter(char16_t c) { return c >= u'A' && c <= u'Z'; }

std::u16string RootOf(char16_t drive) { return {drive, u':', kSep}; }

// Windows hands drive letters back in the case they were typed; callers compare them.
std::u16string UpperDrive(std::u16string path) {
  if (path.size() >= 2 && path[1] == u':') path[0] = UpperAscii(path[0]);
  return path;
}

std::u16string WithoutTrailingSep(std::u16string path, std::size_t keep) {
  while (path.size() > keep && path.back() == kSep) path.pop_back();
  return path;
}

bool DriveInTable(char16_t drive) {
  drive = UpperAscii(drive);
  return IsLetter(drive) && (GetLogicalDrives() & (DWORD{1} << (drive - u'A'))) != 0;
}

// "Insert a disk" boxes must not appear while an empty drive is probed.
class NoCriticalErrorBoxes {
 public:
  NoCriticalErrorBoxes() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
  ~NoCriticalErrorBoxes() { SetThreadErrorMode(previous_, nullptr); }
  NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
  NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

 private:
  DWORD previous_ = 0;
};

std::optional<std::wstring> FullPathOf(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length);  // too small: `length` counts the terminating NUL too
  }
}

// The long-path prefix "\\?\" adds nothing to a drive-form path.
std::wstring WithoutLongPrefix(std::wstring path) {
  if (path.size() >= 6 && path.compare(0, 4, L"\\\\?\\") == 0 && path[5] == L':') {
    path.erase(0, 4);
  }
  return path;
}

DWORD AttributesOf(const std::u16string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(Wide(path).c_str());
}

std::vector<std::u16string> ListEntries(const std::u16string& path, bool want_folders) {
  std::vector<std::u16string> names;
  if (path.empty()) return names;
  std::wstring pattern = Wide(path);
  if (pattern.back() != L'\\' && pattern.back() != L'/' && pattern.back() != L':') {
    pattern += L'\\';
  }
  pattern += L'*';

  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool device = (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0;
    if (want_folders ? folder : (!folder && !device)) names.push_back(Utf16(name));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

// Windows asks the system for every path; there is nothing to keep.
DriveTableScope::DriveTableScope() = default;
DriveTableScope::~DriveTableScope() = default;

std::vector<char16_t> Drives() {
  std::vector<char16_t> letters;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((mask & (DWORD{1} << i)) != 0) letters.push_back(static_cast<char16_t>(u'A' + i));
  }
  return letters;
}

bool CanSelectDrive(char16_t drive) {
  drive = UpperAscii(drive);
  if (!DriveInTable(drive)) return false;
  const NoCriticalErrorBoxes quiet;
  const std::wstring pattern = {static_cast<wchar_t>(drive), L':', L'\\', L'*'};
  WIN32_FIND_DATAW data;
  const HANDLE find =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find != INVALID_HANDLE_VALUE) {
    FindClose(find);
    return true;
  }
  // A freshly formatted medium has nothing in its root, yet it can be read.
  return GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool SetCurrentDrive(char16_t drive) {
  drive = UpperAscii(drive);
  if (!CanSelectDrive(drive)) return false;
  return _chdrive(drive - u'A' + 1) == 0;
}

char16_t CurrentDrive() {
  const int drive = _getdrive();
  // 0 when the process works in a network share without a letter; C: is what such a
  // process would have seen as its drive under the old tools.
  return drive >= 1 && drive <= 26 ? static_cast<char16_t>(u'A' + drive - 1) : u'C';
}

std::u16string CurrentFolder(char16_t drive) {
  drive = UpperAscii(drive);
  // The runtime rejects an absent drive as an invalid parameter, which may end the program.
  if (!DriveInTable(drive)) return RootOf(drive);
  wchar_t* folder = _wgetdcwd(drive - u'A' + 1, nullptr, 0);
  if (folder == nullptr) return RootOf(drive);
  std::u16string result = Utf16(folder);
  free(folder);
  return WithoutTrailingSep(UpperDrive(result), 3);
}

bool SetCurrentFolder(const std::u16string& path) {
  const std::u16string full = FullPath(path);
  if (full.empty() || !FolderExists(full)) return false;
  // _wchdir, unlike SetCurrentDirectoryW, also records the folder as its drive's own
  // current folder, which "D:x" and _wgetdcwd read back.
  return _wchdir(Wide(full).c_str()) == 0;
}

std::u16string FullPath(const std::u16string& path) {
  const std::optional<std::wstring> full = FullPathOf(Wide(path));
  return full ? UpperDrive(Utf16(*full)) : std::u16string();
}

std::optional<fs::path> ToHostPath(const std::u16string& path) {
  if (path.size() >= 2 && path[1] == u':' && !DriveInTable(path[0])) return std::nullopt;
  return fs::path(Wide(path));
}

std::optional<std::u16string> ToDrivePath(const fs::path& host) {
  const std::optional<std::wstring> full = FullPathOf(WithoutLongPrefix(host.wstring()));
  if (!full || full->size() < 3 || (*full)[1] != L':') return std::nullopt;  // a share
  return UpperDrive(Utf16(*full));
}

std::u16string ToDriveForm(const std::u16string& typed) { return typed; }

bool FolderExists(const std::u16string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::u16string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool EntryExists(const std::u16string& path) {
  return AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool CreateFolder(const std::u16string& path) {
  return !path.empty() && CreateDirectoryW(Wide(path).c_str(), nullptr) != 0;
}

std::int64_t FileSize(const std::u16string& path) {
  if (path.empty()) return -1;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) return -1;
  return static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
}

std::optional<FileStamp> StampOf(const std::u16string& path) {
  if (path.empty()) return std::nullopt;
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, so only a file gets past.
  const HANDLE file = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO basic;
  const bool ok = GetFileInformationByHandle(file, &info) != 0 &&
                  GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) != 0 &&
                  GetFileType(file) == FILE_TYPE_DISK;
  CloseHandle(file);
  if (!ok || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  // FILETIME counts 100 ns from 1601-01-01.
  constexpr std::int64_t kFrom1601 = 116444736000000000;
  auto nanoseconds = [](std::int64_t ticks) { return (ticks - kFrom1601) * 100; };
  FileStamp stamp;
  stamp.volume = info.dwVolumeSerialNumber;
  stamp.file_id = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  stamp.size =
      static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  stamp.modified_ns = nanoseconds(basic.LastWriteTime.QuadPart);
  stamp.changed_ns = nanoseconds(basic.ChangeTime.QuadPart);
  return stamp;
}

bool RemoveFile(const std::u16string& path) {
  return !path.empty() && DeleteFileW(Wide(path).c_str()) != 0;
}

bool WriteReplacing(const std::u16string& target, const std::u16string& work,
                    std::string_view bytes, bool durable) {
  if (target.empty() || work.empty()) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  const std::wstring to = Wide(target);
  const std::wstring from = Wide(work);
  // A stale work file, or a link planted under its name, goes: DeleteFileW removes a reparse
  // point itself, never what it points at.
  const DWORD attributes = GetFileAttributesW(from.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      SetLastError(ERROR_DIRECTORY);
      return false;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      SetFileAttributesW(from.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                             ? RemoveDirectoryW(from.c_str())
                             : DeleteFileW(from.c_str());
    if (!removed) return false;
  }
  const HANDLE file = CreateFileW(from.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = true;
  while (written && !bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD done = 0;
    written = WriteFile(file, bytes.data(), chunk, &done, nullptr) != 0 && done > 0;
    bytes.remove_prefix(done);
  }
  written = written && (!durable || FlushFileBuffers(file) != 0);
  DWORD error = GetLastError();
  if (CloseHandle(file) == 0 && written) {
    written = false;
    error = GetLastError();
  }
  // MoveFileExW replaces the entry under the target's name; a link standing there is not
  // followed.
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
  if (!written || MoveFileExW(from.c_str(), to.c_str(), flags) == 0) {
    if (written) error = GetLastError();
    DeleteFileW(from.c_str());
    SetLastError(error);
    return false;
  }
  return true;
}

std::u16string LastErrorText() {
  const DWORD error = GetLastError();
  wchar_t* text = nullptr;
  const DWORD size = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = size > 0 ? std::wstring(text, size) : std::wstring();
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                              message.back() == L' ' || message.back() == L'.')) {
    message.pop_back();
  }
  if (message.empty()) message = L"error " + std::to_wstring(error);
  return Utf16(message);
}

bool CanWrite(const std::u16string& path) {
  if (path.empty()) return false;
  // Opening for writing changes nothing; FILE_FLAG_BACKUP_SEMANTICS lets a folder open, and
  // write access to a folder is the right to add entries to it.
  const HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(handle);
  return true;
}

bool SamePath(const std::u16string& a, const std::u16string& b) {
  const std::optional<std::wstring> full_a = FullPathOf(Wide(a));
  const std::optional<std::wstring> full_b = FullPathOf(Wide(b));
  return full_a && full_b &&
         CompareStringOrdinal(full_a->c_str(), static_cast<int>(full_a->size()), full_b->c_str(),
                              static_cast<int>(full_b->size()), TRUE) == CSTR_EQUAL;
}

FolderLock::FolderLock(const std::u16string& folder, std::chrono::milliseconds wait) {
  if (folder.empty()) return;
  std::wstring path = Wide(folder);
  if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
  path += L"XKISHITU.LCK";
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    // Opened by one process at a time, and gone once that process closes it or ends.
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<std::intptr_t>(file);
      state_ = State::kLocked;
      return;
    }
    const DWORD error = GetLastError();
    // A file held, or being removed, by another process; any other error (a folder that
    // cannot be written) means no lock can be had here.
    const bool held = error == ERROR_SHARING_VIOLATION ||
                      (error == ERROR_ACCESS_DENIED &&
                       GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!held) return;
    if (std::chrono::steady_clock::now() >= deadline) {
      state_ = State::kBusy;
      return;
    }
    Sleep(10);
  }
}

FolderLock::~FolderLock() {
  if (state_ == State::kLocked) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::u16string SysDir() {
  if (const wchar_t* own = _wgetenv(L"MIRTA2VESK_SYSDIR"); own != nullptr && *own != L'\0') {
    const std::u16string full = FullPath(Utf16(own));
    return WithoutTrailingSep(full.empty() ? Utf16(own) : full, 0);
  }
  // Installers of the 32-bit era put the settings file where a 32-bit program sees the
  // system folder; on 64-bit Windows that is the WOW64 folder. It does not exist on
  // 32-bit Windows, where the call fails.
  using Getter = UINT(WINAPI*)(LPWSTR, UINT);
  for (const Getter get : {Getter{GetSystemWow64DirectoryW}, Getter{GetSystemDirectoryW}}) {
    std::wstring buffer(MAX_PATH, L'\0');
    UINT length = get(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
      buffer.resize(length);
      length = get(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size()) continue;
    buffer.resize(length);
    return WithoutTrailingSep(UpperDrive(Utf16(buffer)), 0);
  }
  return {};
}

std::u16string QPRTrim(const std::u16string& text) {
  const std::size_t end = text.find_last_not_of(u' ');
  return end == std::u16string::npos ? std::u16string() : text.substr(0, end + 1);
}

std::u16string ProgramFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);  // truncated
  }
  const std::u16string file = UpperDrive(Utf16(WithoutLongPrefix(buffer)));
  const std::size_t sep = file.find_last_of(kSep);
  if (sep == std::u16string::npos) return {};
  return WithoutTrailingSep(file.substr(0, sep), 0);
}

std::vector<std::u16string> MarkerFolders() {
  if (const wchar_t* own = _wgetenv(L"MIRTA2VESK_SYSDIR"); own != nullptr && *own != L'\0') {
    return {SysDir()};
  }
  std::vector<std::u16string> folders;
  if (std::u16string program = ProgramFolder(); !program.empty()) {
    folders.push_back(std::move(program));
  }
  if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local != nullptr && *local != L'\0') {
    folders.push_back(WithoutTrailingSep(UpperDrive(Utf16(local)), 0) + u"\\mirta2vesk");
  }
  return folders;
}

std::vector<std::u16string> ListFolders(const std::u16string& path) {
  return ListEntries(path, true);
}

std::vector<std::u16string> ListFiles(const std::u16string& path) {
  return ListEntries(path, false);
}

}  // namespace m2v::platform
