#include "convert/section_passes.h"

#include <algorithm>

#include "coding/penetration_record.h"
#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "convert/l23_lookup.h"
#include "convert/source_file.h"
#include "text/failure.h"
#include "text/text_util.h"

namespace m2v::convert {
namespace {

using text::RightAlign;
using text::Trim;

std::u16string RecordNumber(int number, const char16_t* file) {
  if (number > 32767) {
    throw text::Failure(std::u16string(file) + u" のレコード数が 32,767 を超えました。");
  }
  return RightAlign(text::DecimalText(number), 3);
}

}  // namespace

LayerSection ReadLayerSection(const Survey& survey) {
  const SectionPlace& place = survey.Section(kLayerMarker);
  const std::int16_t count = SectionCount(place.text);
  LayerSection section = ReadLayers(survey.lines(), place.body, count);
  section.present = count != 0;
  if (section.records.ends_inside) survey.FailPastEnd();
  return section;
}

bool LayerPass(const Survey& survey, const std::u16string& output_folder, const CodeTable& l4,
               const std::u16string& pattern_folder,
               std::vector<coding::LearnedSoilName>* learned) {
  const LayerSection section = ReadLayerSection(survey);
  if (!section.present) return false;
  const std::vector<Layer>& layers = section.layers;
  const std::vector<RangeTerm>& terms = section.terms;

  common::TextWriter x1 = common::TextWriter::Create(output_folder + u"X1.TXT");
  std::int16_t c1 = 1;
  coding::TableLearning learning(pattern_folder);
  for (const Layer& layer : layers) {
    coding::ClassifySoilName(c1, layer.depth, layer.name, u"", x1, pattern_folder, learned);
  }
  // The tables hold the codes X1.TXT names before X1.TXT is there.
  learning.Commit();
  x1.Close();

  common::TextWriter x3 = common::TextWriter::Create(output_folder + u"X3.TXT");
  std::int16_t c3 = 1;
  for (const RangeTerm& term : terms) WriteX3Record(c3, term.depth, term.text, l4, x3);
  x3.Close();
  return true;
}

bool PenetrationPass(const Survey& survey, const std::u16string& output_folder) {
  const SectionPlace& place = survey.Section(kPenetrationMarker);
  const std::int16_t count = SectionCount(place.text);
  if (count == 0) return false;
  const SectionRecords records = ReadRecords(survey.lines(), place.body, count);
  common::TextWriter x5 = common::TextWriter::Create(output_folder + u"X5.TXT");
  std::int16_t number = 1;
  for (int r = 0; r < records.whole; ++r) {
    coding::PenetrationLines lines;
    std::ranges::copy(records.Record(r), lines.begin());
    coding::ConvertPenetrationRecord(number, lines, x5);
  }
  if (records.ends_inside) survey.FailPastEnd();
  x5.Close();
  return true;
}

bool DepthTextPass(const Survey& survey, const std::u16string& output_folder) {
  const std::vector<std::u16string>& lines = survey.lines();
  const SectionPlace& place = survey.Section(kDepthTextMarker);
  const std::int16_t count = SectionCount(place.text);
  if (count == 0) return false;
  const DepthTextSection section = ReadDepthTexts(lines, place.body, count);
  if (section.ends_inside) survey.FailPastEnd();
  common::TextWriter x12 = common::TextWriter::Create(output_folder + u"X12.TXT");
  int number = 1;
  for (const DepthTextRecord& record : section.records) {
    // A record without a text line writes nothing rather than the previous text again.
    if (record.text_lines.empty()) continue;
    std::u16string depth = record.depth;
    if (const std::size_t paren = depth.find(u')'); paren != std::u16string::npos) {
      depth = text::TrimEnd(std::u16string_view(depth).substr(0, paren));
    }
    std::u16string text;
    for (const int line : record.text_lines) {
      std::u16string piece = Trim(lines[static_cast<std::size_t>(line - 1)]);
      if (piece.empty()) piece = u" ";
      text = line == record.text_lines.front() ? piece : text + u"\\" + piece;
    }
    x12.WriteLine(RecordNumber(number, u"X12.TXT") + u"," + RightAlign(depth, 7) + u",\"" + text +
                  u"\"");
    ++number;
  }
  x12.Close();
  return true;
}

bool SectionEPass(const Survey& survey, const std::u16string& output_folder,
                  const std::u16string& pattern_folder) {
  const SectionPlace& place = survey.Section(kSectionEMarker);
  const std::int16_t count = SectionCount(place.text);
  if (count == 0) return false;
  const SectionRecords records = ReadRecords(survey.lines(), place.body, count);
  common::TextWriter x6 = common::TextWriter::Create(output_folder + u"X6.TXT");
  for (int r = 0; r < records.whole; ++r) {
    auto line = [&](int k) -> const std::u16string& { return records.Line(r, k); };
    std::u16string out = RecordNumber(r + 1, u"X6.TXT");
    out += u"," + line(6);
    out += u"," + LookupL23(pattern_folder, line(4));
    out += u",  ,";
    out += RightAlign(Trim(line(3)), 7);
    out += u",";
    out += RightAlign(Trim(line(4)), 7);
    out += std::u16string(62, u',');
    x6.WriteLine(out);
  }
  if (records.ends_inside) survey.FailPastEnd();
  x6.Close();
  return true;
}

}  // namespace m2v::convert
