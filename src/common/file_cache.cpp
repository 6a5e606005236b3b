#include "common/file_cache.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "common/text_file.h"

namespace m2v::common {
namespace {

// -1: as the environment says; 0: off; 1: on.
std::atomic<int> g_override{-1};

thread_local int t_depth = 0;
thread_local bool t_active = false;
thread_local std::vector<std::function<void()>> t_drops;
thread_local std::u16string t_steady_folder;

// A stamp younger than this may not show a write that follows in the same tick of the file
// system's clock. Times in whole seconds come from a file system that keeps no more (FAT keeps
// 2 s); the others tick in at most a few milliseconds (the kernel's or Windows' timer).
constexpr std::int64_t kSecond = 1'000'000'000;
constexpr std::int64_t kRecentCoarseNs = 3 * kSecond;
constexpr std::int64_t kRecentFineNs = kSecond / 10;

bool IsRecent(const platform::FileStamp& stamp, std::int64_t now) {
  const bool coarse = stamp.modified_ns % kSecond == 0 && stamp.changed_ns % kSecond == 0;
  return std::max(stamp.modified_ns, stamp.changed_ns) >
         now - (coarse ? kRecentCoarseNs : kRecentFineNs);
}

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool EnvironmentTurnsCachesOff() {
  const char* value = std::getenv("MIRTA2VESK_NO_CACHE");
  return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

}  // namespace

void SetFileCachesEnabled(bool enabled) { g_override = enabled ? 1 : 0; }

bool FileCachesEnabled() {
  const int setting = g_override;
  return setting >= 0 ? setting == 1 : !EnvironmentTurnsCachesOff();
}

FileCacheScope::FileCacheScope() {
  // Decided once for the whole scope, so that a switch in the middle cannot leave a cache
  // that missed some of the run's writes.
  if (t_depth++ == 0) t_active = FileCachesEnabled();
  if (t_active) drives_.emplace();
}

FileCacheScope::~FileCacheScope() {
  if (--t_depth > 0) return;
  t_active = false;
  t_steady_folder.clear();
  std::vector<std::function<void()>> drops = std::move(t_drops);
  t_drops.clear();
  for (const std::function<void()>& drop : drops) drop();
}

bool FileCachingActive() { return t_active; }

void KeepFolderSteady(const std::u16string& folder) {
  if (t_active) t_steady_folder = folder;
}

void OnFileCacheScopeEnd(std::function<void()> drop) { t_drops.push_back(std::move(drop)); }

namespace {

// The decoded lines of a file, made from the bytes of version `version` of it.
struct KeptLines {
  CachedFile file;
  std::uint64_t version = 0;
  std::shared_ptr<const std::vector<std::u16string>> lines;
};

thread_local std::map<std::u16string, KeptLines> t_lines;

}  // namespace

LineReader OpenKeptLines(const std::u16string& path) {
  if (t_lines.empty()) OnFileCacheScopeEnd([] { t_lines.clear(); });
  KeptLines& kept = t_lines[path];
  if (!kept.file.Refresh(path)) {
    t_lines.erase(path);
    // No file: fail as an open that keeps nothing fails.
    return LineReader::FromBytes(path, ReadFileBytes(path));
  }
  if (!kept.lines || kept.version != kept.file.version()) {
    kept.lines.reset();
    kept.lines = LineReader::FromBytes(path, kept.file.bytes()).shared_lines();
    kept.version = kept.file.version();
  }
  return LineReader(path, kept.lines);
}

bool CachedFile::Refresh(const std::u16string& path) {
  if (held_) return true;
  if (checked_ && !t_steady_folder.empty() && path.starts_with(t_steady_folder)) return known_;
  checked_ = true;
  const std::int64_t now = NowNs();
  const std::optional<platform::FileStamp> stamp = platform::StampOf(path);
  if (!stamp) {
    if (known_) Replace({});
    known_ = false;
    stamp_.reset();
    return false;
  }
  if (known_ && stamp_ == stamp && !verify_bytes_) return true;
  // The stamp is taken before the read: a write during the read changes the next stamp.
  std::string bytes = ReadFileBytes(path);
  if (!known_ || bytes != bytes_) Replace(std::move(bytes));
  known_ = true;
  stamp_ = stamp;
  verify_bytes_ = IsRecent(*stamp, now);
  return true;
}

void CachedFile::Wrote(const std::u16string& path, std::string bytes,
                       const std::optional<platform::FileStamp>& written) {
  const std::optional<platform::FileStamp> stamp = platform::StampOf(path);
  const bool ours = written && stamp && stamp->volume == written->volume &&
                    stamp->file_id == written->file_id &&
                    stamp->size == static_cast<std::int64_t>(bytes.size());
  Replace(std::move(bytes));
  known_ = true;
  held_ = false;
  stamp_ = stamp;
  verify_bytes_ = !ours;
}

void CachedFile::Hold(std::string bytes) {
  Replace(std::move(bytes));
  held_ = true;
}

void CachedFile::HoldAppended(std::string_view bytes) {
  bytes_.append(bytes);
  ++version_;
  held_ = true;
}

void CachedFile::Replace(std::string bytes) {
  bytes_ = std::move(bytes);
  ++version_;
}

}  // namespace m2v::common
