#include "coding/soil_classification.h"

#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "text/failure.h"
#include "text/text_util.h"

namespace m2v::coding {
namespace {

// Looks the name up, teaches the tables what they lack, and returns the soil code.
std::u16string CodeFor(std::u16string_view soil_name, std::u16string_view new_record_text,
                       const std::u16string& pattern_folder,
                       std::vector<LearnedSoilName>* learned) {
  const std::u16string name = TableSoilName(soil_name);
  if (std::optional<SoilRecord> known =
          FindSoilRecordInAnyRange(pattern_folder, kSoilTable, name)) {
    return (*known)[0];
  }
  SoilRecord record;
  LearnedSoilName::Kind kind;
  if (std::optional<SoilRecord> user =
          FindSoilRecordInAnyRange(pattern_folder, kUserSoilTable, name)) {
    record = std::move(*user);
    kind = LearnedSoilName::Kind::kAdoptedFromUserTable;
  } else {
    record = AddUserSoilRecord(pattern_folder, name, TableSoilName(new_record_text));
    kind = LearnedSoilName::Kind::kNewUserCode;
  }
  AppendSoilRecord(pattern_folder, record);
  if (learned != nullptr) learned->push_back({kind, record[0], record[1]});
  return record[0];
}

}  // namespace

std::u16string TableSoilName(std::u16string_view soil_name) {
  // The table reader drops blanks and tabs around a field; a name stored with them would
  // never be found again and would take a new code on every run.
  const std::size_t first = soil_name.find_first_not_of(u" \t");
  if (first == std::u16string_view::npos) return {};
  std::u16string name(soil_name.substr(first, soil_name.find_last_not_of(u" \t") - first + 1));
  for (char16_t& c : name) {
    if (c == u',') c = u'，';
    if (c == u'"') c = u'＂';
  }
  return name;
}

void ClassifySoilName(std::int16_t& record_number, std::u16string_view label,
                      std::u16string_view soil_name, std::u16string_view new_record_text,
                      common::TextWriter& layer_file, const std::u16string& pattern_folder,
                      std::vector<LearnedSoilName>* learned) {
  if (record_number == 32767) {
    throw text::Failure(u"X1.TXT のレコード数が 32,767 を超えました。");
  }
  const std::u16string code = soil_name.empty()
                                  ? std::u16string(u"0000")
                                  : CodeFor(soil_name, new_record_text, pattern_folder, learned);
  std::u16string line = text::RightAlign(text::DecimalText(record_number), 3);
  line += u',';
  line += text::RightAlign(label, 7);
  line += u',';
  line += code;
  line += u',';
  line += soil_name;
  layer_file.WriteLine(line);
  ++record_number;
}

}  // namespace m2v::coding
