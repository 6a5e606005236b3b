#include "platform/marker.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "platform/platform.h"

namespace m2v::platform {

std::u16string PlaceMarker(const std::vector<std::u16string>& folders, const std::u16string& name) {
  for (const std::u16string& folder : folders) {
    if (!folder.empty() && FileExists(folder + u"\\" + name)) return folder + u"\\" + name;
  }
  for (const std::u16string& folder : folders) {
    if (folder.empty()) continue;
    const std::u16string path = folder + u"\\" + name;
    const std::optional<std::filesystem::path> host = ToHostPath(path);
    if (!host) continue;
    std::error_code ec;
    std::filesystem::create_directories(host->parent_path(), ec);
    if (ec) continue;
    std::ofstream out(*host, std::ios::binary | std::ios::app);
    out.close();
    if (out && FileExists(path)) return path;
  }
  return {};
}

}  // namespace m2v::platform
