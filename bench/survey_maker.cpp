#include "survey_maker.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "text/cp932.h"
#include "text/to_narrow.h"
#include "text/utf.h"

namespace m2v::bench {
namespace {

using Lines = std::vector<std::u16string>;

// splitmix64: small, fast, and the same sequence everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  bool Chance(double p) { return static_cast<double>(Next() % 1000000) < p * 1000000.0; }

 private:
  std::uint64_t state_;
};

std::u16string U(std::string_view utf8) { return text::Utf8ToUtf16(utf8); }

std::u16string Number(long long n) {
  const std::string text = std::to_string(n);
  return std::u16string(text.begin(), text.end());
}

std::u16string FourDigits(int code) {
  std::u16string text = Number(code);
  if (text.size() < 4) text.insert(0, 4 - text.size(), u'0');
  return text;
}

// Centimetres as metres with two decimals: 1215 -> "12.15".
std::u16string Metres(long long cm) {
  std::u16string frac = Number(cm % 100);
  if (frac.size() < 2) frac.insert(0, 1, u'0');
  return Number(cm / 100) + u"." + frac;
}

void WriteLines(const std::filesystem::path& file, const Lines& lines) {
  std::string bytes;
  for (const std::u16string& line : lines) {
    bytes += text::EncodeCp932(line);
    bytes += "\r\n";
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

// Distinct soil names in the way engineers write them: colour, admixture, soil, unit mark.
class SoilNames {
 public:
  std::u16string Next(Random& random) {
    static const char* const kColours[] = {"暗灰", "明灰", "淡黄", "黄褐", "暗褐", "青灰",
                                           "緑灰", "灰白", "赤褐", "黒",   "茶褐", "灰",
                                           "褐",   "青",   "黄",   "白"};
    static const char* const kAdmixtures[] = {
        "礫混じり",     "砂混じり",   "シルト混じり", "粘土混じり", "貝殻混じり",
        "腐植物混じり", "木片混じり", "軽石混じり",   "玉石混じり", "有機質",
        "砂質",         "シルト質",   "粘土質",       "礫質",       "火山灰質",
        "凝灰質",       "風化",       "硬質",         "軟質",       "細粒"};
    static const char* const kSoils[] = {
        "粘土", "シルト", "細砂", "中砂",   "粗砂",   "砂",   "砂礫", "礫",   "ローム", "泥岩",
        "砂岩", "頁岩",   "礫岩", "凝灰岩", "腐植土", "表土", "埋土", "盛土", "玉石",   "火山灰"};
    static const char* const kUnits[] = {"", "Ａ", "Ｂ", "Ｃ", "１", "２", "３", "ｂ"};
    for (;;) {
      std::u16string name = U(kColours[random.Below(16)]) + U(kAdmixtures[random.Below(20)]) +
                            U(kSoils[random.Below(20)]) + U(kUnits[random.Below(8)]);
      if (used_.insert(name).second) return name;
    }
  }

 private:
  std::unordered_set<std::u16string> used_;
};

struct TableRecord {
  int code;
  std::u16string name;  // as stored, perhaps with a "（…）" part
  std::u16string rest;  // fields 3 to 6
};

std::u16string RecordLine(const TableRecord& record) {
  return FourDigits(record.code) + u"," + record.name + u"," + record.rest;
}

std::u16string Abbreviation(Random& random) {
  std::u16string text;
  for (int i = 0; i < 3; ++i) text.push_back(static_cast<char16_t>(u'A' + random.Below(26)));
  return text;
}

// The first free user code the user table leaves.
int UserCodesUsed(const SurveyShape& shape) { return std::min(shape.user_lines / 2, 1800); }

Lines HeaderSection() {
  static const char* const kHeader[] = {"一般国道１３８号　富士吉田バイパス　地質調査業務",
                                        "静岡県駿東郡小山町須走字大日向",
                                        "Ｂ－１",
                                        "5",
                                        "株式会社　東海地盤コンサルタント",
                                        "主任技師　渡辺　誠",
                                        "4",
                                        "国土交通省　中部地方整備局　沼津河川国道事務所",
                                        "調査第二課",
                                        "シズオカ",
                                        "+712.35",
                                        "ＴＰ",
                                        "北緯35度21分48秒　東経138度50分06秒",
                                        "ロータリー式オイルフィード型",
                                        "66",
                                        "31.45",
                                        "鉛直",
                                        "0",
                                        "YB-1",
                                        "東部",
                                        "1993/10/04",
                                        "1993/10/15",
                                        "ＹＢＭ－０５",
                                        "渡辺　誠",
                                        "小林　健一",
                                        "中村　達也",
                                        "",
                                        "ＪＩＳ　Ａ　１２１９",
                                        "63.5kg",
                                        "75cm",
                                        "孔内水位　GL-4.20m（1993/10/15）",
                                        "1",
                                        "半自動落下装置（コーンプーリー）",
                                        "",
                                        "以上"};
  Lines lines{u"$Z " + Number(static_cast<long long>(std::size(kHeader)))};
  for (const char* line : kHeader) lines.push_back(U(line));
  lines.push_back(u"$B   2");
  lines.push_back(U("柱状図様式：標準"));
  lines.push_back(U("縮尺：1/100"));
  return lines;
}

std::u16string Blows(Random& random, bool whole) {
  if (whole && random.Chance(0.15)) return u"50/" + Number(1 + random.Below(29));
  if (!whole && random.Chance(0.08)) return {};
  return Number(random.Below(whole ? 50 : 17));
}

std::u16string L23Name(Random& random, std::unordered_set<std::u16string>& used) {
  // Syllables whose hiragana and half-width forms all exist in CP932.
  static const char16_t kSyllables[] =
      u"アイウエオカキクケコガギグゲゴサシスセソザジズゼゾタチツテト"
      u"ダデドナニヌネノハヒフヘホバビブベボパピプペポマミムメモヤユヨ"
      u"ラリルレロワン";
  const int count = static_cast<int>(std::size(kSyllables)) - 1;
  for (;;) {
    std::u16string name;
    const int length = 3 + random.Below(3);
    for (int i = 0; i < length; ++i) name.push_back(kSyllables[random.Below(count)]);
    if (used.insert(name).second) return name;
  }
}

// The key as a survey may write it: as in the table, in hiragana or in half-width katakana.
std::u16string KeyVariant(const std::u16string& katakana, int form) {
  std::u16string key;
  for (char16_t c : katakana) {
    if (form == 1) {
      key.push_back(static_cast<char16_t>(c - 0x60));
    } else if (form == 2) {
      key += text::HalfWidthKatakana(c);
    } else {
      key.push_back(c);
    }
  }
  return key;
}

}  // namespace

SurveyShape RealisticShape() { return SurveyShape{}; }

SurveyShape StressShape() {
  SurveyShape shape;
  shape.layers = 10000;
  shape.tests = 10000;
  shape.depth_text_lines = 5000;
  shape.e_records = 5000;
  shape.soil_records = 5000;
  shape.user_lines = 2000;
  shape.l23_rows = 1000;
  return shape;
}

int NewNamePool(const SurveyShape& shape) {
  const int free_codes = 4000 - (2000 + UserCodesUsed(shape));
  const int new_layers = static_cast<int>(shape.layers * shape.new_name_share);
  return std::max(1, std::min((new_layers + 9) / 10, free_codes - 20));
}

void MakeSurvey(const SurveyShape& shape, const std::filesystem::path& survey_file,
                const std::filesystem::path& pattern_folder) {
  Random random(shape.seed);
  SoilNames names;
  std::filesystem::create_directories(pattern_folder);
  if (survey_file.has_parent_path()) std::filesystem::create_directories(survey_file.parent_path());

  // Soil table: a tenth of the records in codes no search reaches, the rest spread over the
  // three search ranges; some names carry a "（…）" part that the search ignores.
  std::vector<TableRecord> soil;
  std::vector<std::u16string> known;  // names the soil table finds
  for (int j = 0; j < shape.soil_records; ++j) {
    const int band = j % 10;
    const int code = band < 3   ? 1 + j % 999
                     : band < 6 ? 1000 + j % 1000
                     : band < 9 ? 5000 + j % 500
                                : 4000 + j % 1000;
    std::u16string name = names.Next(random);
    if (band != 9) known.push_back(name);
    if (j % 7 == 0) name += U("（細）");
    soil.push_back(
        {code, name,
         Abbreviation(random) + u"," + FourDigits(code % 1000).substr(1) + u",    ,0000"});
  }

  // User table: codes below 2000, the user codes given out so far, then the lines from 4000
  // on before which new records go. Half of its user records were adopted by the soil table
  // already; the other half wait to be.
  std::vector<TableRecord> user;
  std::vector<std::u16string> adoptable;
  const int used_codes = UserCodesUsed(shape);
  const int low_lines = (shape.user_lines - used_codes) / 2;
  const int high_lines = shape.user_lines - used_codes - low_lines;
  for (int j = 0; j < low_lines; ++j) {
    user.push_back({1999 - low_lines + 1 + j, names.Next(random), u",,    ,0000"});
  }
  for (int j = 0; j < used_codes; ++j) {
    const std::u16string name = names.Next(random);
    user.push_back({2000 + j, name,
                    Abbreviation(random) + u",3" + FourDigits(j % 100).substr(2) + u",    ,0000"});
    if (j % 2 == 0) {
      soil.push_back({2000 + j, name, user.back().rest});
      soil.back().rest.replace(soil.back().rest.find(u"    "), 4, u"");
      known.push_back(name);
    } else {
      adoptable.push_back(name);
    }
  }
  for (int j = 0; j < high_lines; ++j) {
    user.push_back(j + 1 == high_lines ? TableRecord{9000, u"END", u",,    ,0000"}
                                       : TableRecord{4000 + j, names.Next(random), u",,    ,0000"});
  }
  std::stable_sort(soil.begin(), soil.end(),
                   [](const TableRecord& a, const TableRecord& b) { return a.code < b.code; });

  std::vector<std::u16string> fresh(static_cast<std::size_t>(NewNamePool(shape)));
  for (std::u16string& name : fresh) name = names.Next(random);

  // Layers: names the soil table knows, names only the user table knows, and new names,
  // some of them made of a name and its addition; range terms with "～" continuations.
  Lines body;
  for (int i = 0; i < shape.layers; ++i) {
    std::u16string name;
    std::u16string addition;
    if (random.Chance(0.02)) {
      // No soil name: the record adds no layer.
    } else if (!random.Chance(shape.new_name_share) || known.empty()) {
      name = known[static_cast<std::size_t>(random.Below(static_cast<int>(known.size())))];
    } else if (random.Chance(0.1) && !adoptable.empty()) {
      name = adoptable[static_cast<std::size_t>(random.Below(static_cast<int>(adoptable.size())))];
    } else {
      const std::size_t k = static_cast<std::size_t>(random.Below(static_cast<int>(fresh.size())));
      name = fresh[k];
      if (k % 4 == 0) addition = U("有機物混入");
    }
    std::u16string term;
    const int t = random.Below(10);
    if (t < 2) {
      static const char* const kTerms[] = {"暗灰", "灰", "褐", "黄褐", "青灰", "暗緑灰"};
      term = U(kTerms[random.Below(6)]);
    } else if (t == 2) {
      term = U("～");
    }
    body.push_back(Metres(30 + 5LL * i));
    body.push_back(name);
    body.push_back(addition);
    body.push_back(term);
    body.push_back(u"");
    body.push_back(u"");
  }
  Lines survey = HeaderSection();
  survey.push_back(u"$A  " + Number(shape.layers));
  survey.insert(survey.end(), body.begin(), body.end());

  survey.push_back(u"$C  " + Number(shape.tests) + u",1");
  for (int i = 0; i < shape.tests; ++i) {
    survey.push_back(Metres(115 + 100LL * i));
    survey.push_back(Blows(random, true));
    for (int k = 0; k < 3; ++k) survey.push_back(Blows(random, false));
    survey.push_back(u"");
  }

  std::unordered_set<std::u16string> l23_used;
  Lines l23;
  std::vector<std::u16string> l23_names;
  for (int j = 0; j < shape.l23_rows; ++j) {
    l23_names.push_back(L23Name(random, l23_used));
    l23.push_back(u"C" + Number(j) + u",G" + Number(j % 10) + u"," + l23_names.back() + u"," +
                  Number(j % 10));
  }
  survey.push_back(u"$E " + Number(shape.e_records));
  for (int i = 0; i < shape.e_records; ++i) {
    std::u16string key = Metres(random.Below(5000));
    if (!l23_names.empty() && random.Chance(0.6)) {
      key = KeyVariant(
          l23_names[static_cast<std::size_t>(random.Below(static_cast<int>(l23_names.size())))],
          random.Below(3));
    }
    survey.push_back(Number(i + 1));
    survey.push_back(random.Chance(0.5) ? u"S" : u"R");
    survey.push_back(Metres(random.Below(5000)));
    survey.push_back(key);
    survey.push_back(u"");
    survey.push_back(u"W" + Number(i % 7));
  }

  static const char* const kTexts[] = {
      "植物根を多く混入する。", "含水中位、指圧で容易に凹む。",   "φ2～20mmの亜角礫を混入する。",
      "下部ほど粗粒となる。",   "腐植物を混入する。有機臭あり。", "コアは短柱状～棒状。"};
  survey.push_back(u"$K " + Number(shape.depth_text_lines));
  int text_lines = 0;
  for (int i = 0; text_lines < shape.depth_text_lines; ++i) {
    survey.push_back(Metres(30 + 80LL * i) + u")");
    survey.push_back(u"");
    const int lines = std::min(1 + random.Below(3), shape.depth_text_lines - text_lines);
    for (int k = 0; k < lines; ++k) survey.push_back(U(kTexts[random.Below(6)]));
    text_lines += lines;
    survey.push_back(u"\x01");
  }

  Lines soil_lines;
  for (const TableRecord& record : soil) soil_lines.push_back(RecordLine(record));
  Lines user_lines;
  for (const TableRecord& record : user) user_lines.push_back(RecordLine(record));
  Lines l1;
  static const char* const kRegions[] = {"ﾎｯｶｲﾄﾞｳ", "ｱｵﾓﾘ",     "ｲﾜﾃ",   "ﾐﾔｷﾞ",  "ｱｷﾀ",  "ﾔﾏｶﾞﾀ",
                                         "ﾌｸｼﾏ",    "ｲﾊﾞﾗｷ",    "ﾄﾁｷﾞ",  "ｸﾞﾝﾏ",  "ｻｲﾀﾏ", "ﾁﾊﾞ",
                                         "TOKYO",   "KANAGAWA", "ﾆｲｶﾞﾀ", "ﾄﾔﾏ",   "ｲｼｶﾜ", "ﾌｸｲ",
                                         "ﾔﾏﾅｼ",    "ﾅｶﾞﾉ",     "ｷﾞﾌ",   "ｼｽﾞｵｶ", "ｱｲﾁ",  "ﾐｴ"};
  for (std::size_t j = 0; j < std::size(kRegions); ++j) {
    l1.push_back(FourDigits(static_cast<int>(j + 1)).substr(2) + u"," + U(kRegions[j]));
  }
  Lines l4;
  static const char* const kColours[] = {"暗", "明", "淡", "濃", "灰", "黒", "白", "褐",
                                         "茶", "赤", "橙", "黄", "緑", "青", "紫", "桃"};
  for (std::size_t j = 0; j < std::size(kColours); ++j) {
    l4.push_back(Number(static_cast<long long>(j) + 5) + u"," + U(kColours[j]));
  }

  WriteLines(survey_file, survey);
  WriteLines(pattern_folder / "KISHITU.TXT", soil_lines);
  WriteLines(pattern_folder / "XKISHITU.TXT", user_lines);
  WriteLines(pattern_folder / "L1.TXT", l1);
  WriteLines(pattern_folder / "L4.TXT", l4);
  WriteLines(pattern_folder / "L23.txt", l23);
}

}  // namespace m2v::bench
