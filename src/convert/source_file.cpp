#include "convert/source_file.h"

#include <algorithm>
#include <stdexcept>

#include "common/text_file.h"
#include "text/num_value.h"
#include "text/text_util.h"

namespace m2v::convert {

SectionPlace FindSection(const std::vector<std::u16string>& lines, std::u16string_view marker) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].starts_with(marker)) return {static_cast<int>(i) + 1, lines[i], i + 1};
  }
  return {};
}

std::int16_t SectionCount(std::u16string_view marker_line) {
  if (marker_line.size() < 2) return 0;
  const std::u16string_view marker = marker_line.substr(0, 2);
  if (marker == kHeaderMarker || marker == kLayerMarker) {
    const std::u16string trimmed = text::Trim(marker_line);
    return text::ToInt16(text::NumValue(std::u16string_view(trimmed).substr(2)));
  }
  std::u16string_view rest = marker_line.substr(2);
  if (marker == kPenetrationMarker) rest = rest.substr(0, rest.find(u','));
  return text::ToInt16(text::NumValue(rest));
}

SectionRecords ReadRecords(const std::vector<std::u16string>& lines, std::size_t body, int count,
                           int record_lines) {
  SectionRecords records;
  records.first_line = static_cast<int>(body) + 1;
  records.record_lines = record_lines;
  if (count <= 0) return records;
  const std::size_t available = lines.size() > body ? lines.size() - body : 0;
  const std::size_t per_record = static_cast<std::size_t>(record_lines);
  records.whole =
      static_cast<int>(std::min(static_cast<std::size_t>(count), available / per_record));
  records.ends_inside = records.whole < count;
  records.lines = std::span<const std::u16string>(lines).subspan(
      std::min(body, lines.size()), static_cast<std::size_t>(records.whole) * per_record);
  return records;
}

Survey::Survey(std::u16string name, common::TextLines text)
    : reader_(std::move(name), common::TextLines{std::move(text.lines), {}}),
      bad_bytes_(std::move(text.bad_bytes)) {
  for (std::size_t i = 0; i < kSectionMarkers.size(); ++i) {
    places_[i] = FindSection(lines(), kSectionMarkers[i]);
  }
}

Survey Survey::FromBytes(std::u16string name, std::string_view bytes) {
  return Survey(std::move(name), common::SplitCp932Lines(bytes));
}

const SectionPlace& Survey::Section(std::u16string_view marker) const {
  const auto found = std::find(kSectionMarkers.begin(), kSectionMarkers.end(), marker);
  if (found == kSectionMarkers.end()) {
    throw std::invalid_argument("a survey has no such section");
  }
  return places_[static_cast<std::size_t>(found - kSectionMarkers.begin())];
}

void Survey::FailPastEnd() const {
  common::LineReader reader = reader_;
  for (;;) reader.ReadLine();
}

bool IsControlLine(std::u16string_view line) { return !line.empty() && line[0] < 0x20; }

LayerSection ReadLayers(const std::vector<std::u16string>& lines, std::size_t body, int count) {
  constexpr std::u16string_view kRangeMark = u"～";
  LayerSection section;
  bool continues = false;
  section.records = ReadRecords(lines, body, count);
  const SectionRecords& records = section.records;
  for (int r = 0; r < records.whole; ++r) {
    auto line = [&](int k) -> const std::u16string& { return records.Line(r, k); };
    const int first = records.LineNumber(r, 1);
    const std::u16string depth = text::Trim(line(1));
    if (!text::IsBlank(line(2))) {
      Layer layer{depth, text::Trim(line(2)), first};
      if (const std::u16string addition = text::Trim(line(3)); !addition.empty()) {
        layer.name += u"・" + addition;
      }
      section.layers.push_back(std::move(layer));
    }
    if (text::IsBlank(line(4))) continue;
    const std::u16string term = text::Trim(line(4));
    if (term == kRangeMark) {
      // A "～" before any term starts one with the mark itself.
      if (section.terms.empty()) section.terms.push_back({u"", depth, first + 3, first, true});
      section.terms.back().text += kRangeMark;
      continues = true;
    } else if (continues) {
      section.terms.back().text += term;
      section.terms.back().depth = depth;
      section.terms.back().depth_line = first;
      continues = false;
    } else {
      section.terms.push_back({term, depth, first + 3, first, false});
    }
  }
  return section;
}

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
