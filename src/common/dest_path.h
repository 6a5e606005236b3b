#pragma once

// The destination folder check: absolute paths on a drive that can be selected, folder
// names with a dot held to the 8.3 rule (counted in CP932 bytes).

#include <string>

namespace m2v::common {

enum class DestPathVerdict {
  kAccepted,
  kBadDriveName,  // the caller shows kDriveNameMessage, then refuses
  kRefused,
};

inline constexpr char16_t kDriveNameMessage[] =
    u"規定値のドライブ名が正しくありません。ドライブ名は１文字のアルファベットと \":\" "
    u"でなければいけません。  例 \"C:\", \"D:\"...";

// Trims and normalises `path` in place as far as the check got ("D:\WORK\" when
// accepted). Selects the path's drive as the current drive when it can be selected.
DestPathVerdict CheckDestPath(std::u16string& path);

}  // namespace m2v::common
