// The forecast must hand out exactly what a real run would: each case is first forecast
// (and the tables must not change), then classified for real on the same tables, and the
// two accounts compared.

#include "convert/soil_name_forecast.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "coding/soil_classification.h"
#include "common/text_file.h"
#include "support/pattern_folder.h"
#include "text/failure.h"
#include "text/utf.h"

namespace m2v::convert {
namespace {

using coding::LearnedSoilName;
using Kind = LearnedSoilName::Kind;

std::string Describe(const std::vector<LearnedSoilName>& learned) {
  std::string text;
  for (const LearnedSoilName& l : learned) {
    text += (l.kind == Kind::kNewUserCode ? "new " : "adopted ") + text::Utf16ToUtf8(l.code) + " " +
            text::Utf16ToUtf8(l.name) + "\n";
  }
  return text;
}

class SoilNameForecastTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  SoilNameForecastTest() { std::filesystem::create_directories(Table("")); }

  // What the forecast says for the names; "failure" ends it where the run would stop.
  std::string Forecast(const std::vector<std::u16string>& names) {
    std::vector<LearnedSoilName> learned;
    try {
      SoilNameForecast forecast(patdat);
      for (const std::u16string& name : names) {
        if (std::optional<LearnedSoilName> l = forecast.Classify(name)) learned.push_back(*l);
      }
    } catch (const text::Failure&) {
      return Describe(learned) + "failure\n";
    }
    return Describe(learned);
  }

  std::string Classify(const std::vector<std::u16string>& names) {
    std::vector<LearnedSoilName> learned;
    common::TextWriter out = common::TextWriter::Create(At(u"X1.TXT"));
    std::int16_t number = 1;
    try {
      for (const std::u16string& name : names) {
        coding::ClassifySoilName(number, u"1.00", name, u"", out, patdat, &learned);
      }
    } catch (const text::Failure&) {
      return Describe(learned) + "failure\n";
    }
    return Describe(learned);
  }

  // The forecast, checked against a real run and against the unchanged tables.
  std::string ForecastAndCompare(const std::vector<std::u16string>& names) {
    std::filesystem::remove(Marker());
    const bool had_soil = std::filesystem::exists(Table("KISHITU.TXT"));
    const bool had_user = std::filesystem::exists(Table("XKISHITU.TXT"));
    const std::string soil = had_soil ? TableBytes("KISHITU.TXT") : "";
    const std::string user = had_user ? TableBytes("XKISHITU.TXT") : "";
    const std::string forecast = Forecast(names);
    EXPECT_EQ(std::filesystem::exists(Table("KISHITU.TXT")), had_soil);
    EXPECT_EQ(std::filesystem::exists(Table("XKISHITU.TXT")), had_user);
    if (had_soil) {
      EXPECT_EQ(TableBytes("KISHITU.TXT"), soil);
    }
    if (had_user) {
      EXPECT_EQ(TableBytes("XKISHITU.TXT"), user);
    }
    EXPECT_FALSE(std::filesystem::exists(Marker()));
    EXPECT_EQ(forecast, Classify(names));
    return forecast;
  }
};

// Tables that make the next-code rule (the line before the insertion point + 1) land on a
// code some line holds already: the forecast and the run both step over it, so that no two
// names ever share a code, and the new record still goes where the rule puts it.
TEST_F(SoilNameForecastTest, NextCodeStepsOverCodesTheTablesHoldAlready) {
  struct Case {
    const char* name;
    std::vector<std::string_view> soil;
    std::vector<std::string_view> user;
    const char* learned;
  };
  const Case cases[] = {
      {"blank line before the insertion point",
       {"2000,砂,,,    ,0000"},
       {"2000,砂,,,    ,0000", "", "9000,区切り,,,,"},
       "new 2001 新しい土\n"},
      {"user table out of order",
       {},
       {"2002,砂,,,    ,0000", "2001,礫,,,    ,0000"},
       "new 2003 新しい土\n"},
      {"code only in the soil table",
       {"2006,粘土,,,    ,0000"},
       {"2005,砂,,,    ,0000"},
       "new 2007 新しい土\n"},
      {"line below 4000 after the insertion point",
       {},
       {"2000,砂,,,    ,0000", "9000,区切り,,,,", "2001,礫,,,    ,0000"},
       "new 2002 新しい土\n"},
      {"code with blanks and quotes",
       {" \"2001\" ,礫,,,,"},
       {"2000,砂,,,    ,0000"},
       "new 2002 新しい土\n"},
      {"stepping runs past 3999", {}, {"3999,砂,,,    ,0000", "3998,礫,,,    ,0000"}, "failure\n"},
  };
  for (const Case& c : cases) {
    WriteTable("KISHITU.TXT", c.soil);
    WriteTable("XKISHITU.TXT", c.user);
    EXPECT_EQ(ForecastAndCompare({u"新しい土", u"新しい土"}), c.learned) << c.name;
    // Every code stands for one name across both tables.
    std::map<std::string, std::string> names;
    for (const char* table : {"KISHITU.TXT", "XKISHITU.TXT"}) {
      const std::string bytes = TableBytes(table);
      for (const std::string_view line : common::SplitByteLines(bytes)) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos || line.starts_with("9000")) continue;
        std::string code(line.substr(0, comma));
        code.erase(std::remove_if(code.begin(), code.end(),
                                  [](char ch) { return ch == ' ' || ch == '"'; }),
                   code.end());
        const std::string name(line.substr(comma + 1, line.find(',', comma + 1) - comma - 1));
        const auto [it, added] = names.emplace(code, name);
        EXPECT_EQ(it->second, name) << c.name << ": code " << code << " given twice";
      }
    }
  }
}

