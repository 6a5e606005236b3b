#include "convert/soil_name_forecast.h"

#include <algorithm>
#include <array>

#include "coding/soil_tables.h"
#include "common/cp932.h"
#include "common/failure.h"
#include "common/num_value.h"
#include "common/text_file.h"
#include "common/text_util.h"
#include "platform/platform.h"

namespace m2v::convert {
namespace {

using coding::SearchRange;
using coding::SoilRecord;

constexpr std::array<SearchRange, 3> kRangeOrder = {SearchRange::k5000To5499,
                                                    SearchRange::k1000To3999, SearchRange::k1To999};

// The search of the soil tables over lines in memory: per range the first record whose
// name, cut before "（", equals the name; the ranges tried in order.
std::optional<SoilRecord> FindInLines(const std::u16string& table_path,
                                      const std::vector<std::u16string>& lines,
                                      std::u16string_view soil_name) {
  std::array<std::optional<SoilRecord>, kRangeOrder.size()> found;
  common::FieldReader reader(table_path, lines);
  while (reader.HasMoreData()) {
    std::vector<std::u16string> fields = reader.ReadRecord(6);
    const float value = common::NumValue(fields[0]);
    for (std::size_t r = 0; r < kRangeOrder.size(); ++r) {
      if (!coding::InSearchRange(value, kRangeOrder[r])) continue;
      if (found[r]) break;
      const std::size_t paren = fields[1].find(u'（');
      if (paren != std::u16string::npos) fields[1].resize(paren);
      if (fields[1] == soil_name) {
        found[r].emplace();
        std::move(fields.begin(), fields.end(), found[r]->begin());
      }
      break;
    }
  }
  for (std::optional<SoilRecord>& record : found) {
    if (record) return std::move(record);
  }
  return std::nullopt;
}

std::u16string AsStored(std::u16string_view line) {
  return common::DecodeCp932(common::EncodeCp932(line)).text;
}

}  // namespace

SoilNameForecast::SoilNameForecast(const std::u16string& pattern_folder)
    : pattern_folder_(pattern_folder) {
  soil_table_ = ReadTable(coding::kSoilTable);
}

std::vector<std::u16string> SoilNameForecast::ReadTable(const char16_t* table) {
  const std::u16string path = pattern_folder_ + table;
  std::vector<std::u16string> lines;
  if (platform::FileExists(path)) lines = common::LineReader::Open(path).lines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const std::optional<int> code = coding::TableLineCode(lines[i])) {
      code_lines_[*code].push_back({table, static_cast<int>(i) + 1, *code});
    }
  }
  return lines;
}

std::optional<coding::LearnedSoilName> SoilNameForecast::Classify(std::u16string_view soil_name) {
  stepped_over_.clear();
  const std::u16string name = coding::TableSoilName(soil_name);
  if (FindInLines(pattern_folder_ + coding::kSoilTable, soil_table_, name)) return std::nullopt;
  if (!user_table_read_) {
    user_table_ = ReadTable(coding::kUserSoilTable);
    user_table_read_ = true;
  }

  SoilRecord record;
  coding::LearnedSoilName::Kind kind;
  if (std::optional<SoilRecord> user =
          FindInLines(pattern_folder_ + coding::kUserSoilTable, user_table_, name)) {
    record = std::move(*user);
    kind = coding::LearnedSoilName::Kind::kAdoptedFromUserTable;
  } else {
    // The new record goes in before the first line of 4000 or more; its code follows the
    // last line below 4000 before it.
    std::size_t insert_at = user_table_.size();
    int previous = 0;
    for (std::size_t i = 0; i < user_table_.size(); ++i) {
      const float k = common::NumValue(std::u16string_view(user_table_[i]).substr(0, 4));
      if (k >= 4000) {
        insert_at = i;
        break;
      }
      previous = common::ToInt16(k);
    }
    coding::TakenCodes taken;
    for (const std::vector<std::u16string>* table : {&user_table_, &soil_table_}) {
      for (const std::u16string& line : *table) {
        if (const std::optional<int> code = coding::TableLineCode(line)) {
          taken.set(static_cast<std::size_t>(*code));
        }
      }
    }
    const int code = coding::NextUserCode(previous, taken);
    for (int skipped = std::max(previous, 1999) + 1; skipped < code; ++skipped) {
      if (const auto it = code_lines_.find(skipped); it != code_lines_.end()) {
        stepped_over_.insert(stepped_over_.end(), it->second.begin(), it->second.end());
      }
    }
    if (code > 3999) {
      throw common::Failure(
          coding::CodesUsedUpMessage(pattern_folder_ + coding::kUserSoilTable, name));
    }
    record = {coding::FourDigitCode(code), name, u"", u"", u"    ", u"0000"};
    user_table_.insert(user_table_.begin() + static_cast<std::ptrdiff_t>(insert_at),
                       AsStored(coding::SoilRecordLine(record)));
    kind = coding::LearnedSoilName::Kind::kNewUserCode;
  }
  soil_table_.push_back(AsStored(coding::SoilRecordLine(record)));
  return coding::LearnedSoilName{kind, record[0], record[1]};
}

}  // namespace m2v::convert
