#include "convert/pattern_folder_setting.h"

#include "common/text_file.h"
#include "platform/platform.h"
#include "text/failure.h"
#include "text/text_util.h"

namespace m2v::convert {
namespace {

std::u16string PatternFolderSetting(bool remove_empty) {
  const std::u16string path = platform::QPRTrim(platform::SysDir()) + u"\\PatdatV5.ini";
  if (platform::FileSize(path) < 1) {
    // An empty settings file is removed; a missing one stays missing.
    if (remove_empty && platform::FileExists(path)) platform::RemoveFile(path);
    return {};
  }
  common::TextLines text;
  try {
    text = common::SplitCp932Lines(common::ReadFileBytes(path));
  } catch (const text::Failure&) {
    return {};
  }
  if (text.lines.size() < 2) return {};
  const std::u16string_view line = text.lines[1];
  std::size_t start = line.find_first_not_of(u' ');
  if (start == std::u16string_view::npos) return {};
  std::u16string_view field;
  if (line[start] == u'"') {
    const std::size_t close = line.find(u'"', start + 1);
    field = line.substr(start + 1, close == std::u16string_view::npos ? std::u16string_view::npos
                                                                      : close - start - 1);
  } else {
    field = line.substr(start, line.find(u',', start) - start);
  }
  return text::Trim(field);
}

}  // namespace

std::u16string ReadPatternFolder() { return PatternFolderSetting(true); }

std::u16string PeekPatternFolder() { return PatternFolderSetting(false); }

bool PatternFolderExists(const std::u16string& pattern_folder) {
  if (pattern_folder.empty()) return false;
  return platform::EntryExists(pattern_folder.substr(0, pattern_folder.size() - 1));
}

}  // namespace m2v::convert