TEST_F(SoilNameForecastTest, FollowsTheTablesAsTheRunChangesThem) {
  WriteTable("KISHITU.TXT", {"5012,粘土,NEN,012,    ,0000", "2010,シルト,,,    ,0000",
                             "5010,シルト,,,    ,0000", "0300,（欠番）,,,    ,0000",
                             "4100,腐植土,,,    ,0000", "5050,\"礫,玉石\",,,    ,0000"});
  WriteTable("XKISHITU.TXT",
             {"2000,砂混じりシルト,,,    ,0000", "2003,礫混じり砂（現場）,RSA,303,    ,0000",
              "2005,砂質粘土,,,    ,0000", "9000,END,,,    ,0000"});
  EXPECT_EQ(ForecastAndCompare({u"粘土", u"シルト", u"礫混じり砂", u"腐植土", u"腐植土",
                                u"砂（細砂）", u"砂（細砂）", u"砂", u"礫混じり砂", u"礫,玉石",
                                u"礫，玉石", u"砂質粘土"}),
            // 4100 lies in no range; "（" never matches, so it is new every time, and
            // "砂" then finds the first of them cut before its "（"; "," is stored as "，".
            "adopted 2003 礫混じり砂\n"
            "new 2006 腐植土\n"
            "new 2007 砂（細砂）\n"
            "new 2008 砂（細砂）\n"
            "new 2009 礫，玉石\n"
            "adopted 2005 砂質粘土\n");
}

TEST_F(SoilNameForecastTest, GivesOutCodesAsTheUserTableDecides) {
  struct Case {
    std::vector<std::string_view> user_table;  // empty: no XKISHITU.TXT at all
    std::string expected;
  };
  const Case cases[] = {
      {{}, "new 2000 甲\nnew 2001 乙\n"},
      {{"1500,古い土,,,,", "9000,区切り,,,,"}, "new 2000 甲\nnew 2001 乙\n"},
      {{"2040,丙,,,,", "説明,,,,,", "9000,区切り,,,,"}, "new 2000 甲\nnew 2001 乙\n"},
      {{"2040,丙,,,,", "4500,丁,,,,", "2100,戊,,,,"}, "new 2041 甲\nnew 2042 乙\n"},
      {{"3998,丙,,,,"}, "new 3999 甲\nfailure\n"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(Table("XKISHITU.TXT"));
    std::filesystem::remove(Table("KISHITU.TXT"));
    if (!c.user_table.empty()) WriteTable("XKISHITU.TXT", c.user_table);
    EXPECT_EQ(ForecastAndCompare({u"甲", u"乙", u"甲"}), c.expected);
  }
}

TEST_F(SoilNameForecastTest, ReadsTablesAsTheRunReadsThem) {
  // The soil table lacks its final line end; the user table ends in blank lines, which are
  // no record but still count as lines of value 0 before the new record, so it gets 2000.
  test::WriteBytes(Table("KISHITU.TXT"), test::Sjis("5012,粘土,,,    ,0000\r\n5013,砂,,,,0000"));
  test::WriteBytes(Table("XKISHITU.TXT"), test::Sjis("2001,礫,,,,0000\r\n\r\n  \r\n"));
  EXPECT_EQ(ForecastAndCompare({u"砂", u"礫", u"泥", u"礫", u"泥"}),
            "adopted 2001 礫\nnew 2000 泥\n");

  // A blank line inside the data holds no field: the record after it reads whole.
  test::WriteBytes(Table("KISHITU.TXT"),
                   test::Sjis("5012,粘土,,,    ,0000\r\n\r\n5013,砂,,,,0000"));
  EXPECT_EQ(ForecastAndCompare({u"砂"}), "");

  // Text that is not CP932 fails at the first name, where the run fails.
  test::WriteBytes(Table("KISHITU.TXT"), "5012,\x82\r\n");
  SoilNameForecast forecast(patdat);
  EXPECT_THROW(forecast.Classify(u"砂"), text::Failure);
}

}  // namespace
}  // namespace m2v::convert
