#include "common/text_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/file_bytes.h"
#include "support/matchers.h"
#include "support/temp_dir.h"
#include "text/failure.h"

namespace m2v::common {
namespace {

using test::HasText;
using test::ReadBytes;
using test::Sjis;
using test::WriteBytes;
using ::testing::ElementsAre;

TEST(SplitCp932LinesTest, LineEndsAreCrLfLoneCrOrLoneLf) {
  const std::pair<std::string, std::vector<std::u16string>> cases[] = {
      {"a\r\nb\r\n", {u"a", u"b"}},
      {"a\rb\nc", {u"a", u"b", u"c"}},  // last line without a line end still counts
      {"a\n\r\nb", {u"a", u"", u"b"}},
      {"\r\n\r\n", {u"", u""}},
      {"a\r\r\n", {u"a", u""}},
      {"", {}},
  };
  for (const auto& [bytes, lines] : cases) EXPECT_EQ(SplitCp932Lines(bytes).lines, lines);
}

TEST(SplitCp932LinesTest, BadBytesCarryTheirLineAndOffsets) {
  const TextLines lines = SplitCp932Lines("ok\r\nA\xFF\r\n\x82");
  ASSERT_EQ(lines.bad_bytes.size(), 2u);
  EXPECT_EQ(lines.bad_bytes[0].line, 2);
  EXPECT_EQ(lines.bad_bytes[0].offset, 5u);
  EXPECT_EQ(lines.bad_bytes[0].column, 1u);
  EXPECT_EQ(lines.bad_bytes[1].line, 3);  // a lead byte cut off by the end of the file
  EXPECT_EQ(lines.bad_bytes[1].offset, 8u);
}

class TextFileTest : public ::testing::Test {
 protected:
  TextFileTest() : drives_(dir_ / "sys") { drives_.MapDrive('D', dir_ / "d"); }
  std::filesystem::path Host(const char* name) const { return dir_ / "d" / name; }
  std::u16string At(std::u16string_view name) const {
    return drives_.Root('D') + std::u16string(name);
  }

