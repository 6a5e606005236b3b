#include "convert/survey_check.h"

#include <algorithm>
#include <optional>
#include <set>

#include "coding/penetration_record.h"
#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "convert/soil_name_forecast.h"
#include "convert/source_file.h"
#include "text/failure.h"
#include "text/text_util.h"

namespace m2v::convert {
namespace {

using text::DecimalText;
using text::IsBlank;
using text::RightAlign;
using text::Trim;

constexpr std::size_t kLabelWidth = 7;
constexpr std::size_t kEntryWidth = 3;
constexpr int kFirstWrappedNumber = 1000;  // the first record number that 3 places cannot hold

struct Section {
  const char16_t* marker;
  const char16_t* files;  // what the section's pass writes
};

constexpr Section kSections[] = {
    {kHeaderMarker, u"CNT.TXT、Titl01.txt、Titl02.txt"},
    {kLayerMarker, u"X1.TXT と X3.TXT"},
    {kPenetrationMarker, u"X5.TXT"},
    {kDepthTextMarker, u"X12.TXT"},
    {kSectionEMarker, u"X6.TXT"},
};

std::u16string Quoted(std::u16string_view text) { return u"「" + std::u16string(text) + u"」"; }

class SurveyChecker {
 public:
  SurveyChecker(const Survey& survey, const std::u16string& pattern_folder)
      : survey_(survey), lines_(survey.lines()), pattern_folder_(pattern_folder) {}

  std::vector<Finding> Check() {
    for (const Section& section : kSections) CheckSection(section);
    CheckMarkerLines();
    CheckTablesWritable();
    return std::move(findings_);
  }

 private:
  int LineCount() const { return static_cast<int>(lines_.size()); }
  // Line `number` (1-based) of the file.
  const std::u16string& Line(int number) const {
    return lines_[static_cast<std::size_t>(number - 1)];
  }

  void Add(Severity severity, const char* rule, std::u16string_view marker, int line,
           std::u16string message) {
    findings_.push_back({severity, rule, std::u16string(marker), line, std::move(message)});
  }
  void Warn(const char* rule, std::u16string_view marker, int line, std::u16string message) {
    Add(Severity::kWarning, rule, marker, line, std::move(message));
  }
  void Inform(const char* rule, std::u16string_view marker, int line, std::u16string message) {
    Add(Severity::kInformation, rule, marker, line, std::move(message));
  }

  void WarnLongLabel(std::u16string_view marker, int line, std::u16string_view what,
                     std::u16string_view text, std::u16string_view files) {
    Warn("long-label", marker, line,
         std::u16string(what) + Quoted(text) + u"は " + DecimalText(kLabelWidth) +
             u" 文字を超えています。" + std::u16string(files) + u" には右の " +
             DecimalText(kLabelWidth) + u" 文字" + Quoted(RightAlign(text, kLabelWidth)) +
             u"だけが書かれます。");
  }

  void WarnNumberWraps(std::u16string_view marker, int line, std::u16string_view file) {
    Warn("number-wraps", marker, line,
         std::u16string(file) + u" のレコードが " + DecimalText(kFirstWrappedNumber) +
             u" 件目に達します。ここからのレコード番号は下 3 桁だけが書かれます（" +
             DecimalText(kFirstWrappedNumber) + u" は「000」）。");
  }

  void CheckSection(const Section& section) {
    const std::u16string_view marker = section.marker;
    const SectionPlace& place = survey_.Section(marker);
    if (!place.found()) {
      Inform("section-count", u"", 0,
             std::u16string(marker) + u" セクションはありません。" + section.files +
                 u" は作られません。");
      return;
    }
    const int at = place.marker_line;
    first_marker_line_.push_back(at);
    int count = 0;
    try {
      count = SectionCount(place.text);
    } catch (const text::Failure&) {
      return;  // an error of the source check
    }
    if (marker == kHeaderMarker && count < 0) return;  // likewise
    CountInformation(section, at, count);
    if (count <= 0) return;
    if (marker == kHeaderMarker) {
      AddBody(ReadRecords(lines_, place.body, count, kHeaderRecordLines));
    } else if (marker == kLayerMarker) {
      CheckLayers(place.body, count);
    } else if (marker == kPenetrationMarker) {
      CheckPenetrationTests(WholeRecords(place.body, count));
    } else if (marker == kDepthTextMarker) {
      CheckDepthTexts(place.body, count);
    } else {
      CheckSectionE(WholeRecords(place.body, count));
    }
  }

