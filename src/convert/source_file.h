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
// Throws common::Failure when the count is beyond 16 bits.
std::int16_t SectionCount(std::u16string_view marker_line);

// True for a line that ends a "$K" record: its first character is a control character.
bool IsControlLine(std::u16string_view line);

}  // namespace m2v::convert
