#include "cli/option_parser.h"

#include <sstream>

#include <gtest/gtest.h>

#include "cli/command_support.h"

namespace m2v::cli {
namespace {

// What one parse gave: the operands or nothing, and where the options went.
struct Parsed {
  std::optional<std::vector<std::u16string>> operands;
  bool json = false;
  std::optional<std::u16string> patdat;
  std::optional<bool> answer;
  std::string err;
};

Parsed Parse(const std::vector<std::string>& args) {
  Parsed parsed;
  const OptionRule rules[] = {
      {"--json", Flag{&parsed.json}},
      {"--patdat", Value{&parsed.patdat}},
      {"--yes", Answer{&parsed.answer, true}},
      {"--no", Answer{&parsed.answer, false}},
  };
  std::ostringstream err;
  parsed.operands = ParseOptions(args, rules, err);
  parsed.err = err.str();
  return parsed;
}

TEST(OptionParserTest, OptionsGoWhereTheTableSaysAndTheRestAreOperands) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::u16string> operands;
    bool json;
    std::optional<std::u16string> patdat;
    std::optional<bool> answer;
  };
  const Case cases[] = {
      {{}, {}, false, std::nullopt, std::nullopt},
      {{"a", "--json", "b"}, {u"a", u"b"}, true, std::nullopt, std::nullopt},
      {{"--patdat", "D:\\P", "--patdat", "D:\\Q", "孔１.ddf"},
       {u"孔１.ddf"},
       false,
       u"D:\\Q",
       std::nullopt},
      // A value is the next argument whatever it looks like.
      {{"--patdat", "--json"}, {}, false, u"--json", std::nullopt},
      {{"--patdat", "--", "--json"}, {}, true, u"--", std::nullopt},
      {{"--patdat", ""}, {}, false, u"", std::nullopt},
      // "--" ends the options, once; "-" alone is a name.
      {{"--json", "--", "-x.ddf", "--no", "--", "--bogus"},
       {u"-x.ddf", u"--no", u"--", u"--bogus"},
       true,
       std::nullopt,
       std::nullopt},
      {{"--", "--patdat"}, {u"--patdat"}, false, std::nullopt, std::nullopt},
      {{"-", "--yes", "--yes"}, {u"-"}, false, std::nullopt, true},
      {{"--no"}, {}, false, std::nullopt, false},
  };
  for (const Case& c : cases) {
    const Parsed parsed = Parse(c.args);
    ASSERT_TRUE(parsed.operands) << parsed.err;
    EXPECT_EQ(*parsed.operands, c.operands);
    EXPECT_EQ(parsed.json, c.json);
    EXPECT_EQ(parsed.patdat, c.patdat);
    EXPECT_EQ(parsed.answer, c.answer);
    EXPECT_EQ(parsed.err, "");
  }
}

TEST(OptionParserTest, TheFirstWrongArgumentIsNamed) {
  const std::string usage = kUsage;
  const std::string both = "--yes と --no は同時に指定できません。\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"a", "--bogus", "b"}, "不明なオプション: --bogus\n" + usage},
      {{"-x.ddf"}, "不明なオプション: -x.ddf\n" + usage},
      {{"--patdat=D:\\P"}, "不明なオプション: --patdat=D:\\P\n" + usage},
      {{"a", "--patdat"}, "--patdat には値を指定してください。\n" + usage},
      {{"--yes", "--no"}, both},
      {{"--no", "a", "--yes"}, both},
      {{"--yes", "--no", "--bogus"}, both},
      {{"--bogus", "--yes", "--no"}, "不明なオプション: --bogus\n" + usage},
      {{"--yes", "--no", "--", "x"}, both},
  };
  for (const Case& c : cases) {
    const Parsed parsed = Parse(c.args);
    EXPECT_FALSE(parsed.operands) << c.args.front();
    EXPECT_EQ(parsed.err, c.err) << c.args.front();
  }
}

}  // namespace
}  // namespace m2v::cli
