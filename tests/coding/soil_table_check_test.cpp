#include "coding/soil_table_check.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/pattern_folder.h"
#include "text/utf.h"

namespace m2v::coding {
namespace {

using test::Sjis;
using test::SjisLines;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// One finding as a test names it: "S" for KISHITU.TXT or "U" for XKISHITU.TXT, the line,
// the severity's first letter and the rule.
struct Seen {
  std::string where;
  bool operator==(const Seen&) const = default;
};
void PrintTo(const Seen& seen, std::ostream* out) { *out << seen.where; }

std::vector<Seen> Summary(const SoilTableReport& report) {
  std::vector<Seen> seen;
  for (const auto& [table, findings] : {std::pair{"S", &report.soil}, {"U", &report.user}}) {
    for (const TableFinding& f : *findings) {
      const char severity = f.severity == TableSeverity::kError     ? 'E'
                            : f.severity == TableSeverity::kWarning ? 'W'
                                                                    : 'I';
      seen.push_back(
          {std::string(table) + ":" + std::to_string(f.line) + " " + severity + " " + f.rule});
    }
  }
  return seen;
}

SoilTableFile Present(std::u16string name, std::string bytes) {
  SoilTableFile file;
  file.path = u"D:\\PATDAT\\" + name;
  file.exists = true;
  file.bytes = std::move(bytes);
  return file;
}

SoilTableFile Missing(std::u16string name) {
  SoilTableFile file;
  file.path = u"D:\\PATDAT\\" + name;
  return file;
}

// Both tables from CP932 bytes; nullopt: the table is missing.
SoilTableFiles Tables(std::optional<std::string> soil, std::optional<std::string> user) {
  return {soil ? Present(u"KISHITU.TXT", *soil) : Missing(u"KISHITU.TXT"),
          user ? Present(u"XKISHITU.TXT", *user) : Missing(u"XKISHITU.TXT")};
}

SoilTableReport CheckLines(const std::vector<std::string_view>& soil,
                           const std::vector<std::string_view>& user) {
  return CheckSoilTables(Tables(SjisLines(soil), SjisLines(user)));
}

TEST(SoilTableCheckTest, HealthyTablesHaveNoFinding) {
  const SoilTableReport report = CheckLines(
      {"0010,コンクリート,CON,010,    ,0000", "1001,砂岩,SGN,201,    ,0000", "1500,旧表土,,,,0000",
       "2000,貝殻混じり砂,,,,0000", "4001,地層凡例,,,    ,0000", "5001,礫,REK,001,    ,0000",
       "5002,砂礫,SRE,002,    ,0000", "  5003 , 粘土 ,\"a,b\",,,0000"},
      {"1500,旧表土,,,    ,0000", "2000,貝殻混じり砂,,,    ,0000", "2001,埋土,,,    ,0000",
       "4000,ここから前に入る,,,    ,0000", "9000,END,,,    ,0000"});
  EXPECT_THAT(Summary(report), ElementsAre(Seen{"U:3 I not-in-soil-table"}));
  ASSERT_TRUE(report.user_codes.next);
  EXPECT_EQ(*report.user_codes.next, 2002);
  EXPECT_EQ(report.user_codes.left, 1998);

  const SoilTableReport clean =
      CheckLines({"5001,礫,REK,001,    ,0000", "2000,貝殻混じり砂,,,,0000"},
                 {"2000,貝殻混じり砂,,,    ,0000", "9000,END,,,    ,0000"});
  EXPECT_THAT(Summary(clean), ElementsAre());
  EXPECT_EQ(clean.user_codes.next, 2001);
  EXPECT_EQ(clean.user_codes.left, 1999);
}

// One small pair of tables per rule, and every finding it gives (table, line, severity, rule).
struct Case {
  const char* rule;
  std::optional<std::string> soil;
  std::optional<std::string> user;
  std::vector<std::string> expected;
};

std::vector<Case> Cases() {
  const std::string end = SjisLines({"9000,END,,,    ,0000"});
  return {
      {"no-table", std::nullopt, std::nullopt, {"S:0 I no-table", "U:0 I no-table"}},
      {"bom", "\xEF\xBB\xBF" + SjisLines({"5001,礫,a,b,c,d"}), end, {"S:1 E bom"}},
      {"bom (UTF-16)",
       std::string("\xFF\xFE"
                   "5\0"
                   "0\0",
                   6),
       end,
       {"S:1 E bom", "S:1 I no-final-line-end"}},
      {"not-cp932",
       SjisLines({"5001,礫,a,b,c,d"}) + "5002,\x80\x80,a,b,c,d\r\n5003,\x81,a,b,c,d\r\n",
       end,
       {"S:2 E not-cp932", "S:3 E not-cp932"}},
      {"line-end",
       Sjis("5001,礫,a,b,c,d\n5002,砂,a,b,c,d\r5003,泥,a,b,c,d\r\n"),
       end,
       {"S:1 W line-end"}},
      {"no-final-line-end", Sjis("5001,礫,a,b,c,d"), end, {"S:1 I no-final-line-end"}},
      {"blank-line",
       SjisLines({"5001,礫,a,b,c,d", "", " \t", "5002,砂,a,b,c,d", ""}),
       end,
       {"S:2 I blank-line", "S:3 I blank-line", "S:5 I blank-line"}},
      {"field-count: seven fields shift every later record",
       SjisLines({"5001,粘土,a,b,c,d,e", "5002,砂,a,b,c,d"}),
       end,
       {"S:1 E field-count", "S:1 E shifted-record", "S:2 E incomplete-record"}},
      {"field-count: a shift that a line of five ends",
       SjisLines({"5001,粘土,a,b,c,d,", "5002,砂,a,b,c,d", "5003,泥,a,b,c", "5004,礫,a,b,c,d"}),
       end,
       {"S:1 E field-count", "S:1 E shifted-record", "S:2 E shifted-record", "S:3 E field-count"}},
      {"field-count: two whole records on one line",
       SjisLines({"5001,a,,,,0000,5002,b,,,,0000"}),
       end,
       {"S:1 W field-count"}},
      {"incomplete-record",
       SjisLines({"5001,礫,a,b,c,d", "5002,砂,a,b,c"}),
       end,
       {"S:2 E field-count", "S:2 E incomplete-record"}},
      {"bad-code", SjisLines({"1e99,礫,a,b,c,d"}), end, {"S:1 E bad-code"}},
      {"code-two-names",
       SjisLines({"2000,砂,,,,0000", "2001,泥,,,,0000"}),
       SjisLines({"2000,粘土（青）,,,,0000", "2001,泥（褐）,,,,0000", "9000,END,,,,"}),
       {"S:1 I not-in-user-table", "U:1 E code-two-names", "U:1 W paren-in-name",
        "U:1 I not-in-soil-table", "U:2 W paren-in-name"}},
      {"code-given-again: a second record on a line holds a code the rule cannot see",
       SjisLines({"2000,a,,,,0000"}),
       SjisLines({"2000,a,,,,0000,2001,b,,,,0000"}),
       {"U:1 E code-given-again", "U:1 W field-count", "U:1 I not-in-soil-table"}},
      {"codes-used-up",
       SjisLines({"3999,a,,,,"}),
       SjisLines({"3999,a,,,,"}),
       {"U:0 E codes-used-up"}},
      {"codes-used-up: the codes after the last line are all held",
       SjisLines({"3999,z,,,,"}),
       SjisLines({"3998,a,,,,", "9000,END,,,,"}),
       {"S:1 W would-duplicate", "S:1 I not-in-user-table", "U:0 E codes-used-up",
        "U:1 I not-in-soil-table"}},
      {"few-codes-left",
       SjisLines({"3950,a,,,,"}),
       SjisLines({"3950,a,,,,"}),
       {"U:0 W few-codes-left"}},
      {"code-not-four-digits",
       SjisLines({"205,a,,,,", "ABC,b,,,,", "05001,c,,,,"}),
       end,
       {"S:1 W code-not-four-digits", "S:2 W code-not-four-digits", "S:3 W code-not-four-digits"}},
      {"code-not-at-line-start: the rule reads \" 200\" and counts from 2000",
       SjisLines({" 2005,a,,,,"}),
       SjisLines({" 2005,a,,,,", "9000,END,,,,"}),
       {"S:1 W would-duplicate", "U:1 W code-not-at-line-start", "U:1 W would-duplicate"}},
      {"out-of-order",
       SjisLines({"2000,a,,,,", "2002,b,,,,", "2001,c,,,,"}),
       SjisLines({"2000,a,,,,", "2002,b,,,,", "2001,c,,,,", "9000,END,,,,"}),
       {"S:2 W would-duplicate", "U:2 W would-duplicate", "U:3 W out-of-order"}},
      {"next-code-reset: a blank line before the insertion point",
       SjisLines({"2000,a,,,,", "2001,b,,,,"}),
       SjisLines({"2000,a,,,,", "2001,b,,,,", "", "9000,END,,,,"}),
       {"S:1 W would-duplicate", "S:2 W would-duplicate", "U:1 W would-duplicate",
        "U:2 W would-duplicate", "U:3 W next-code-reset", "U:3 I blank-line"}},
      {"after-insert-point",
       SjisLines({"2000,a,,,,", "2001,b,,,,"}),
       SjisLines({"2000,a,,,,", "9000,END,,,,", "2001,b,,,,"}),
       {"S:2 W would-duplicate", "U:3 W after-insert-point", "U:3 W would-duplicate"}},
      {"would-duplicate: a user code only the soil table holds",
       SjisLines({"2000,a,,,,", "2005,z,,,,"}),
       SjisLines({"2000,a,,,,", "9000,END,,,,"}),
       {"S:2 W would-duplicate", "S:2 I not-in-user-table"}},
      {"name-two-codes",
       SjisLines({"5007,砂,,,,", "5099,砂（細）,,,,", "1500,砂,,,,", "5008,礫,,,,", "5008,礫,,,,"}),
       SjisLines({"2000,砂,,,,", "9000,END,,,,"}),
       {"S:2 W paren-in-name", "S:2 W name-two-codes", "S:3 W name-two-codes",
        "U:1 W name-two-codes"}},
      {"paren-in-name",
       SjisLines({"5001,礫（大）,,,,", "5002,（注）,,,,"}),
       end,
       {"S:1 W paren-in-name", "S:2 W paren-in-name"}},
      {"comma-in-name",
       SjisLines({"5001,\"礫,砂\",,,,", "5002,砂\"x,,,,", "5003,泥（a,b）,,,"}),
       end,
       {"S:1 W comma-in-name", "S:2 W comma-in-name", "S:3 W paren-in-name"}},
      {"empty-name", SjisLines({"5001,,,,,", "4500,,,,,"}), end, {"S:1 W empty-name"}},
      {"not-in-soil-table",
       std::nullopt,
       SjisLines({"2000,a,,,,", "9000,END,,,,"}),
       {"S:0 I no-table", "U:1 I not-in-soil-table"}},
      {"not-in-user-table",
       SjisLines({"5001,x,,,,", "2000,a,,,,"}),
       SjisLines({"2001,b,,,,", "9000,END,,,,"}),
       {"S:2 I not-in-user-table", "U:1 I not-in-soil-table"}},
  };
}

TEST(SoilTableCheckTest, EachRuleOnItsOwnTables) {
  for (const Case& c : Cases()) {
    std::vector<Seen> expected;
    for (const std::string& e : c.expected) expected.push_back({e});
    EXPECT_THAT(Summary(CheckSoilTables(Tables(c.soil, c.user))), ElementsAreArray(expected))
        << c.rule;
  }
}

TEST(SoilTableCheckTest, AShiftedRecordIsNamedAsTheRunReadsIt) {
  const SoilTableReport report =
      CheckLines({"5001,粘土,a,b,c,d,5010", "5002,砂,a,b,c,d", "5003,泥,a,b,c"}, {"9000,END,,,,"});
  ASSERT_EQ(report.soil.size(), 4u);
  EXPECT_EQ(report.soil[0].rule, "field-count");
  EXPECT_THAT(text::Utf16ToUtf8(report.soil[0].message),
              HasSubstr("次の行の最初の項目は、レコードの 2 項目目として読まれます"));
  EXPECT_EQ(report.soil[1].rule, "shifted-record");
  EXPECT_EQ(text::Utf16ToUtf8(report.soil[1].message),
            "この行の 7 項目目から 2 行目の 5 項目目までが 1 つのレコードとして読まれます: "
            "コード「5010」、土質名「5002」。変換はこれを土質名「5002」のコード「5010」として"
            "探します。");
  EXPECT_EQ(report.soil[2].line, 2);
  EXPECT_EQ(text::Utf16ToUtf8(report.soil[2].message),
            "この行の 6 項目目から 3 行目の 5 項目目までが 1 つのレコードとして読まれます: "
            "コード「d」、土質名「5003」。このコードはどの検索範囲にも入らないため、この"
            "レコードはどの土質名にも一致しません。");
  EXPECT_THAT(text::Utf16ToUtf8(report.soil[3].message),
              HasSubstr("前の行から続くずれはこの行で終わります。"));
}

TEST(SoilTableCheckTest, MessagesSayWhatTheRunDoes) {
  const SoilTableReport used_up = CheckLines({}, {"3999,a,,,,"});
  ASSERT_EQ(used_up.user.size(), 2u);
  EXPECT_EQ(used_up.user[0].severity, TableSeverity::kError);
  EXPECT_EQ(text::Utf16ToUtf8(used_up.user[0].message),
            "ユーザーコード（2000～3999）が残っていません。変換は新しい土質名が現れたところで"
            "止まります。");
  EXPECT_FALSE(used_up.user_codes.next);
  EXPECT_EQ(used_up.user_codes.left, 0);

  const SoilTableReport reset = CheckLines({"2000,a,,,,"}, {"2000,a,,,,", "", "9000,END,,,,"});
  EXPECT_EQ(reset.user_codes.next, 2001);
  EXPECT_THAT(text::Utf16ToUtf8(reset.user[1].message),
              HasSubstr("ユーザーコードは 2000 から数え直されます（次のユーザーコードは 2001。"
                        "ユーザーコードの最後の行は 1 行目）"));

  const SoilTableReport two =
      CheckLines({"2000,砂,,,,0000"}, {"2000,粘土,,,,0000", "9000,END,,,,"});
  EXPECT_EQ(text::Utf16ToUtf8(two.user[0].message),
            "ユーザーコード 2000 が 2 つの土質名に付いています: 「砂」（KISHITU.TXT の 1 行目）と、"
            "この行の「粘土」。X1.TXT ではどちらもコード 2000 になり、区別できません。");
}

TEST(SoilTableCheckTest, TheNextCodeStepsOverCodesEitherTableHoldsAsItsFirstField) {
  const SoilTableReport report =
      CheckLines({"2001,a,,,,", "\"2002\",b,,,,", " 2003 ,c,,,,", "2004.0,d,,,,"},
                 {"2000,x,,,,", "9000,END,,,,"});
  EXPECT_EQ(report.user_codes.next, 2004);  // "2004.0" is not the four-digit text
  EXPECT_EQ(report.user_codes.left, 1996);
}

class SoilTableFilesTest : public ::testing::Test, public test::PatternFolderFixture {};

TEST_F(SoilTableFilesTest, ReadsBothTablesAndSaysWhatItCannotRead) {
  WriteTable("XKISHITU.TXT", {"2000,a,,,,"});
  std::filesystem::create_directories(Table("KISHITU.TXT"));
  const SoilTableFiles files = ReadSoilTableFiles(patdat);
  EXPECT_EQ(files.soil.path, patdat + u"KISHITU.TXT");
  EXPECT_TRUE(files.soil.exists);
  EXPECT_FALSE(files.soil.failure.empty());
  EXPECT_TRUE(files.user.exists);
  EXPECT_EQ(files.user.bytes, SjisLines({"2000,a,,,,"}));
  const SoilTableReport report = CheckSoilTables(files);
  EXPECT_THAT(Summary(report),
              ElementsAre(Seen{"S:0 E unreadable"}, Seen{"U:1 I not-in-soil-table"}));
  EXPECT_THAT(text::Utf16ToUtf8(report.soil[0].message),
              HasSubstr("KISHITU.TXT を読み取れません: "));

  std::filesystem::remove(Table("KISHITU.TXT"));
  EXPECT_FALSE(ReadSoilTableFiles(patdat).soil.exists);
}

}  // namespace
}  // namespace m2v::coding
