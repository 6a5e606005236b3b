#pragma once

// The source survey file (.ddf): CP932 text in sections, each opened by a marker line
// ("$Z", "$A", "$C", "$K", "$E") whose rest holds a count.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_file.h"

namespace m2v::convert {

inline constexpr char16_t kHeaderMarker[] = u"$Z";
inline constexpr char16_t kLayerMarker[] = u"$A";
inline constexpr char16_t kPenetrationMarker[] = u"$C";
inline constexpr char16_t kDepthTextMarker[] = u"$K";
inline constexpr char16_t kSectionEMarker[] = u"$E";
inline constexpr std::array<const char16_t*, 5> kSectionMarkers = {
    kHeaderMarker, kLayerMarker, kPenetrationMarker, kDepthTextMarker, kSectionEMarker};

// Where a section stands: at the first line that begins with its marker. A later line that
// begins with it is read as a body line, or not at all.
struct SectionPlace {
  int marker_line = 0;   // 1-based; 0 when no line begins with the marker
  std::u16string text;   // the marker line; empty when there is none, which counts 0
  std::size_t body = 0;  // 0-based index of the section's first body line
  bool found() const { return marker_line != 0; }
};

SectionPlace FindSection(const std::vector<std::u16string>& lines, std::u16string_view marker);

// The count a marker line announces, by the rule of its section; 0 for an empty line.
// Throws text::Failure when the count is beyond 16 bits.
std::int16_t SectionCount(std::u16string_view marker_line);

// The lines of a record of "$A", "$C" and "$E"; each header line of "$Z" is a record.
inline constexpr int kRecordLines = 6;
inline constexpr int kHeaderRecordLines = 1;

// The records of a section as the passes read them: all the lines of a record before any of
// them is used, so that the records the file holds whole are used before a file that ends
// inside the count fails.
struct SectionRecords {
  std::span<const std::u16string> lines;  // the lines of the records read whole
  int first_line = 0;                     // 1-based line of the file where the body begins
  int record_lines = kRecordLines;
  int whole = 0;             // the records read whole; 0 for a count of 0 or less
  bool ends_inside = false;  // the file ends before the count of records is read

  // The lines of record r (0-based); line k (1-based) of it, and where that stands in the
  // file (1-based).
  std::span<const std::u16string> Record(int r) const {
    return lines.subspan(static_cast<std::size_t>(r * record_lines),
                         static_cast<std::size_t>(record_lines));
  }
  const std::u16string& Line(int r, int k) const {
    return lines[static_cast<std::size_t>(r * record_lines + k - 1)];
  }
  int LineNumber(int r, int k) const { return first_line + r * record_lines + k - 1; }
  // The 1-based line of the file of the last line read whole; first_line - 1 for none.
  int last_line() const { return first_line + whole * record_lines - 1; }
};

// `count` records of `record_lines` lines each, from 0-based index `body` of the file's lines.
SectionRecords ReadRecords(const std::vector<std::u16string>& lines, std::size_t body, int count,
                           int record_lines = kRecordLines);

// A survey file decoded once: its lines (shared, never copied), the bytes that are not CP932,
// and where each of its sections stands. The header step, the passes, the source check and
// check all read this one model, so none of them can place a section differently.
class Survey {
 public:
  Survey(std::u16string name, common::TextLines text);
  // The survey of the bytes of the file `name`.
  static Survey FromBytes(std::u16string name, std::string_view bytes);

  const std::u16string& name() const { return reader_.name(); }
  const std::vector<std::u16string>& lines() const { return reader_.lines(); }
  const std::vector<common::BadByte>& bad_bytes() const { return bad_bytes_; }
  // The place of the section of `marker`, one of kSectionMarkers.
  const SectionPlace& Section(std::u16string_view marker) const;
  // Fails as reading on past the last line fails: the file ends inside a section.
  [[noreturn]] void FailPastEnd() const;

 private:
  common::LineReader reader_;
  std::vector<common::BadByte> bad_bytes_;
  std::array<SectionPlace, kSectionMarkers.size()> places_;
};

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
  SectionRecords records;
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
