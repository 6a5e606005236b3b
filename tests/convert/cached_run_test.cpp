// A run that keeps the survey, the soil tables and L23.txt in memory writes the same bytes,
// leaves the same tables and says the same things as a run that reads every file on every use:
// on a long survey against a pattern folder that has learned for years, and on pattern folders
// whose tables are odd in the ways the cache must take care of.

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "common/file_cache.h"
#include "convert/run.h"
#include "support/file_bytes.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "survey_maker.h"
#include "text/utf.h"

namespace m2v::convert {
namespace {

namespace fs = std::filesystem;

// Every regular file below a folder, by relative path, with its bytes.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).string()] = test::ReadBytes(entry.path());
    }
  }
  return files;
}

void Edit(const fs::path& file, const std::function<void(std::string&)>& change) {
  std::string bytes = test::ReadBytes(file);
  change(bytes);
  test::WriteBytes(file, bytes);
}

// Puts `text` in place of the line that starts with `prefix`.
void ReplaceLine(std::string& bytes, const std::string& prefix, const std::string& text) {
  const std::size_t start = bytes.find("\r\n" + prefix);
  ASSERT_NE(start, std::string::npos) << prefix;
  const std::size_t end = bytes.find("\r\n", start + 2);
  bytes.replace(start + 2, end - start - 2, text);
}

// A stress-like survey, small enough for the sanitizer build: a long layer section of which
// some 30 % bring names the tables lack, against tables that have learned for years.
bench::SurveyShape Shape() {
  bench::SurveyShape shape = bench::StressShape();
  shape.layers = 600;
  shape.tests = 150;
  shape.depth_text_lines = 150;
  shape.e_records = 250;
  shape.soil_records = 350;
  shape.user_lines = 200;
  shape.l23_rows = 100;
  return shape;
}

struct Variant {
  const char* name;
  std::function<void(const fs::path& patdat)> adjust;
};

void PrintTo(const Variant& variant, std::ostream* out) { *out << variant.name; }

const Variant kVariants[] = {
    {"grown",
     [](const fs::path& patdat) {
       // Records the reader must take apart with care, ahead of the generated ones.
       Edit(patdat / "KISHITU.TXT", [](std::string& bytes) {
         bytes.insert(0, test::SjisLines({"5480,\"砂,礫\",a,b,,", "5481 , 粘土質砂 ,x,y,z,w",
                                          "4500,暗灰砂質粘土,,,,", "0999,礫（亜円）,,,,"}));
       });
     }},
    {"odd_line_ends",
     [](const fs::path& patdat) {
       // A soil table without its last line end; a user table of LF line ends and lone CRs
       // that ends in blank lines, so that its rewrite cannot just splice a line in.
       Edit(patdat / "KISHITU.TXT", [](std::string& bytes) { bytes.resize(bytes.size() - 2); });
       Edit(patdat / "XKISHITU.TXT", [](std::string& bytes) {
         std::string changed;
         for (std::size_t i = 0; i < bytes.size(); ++i) {
           if (bytes.compare(i, 2, "\r\n") == 0) {
             changed += (i % 3 == 0) ? "\r" : "\n";
             ++i;
           } else {
             changed += bytes[i];
           }
         }
         bytes = changed + "\n  \n\n";
       });
     }},
    {"shifted_records",
     [](const fs::path& patdat) {
       // A first line of seven fields and a second of five: the tables still read, but their
       // records no longer stand one to a line, which the cache must notice.
       for (const char* table : {"KISHITU.TXT", "XKISHITU.TXT"}) {
         Edit(patdat / table, [](std::string& bytes) {
           const std::size_t first_end = bytes.find("\r\n");
           const std::size_t second_end = bytes.find("\r\n", first_end + 2);
           const std::size_t last_comma = bytes.rfind(',', second_end);
           bytes.erase(last_comma, second_end - last_comma);
           bytes.insert(first_end, ",extra");
         });
       }
     }},
    {"soil_table_ends_in_a_blank_line",
     [](const fs::path& patdat) {
       // The first record the run appends comes after the blank line, which holds no field:
       // later look-ups read the appended records whole, cached or not.
       Edit(patdat / "KISHITU.TXT", [](std::string& bytes) { bytes += "\r\n"; });
     }},
    {"l23_ends_inside_a_record",
     [](const fs::path& patdat) {
       // A key that no whole record matches meets the broken last record.
       Edit(patdat / "L23.txt", [](std::string& bytes) { bytes += "ZZ,G\r\n"; });
     }},
    {"user_codes_run_out",
     [](const fs::path& patdat) {
       // The last user code before the insertion point is 3990: nine codes are left.
       Edit(patdat / "XKISHITU.TXT", [](std::string& bytes) {
         ReplaceLine(bytes, std::to_string(2000 + Shape().user_lines / 2 - 1) + ",",
                     test::Sjis("3990,最後の手前,,,    ,0000"));
       });
     }},
};

