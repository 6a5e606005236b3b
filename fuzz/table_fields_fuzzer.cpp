// The readers of table files over any bytes: the line split, the line reader and the
// comma-field reader must agree with each other and never read past what they hold. The
// input's first line, cut at every NUL byte, is also a record of soil names written the way
// the soil tables write one: it must read back as the same fields. The check of the soil
// tables takes the bytes as either table and must place every finding on a line they hold.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "coding/soil_classification.h"
#include "coding/soil_table_check.h"
#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "scratch.h"
#include "text/cp932.h"
#include "text/failure.h"
#include "text/text_util.h"

namespace m2v::fuzz {
namespace {

void CheckLines(std::string_view bytes) {
  const std::vector<std::string_view> raw = common::SplitByteLines(bytes);
  const common::TextLines text = common::SplitCp932Lines(bytes);
  Require(raw.size() == text.lines.size(), "line splits disagree");
  std::size_t previous = 0;
  for (std::size_t i = 0; i < text.bad_bytes.size(); ++i) {
    const common::BadByte& bad = text.bad_bytes[i];
    Require(bad.offset < bytes.size(), "bad byte past the end");
    Require(i == 0 || bad.offset > previous, "bad bytes out of order");
    Require(bad.line >= 1 && static_cast<std::size_t>(bad.line) <= raw.size(), "bad line");
    Require(bad.column < raw[static_cast<std::size_t>(bad.line) - 1].size(), "bad column");
    previous = bad.offset;
  }
  for (const std::string_view line : raw) {
    Require(line.find_first_of("\r\n") == std::string_view::npos, "line holds a line end");
  }

  common::LineReader lines(u"t", text);
  std::size_t read = 0;
  while (lines.HasMoreData()) {
    lines.ReadLine();
    ++read;
  }
  Require(read == raw.size() && lines.LinesRead() == static_cast<int>(read), "lines lost");
  bool threw = false;
  try {
    lines.ReadLine();
  } catch (const text::Failure&) {
    threw = true;
  }
  Require(threw, "read past the last line");
}

void CheckFields(const std::vector<std::u16string>& lines) {
  common::FieldReader fields(u"t", lines);
  std::size_t count = 0;
  int line = 1;
  while (fields.HasMoreData()) {
    const std::u16string field = fields.ReadField();
    Require(field.find_first_of(u"\r\n") == std::u16string::npos, "field holds a line end");
    Require(fields.Line() >= line, "field reader went back");
    line = fields.Line();
    Require(
        ++count <= 2 * lines.size() +
                       [&] {
                         std::size_t commas = 0;
                         for (const std::u16string& l : lines)
                           commas += std::count(l.begin(), l.end(), u',');
                         return commas;
                       }(),
        "more fields than commas and lines allow");
  }
  common::FieldReader records(u"t", lines);
  std::size_t in_records = 0;
  try {
    while (records.HasMoreData()) {
      records.ReadRecord(6);
      in_records += 6;
    }
  } catch (const text::Failure&) {
    Require(count % 6 != 0, "a whole last record was refused");
    in_records += count % 6;
  }
  Require(in_records == count, "records and fields disagree");
}

void CheckRecordRoundTrip(std::string_view bytes) {
  const std::string_view first = common::SplitByteLines(bytes).empty()
                                     ? std::string_view()
                                     : common::SplitByteLines(bytes).front();
  coding::SoilRecord record;
  std::size_t start = 0;
  for (std::size_t k = 0; k < record.size(); ++k) {
    const std::size_t end = std::min(first.find('\0', start), first.size());
    const std::string_view piece = start <= first.size() ? first.substr(start, end - start) : "";
    std::u16string field = text::DecodeCp932(piece).text;
    start = end + 1;
    // A soil name reaches the tables trimmed of blanks, as the layer pass trims it; text
    // without a CP932 form never comes from a CP932 source.
    if (!text::HasCp932Form(field) || field.find(u'\uFFFD') != std::u16string::npos) return;
    record[k] = coding::TableSoilName(text::Trim(field));
  }
  const std::string line = text::EncodeCp932(coding::SoilRecordLine(record)) + "\r\n";
  common::FieldReader reader(u"t", common::SplitCp932Lines(line).lines);
  std::vector<std::u16string> back;
  while (reader.HasMoreData()) back.push_back(reader.ReadField());
  back.resize(record.size());
  for (std::size_t k = 0; k < record.size(); ++k) {
    Require(back[k] == record[k], "a written record reads back different");
  }
}

void CheckTableCheck(std::string_view bytes) {
  const int lines = static_cast<int>(common::SplitByteLines(bytes).size());
  for (const bool as_user : {false, true}) {
    coding::SoilTableFiles files;
    (as_user ? files.user : files.soil) = {std::u16string(1, u't'), true, std::string(bytes), {}};
    const coding::SoilTableReport report = coding::CheckSoilTables(files);
    for (const coding::TableFinding& f : as_user ? report.user : report.soil) {
      Require(f.line >= 0 && f.line <= lines, "a finding on a line the table does not hold");
      Require(!f.rule.empty() && !f.message.empty(), "a finding without rule or message");
    }
    const coding::UserCodes& codes = report.user_codes;
    Require(codes.left >= 0 && codes.left <= 2000, "user codes left out of range");
    Require(
        codes.next ? *codes.next >= 2000 && *codes.next <= 3999 && codes.left > 0 : codes.left == 0,
        "next user code out of range");
  }
}

}  // namespace
}  // namespace m2v::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  m2v::fuzz::CheckLines(bytes);
  m2v::fuzz::CheckFields(m2v::common::SplitCp932Lines(bytes).lines);
  m2v::fuzz::CheckRecordRoundTrip(bytes);
  m2v::fuzz::CheckTableCheck(bytes);
  return 0;
}
