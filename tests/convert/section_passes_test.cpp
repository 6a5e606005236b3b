#include "convert/section_passes.h"

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "convert/header_step.h"
#include "support/pattern_folder.h"
#include "text/failure.h"

namespace m2v::convert {
namespace {

Survey ReadSurvey(const std::u16string& path) {
  return Survey::FromBytes(path, common::ReadFileBytes(path));
}

namespace fs = std::filesystem;
using test::SjisLines;

class SectionPassesTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  SectionPassesTest() {
    fs::create_directories(Host("OUT"));
    fs::create_directories(Table(""));
  }
  void Source(const std::vector<std::string_view>& lines) {
    test::WriteBytes(Host("IN/s.ddf"), SjisLines(lines));
  }
  std::string Out(const char* name) const {
    return test::ReadBytes(Host(std::string("OUT/") + name));
  }
  const std::u16string source_ = At(u"IN\\s.ddf");
  const std::u16string out_ = At(u"OUT\\");
};

TEST_F(SectionPassesTest, DepthTextsJoinLinesAndCarryTheDepthOfTheRecordBefore) {
  struct Case {
    std::vector<std::string_view> source;
    std::vector<std::string_view> x12;
  };
  const Case cases[] = {
      {{"$K 2", "1.50", "x", "砂", "\x01", "3.20", "x", "礫混じり", "\x01"},
       {"  1,   0.00,\"砂\"", "  2,   1.50,\"礫混じり\""}},
      {{"$K 4", "2.40)", "", "a", "", "  c  ", "\x01", "5", "", "d", "\x01"},
       {"  1,   0.00,\"a\\ \\c\"", "  2,   2.40,\"d\""}},
      {{"$K 2", "2.40 ) 以深", "", "a", "\x01", "9", "", "b", "\x01"},
       {"  1,   0.00,\"a\"", "  2,   2.40,\"b\""}},
      // A record without a text line writes nothing, and the numbers stay without gaps.
      {{"$K 2", "1", "", "a", "\x01", "2", "\x01", "3", "", "b", "\x01"},
       {"  1,   0.00,\"a\"", "  2,      2,\"b\""}},
      // A count that ends inside a record still reads the record to its control line.
      {{"$K 1", "1", "", "a", "b", "\x01", "2", "", "never", "\x01"}, {"  1,   0.00,\"a\\b\""}},
      {{"$K 1", "12345678.9", "", "a", "\x01", "1", "", "b", "\x01"}, {"  1,   0.00,\"a\""}},
  };
  for (const Case& c : cases) {
    Source(c.source);
    ASSERT_TRUE(DepthTextPass(ReadSurvey(source_), out_));
    EXPECT_EQ(Out("X12.TXT"), SjisLines(c.x12));
  }
}

TEST_F(SectionPassesTest, LayerPassCollectsLayersAndRangeTerms) {
  WriteTable("L4.TXT", {"21,暗", "5,灰"});
  WriteTable("KISHITU.TXT", {"5001,粘土,,,,", "5002,砂,,,,"});
  Source({"$A 7", " 1.00 ", " 粘土 ", " 固い ", "暗灰", "",   "",   "2.00", "",     "",     " ～ ",
          "",     "",       "3.00",   "砂",     "",     "",   "",   "",     "4.00", "   ",  "x",
          "灰",   "",       "",       "5.00",   "砂",   "",   "～", "",     "",     "6.00", "砂",
          "",     "～",     "",       "",       "7.00", "砂", "",   "灰",   "",     ""});
  ASSERT_TRUE(LayerPass(ReadSurvey(source_), out_, LoadL4Table(patdat), patdat, nullptr));
  EXPECT_EQ(Out("X1.TXT"),
            SjisLines({"  1,   1.00,2000,粘土・固い", "  2,   3.00,5002,砂", "  3,   5.00,5002,砂",
                       "  4,   6.00,5002,砂", "  5,   7.00,5002,砂"}));
  // A "～" always continues the term before it, even one that a later line closed.
  EXPECT_EQ(Out("X3.TXT"), SjisLines({"  1,   7.00,2105  ,暗灰,05    ,灰～～灰,～"}));
}

TEST_F(SectionPassesTest, SectionEWritesSixtyEightFields) {
  WriteTable("L23.txt", {"77,x,2.50,y"});
  Source({"$E 2", "a", "b", "1.00", "2.50", "c", "AB", "", "", "123456789", "9", "", ""});
  ASSERT_TRUE(SectionEPass(ReadSurvey(source_), out_, patdat));
  const std::string commas(62, ',');
  EXPECT_EQ(Out("X6.TXT"), SjisLines({"  1,AB,77,  ,   1.00,   2.50" + commas,
                                      "  2,,  ,  ,3456789,      9" + commas}));
}

TEST_F(SectionPassesTest, AbsentOrEmptySectionsCreateNoFileAndNegativeCountsAnEmptyOne) {
  Source({"$A 0", "$K", "$Z 0"});
  EXPECT_FALSE(LayerPass(ReadSurvey(source_), out_, {}, patdat, nullptr));
  EXPECT_FALSE(PenetrationPass(ReadSurvey(source_), out_));
  EXPECT_FALSE(DepthTextPass(ReadSurvey(source_), out_));
  EXPECT_FALSE(SectionEPass(ReadSurvey(source_), out_, patdat));
  EXPECT_TRUE(fs::is_empty(Host("OUT")));
  Source({"$C -2", "$E -1"});
  EXPECT_TRUE(PenetrationPass(ReadSurvey(source_), out_));
  EXPECT_TRUE(SectionEPass(ReadSurvey(source_), out_, patdat));
  EXPECT_EQ(Out("X5.TXT"), "");
  EXPECT_EQ(Out("X6.TXT"), "");
}

// A pass uses the records the file holds whole, then fails as reading on past the file's end
// fails, naming the line after the last; it leaves no file.
TEST_F(SectionPassesTest, AFileThatEndsInsideASectionFailsNamingTheLineAfterItsLast) {
  using Pass = std::function<bool(const Survey&)>;
  const Pass header = [&](const Survey& s) { return HeaderStep(s, out_, patdat); };
  const Pass layers = [&](const Survey& s) { return LayerPass(s, out_, {}, patdat, nullptr); };
  const Pass tests = [&](const Survey& s) { return PenetrationPass(s, out_); };
  const Pass texts = [&](const Survey& s) { return DepthTextPass(s, out_); };
  const Pass section_e = [&](const Survey& s) { return SectionEPass(s, out_, patdat); };
  struct Case {
    std::vector<std::string_view> source;
    const Pass& pass;
    std::u16string failure;
  };
  const std::u16string past_end = source_ + u"\nファイルの終わりを越えて読もうとしました。";
  WriteTable("KISHITU.TXT", {"5001,粘土,,,,"});
  const Case cases[] = {
      {{"$Z 40", "a", "b"}, header, past_end + u"（4 行目）"},
      {{"$A 2", "1.00", "粘土", "", "", "", "", "2.00"}, layers, past_end + u"（9 行目）"},
      {{"$C 2", "1.00", "5", "", "", "", "", "2.00", "7"}, tests, past_end + u"（10 行目）"},
      {{"$K 2", "1", "", "a", "\x01", "2", ""}, texts, past_end + u"（8 行目）"},
      {{"$E 2", "a", "b", "1.00", "2.50", "c", "AB"}, section_e, past_end + u"（8 行目）"},
      // A marker line read as a body line of another section still opens its own.
      {{"$C 1", "1.00", "$E 1", "", "", "", "", "a"}, section_e, past_end + u"（9 行目）"},
  };
  WriteTable("L23.txt", {"77,x,2.50,y"});
  for (const Case& c : cases) {
    Source(c.source);
    SCOPED_TRACE(c.source.front());
    std::u16string failure;
    try {
      c.pass(ReadSurvey(source_));
    } catch (const text::Failure& f) {
      failure = f.message();
    }
    EXPECT_EQ(failure, c.failure);
    EXPECT_TRUE(fs::is_empty(Host("OUT")));
  }
  // A record the file holds whole is used first, and its failure is the one met.
  WriteTable("L23.txt", {"1,a,b"});  // ends inside a record
  Source({"$E 2", "a", "b", "1.00", "nowhere", "c", "AB", "x"});
  try {
    SectionEPass(ReadSurvey(source_), out_, patdat);
    ADD_FAILURE() << "no failure";
  } catch (const text::Failure& f) {
    EXPECT_EQ(f.message().find(past_end), std::u16string::npos);
    EXPECT_NE(f.message().find(u"L23.txt"), std::u16string::npos);
  }
}

}  // namespace
}  // namespace m2v::convert