class CachedRunTest : public ::testing::TestWithParam<Variant> {
 protected:
  struct Outcome {
    RunResult result;
    std::vector<std::string> calls;
    std::map<std::string, std::string> files;
    bool marker = false;
  };

  void SetUp() override {
    bench::MakeSurvey(Shape(), dir_ / "made" / "IN" / "survey.ddf", dir_ / "made" / "PATDAT");
    GetParam().adjust(dir_ / "made" / "PATDAT");
  }

  void TearDown() override { common::SetFileCachesEnabled(true); }

  // One run on a fresh copy of the made drive, mapped as D: so that both runs see one path.
  Outcome RunOn(const std::string& root_name, bool caches) {
    const fs::path root = dir_ / root_name;
    fs::copy(dir_ / "made", root, fs::copy_options::recursive);
    drives_.MapDrive('D', root);
    fs::remove(dir_ / "sys" / "PATADD.txt");
    common::SetFileCachesEnabled(caches);
    test::RecordingHost host(u"D:\\IN\\survey.ddf", u"D:\\SURVEY\\AB12CD\\HOLE1");
    host.answers = {true};
    Outcome outcome;
    outcome.result = convert::Run({u"D:\\PATDAT\\"}, host);
    outcome.calls = host.calls;
    outcome.files = Tree(root);
    outcome.marker = fs::exists(dir_ / "sys" / "PATADD.txt");
    return outcome;
  }

  test::TempDir dir_;
  test::DriveTable drives_{dir_ / "sys"};
};

TEST_P(CachedRunTest, WritesWhatARunThatKeepsNothingWrites) {
  const Outcome uncached = RunOn("uncached", false);
  const Outcome cached = RunOn("cached", true);

  EXPECT_EQ(cached.result.outcome, uncached.result.outcome);
  EXPECT_EQ(cached.calls, uncached.calls);
  EXPECT_EQ(cached.result.files_written, uncached.result.files_written);
  ASSERT_EQ(cached.result.learned.size(), uncached.result.learned.size());
  for (std::size_t i = 0; i < cached.result.learned.size(); ++i) {
    EXPECT_EQ(cached.result.learned[i].kind, uncached.result.learned[i].kind) << i;
    EXPECT_EQ(cached.result.learned[i].code, uncached.result.learned[i].code) << i;
    EXPECT_EQ(cached.result.learned[i].name, uncached.result.learned[i].name) << i;
  }
  EXPECT_EQ(cached.marker, uncached.marker);
  // Compared name by name, so that a difference names its file instead of printing megabytes.
  ASSERT_EQ(cached.files.size(), uncached.files.size());
  for (const auto& [name, bytes] : uncached.files) {
    const auto it = cached.files.find(name);
    ASSERT_NE(it, cached.files.end()) << name;
    EXPECT_TRUE(it->second == bytes) << "differs: " << name;
  }
}

TEST_P(CachedRunTest, TheRunTeachesOrFailsAsTheVariantMeans) {
  // Guards the comparison above against variants that stop before they test anything.
  const Outcome cached = RunOn("cached", true);
  const std::string name = GetParam().name;
  const bool fails = name == "l23_ends_inside_a_record" || name == "user_codes_run_out";
  EXPECT_EQ(cached.result.outcome, fails ? RunOutcome::kFailed : RunOutcome::kCompleted);
  // Codes that would run out stop the run before it writes or learns anything.
  EXPECT_EQ(cached.result.learned.empty(), name == "user_codes_run_out");
}

INSTANTIATE_TEST_SUITE_P(Variants, CachedRunTest, ::testing::ValuesIn(kVariants),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace m2v::convert
