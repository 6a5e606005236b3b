#include "convert/x3_record.h"

#include <array>

#include "common/text_file.h"
#include "text/failure.h"
#include "text/num_value.h"
#include "text/text_util.h"

namespace m2v::convert {
namespace {

constexpr std::u16string_view kRangeMark = u"～";

// The first three characters of a part that the table knows, as three two-character slots.
std::u16string CodePart(std::u16string_view part, const CodeTable& table) {
  std::array<std::int16_t, 3> slots{};
  std::size_t slot = 0;
  for (std::size_t i = 0; i < part.size() && i < 3; ++i) {
    for (std::size_t t = 0; t < table.size(); ++t) {
      if (table.names[t].size() == 1 && table.names[t][0] == part[i]) {
        slots[slot++] = text::ToInt16(text::NumValue(table.codes[t]));
        break;
      }
    }
  }
  std::u16string text;
  for (std::int16_t value : slots) {
    if (value == 0) {
      text += u"  ";
      continue;
    }
    std::u16string digits = text::DecimalText(value);
    if (digits.size() < 2) digits.insert(0, 2 - digits.size(), u'0');
    text += digits.substr(digits.size() - 2);
  }
  return text;
}

}  // namespace

void WriteX3Record(std::int16_t& counter, std::u16string_view label,
                   std::u16string_view description, const CodeTable& table,
                   common::TextWriter& out) {
  if (text::IsBlank(description)) return;
  const std::size_t mark = description.find(kRangeMark);
  const std::u16string_view part1 = description.substr(0, mark);
  const std::u16string_view part2 =
      mark == std::u16string_view::npos ? std::u16string_view() : description.substr(mark + 1);
  std::u16string line = text::RightAlign(text::DecimalText(counter), 3);
  line += u',';
  line += text::RightAlign(label, 7);
  line += u',';
  line += CodePart(part1, table);
  line += u',';
  line += part1;
  line += u',';
  line += CodePart(part2, table);
  line += u',';
  line += part2;
  line += u',';
  if (!part2.empty()) line += kRangeMark;
  if (counter == 32767) throw text::Failure(u"X3.TXT のレコード数が 32,767 を超えました。");
  out.WriteLine(line);
  ++counter;
}

}  // namespace m2v::convert
