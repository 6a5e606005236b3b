#pragma once

// Files that a run reads again and again, kept in memory for the length of the run: the soil
// tables and L23.txt, read for every look-up, and the survey, read by every pass. The file
// stays the truth: before every use the kept bytes are checked against it, a file that anyone
// else changed is read again, and every write the run makes to a kept file goes through here.
//
// Keeping happens only on a thread that holds a FileCacheScope (the run opens one), and never
// when caches are off: when the environment variable MIRTA2VESK_NO_CACHE is set to anything
// but "" or "0", or after SetFileCachesEnabled(false). Everything then reads its file on every
// call, as the system always did, so a cached and an uncached run can be compared byte for byte.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace m2v::common {

class LineReader;

// Overrides the environment for this process: true caches (inside a scope), false never.
void SetFileCachesEnabled(bool enabled);
// The setting in force now.
bool FileCachesEnabled();

// While one lives on a thread, files read on that thread may be kept in memory, and so may
// the drive table (platform::DriveTableScope); all are dropped when the outermost scope ends.
// Nests. Whether it keeps anything is decided when the outermost scope opens.
class FileCacheScope {
 public:
  FileCacheScope();
  ~FileCacheScope();
  FileCacheScope(const FileCacheScope&) = delete;
  FileCacheScope& operator=(const FileCacheScope&) = delete;

 private:
  std::optional<platform::DriveTableScope> drives_;
};

// Until the outermost scope on this thread ends, a kept file whose path begins with `folder`
// is checked against the disk at its first use only, and trusted from then on: for a folder
// this process holds locked, so that no other run writes it meanwhile.
void KeepFolderSteady(const std::u16string& folder);

// True when this thread may keep files now: a scope is open and caches are on.
bool FileCachingActive();
// Runs `drop` when the outermost scope of this thread ends; a cache calls this when it first
// keeps something, to give its memory back.
void OnFileCacheScopeEnd(std::function<void()> drop);

// The survey's lines as LineReader::Open gives them, read and decoded once per run and checked
// against the file on every open. Throws as LineReader::Open.
LineReader OpenKeptLines(const std::u16string& path);

// The bytes of one file as they were the last time they were known to match it.
class CachedFile {
 public:
  // Makes the bytes match the file now. The file is read again when its stamp differs from
  // the one taken before the last read, and its bytes are compared when that stamp was too
  // recent for a later write in the same clock tick to change it. False (and the bytes
  // dropped) when there is no regular file under the path. Throws Failure as ReadFileBytes.
  bool Refresh(const std::u16string& path);
  // This process has just written the file; `bytes` are what it now holds. `written` is the
  // stamp that the file this process wrote had before the last step of the write (the table
  // before an append, the work file before it replaced the table). When the file now is that
  // file with the size of `bytes`, its stamp is trusted from here on; otherwise (another
  // program wrote in between) the next Refresh compares the bytes with the file.
  void Wrote(const std::u16string& path, std::string bytes,
             const std::optional<platform::FileStamp>& written);

  // Bytes this process will write to the file later: from here on they are what the file
  // holds for every reader here, and Refresh leaves them alone, until Wrote says they were
  // written. Only for a file no other process may write meanwhile (the pattern folder's lock).
  void Hold(std::string bytes);
  // The same for bytes added at the end of those held or known, without copying them.
  void HoldAppended(std::string_view bytes);
  bool held() const { return held_; }

  const std::string& bytes() const { return bytes_; }
  // The stamp the bytes were last checked against; nullopt when there was no file.
  const std::optional<platform::FileStamp>& stamp() const { return stamp_; }
  // Changes whenever the bytes do, so that what was made from them can tell it is stale;
  // never 0, which users keep for "made from nothing".
  std::uint64_t version() const { return version_; }

 private:
  void Replace(std::string bytes);

  bool known_ = false;  // the bytes are those of a file that was there
  bool held_ = false;
  bool checked_ = false;  // compared with the file at least once
  std::optional<platform::FileStamp> stamp_;
  bool verify_bytes_ = true;
  std::string bytes_;
  std::uint64_t version_ = 1;
};

}  // namespace m2v::common
