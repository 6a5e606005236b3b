#include "convert/soil_name_forecast.h"

#include <algorithm>

#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "platform/platform.h"
#include "text/cp932.h"
#include "text/failure.h"

namespace m2v::convert {

SoilNameForecast::SoilNameForecast(const std::u16string& pattern_folder)
    : pattern_folder_(pattern_folder) {
  soil_table_ = ReadTable(coding::kSoilTable);
}

std::string SoilNameForecast::ReadTable(const char16_t* table) {
  const std::u16string path = pattern_folder_ + table;
  std::string bytes;
  if (platform::FileExists(path)) bytes = common::ReadFileBytes(path);
  const std::vector<std::string_view> lines = common::SplitByteLines(bytes);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const std::optional<int> code = coding::TableLineCode(lines[i])) {
      code_lines_[*code].push_back({table, static_cast<int>(i) + 1, *code});
    }
  }
  return bytes;
}

std::optional<coding::LearnedSoilName> SoilNameForecast::Classify(std::u16string_view soil_name) {
  stepped_over_.clear();
  const std::u16string name = coding::TableSoilName(soil_name);
  const std::u16string soil_path = pattern_folder_ + coding::kSoilTable;
  if (coding::FindSoilRecordInBytes(soil_path, soil_table_, name)) return std::nullopt;
  if (!user_table_read_) {
    user_table_ = ReadTable(coding::kUserSoilTable);
    user_table_read_ = true;
  }

  // The same rules the run follows, applied to the tables in memory.
  const std::u16string user_path = pattern_folder_ + coding::kUserSoilTable;
  coding::SoilRecord record;
  coding::LearnedSoilName::Kind kind;
  if (std::optional<coding::SoilRecord> user =
          coding::FindSoilRecordInBytes(user_path, user_table_, name)) {
    record = std::move(*user);
    kind = coding::LearnedSoilName::Kind::kAdoptedFromUserTable;
  } else {
    const coding::InsertPoint point = coding::FindInsertPoint(user_table_);
    coding::TakenCodes taken;
    coding::MarkTakenCodes(user_table_, taken);
    coding::MarkTakenCodes(soil_table_, taken);
    const int code = coding::NextUserCode(point.previous, taken);
    for (int skipped = std::max(point.previous, 1999) + 1; skipped < code; ++skipped) {
      if (const auto it = code_lines_.find(skipped); it != code_lines_.end()) {
        stepped_over_.insert(stepped_over_.end(), it->second.begin(), it->second.end());
      }
    }
    if (code > 3999) throw text::Failure(coding::CodesUsedUpMessage(user_path, name));
    record = coding::NewUserSoilRecord(code, name, u"");
    std::size_t record_at = 0;
    user_table_ = coding::WithRecordInserted(
        user_table_, point, text::EncodeCp932(coding::SoilRecordLine(record)), record_at);
    kind = coding::LearnedSoilName::Kind::kNewUserCode;
  }
  soil_table_ +=
      coding::AppendedLine(soil_table_, text::EncodeCp932(coding::SoilRecordLine(record)));
  return coding::LearnedSoilName{kind, record[0], record[1]};
}

}  // namespace m2v::convert
