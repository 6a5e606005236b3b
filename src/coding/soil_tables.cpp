#include "coding/soil_tables.h"

#include "common/cp932.h"
#include "common/failure.h"
#include "common/num_value.h"
#include "common/text_file.h"
#include "common/text_util.h"
#include "platform/platform.h"

namespace m2v::coding {
namespace {

constexpr std::size_t kRangeCount = 3;

std::optional<SearchRange> RangeOf(float code_value) {
  for (SearchRange range :
       {SearchRange::k5000To5499, SearchRange::k1000To3999, SearchRange::k1To999}) {
    if (InSearchRange(code_value, range)) return range;
  }
  return std::nullopt;
}

// Reads the table once and keeps, per range, the first record whose cut name matches.
std::array<std::optional<SoilRecord>, kRangeCount> FindInRanges(
    const std::u16string& pattern_folder, std::u16string_view table,
    std::u16string_view soil_name) {
  std::array<std::optional<SoilRecord>, kRangeCount> found;
  const std::u16string path = pattern_folder + std::u16string(table);
  if (!platform::FileExists(path)) return found;
  common::FieldReader reader = common::FieldReader::Open(path);
  while (reader.HasMoreData()) {
    std::vector<std::u16string> fields = reader.ReadRecord(6);
    const std::optional<SearchRange> range = RangeOf(common::NumValue(fields[0]));
    if (!range) continue;
    std::optional<SoilRecord>& slot = found[static_cast<std::size_t>(*range)];
    if (slot) continue;
    const std::size_t paren = fields[1].find(u'（');
    if (paren != std::u16string::npos) fields[1].resize(paren);
    if (fields[1] != soil_name) continue;
    slot.emplace();
    std::move(fields.begin(), fields.end(), slot->begin());
  }
  return found;
}

// The code value of a user table line: its first four characters as a number.
float LineCodeValue(std::string_view raw_line) {
  const std::u16string text = common::DecodeCp932(raw_line).text;
  return common::NumValue(std::u16string_view(text).substr(0, 4));
}

std::u16string FourDigits(int code) {
  std::u16string digits = common::DecimalText(code);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), u'0');
  return digits;
}

}  // namespace

bool InSearchRange(float v, SearchRange range) {
  switch (range) {
    case SearchRange::k5000To5499:
      return v > 4999 && v < 5500;
    case SearchRange::k1000To3999:
      return v > 999 && v < 4000;
    case SearchRange::k1To999:
      return v > 0 && v < 1000;
  }
  return false;
}

std::optional<SoilRecord> FindSoilRecord(const std::u16string& pattern_folder,
                                         std::u16string_view table, std::u16string_view soil_name,
                                         SearchRange range) {
  return FindInRanges(pattern_folder, table, soil_name)[static_cast<std::size_t>(range)];
}

std::optional<SoilRecord> FindSoilRecordInAnyRange(const std::u16string& pattern_folder,
                                                   std::u16string_view table,
                                                   std::u16string_view soil_name) {
  for (std::optional<SoilRecord>& record : FindInRanges(pattern_folder, table, soil_name)) {
    if (record) return std::move(record);
  }
  return std::nullopt;
}

SoilRecord AddUserSoilRecord(const std::u16string& pattern_folder, std::u16string_view soil_name,
                             std::u16string_view new_record_text) {
  const std::u16string table = pattern_folder + kUserSoilTable;
  const std::u16string work = pattern_folder + kUserSoilWorkFile;
  const std::string bytes =
      platform::FileExists(table) ? common::ReadFileBytes(table) : std::string();
  const std::vector<std::string_view> lines = common::SplitByteLines(bytes);

  // Decide the code before anything is written, so that a refusal leaves both tables alone.
  std::size_t insert_at = lines.size();
  int previous = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const float k = LineCodeValue(lines[i]);
    if (k >= 4000) {
      insert_at = i;
      break;
    }
    previous = common::ToInt16(k);
  }
  if (previous < 2000) previous = 1999;
  const int code = previous + 1;
  if (code > 3999) {
    throw common::Failure(table + u"\nユーザー土質コード（2000～3999）をすべて使い切りました。" +
                          u"新しい土質名「" + std::u16string(soil_name) +
                          u"」にコードを付けられません。");
  }
  const SoilRecord record{FourDigits(code),
                          std::u16string(soil_name),
                          std::u16string(new_record_text),
                          std::u16string(new_record_text),
                          u"    ",
                          u"0000"};

  try {
    common::TextWriter out = common::TextWriter::Create(work);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i == insert_at) out.WriteLine(SoilRecordLine(record));
      out.WriteRawLine(lines[i]);
    }
    if (insert_at == lines.size()) out.WriteLine(SoilRecordLine(record));
    out.Close();
  } catch (const common::Failure&) {
    platform::RemoveFile(work);
    throw;
  }
  if (!platform::AtomicReplace(work, table)) {
    platform::RemoveFile(work);
    throw common::Failure(table + u"\nユーザー土質テーブルを更新できません。");
  }
  return record;
}

void AppendSoilRecord(const std::u16string& pattern_folder, const SoilRecord& record) {
  common::TextWriter out = common::TextWriter::Append(pattern_folder + kSoilTable);
  out.WriteLine(SoilRecordLine(record));
  out.Close();
  common::TouchFile(platform::MarkerFolder() + u"\\" + kMarkerFile);
}

void PrepareSoilTable(const std::u16string& pattern_folder) {
  common::TouchFile(pattern_folder + kSoilTable);
}

std::u16string SoilRecordLine(const SoilRecord& record) {
  std::u16string line = record[0];
  for (std::size_t i = 1; i < record.size(); ++i) {
    line += u',';
    line += record[i];
  }
  return line;
}

}  // namespace m2v::coding