  void CountInformation(const Section& section, int at, int count) {
    const std::u16string m = section.marker;
    std::u16string text;
    if (count == 0) {
      text = m + u" セクションの件数は 0 です。" + section.files + u" は作られません。";
    } else if (count < 0) {
      text = m + u" セクションの件数は " + DecimalText(count) + u" です。" + section.files +
             u" はレコードなしで作られます。";
    } else if (m == kHeaderMarker) {
      text = m + u" セクション: ヘッダー " + DecimalText(count) + u" 行";
    } else if (m == kDepthTextMarker) {
      text = m + u" セクション: 本文 " + DecimalText(count) + u" 行";
    } else {
      text = m + u" セクション: " + DecimalText(count) + u" 件";
    }
    Inform("section-count", m, at, std::move(text));
  }

  // The lines a section's pass reads as its body, which are not marker lines to it.
  void AddBody(const SectionRecords& records) {
    if (records.whole > 0) bodies_.push_back({records.first_line, records.last_line()});
  }

  // The records of the section whose body begins at 0-based index `body`, as its pass reads them.
  SectionRecords WholeRecords(std::size_t body, int count) {
    SectionRecords records = ReadRecords(lines_, body, count);
    AddBody(records);
    return records;
  }

  void CheckLayers(std::size_t body, int count) {
    const LayerSection section = ReadLayers(lines_, body, count);
    AddBody(section.records);
    std::set<int> long_in_x1;
    int layers = 0;
    for (const Layer& layer : section.layers) {
      if (++layers == kFirstWrappedNumber) {
        WarnNumberWraps(kLayerMarker, layer.first_line, u"X1.TXT");
      }
      if (layer.depth.size() > kLabelWidth) long_in_x1.insert(layer.first_line);
      CheckSoilName(layer.name, layer.first_line - 1);
    }
    std::set<int> long_in_x3;
    for (std::size_t i = 0; i < section.terms.size(); ++i) {
      const RangeTerm& term = section.terms[i];
      if (term.begins_with_mark) {
        Warn("range-without-term", kLayerMarker, term.first_line,
             u"「～」の前に続ける用語がありません。X3.TXT には「～」で始まる用語が書かれます。");
      }
      if (static_cast<int>(i) + 1 == kFirstWrappedNumber) {
        WarnNumberWraps(kLayerMarker, term.first_line, u"X3.TXT");
      }
      if (term.depth.size() > kLabelWidth) long_in_x3.insert(term.depth_line);
    }
    std::set<int> long_lines = long_in_x1;
    long_lines.insert(long_in_x3.begin(), long_in_x3.end());
    for (int line : long_lines) {
      const bool x1 = long_in_x1.contains(line);
      const bool x3 = long_in_x3.contains(line);
      WarnLongLabel(kLayerMarker, line, u"深度", Trim(Line(line)),
                    x1 && x3 ? u"X1.TXT と X3.TXT"
                    : x1     ? u"X1.TXT"
                             : u"X3.TXT");
    }
  }

  // The layer name of the record whose line 1 is file line base + 1.
  void CheckSoilName(const std::u16string& name, int base) {
    if (name.find(u'（') != std::u16string::npos) {
      const int line =
          Trim(Line(base + 2)).find(u'（') != std::u16string::npos ? base + 2 : base + 3;
      Warn("paren-in-name", kLayerMarker, line,
           u"土質名" + Quoted(name) +
               u"は「（」を含むため、土質表のどのレコードにも一致しません。"
               u"この名前の層ごとに新しいユーザーコードが付きます。");
    }
    if (pattern_folder_.empty() || table_failed_) return;
    std::optional<coding::LearnedSoilName> learned;
    try {
      // The run reads the tables at its first layer name, and so does the forecast.
      if (!forecast_) forecast_.emplace(pattern_folder_);
      learned = forecast_->Classify(name);
    } catch (const text::Failure& failure) {
      Add(Severity::kError, "table-failure", kLayerMarker, base + 2, failure.message());
      table_failed_ = true;  // the run would stop here
      return;
    }
    for (const SoilNameForecast::CodeLine& held : forecast_->stepped_over()) {
      if (!warned_code_lines_.insert({held.table, held.line}).second) continue;
      Warn("duplicate-code", kLayerMarker, base + 2,
           std::u16string(held.table) + u" の " + DecimalText(held.line) + u" 行目がコード " +
               coding::FourDigitCode(held.code) +
               u" を持っています。次のコードの規則（前の行のコード + 1）ではこのコードが"
               u"新しい土質名にも付くため、このコードは飛ばされます。");
    }
    if (!learned) return;
    if (first_learned_line_ == 0) first_learned_line_ = base + 2;
    inserts_ = inserts_ || learned->kind == coding::LearnedSoilName::Kind::kNewUserCode;
    if (learned->kind == coding::LearnedSoilName::Kind::kNewUserCode) {
      Inform("new-soil-name", kLayerMarker, base + 2,
             u"新しい土質名" + Quoted(learned->name) + u"にユーザーコード " + learned->code +
                 u" が付きます（KISHITU.TXT と XKISHITU.TXT に追加）。");
    } else {
      Inform("adopted-soil-name", kLayerMarker, base + 2,
             u"土質名" + Quoted(learned->name) + u"は XKISHITU.TXT のコード " + learned->code +
                 u" で KISHITU.TXT に採用されます。");
    }
  }

