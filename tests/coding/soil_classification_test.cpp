#include "coding/soil_classification.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "support/pattern_folder.h"
#include "text/failure.h"

namespace m2v::coding {
namespace {

using test::Sjis;
using test::SjisLines;

class SoilClassificationTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  SoilClassificationTest() {
    WriteTable("KISHITU.TXT",
               {"5012,粘土,a,b,c,d", "2010,砂,,,,", "5010,砂,,,,", "12,シルト,,,,", "15,シルト,,,,",
                "4500,礫,,,,", "0,泥,,,,", "X1,岩,,,,", "310,砂（細砂）,,,,"});
    WriteTable("XKISHITU.TXT", {"1500,古い土,,,,", "2000,礫混じり砂（追加）,a,b,    ,0000",
                                "2005,腐植土,,,    ,0000", "9000,区切り,,,,"});
  }

  // The X1.TXT lines written for the names, in order, without their CR LF.
  std::vector<std::string> Classify(const std::vector<std::u16string>& names,
                                    std::vector<LearnedSoilName>* learned = nullptr) {
    common::TextWriter out = common::TextWriter::Create(At(u"X1.TXT"));
    std::int16_t number = 1;
    for (const std::u16string& name : names) {
      ClassifySoilName(number, u"1.00", name, u"", out, patdat, learned);
    }
    out.Close();
    std::vector<std::string> lines;
    const std::string bytes = test::ReadBytes(Host("X1.TXT"));
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
  }
};

TEST_F(SoilClassificationTest, KnownNamesTakeTheirCodeAndWriteNoTable) {
  const std::string soil_before = TableBytes("KISHITU.TXT");
  const std::string user_before = TableBytes("XKISHITU.TXT");
  const std::vector<std::string> lines = Classify({u"粘土", u"砂", u"シルト", u"", u"砂（細砂）"});
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], Sjis("  1,   1.00,5012,粘土"));
  EXPECT_EQ(lines[1], Sjis("  2,   1.00,5010,砂"));    // range 1 before range 2
  EXPECT_EQ(lines[2], Sjis("  3,   1.00,12,シルト"));  // first of one range
  EXPECT_EQ(lines[3], Sjis("  4,   1.00,0000,"));      // no name: no table read
  // The name itself holds "（": it matches nothing and becomes new.
  EXPECT_EQ(lines[4], Sjis("  5,   1.00,2006,砂（細砂）"));
  EXPECT_EQ(TableBytes("KISHITU.TXT"), soil_before + Sjis("2006,砂（細砂）,,,    ,0000\r\n"));
  EXPECT_NE(TableBytes("XKISHITU.TXT"), user_before);
}

TEST_F(SoilClassificationTest, NamesOnlyInBandsNoSearchCoversAreNew) {
  const std::string soil = TableBytes("KISHITU.TXT");
  for (const std::u16string name : {u"礫", u"泥", u"岩"}) {
    const std::vector<std::string> lines = Classify({name});
    EXPECT_EQ(lines[0].substr(0, 16), "  1,   1.00,2006") << lines[0];
    test::WriteBytes(Table("KISHITU.TXT"), soil);
    WriteTable("XKISHITU.TXT", {"2005,腐植土,,,    ,0000"});
  }
}

TEST_F(SoilClassificationTest, NameKnownOnlyToTheUserTableIsAdopted) {
  const std::string soil_before = TableBytes("KISHITU.TXT");
  const std::string user_before = TableBytes("XKISHITU.TXT");
  std::vector<LearnedSoilName> learned;
  EXPECT_EQ(Classify({u"礫混じり砂", u"礫混じり砂"}, &learned)[1],
            Sjis("  2,   1.00,2000,礫混じり砂"));
  // Field 2 cut before "（", the blank field 5 read as empty; added once only.
  EXPECT_EQ(TableBytes("KISHITU.TXT"), soil_before + Sjis("2000,礫混じり砂,a,b,,0000\r\n"));
  EXPECT_EQ(TableBytes("XKISHITU.TXT"), user_before);
  EXPECT_TRUE(std::filesystem::exists(Marker()));
  ASSERT_EQ(learned.size(), 1u);
  EXPECT_EQ(learned[0].kind, LearnedSoilName::Kind::kAdoptedFromUserTable);
}

