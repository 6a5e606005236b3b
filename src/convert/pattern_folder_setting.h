#pragma once

// The pattern-folder setting: line 2 of PatdatV5.ini in the system directory.

#include <string>

namespace m2v::convert {

inline constexpr char16_t kNoPatternFolderMessage[] = u" PATDAT の設定がありません.";

// The path of line 2 (its first comma field, trimmed, quotes removed), or the empty text
// when the file is missing, empty (then it is removed) or has no line 2.
std::u16string ReadPatternFolder();

// The same, but an empty settings file stays: for commands that promise to write nothing.
std::u16string PeekPatternFolder();

// The start-up check: the setting less its last character (the "\") names a file or folder.
bool PatternFolderExists(const std::u16string& pattern_folder);

}  // namespace m2v::convert