  void CheckPenetrationTests(const SectionRecords& records) {
    for (int r = 0; r < records.whole; ++r) {
      const int first = records.LineNumber(r, 1);
      if (r + 1 == kFirstWrappedNumber) WarnNumberWraps(kPenetrationMarker, first, u"X5.TXT");
      if (records.Line(r, 1).size() > kLabelWidth) {
        WarnLongLabel(kPenetrationMarker, first, u"試験のラベル", records.Line(r, 1), u"X5.TXT");
      }
      for (int k = 2; k <= 5; ++k) CheckPenetrationEntry(records.LineNumber(r, k), k == 2);
    }
  }

  void CheckPenetrationEntry(int line, bool whole_test) {
    const std::u16string& s = Line(line);
    if (s.empty()) return;
    const std::size_t slash = s.find(u'/');
    const std::u16string_view blows =
        std::u16string_view(s).substr(0, slash == std::u16string::npos ? s.size() : slash);
    const std::u16string_view penetration = slash == std::u16string::npos
                                                ? std::u16string_view()
                                                : std::u16string_view(s).substr(slash + 1);
    std::u16string parts;
    if (blows.size() > kEntryWidth) {
      parts = slash == std::u16string::npos ? u"値" : u"「/」の前";
    }
    if (penetration.size() > kEntryWidth) parts += parts.empty() ? u"「/」の後" : u"と後";
    if (!parts.empty()) {
      std::u16string written = RightAlign(blows, kEntryWidth);
      if (slash != std::u16string::npos) written += u"/" + RightAlign(penetration, kEntryWidth);
      Warn("long-entry", kPenetrationMarker, line,
           u"貫入試験の値" + Quoted(s) + u"の" + parts + u"が " + DecimalText(kEntryWidth) +
               u" 文字を超えています。X5.TXT には各 " + DecimalText(kEntryWidth) + u" 文字" +
               Quoted(written) + u"だけが書かれます。");
    }
    if (!whole_test) return;
    const std::u16string n = coding::PenetrationNValue(RightAlign(blows, kEntryWidth),
                                                       slash == std::u16string::npos
                                                           ? std::u16string(u" 30")
                                                           : RightAlign(penetration, kEntryWidth));
    if (n.size() > kEntryWidth) {
      Warn("n-value-cut", kPenetrationMarker, line,
           u"N 値 " + n + u" は " + DecimalText(kEntryWidth) + u" 文字を超えています。X5.TXT には" +
               Quoted(RightAlign(n, kEntryWidth)) + u"だけが書かれます。");
    }
  }

  void CheckDepthTexts(std::size_t body, int count) {
    const DepthTextSection section = ReadDepthTexts(lines_, body, count);
    const int last = static_cast<int>(section.next);  // the 1-based line read last
    if (section.past_count_line > 0) {
      Warn("count-mid-record", kDepthTextMarker, section.past_count_line,
           u"$K セクションの件数 " + DecimalText(count) +
               u" 行はこのレコードの途中で尽きますが、レコードは区切りの行まで読まれ、"
               u"この行からの本文も X12.TXT に書かれます。");
    }
    int written = 0;
    for (const DepthTextRecord& record : section.records) {
      if (record.text_lines.empty()) {
        Warn("record-without-text", kDepthTextMarker, record.first_line,
             u"$K のレコードが本文（3 行目）の前に終わっています。このレコードは X12.TXT "
             u"に書かれません。");
        continue;
      }
      if (++written == kFirstWrappedNumber) {
        WarnNumberWraps(kDepthTextMarker, record.first_line, u"X12.TXT");
      }
      std::u16string depth = record.depth;
      if (const std::size_t paren = depth.find(u')'); paren != std::u16string::npos) {
        depth = text::TrimEnd(std::u16string_view(depth).substr(0, paren));
      }
      if (depth.size() > kLabelWidth) {
        WarnLongLabel(kDepthTextMarker, record.depth_line, u"深度", depth, u"X12.TXT");
      }
    }
    // A file that ends inside a record is an error of the source check.
    if (last > static_cast<int>(body)) bodies_.push_back({static_cast<int>(body) + 1, last});
  }