TEST_F(SoilClassificationTest, NewNameGetsTheNextUserCodeInBothTablesOnce) {
  const std::string soil_before = TableBytes("KISHITU.TXT");
  std::vector<LearnedSoilName> learned;
  const std::vector<std::string> lines =
      Classify({u"砂混じり粘土", u"粘土", u"砂混じり粘土", u"有機質土"}, &learned);
  EXPECT_EQ(lines[0], Sjis("  1,   1.00,2006,砂混じり粘土"));
  EXPECT_EQ(lines[2], Sjis("  3,   1.00,2006,砂混じり粘土"));
  EXPECT_EQ(lines[3], Sjis("  4,   1.00,2007,有機質土"));
  EXPECT_EQ(TableBytes("XKISHITU.TXT"),
            SjisLines({"1500,古い土,,,,", "2000,礫混じり砂（追加）,a,b,    ,0000",
                       "2005,腐植土,,,    ,0000", "2006,砂混じり粘土,,,    ,0000",
                       "2007,有機質土,,,    ,0000", "9000,区切り,,,,"}));
  EXPECT_EQ(TableBytes("KISHITU.TXT"), soil_before + SjisLines({"2006,砂混じり粘土,,,    ,0000",
                                                                "2007,有機質土,,,    ,0000"}));
  EXPECT_FALSE(std::filesystem::exists(Table("XKISHITU.TMP")));
  EXPECT_TRUE(std::filesystem::exists(Marker()));
  ASSERT_EQ(learned.size(), 2u);
  EXPECT_EQ(learned[1].code, u"2007");
}

TEST_F(SoilClassificationTest, CommasAndQuotesAreStoredFullWidthAndFoundAgain) {
  const std::vector<std::string> lines = Classify({u"砂,礫\"互層\"", u"砂,礫\"互層\""});
  EXPECT_EQ(lines[0], Sjis("  1,   1.00,2006,砂,礫\"互層\""));  // the layer keeps its name
  EXPECT_EQ(lines[1], Sjis("  2,   1.00,2006,砂,礫\"互層\""));
  const std::string soil = TableBytes("KISHITU.TXT");
  EXPECT_EQ(soil.substr(soil.size() - Sjis("2006,砂，礫＂互層＂,,,    ,0000\r\n").size()),
            Sjis("2006,砂，礫＂互層＂,,,    ,0000\r\n"));
}

TEST_F(SoilClassificationTest, SoilTableEndingInABlankLineStillReadsAfterAnAppend) {
  test::WriteBytes(Table("KISHITU.TXT"), Sjis("5012,粘土,a,b,c,d\r\n\r\n"));
  const std::vector<std::string> lines = Classify({u"有機質土", u"有機質土", u"粘土"});
  EXPECT_EQ(lines[1], Sjis("  2,   1.00,2006,有機質土"));
  EXPECT_EQ(lines[2], Sjis("  3,   1.00,5012,粘土"));
  EXPECT_EQ(TableBytes("KISHITU.TXT"),
            Sjis("5012,粘土,a,b,c,d\r\n\r\n2006,有機質土,,,    ,0000\r\n"));
}

TEST_F(SoilClassificationTest, TabsAroundANameAreNotStoredSoItKeepsOneCode) {
  const std::string soil_before = TableBytes("KISHITU.TXT");
  const std::vector<std::string> lines = Classify({u"\t砂質粘土\t", u"\t砂質粘土\t"});
  EXPECT_EQ(lines[0], Sjis("  1,   1.00,2006,\t砂質粘土\t"));  // the layer keeps its name
  EXPECT_EQ(lines[1], Sjis("  2,   1.00,2006,\t砂質粘土\t"));
  EXPECT_EQ(TableBytes("KISHITU.TXT"), soil_before + Sjis("2006,砂質粘土,,,    ,0000\r\n"));
}

TEST_F(SoilClassificationTest, MissingTablesCountAsEmptyAndAreCreated) {
  std::filesystem::remove(Table("KISHITU.TXT"));
  std::filesystem::remove(Table("XKISHITU.TXT"));
  EXPECT_EQ(Classify({u"粘土"})[0], Sjis("  1,   1.00,2000,粘土"));
  EXPECT_EQ(TableBytes("XKISHITU.TXT"), Sjis("2000,粘土,,,    ,0000\r\n"));
  EXPECT_EQ(TableBytes("KISHITU.TXT"), Sjis("2000,粘土,,,    ,0000\r\n"));
}

TEST_F(SoilClassificationTest, RecordNumberAndLabelAreCutOnTheLeft) {
  common::TextWriter out = common::TextWriter::Create(At(u"X1.TXT"));
  std::int16_t number = 12;
  ClassifySoilName(number, u"123456789", u"粘土", u"", out, patdat);
  number = 1234;
  ClassifySoilName(number, u"12.50", u"粘土", u"", out, patdat);
  out.Close();
  EXPECT_EQ(test::ReadBytes(Host("X1.TXT")),
            SjisLines({" 12,3456789,5012,粘土", "234,  12.50,5012,粘土"}));
  EXPECT_EQ(number, 1235);
}

TEST_F(SoilClassificationTest, UnreadableTableIsAFailureNamingIt) {
  WriteTable("KISHITU.TXT", {"5012,粘土,a"});  // ends inside a record
  common::TextWriter out = common::TextWriter::Create(At(u"X1.TXT"));
  std::int16_t number = 1;
  try {
    ClassifySoilName(number, u"1", u"砂", u"", out, patdat);
    FAIL();
  } catch (const text::Failure& failure) {
    EXPECT_NE(failure.message().find(u"KISHITU.TXT"), std::u16string::npos);
  }
  EXPECT_EQ(number, 1);
}

}  // namespace
}  // namespace m2v::coding
