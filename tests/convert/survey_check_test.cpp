#include "convert/survey_check.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/pattern_folder.h"
#include "text/utf.h"

namespace m2v::convert {
namespace {

using test::SjisLines;
using ::testing::ElementsAre;

// "W long-label@2 $A": severity, rule, line and section of each finding, in order.
std::vector<std::string> Summary(const std::vector<Finding>& findings) {
  std::vector<std::string> lines;
  for (const Finding& f : findings) {
    const char* severity = f.severity == Severity::kError     ? "E"
                           : f.severity == Severity::kWarning ? "W"
                                                              : "I";
    lines.push_back(std::string(severity) + " " + f.rule + "@" + std::to_string(f.line) + " " +
                    text::Utf16ToUtf8(f.marker));
  }
  return lines;
}

std::string MessageAt(const std::vector<Finding>& findings, const std::string& rule, int line) {
  for (const Finding& f : findings) {
    if (f.rule == rule && f.line == line) return text::Utf16ToUtf8(f.message);
  }
  return "(none)";
}

class SurveyCheckTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  SurveyCheckTest() {
    WriteTable("KISHITU.TXT",
               {"5012,粘土,NEN,012,    ,0000", "5030,細砂（均等）,SAI,030,    ,0000"});
    WriteTable("XKISHITU.TXT",
               {"2000,砂混じりシルト,,,    ,0000", "2003,礫混じり砂（現場）,RSA,303,    ,0000",
                "9000,END,,,    ,0000"});
  }
};

TEST_F(SurveyCheckTest, LayersAndPenetrationTests) {
  // clang-format off
  const std::string source = SjisLines({
      "$A 6",                                                   // 1
      "123.4567", "粘土", "", "～", "", "",                     // 2-7: 8-character depth
      "2.00", "腐植土", "", "灰", "", "",                       // 8-13: new; closes "～灰"
      "3.00", "砂（細砂）", "", "暗褐", "", "",                 // 14-19
      "4.00", "礫混じり砂", "", "", "", "",                     // 20-25: only in XKISHITU
      "5.00", "腐植土", "", "～", "", "",                       // 26-31: learned at line 9
      "12345678.9", "  ", "", "黄", "", "",                     // 32-37: closes "暗褐～黄"
      "$C 2",                                                   // 38
      "GL-12.345", "50/1", "1234/56", "10/1000", "12345", "x",  // 39-44
      "1.00", "15", "3", "4", "5", "",                          // 45-50
      "$A 1",                                                   // 51
  });
  // clang-format on
  const std::vector<Finding> findings = CheckSurvey(source, patdat);
  EXPECT_THAT(
      Summary(findings),
      ElementsAre("I section-count@0 ", "I section-count@0 ", "I section-count@0 ",
                  "I section-count@1 $A", "W long-label@2 $A", "W range-without-term@5 $A",
                  "I new-soil-name@9 $A", "W paren-in-name@15 $A", "I new-soil-name@15 $A",
                  "I adopted-soil-name@21 $A", "W long-label@32 $A", "I section-count@38 $C",
                  "W long-label@39 $C", "W n-value-cut@40 $C", "W long-entry@41 $C",
                  "W long-entry@42 $C", "W long-entry@43 $C", "W duplicate-section@51 $A"));
  // Absent sections in the order of the passes.
  EXPECT_EQ(text::Utf16ToUtf8(findings[0].message),
            "$Z セクションはありません。CNT.TXT、Titl01.txt、Titl02.txt は作られません。");
  EXPECT_THAT(MessageAt(findings, "section-count", 1), "$A セクション: 6 件");
  // Line 2 is the depth of a layer only: the term it starts is closed with line 8's depth.
  EXPECT_EQ(MessageAt(findings, "long-label", 2),
            "深度「123.4567」は 7 文字を超えています。X1.TXT には右の 7 文字「23.4567」だけが"
            "書かれます。");
  EXPECT_THAT(MessageAt(findings, "long-label", 32), ::testing::HasSubstr("X3.TXT には"));
  // XKISHITU holds 2000 and 2003 before 9000: the new names get 2004 and 2005 in turn.
  EXPECT_THAT(MessageAt(findings, "new-soil-name", 9),
              ::testing::HasSubstr("新しい土質名「腐植土」にユーザーコード 2004 が付きます"));
  EXPECT_THAT(MessageAt(findings, "new-soil-name", 15), ::testing::HasSubstr("2005"));
  EXPECT_THAT(MessageAt(findings, "adopted-soil-name", 21),
              ::testing::HasSubstr("「礫混じり砂」は XKISHITU.TXT のコード 2003 で"));
  EXPECT_THAT(MessageAt(findings, "n-value-cut", 40), ::testing::HasSubstr("N 値 1500"));
  EXPECT_THAT(MessageAt(findings, "n-value-cut", 40), ::testing::HasSubstr("「500」"));
  EXPECT_THAT(MessageAt(findings, "long-entry", 41), ::testing::HasSubstr("「234/ 56」"));
  EXPECT_THAT(MessageAt(findings, "long-entry", 42), ::testing::HasSubstr("「/」の後"));
  EXPECT_THAT(MessageAt(findings, "long-entry", 43), ::testing::HasSubstr("「345」"));
}

TEST_F(SurveyCheckTest, DepthTextsSectionEAndAnError) {
  // clang-format off
  const std::string source = SjisLines({
      "$Z 2", "a", "b",                                         // 1-3: too short a header
      "$K 3",                                                   // 4
      "1.00)", "x", "\x01",                                     // 5-7: no text
      "123.4567 )", "x", "砂", "\x01",                          // 8-11: depth of the next text
      "3.00", "x", "礫", "粘土", "シルト", "\x01",              // 12-17: count ends at 粘土
      "$E 1",                                                   // 18
      "a", "$C 0", "1234.5678", "砂礫層ですよね色", "c", "AB",  // 19-24
      "$K 9",                                                   // 25
  });
  // clang-format on
  const std::vector<Finding> findings = CheckSurvey(source, patdat);
  EXPECT_THAT(Summary(findings),
              ElementsAre("I section-count@0 ", "E short-header@1 $Z", "I section-count@1 $Z",
                          "I section-count@4 $K", "W record-without-text@5 $K", "W long-label@8 $K",
                          "W count-mid-record@16 $K", "I section-count@18 $E",
                          "W body-over-marker@20 $C", "I section-count@20 $C", "W long-label@21 $E",
                          "W long-label@22 $E", "W duplicate-section@25 $K"));
  EXPECT_THAT(MessageAt(findings, "long-label", 8), ::testing::HasSubstr("「23.4567」"));
  EXPECT_THAT(MessageAt(findings, "long-label", 22),
              ::testing::HasSubstr("レコードの 4 行目「砂礫層ですよね色」"));
  EXPECT_EQ(MessageAt(findings, "body-over-marker", 20),
            "この行は $C で始まりますが、18 行目の $E セクションの本文として読まれます。"
            "$E の件数を確かめてください。");
  EXPECT_THAT(MessageAt(findings, "section-count", 20),
              "$C セクションの件数は 0 です。X5.TXT は作られません。");
}

TEST_F(SurveyCheckTest, RecordNumbersPast999) {
  std::vector<std::string> storage{"$A 1000"};
  for (int i = 0; i < 1000; ++i) storage.insert(storage.end(), {"1.00", "砂", "", "黄", "", ""});
  storage.push_back("$C 999");  // one short of wrapping
  for (int i = 0; i < 999; ++i) storage.insert(storage.end(), {"1.00", "1", "", "", "", ""});
  const std::vector<std::string_view> lines(storage.begin(), storage.end());
  // Record 1000 of "$A" starts at line 1 + 999 * 6 + 1.
  EXPECT_THAT(Summary(CheckSurvey(SjisLines(lines), u"")),
              ElementsAre("I section-count@0 ", "I section-count@0 ", "I section-count@0 ",
                          "I section-count@1 $A", "W number-wraps@5996 $A",
                          "W number-wraps@5999 $A", "I section-count@6002 $C"));
}

TEST_F(SurveyCheckTest, AFileOutsideCp932StillGetsItsWarnings) {
  const std::string source = "$C 1\r\n12345678\r\n1\x80\r\n\r\n\r\n\r\n\r\n";
  EXPECT_THAT(Summary(CheckSurvey(source, patdat)),
              ElementsAre("I section-count@0 ", "I section-count@0 ", "I section-count@0 ",
                          "I section-count@0 ", "I section-count@1 $C", "W long-label@2 $C",
                          "E not-cp932@3 "));
  // A file saved as UTF-8 is only that: read as CP932 everything else would be noise.
  EXPECT_THAT(Summary(CheckSurvey("$A 1\r\n1\r\n\xE7\xA0\x82\r\n\r\n\r\n\r\n", patdat)),
              ElementsAre("E utf8@0 "));
}

TEST_F(SurveyCheckTest, TablesTheRunCouldNotUseAreSaid) {
  test::WriteBytes(Table("XKISHITU.TXT"), test::SjisLines({"3999,最後,,,    ,0000"}));
  const std::string source =
      SjisLines({"$A 2", "1", "泥", "", "", "", "", "2", "岩", "", "", "", ""});
  const std::vector<Finding> findings = CheckSurvey(source, patdat);
  EXPECT_THAT(Summary(findings), ::testing::Contains("E table-failure@3 $A"));
  EXPECT_THAT(MessageAt(findings, "table-failure", 3), ::testing::HasSubstr("使い切りました"));
  EXPECT_THAT(Summary(findings), ::testing::Not(::testing::Contains("I new-soil-name@9 $A")));

  // The run reads the soil table at its first layer name, and fails there.
  test::WriteBytes(Table("KISHITU.TXT"), "5012,\x82\r\n");
  EXPECT_THAT(Summary(CheckSurvey(source, patdat)), ::testing::Contains("E table-failure@3 $A"));
}

TEST_F(SurveyCheckTest, WarnsAboutTableLinesTheNextCodeRuleWouldHaveDoubled) {
  test::WriteBytes(Table("KISHITU.TXT"), test::SjisLines({"2006,粘土,,,    ,0000"}));
  test::WriteBytes(Table("XKISHITU.TXT"), test::SjisLines({"2005,砂,,,    ,0000"}));
  const std::string source = SjisLines({"$A 1", "1", "新しい土", "", "", "", ""});
  const std::vector<Finding> findings = CheckSurvey(source, patdat);
  EXPECT_THAT(Summary(findings), ::testing::Contains("W duplicate-code@3 $A"));
  EXPECT_THAT(MessageAt(findings, "duplicate-code", 3),
              ::testing::HasSubstr("KISHITU.TXT の 1 行目がコード 2006"));
  EXPECT_THAT(MessageAt(findings, "new-soil-name", 3), ::testing::HasSubstr("2007"));
}

TEST_F(SurveyCheckTest, ChangesNoByteOfThePatternFolder) {
  const std::string source = SjisLines({"$A 1", "1", "新しい土", "", "", "", ""});
  const std::string soil = TableBytes("KISHITU.TXT");
  const std::string user = TableBytes("XKISHITU.TXT");
  EXPECT_THAT(Summary(CheckSurvey(source, patdat)), ::testing::Contains("I new-soil-name@3 $A"));
  EXPECT_EQ(TableBytes("KISHITU.TXT"), soil);
  EXPECT_EQ(TableBytes("XKISHITU.TXT"), user);
  EXPECT_FALSE(std::filesystem::exists(Table("XKISHITU.TMP")));
  EXPECT_FALSE(std::filesystem::exists(Marker()));
}

}  // namespace
}  // namespace m2v::convert
