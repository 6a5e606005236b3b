#include "coding/penetration_record.h"

#include <cmath>

#include "common/text_file.h"
#include "text/failure.h"
#include "text/num_value.h"
#include "text/text_util.h"

namespace m2v::coding {
namespace {

struct Entry {
  std::u16string blows = u"   ";
  std::u16string penetration = u"   ";
};

Entry ParseEntry(const std::u16string& s, const char16_t* nominal) {
  Entry entry;
  if (s.empty()) return entry;
  const std::size_t slash = s.find(u'/');
  if (slash != std::u16string::npos) {
    entry.blows = text::RightAlign(std::u16string_view(s).substr(0, slash), 3);
    entry.penetration = text::RightAlign(std::u16string_view(s).substr(slash + 1), 3);
  } else {
    entry.blows = text::RightAlign(s, 3);
    entry.penetration = nominal;
  }
  return entry;
}

}  // namespace

std::u16string PenetrationNValue(const std::u16string& blows, const std::u16string& penetration) {
  const float cm = text::NumValue(penetration);
  if (cm == 0.0f) return blows;
  // Single precision on purpose, division first: the values users know come out so.
  const float quotient = 30.0f / cm;
  const float n = std::trunc(quotient * text::NumValue(blows));
  if (!std::isfinite(n) || std::fabs(n) > 1e15f) {
    throw text::Failure(u"N 値が大きすぎます（" + blows + u"/" + penetration + u"）。");
  }
  return text::DecimalText(static_cast<long long>(n));
}

void ConvertPenetrationRecord(std::int16_t& record_number, const PenetrationLines& lines,
                              common::TextWriter& penetration_file) {
  if (record_number == 32767) {
    throw text::Failure(u"X5.TXT のレコード数が 32,767 を超えました。");
  }
  std::array<Entry, 4> entries;
  for (std::size_t k = 0; k < 4; ++k) {
    entries[k] = ParseEntry(lines[k + 1], k == 0 ? u" 30" : u" 10");
  }
  std::u16string line = text::RightAlign(text::DecimalText(record_number), 3);
  line += u',';
  line += text::RightAlign(lines[0], 7);
  line += u',';
  line += entries[0].blows;
  line += u',';
  line += text::RightAlign(PenetrationNValue(entries[0].blows, entries[0].penetration), 3);
  line += u',';
  line += entries[0].penetration;
  for (std::size_t k = 1; k < 4; ++k) {
    line += u',';
    line += entries[k].blows;
    line += u',';
    line += entries[k].penetration;
  }
  penetration_file.WriteLine(line);
  ++record_number;
}

}  // namespace m2v::coding
