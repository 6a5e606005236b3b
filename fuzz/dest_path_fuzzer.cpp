// The destination check and the drive-form path mapping over any typed text, on a drive
// table of three drives (E:'s root lies inside D:'s). Whatever is typed, a full path is
// drive-form and stable, a mapped path never leaves its drive's root, and a path the check
// accepts has the form the run builds on.
//
// Input: the first byte chooses how the rest is read (UTF-8 or UTF-16LE) and whether a
// current folder is set first from the part before the first NUL.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/dest_path.h"
#include "platform/platform.h"
#include "scratch.h"
#include "text/utf.h"

namespace m2v::fuzz {
namespace {

namespace fs = std::filesystem;

struct World {
  Scratch scratch;
  fs::path c;
  fs::path d;
  fs::path e;

  World() {
    for (const char* folder :
         {"c", "d/Survey/AB12CD/HOLE1", "d/Survey/ab12cd", "d/data", "d/x.y"}) {
      fs::create_directories(scratch / folder);
    }
    WriteFile(scratch / "d" / "Survey" / "S.ddf", "");
    // The table resolves links in a root, so compare with resolved roots.
    c = fs::canonical(scratch / "c");
    d = fs::canonical(scratch / "d");
    e = fs::canonical(scratch / "d" / "Survey");
    scratch.MapDrive('C', c);
    scratch.MapDrive('D', d);
    scratch.MapDrive('E', e);
  }

  const fs::path& Root(char16_t drive) const { return drive == u'C' ? c : drive == u'D' ? d : e; }
};

std::u16string Text(std::string_view bytes, bool utf16) {
  if (!utf16) return text::Utf8ToUtf16(bytes);
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return text;
}

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }

// Lexically below root, as the operating system will read the path (up to a NUL).
bool Below(const fs::path& host, const fs::path& root) {
  const fs::path seen = fs::path(host.c_str()).lexically_normal();
  const fs::path rel = seen.lexically_relative(root);
  return !rel.empty() && *rel.begin() != "..";
}

void CheckFullPath(const std::u16string& typed, const World& world) {
  const std::u16string full = platform::FullPath(typed);
  if (typed.empty()) {
    Require(full.empty(), "full path of nothing");
    return;
  }
  Require(full.size() >= 3 && full[1] == u':' && full[2] == u'\\', "full path not drive-form");
  Require(full.find(u"\\\\") == std::u16string::npos, "full path keeps a doubled separator");
  Require(full.find(u'/') == std::u16string::npos, "full path keeps a slash");
  Require(platform::FullPath(full) == full, "full path not stable");
  std::size_t start = 3;
  while (start < full.size()) {
    std::size_t end = full.find(u'\\', start);
    if (end == std::u16string::npos) end = full.size();
    const std::u16string_view part = std::u16string_view(full).substr(start, end - start);
    Require(part != u"." && part != u"..", "full path keeps a dot component");
    start = end + 1;
  }

  const std::optional<fs::path> host = platform::ToHostPath(full);
  const char16_t drive = full[0];
  if (drive == u'C' || drive == u'D' || drive == u'E') {
    if (full.find(u'\0') != std::u16string::npos) {
      Require(!host.has_value(), "a path holding a NUL has a host path");
      return;
    }
    Require(host.has_value(), "a mapped drive's path has no host path");
    Require(Below(*host, world.Root(drive)), "host path leaves its drive's root");
  } else {
    Require(!host.has_value(), "a host path for a drive the table lacks");
  }
  std::error_code ec;
  if (host && fs::exists(fs::path(host->c_str()), ec)) {
    const std::optional<std::u16string> back = platform::ToDrivePath(fs::path(host->c_str()));
    Require(back.has_value(), "an existing mapped path has no drive-form");
  }
}

void CheckDest(std::u16string typed) {
  const common::DestPathVerdict verdict = common::CheckDestPath(typed);
  if (verdict != common::DestPathVerdict::kAccepted) return;
  Require(typed.size() >= 3 && typed[1] == u':' && typed[2] == u'\\' && typed.back() == u'\\',
          "accepted path not drive-form");
  Require(platform::CurrentDrive() == Upper(typed[0]), "accepted drive not current");
  Require(typed.find(u"\\\\") == std::u16string::npos, "accepted a doubled separator");
  for (char16_t c : typed) {
    Require(c >= 0x20 && std::u16string_view(u"*?<>|\" ").find(c) == std::u16string_view::npos,
            "accepted a character no folder name may hold");
  }
  Require(platform::ToHostPath(typed).has_value(), "accepted path has no host path");
}

}  // namespace
}  // namespace m2v::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace m2v;
  using namespace m2v::fuzz;
  static World world;
  if (size == 0) return 0;
  const unsigned mode = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);

  // Every input starts from the same current drive and folders.
  for (const char16_t* root : {u"C:\\", u"E:\\", u"D:\\"}) platform::SetCurrentFolder(root);
  if ((mode & 2) != 0) {
    const std::size_t nul = rest.find('\0');
    if (nul != std::string_view::npos) {
      platform::SetCurrentFolder(Text(rest.substr(0, nul), (mode & 1) != 0));
      rest.remove_prefix(nul + 1);
    }
  }
  const std::u16string typed = Text(rest, (mode & 1) != 0);
  CheckFullPath(typed, world);
  const std::u16string drive_form = platform::ToDriveForm(typed);
  if (!drive_form.empty() && drive_form != typed) {
    Require(drive_form.size() >= 3 && drive_form[1] == u':', "host path made no drive-form");
  }
  CheckDest(typed);
  return 0;
}
