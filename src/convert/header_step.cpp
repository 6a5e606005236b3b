#include "convert/header_step.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "convert/source_file.h"
#include "convert/title_files.h"
#include "text/failure.h"
#include "text/field_split.h"
#include "text/num_value.h"
#include "text/sjis_bytes.h"
#include "text/text_util.h"
#include "text/to_narrow.h"

namespace m2v::convert {
namespace {

constexpr std::size_t kL4Rows = 50;
constexpr std::size_t kPathPieces = 257;

std::u16string UpperCase(std::u16string text) {
  for (char16_t& c : text) {
    if ((c >= u'a' && c <= u'z') || (c >= u'ａ' && c <= u'ｚ')) c = static_cast<char16_t>(c - 0x20);
  }
  return text;
}

std::u16string FloatText(float value) {
  if (value == std::trunc(value) && std::fabs(value) < 1e15f) {
    return text::DecimalText(static_cast<long long>(value));
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::u16string(buffer, result.ptr);
}

void WriteCnt(const std::u16string& output_folder) {
  std::vector<std::u16string> pieces(kPathPieces);
  text::SplitFields(output_folder, u"\\", pieces);
  common::TextWriter out = common::TextWriter::Create(output_folder + u"CNT.TXT");
  out.WriteLine(text::SjisMid(pieces[3], 1, 4));
  out.WriteLine(pieces[4]);
  out.WriteLine(pieces[5]);
  out.WriteLine(u"4   ");
  out.WriteLine(u"1");
  for (int i = 6; i <= 10; ++i) out.WriteLine(u"");
  out.Close();
}

}  // namespace

CodeTable LoadL4Table(const std::u16string& pattern_folder) {
  const std::u16string path = pattern_folder + u"L4.TXT";
  common::FieldReader reader = common::FieldReader::Open(path);
  CodeTable table;
  while (reader.HasMoreData()) {
    if (table.size() == kL4Rows) {
      throw text::Failure(path + u"\n行数が 50 を超えています。");
    }
    std::vector<std::u16string> row = reader.ReadRecord(2);
    table.codes.push_back(std::move(row[0]));
    table.names.push_back(std::move(row[1]));
  }
  return table;
}

std::u16string YearText(std::u16string_view field) {
  const float v = text::NumValue(field);
  const float year = (v > 40 && v < 65) ? v + 1925 : v + 1988;
  return (year >= 0 ? u" " : u"") + FloatText(year);
}

std::u16string LookupL1(const std::u16string& pattern_folder, std::u16string_view region) {
  const std::u16string key = text::Trim(UpperCase(text::ToNarrow(region)));
  common::FieldReader reader = common::FieldReader::Open(pattern_folder + u"L1.TXT");
  while (reader.HasMoreData()) {
    std::vector<std::u16string> row = reader.ReadRecord(2);
    if (row[1] == key) return row[0];
  }
  return {};
}

bool HeaderStep(const Survey& survey, const std::u16string& output_folder,
                const std::u16string& pattern_folder) {
  const SectionPlace& place = survey.Section(kHeaderMarker);
  const std::int16_t count = SectionCount(place.text);
  if (count == 0) return false;
  const SectionRecords header = ReadRecords(survey.lines(), place.body, count, kHeaderRecordLines);
  if (header.ends_inside) survey.FailPastEnd();
  std::vector<std::u16string> field(1);  // field[i] is header line i
  field.insert(field.end(), header.lines.begin(), header.lines.end());
  if (field.size() <= 33) {
    throw text::Failure(survey.name() + u"\n$Z セクションの行数が足りません。33 行以上必要です。");
  }

  std::vector<std::u16string> first(24);
  first[1] = field[1];
  first[4] = YearText(field[4]);
  first[5] = field[5];
  first[6] = field[6];
  first[7] = YearText(field[7]);
  first[8] = field[8];
  first[9] = field[9];
  first[10] = field[2];
  first[18] = field[31];
  first[21] = field[14];

  std::vector<std::u16string> second(42);
  second[17] = LookupL1(pattern_folder, field[10]);
  second[18] = field[10];
  second[19] = field[11].starts_with(u'+') ? field[11].substr(1) : field[11];
  second[20] = field[33];
  second[23] = field[13];

  coding::PrepareSoilTable(pattern_folder);
  WriteCnt(output_folder);
  WriteTitleFiles(first, second, output_folder);
  return true;
}

}  // namespace m2v::convert
