#include "common/dest_path.h"

#include "platform/platform.h"
#include "text/cp932.h"
#include "text/sjis_bytes.h"
#include "text/text_util.h"

namespace m2v::common {
namespace {

// Beyond "*", "?" and blanks, characters no folder name may hold are refused here too,
// so that a path the check accepts can really be created.
bool HasForbiddenCharacter(std::u16string_view path) {
  for (char16_t c : path) {
    if (c < 0x20 || c == u'*' || c == u'?' || c == u' ' || c == u'<' || c == u'>' || c == u'|' ||
        c == u'"') {
      return true;
    }
  }
  return false;
}

// The short-name rule for a folder name with a dot: at most 8 characters before it, at
// most 3 bytes after it, one dot.
bool FolderNameAllowed(std::u16string_view name) {
  const std::size_t dot = name.find(u'.');
  if (dot == std::u16string_view::npos) return true;
  const std::size_t p = dot + 1;
  if (p > 9) return false;
  // Counted like SjisByteLen, without its 16-bit limit: a huge name is refused, not an error.
  if (text::EncodeCp932(name).size() > p + 3) return false;
  return name.find(u'.', dot + 1) == std::u16string_view::npos;
}

}  // namespace

DestPathVerdict CheckDestPath(std::u16string& path) {
  path = text::Trim(path);
  if (text::SjisMid(path, 2, 1) != u":") return DestPathVerdict::kBadDriveName;
  if (HasForbiddenCharacter(path)) return DestPathVerdict::kRefused;
  if (path.size() > 2 && path[2] != u'\\') path.insert(2, 1, u'\\');
  if (!platform::SetCurrentDrive(path[0])) return DestPathVerdict::kRefused;
  if (path.back() != u'\\') path.push_back(u'\\');
  if (path.size() == 3) return DestPathVerdict::kAccepted;
  if (path.find(u"\\\\") != std::u16string::npos) return DestPathVerdict::kRefused;
  std::size_t start = 3;
  for (std::size_t end = path.find(u'\\', start); end != std::u16string::npos;
       start = end + 1, end = path.find(u'\\', start)) {
    if (!FolderNameAllowed(std::u16string_view(path).substr(start, end - start))) {
      return DestPathVerdict::kRefused;
    }
  }
  return DestPathVerdict::kAccepted;
}

}  // namespace m2v::common