  void CheckSectionE(const SectionRecords& records) {
    for (int r = 0; r < records.whole; ++r) {
      if (r + 1 == kFirstWrappedNumber) {
        WarnNumberWraps(kSectionEMarker, records.LineNumber(r, 1), u"X6.TXT");
      }
      for (int k : {3, 4}) {
        const std::u16string text = Trim(records.Line(r, k));
        if (text.size() > kLabelWidth) {
          WarnLongLabel(kSectionEMarker, records.LineNumber(r, k),
                        u"レコードの " + DecimalText(k) + u" 行目", text, u"X6.TXT");
        }
      }
    }
  }

  // Learning writes the tables; the run stops before its first output file when it cannot.
  void CheckTablesWritable() {
    if (first_learned_line_ == 0) return;
    if (const std::optional<std::u16string> path =
            coding::UnwritableTablePath(pattern_folder_, inserts_)) {
      Add(Severity::kError, "tables-unwritable", kLayerMarker, first_learned_line_,
          *path + u": " + coding::kCannotLearnMessage);
    }
  }

  // Lines that begin with a marker but are not where a pass finds its section.
  void CheckMarkerLines() {
    for (int line = 1; line <= LineCount(); ++line) {
      for (const Section& section : kSections) {
        if (!Line(line).starts_with(section.marker)) continue;
        const auto body = std::find_if(bodies_.begin(), bodies_.end(), [&](const Body& b) {
          return b.first <= line && line <= b.last;
        });
        if (body != bodies_.end()) {
          // The line before a body is the marker line of its section.
          const std::u16string owner = Line(body->first - 1).substr(0, 2);
          Warn("body-over-marker", section.marker, line,
               u"この行は " + std::u16string(section.marker) + u" で始まりますが、" +
                   DecimalText(body->first - 1) + u" 行目の " + owner +
                   u" セクションの本文として読まれます。" + owner + u" の件数を確かめてください。");
        } else if (std::find(first_marker_line_.begin(), first_marker_line_.end(), line) ==
                   first_marker_line_.end()) {
          Warn("duplicate-section", section.marker, line,
               std::u16string(section.marker) +
                   u" セクションが 2 度目に現れます。読まれるのは最初のセクションだけです。");
        }
      }
    }
  }

  struct Body {
    int first;
    int last;
  };

  const Survey& survey_;
  const std::vector<std::u16string>& lines_;
  std::u16string pattern_folder_;
  std::optional<SoilNameForecast> forecast_;
  std::set<std::pair<std::u16string_view, int>> warned_code_lines_;
  int first_learned_line_ = 0;  // the survey line of the first name the tables would learn
  bool inserts_ = false;        // a name would get a new user code
  bool table_failed_ = false;
  std::vector<Finding> findings_;
  std::vector<Body> bodies_;
  std::vector<int> first_marker_line_;
};

}  // namespace

std::vector<Finding> CheckSurvey(std::string_view bytes, const std::u16string& pattern_folder) {
  const Survey survey = Survey::FromBytes(u"", bytes);
  std::vector<Finding> findings = CheckSource(bytes, survey);
  if (std::any_of(findings.begin(), findings.end(),
                  [](const Finding& f) { return f.rule == "utf8"; })) {
    return findings;  // read as CP932 its text would be noise
  }
  std::vector<Finding> more = SurveyChecker(survey, pattern_folder).Check();
  findings.insert(findings.end(), std::make_move_iterator(more.begin()),
                  std::make_move_iterator(more.end()));
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return a.line != b.line ? a.line < b.line : a.severity < b.severity;
  });
  return findings;
}

}  // namespace m2v::convert
