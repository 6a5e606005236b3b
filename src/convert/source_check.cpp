#include "convert/source_check.h"

#include <algorithm>
#include <optional>

#include "common/text_file.h"
#include "convert/source_file.h"
#include "text/failure.h"
#include "text/text_util.h"

namespace m2v::convert {
namespace {

using text::DecimalText;

constexpr int kHeaderLinesNeeded = 33;

bool IsValidUtf8WithMultibyte(std::string_view bytes) {
  bool multibyte = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    const int extra = b < 0x80             ? 0
                      : (b & 0xE0) == 0xC0 ? 1
                      : (b & 0xF0) == 0xE0 ? 2
                      : (b & 0xF8) == 0xF0 ? 3
                                           : -1;
    if (extra < 0 || (extra == 1 && b < 0xC2)) return false;
    if (i + static_cast<std::size_t>(extra) >= bytes.size() && extra > 0) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) {
        return false;
      }
    }
    multibyte = multibyte || extra > 0;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return multibyte;
}

std::u16string Where(const std::u16string& marker, int line) {
  return u"変換元ファイルの " + marker + u" セクション（" + DecimalText(line) + u" 行目）";
}

// The error of the section found at `place`, if its body is not all there.
std::optional<Finding> CheckSection(const std::vector<std::u16string>& lines,
                                    std::u16string_view marker, const SectionPlace& place) {
  if (!place.found()) return std::nullopt;
  const std::u16string m(marker);
  const int line = place.marker_line;
  std::int16_t count = 0;
  try {
    count = SectionCount(place.text);
  } catch (const text::Failure&) {
    return Finding{Severity::kError, "bad-count", m, line,
                   Where(m, line) + u"の件数が正しくありません。"};
  }
  auto past_end = [&](const std::u16string& what) {
    return Finding{
        Severity::kError, "body-past-end", m, line,
        Where(m, line) + u"は " + what + u"を予告していますが、ファイルがその前に終わっています。"};
  };
  if (marker == kHeaderMarker) {
    if (count < 0) {
      return Finding{Severity::kError, "bad-count", m, line,
                     Where(m, line) + u"の行数が負になっています。"};
    }
    if (count == 0) return std::nullopt;
    if (ReadRecords(lines, place.body, count, kHeaderRecordLines).ends_inside) {
      return past_end(DecimalText(count) + u" 行");
    }
    if (count < kHeaderLinesNeeded) {
      return Finding{Severity::kError, "short-header", m, line,
                     Where(m, line) + u"の行数が足りません。" + DecimalText(kHeaderLinesNeeded) +
                         u" 行以上必要です。"};
    }
  } else if (marker == kDepthTextMarker) {
    if (ReadDepthTexts(lines, place.body, count).ends_inside) {
      return past_end(u"本文 " + DecimalText(count) + u" 行");
    }
  } else if (ReadRecords(lines, place.body, count).ends_inside) {
    return past_end(DecimalText(count) + u" 件（" + DecimalText(count * kRecordLines) + u" 行）");
  }
  return std::nullopt;
}

}  // namespace

std::vector<Finding> CheckSourceBytes(std::string_view bytes) {
  return CheckSource(bytes, Survey::FromBytes(u"", bytes));
}

std::vector<Finding> CheckSource(std::string_view bytes, const Survey& survey) {
  std::vector<Finding> findings;
  if (bytes.starts_with("\xEF\xBB\xBF") ||
      (!survey.bad_bytes().empty() && IsValidUtf8WithMultibyte(bytes))) {
    findings.push_back({Severity::kError, "utf8", u"", 0,
                        u"変換元ファイルは UTF-8 で保存されています。"
                        u"Shift-JIS（CP932）で保存し直してください。"});
    return findings;
  }
  for (const common::BadByte& bad : survey.bad_bytes()) {
    findings.push_back({Severity::kError, "not-cp932", u"", bad.line,
                        u"変換元ファイルの " + DecimalText(bad.line) + u" 行目（ファイルの " +
                            DecimalText(static_cast<long long>(bad.offset) + 1) +
                            u" バイト目）に Shift-JIS でない文字があります。"});
  }
  bool any_section = false;
  for (const char16_t* marker : kSectionMarkers) {
    const SectionPlace& place = survey.Section(marker);
    any_section = any_section || place.found();
    if (std::optional<Finding> finding = CheckSection(survey.lines(), marker, place)) {
      findings.push_back(std::move(*finding));
    }
  }
  // Such a file "converts" into nothing at all; it is no survey, or not this kind of one.
  // Bytes that are not CP932 say more about a file that is no survey text at all.
  if (!any_section && survey.bad_bytes().empty()) {
    findings.push_back({Severity::kError, "no-survey-data", u"", 0,
                        u"変換元ファイルに調査データがありません（$Z、$A、$C、$K、$E の"
                        u"どのセクションもありません）。"});
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

}  // namespace m2v::convert
