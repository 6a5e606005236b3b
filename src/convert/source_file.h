#pragma once

// The source survey file (.ddf): CP932 text in sections, each opened by a marker line
// ("$Z", "$A", "$C", "$K", "$E") whose rest holds a count.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::common {
class LineReader;
}

namespace m2v::convert {

inline constexpr char16_t kHeaderMarker[] = u"$Z";
inline constexpr char16_t kLayerMarker[] = u"$A";
inline constexpr char16_t kPenetrationMarker[] = u"$C";
inline constexpr char16_t kDepthTextMarker[] = u"$K";
inline constexpr char16_t kSectionEMarker[] = u"$E";

// Reads lines until one begins with the marker and returns it; the next read gives the
// section's first line. The empty text when the file ends first.
std::u16string FindSection(common::LineReader& source, std::u16string_view marker);

// The count a marker line announces, by the rule of its section; 0 for an empty line.
// Throws text::Failure when the count is beyond 16 bits.
std::int16_t SectionCount(std::u16string_view marker_line);

// True for a line that ends a "$K" record: its first character is a control character.
bool IsControlLine(std::u16string_view line);

// A layer of "$A": a record whose line 2 is not blank.
struct Layer {
  std::u16string depth;  // line 1, trimmed
  std::u16string name;   // line 2 trimmed, and "・" with line 3 when that holds text
  int first_line = 0;    // 1-based line of the record
};

// A range term of "$A": line 4 of a record; a term "～" joins the term before it with the
// term of the next record, which also gives the depth.
struct RangeTerm {
  std::u16string text;
  std::u16string depth;
  int first_line = 0;             // 1-based line 4 of the record that began the term
  int depth_line = 0;             // 1-based line that gave the depth
  bool begins_with_mark = false;  // it began with a "～" that had no term before it
};

struct LayerSection {
  bool present = false;  // the section is there with a count other than 0
  std::vector<Layer> layers;
  std::vector<RangeTerm> terms;
  int records = 0;           // the records read whole
  bool ends_inside = false;  // the file ends before the count of records is read
};

// The records of "$A" whose body begins at 0-based index `body` of the file's lines, six
// lines each, as the layer pass reads them.
LayerSection ReadLayers(const std::vector<std::u16string>& lines, std::size_t body, int count);

// One "$K" record: its lines up to the next line that begins with a control character.
// Line 1 is a depth, which the record after it is written with; lines 3 on are its text.
struct DepthTextRecord {
  int first_line = 0;           // 1-based line of the file
  std::u16string depth;         // line 1 of the record before; "0.00" for the first record
  int depth_line = 0;           // where that depth stands; 0 for "0.00"
  std::vector<int> text_lines;  // 1-based lines of its text, line 3 on
};

struct DepthTextSection {
  std::vector<DepthTextRecord> records;  // the records read whole
  bool ends_inside = false;              // the file ends inside a record before the count is spent
  std::size_t next = 0;                  // 0-based index of the line after the last one read
  int past_count_line = 0;  // the first text line read once the count was spent (0: none)
};

// The "$K" records whose body begins at 0-based index `body` of the file's lines, read as the
// depth text pass reads them: record after record until `count` text lines are read, the
// record in which that happens read to its end.
DepthTextSection ReadDepthTexts(const std::vector<std::u16string>& lines, std::size_t body,
                                int count);

}  // namespace m2v::convert