  test::TempDir dir_;
  test::DriveTable drives_;
};

TEST_F(TextFileTest, LineReaderReadsToTheEndAndReportsReadingPastIt) {
  WriteBytes(Host("t.txt"), Sjis("砂\r\n\r\n礫"));
  LineReader reader = LineReader::Open(At(u"T.TXT"));  // letter case does not matter
  EXPECT_EQ(reader.ReadLine(), u"砂");
  EXPECT_EQ(reader.ReadLine(), u"");
  EXPECT_EQ(reader.ReadLine(), u"礫");
  EXPECT_FALSE(reader.HasMoreData());
  try {
    reader.ReadLine();
    FAIL();
  } catch (const text::Failure& f) {
    EXPECT_THAT(f.message(), HasText(At(u"T.TXT")));
  }
}

TEST_F(TextFileTest, OpeningAMissingFileOrAFolderOrBadBytesIsAFailure) {
  WriteBytes(Host("bad.txt"), "ok\r\n\x80\r\n");
  std::filesystem::create_directory(Host("folder"));
  EXPECT_THROW(LineReader::Open(At(u"missing.txt")), text::Failure);
  EXPECT_THROW(LineReader::Open(At(u"folder")), text::Failure);
  EXPECT_THROW(LineReader::Open(u"Q:\\x.txt"), text::Failure);
  try {
    LineReader::Open(At(u"bad.txt"));
    FAIL();
  } catch (const text::Failure& f) {
    EXPECT_THAT(f.message(), HasText(u"2 行目"));
  }
}

TEST(FieldReaderTest, ReadsFieldsAcrossLineEnds) {
  FieldReader reader(u"t", {u"5001, 粘土 ,a,b,c,d", u"\"砂,礫\" x ,\"q\",,  ,\"\"", u"a,b,", u"",
                            u"  \"open", u"last"});
  EXPECT_THAT(reader.ReadRecord(6), ElementsAre(u"5001", u"粘土", u"a", u"b", u"c", u"d"));
  // A quoted field keeps its commas and drops what follows the closing quote.
  EXPECT_THAT(reader.ReadRecord(6), ElementsAre(u"砂,礫", u"q", u"", u"", u"", u"a"));
  // A comma at the end of a line leaves one empty field; a line of blanks holds none; an
  // unclosed quote ends at the line end.
  EXPECT_THAT(reader.ReadRecord(4), ElementsAre(u"b", u"", u"open", u"last"));
  EXPECT_FALSE(reader.HasMoreData());
  EXPECT_THROW(reader.ReadField(), text::Failure);
}

TEST(FieldReaderTest, SevenFieldLineShiftsTheNextRecord) {
  FieldReader reader(u"t", {u"1,a,b,c,d,e,X", u"2,f,g,h,i,j"});
  reader.ReadRecord(6);
  EXPECT_THAT(reader.ReadRecord(6), ElementsAre(u"X", u"2", u"f", u"g", u"h", u"i"));
}

TEST(FieldReaderTest, BlankLinesAnywhereAreNoData) {
  // A soil table left with a blank line at its end gains records after it.
  FieldReader reader(u"t", {u"1,a,,,,", u"", u"  ", u"2,b,,,,", u"\t"});
  EXPECT_THAT(reader.ReadRecord(6), ElementsAre(u"1", u"a", u"", u"", u"", u""));
  EXPECT_THAT(reader.ReadRecord(6), ElementsAre(u"2", u"b", u"", u"", u"", u""));
  EXPECT_FALSE(reader.HasMoreData());
}

TEST(FieldReaderTest, BlankLinesAfterTheDataAreNoData) {
  FieldReader reader(u"t", {u"1,a", u"", u"   ", u""});
  EXPECT_THAT(reader.ReadRecord(2), ElementsAre(u"1", u"a"));
  EXPECT_FALSE(reader.HasMoreData());
  EXPECT_FALSE(FieldReader(u"t", {}).HasMoreData());
}

TEST(FieldReaderTest, AnIncompleteLastRecordIsReportedWithItsLine) {
  FieldReader reader(u"L23.txt", {u"1,a,b,c", u"2,d"});
  reader.ReadRecord(4);
  try {
    reader.ReadRecord(4);
    FAIL();
  } catch (const text::Failure& f) {
    EXPECT_THAT(f.message(), HasText(u"L23.txt"));
    EXPECT_THAT(f.message(), HasText(u"2 行目"));
  }
}

TEST_F(TextFileTest, WriterWritesCp932WithCrLf) {
  TextWriter out = TextWriter::Create(At(u"out.txt"));
  out.WriteLine(u"  1,   0.00,\"固い\\粘土\"");
  out.WriteLine(u"");
  out.WriteLine(u"～ｶ\u301C");
  out.Close();
  EXPECT_EQ(ReadBytes(Host("out.txt")), Sjis("  1,   0.00,\"固い\\粘土\"\r\n\r\n～ｶ") + "?\r\n");
}

TEST_F(TextFileTest, CreateReplacesAndAppendStartsOnAFreshLine) {
  WriteBytes(Host("k.txt"), "old content\r\n");
  {
    TextWriter out = TextWriter::Create(At(u"k.txt"));
    out.WriteLine(u"new");
    out.Close();
  }
  EXPECT_EQ(ReadBytes(Host("k.txt")), "new\r\n");

  WriteBytes(Host("a.txt"), "5001,a,,,,0000");  // edited by hand, no final line end
  for (const char16_t* line : {u"2000,b,,,    ,0000", u"2001,c,,,    ,0000"}) {
    TextWriter out = TextWriter::Append(At(u"A.TXT"));
    out.WriteLine(line);
    out.Close();
  }
  EXPECT_EQ(ReadBytes(Host("a.txt")),
            "5001,a,,,,0000\r\n2000,b,,,    ,0000\r\n2001,c,,,    ,0000\r\n");

  TextWriter created = TextWriter::Append(At(u"new.txt"));  // appending creates
  created.WriteLine(u"x");
  created.Close();
  EXPECT_EQ(ReadBytes(Host("new.txt")), "x\r\n");
}

TEST_F(TextFileTest, WriterIntoAMissingFolderIsAFailure) {
  TextWriter out = TextWriter::Create(At(u"nowhere\\x.txt"));
  out.WriteLine(u"x");
  EXPECT_THROW(out.Close(), text::Failure);
}

TEST_F(TextFileTest, CreatedFileAppearsWholeOnCloseOnly) {
  WriteBytes(Host("X1.TXT"), "old run\r\n");
  {
    TextWriter dropped = TextWriter::Create(At(u"X1.TXT"));
    dropped.WriteLine(u"half");
  }  // a pass that failed half-way
  EXPECT_EQ(ReadBytes(Host("X1.TXT")), "old run\r\n");
  TextWriter out = TextWriter::Create(At(u"X1.TXT"));
  out.WriteLine(u"new");
  out.Close();
  EXPECT_EQ(ReadBytes(Host("X1.TXT")), "new\r\n");
  EXPECT_FALSE(std::filesystem::exists(Host("X1.TXT.tmp")));
}

}  // namespace
}  // namespace m2v::common
