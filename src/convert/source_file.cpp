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

DepthTextSection ReadDepthTexts(const std::vector<std::u16string>& lines, std::size_t body,
                                int count) {
  DepthTextSection section;
  std::size_t next = body;
  int lines_read = 0;
  std::u16string previous_depth = u"0.00";
  int previous_depth_line = 0;
  while (lines_read < count) {
    DepthTextRecord record;
    record.first_line = static_cast<int>(next) + 1;
    for (int k = 1;; ++k) {
      if (next >= lines.size()) {
        section.ends_inside = true;
        section.next = next;
        return section;
      }
      const int line = static_cast<int>(next) + 1;
      const std::u16string& text = lines[next++];
      if (IsControlLine(text)) break;
      if (k == 1) {
        record.depth = previous_depth;
        record.depth_line = previous_depth_line;
        previous_depth = text;
        previous_depth_line = line;
      } else if (k >= 3) {
        if (lines_read == count && section.past_count_line == 0) section.past_count_line = line;
        ++lines_read;
        record.text_lines.push_back(line);
      }
    }
    section.records.push_back(std::move(record));
  }
  section.next = next;
  return section;
}

}  // namespace m2v::convert
