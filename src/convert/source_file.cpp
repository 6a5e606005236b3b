#include "convert/source_file.h"

#include "common/num_value.h"
#include "common/text_file.h"
#include "common/text_util.h"

namespace m2v::convert {

std::u16string FindSection(common::LineReader& source, std::u16string_view marker) {
  while (source.HasMoreData()) {
    std::u16string line = source.ReadLine();
    if (line.starts_with(marker)) return line;
  }
  return {};
}

std::int16_t SectionCount(std::u16string_view marker_line) {
  if (marker_line.size() < 2) return 0;
  const std::u16string_view marker = marker_line.substr(0, 2);
  if (marker == kHeaderMarker || marker == kLayerMarker) {
    const std::u16string trimmed = common::Trim(marker_line);
    return common::ToInt16(common::NumValue(std::u16string_view(trimmed).substr(2)));
  }
  std::u16string_view rest = marker_line.substr(2);
  if (marker == kPenetrationMarker) rest = rest.substr(0, rest.find(u','));
  return common::ToInt16(common::NumValue(rest));
}

bool IsControlLine(std::u16string_view line) { return !line.empty() && line[0] < 0x20; }

}  // namespace m2v::convert
