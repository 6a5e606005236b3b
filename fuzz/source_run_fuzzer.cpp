// The source-file check over any bytes, and a whole run for each: a file the check refuses
// must leave everything as it was; any other must complete or fail with one report, and
// in both cases the soil tables must read back whole, with no record lost, and the user
// table still in code order. A second run must find every name the first one taught.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "convert/run.h"
#include "convert/source_check.h"
#include "scratch.h"
#include "text/cp932.h"
#include "text/failure.h"
#include "text/num_value.h"

namespace m2v::fuzz {
namespace {

namespace fs = std::filesystem;

class YesHost : public convert::RunHost {
 public:
  std::u16string SourceText() override { return u"D:\\IN\\S.ddf"; }
  std::u16string DestinationText() override { return u"D:\\OUT\\A\\B"; }
  void SetMessageLine(std::u16string_view) override {}
  void ProcessPendingEvents() override {}
  void ShowMessage(std::u16string_view text, convert::MessageIcon, std::u16string_view) override {
    Require(!text.empty(), "empty message box");
    ++messages;
  }
  bool AskYesNo(std::u16string_view) override { return true; }
  void SelectDestinationText() override {}
  void SetBusy(bool on) override { busy = on; }
  void ReportFailure(std::u16string_view text) override {
    Require(!text.empty(), "empty failure report");
    ++failures;
  }

  int messages = 0;
  int failures = 0;
  bool busy = false;
};

// CP932 lines, each ended by CR LF.
std::string Table(std::initializer_list<std::u16string_view> lines) {
  std::string bytes;
  for (std::u16string_view line : lines) bytes += text::EncodeCp932(line) + "\r\n";
  return bytes;
}

// A pattern folder with a record in every band the search covers (and one outside), a
// name cut at "（", a quoted field, an adopted user record and the user table's end mark.
struct World {
  Scratch scratch;
  fs::path drive = scratch / "d";
  fs::path patdat = drive / "PATDAT";
  std::string soil_table =
      Table({u"0110,表土,HYO,110,    ,0000", u"1001,砂岩,SGN,201,    ,0000",
             u"2000,貝殻混じり砂,,,    ,0000", u"4100,旧粘土,NEN,912,    ,0000",
             u"5001,礫,REK,001,    ,0000", u"5007,砂,SUN,007,    ,0000",
             u"5010,シルト,SIL,010,    ,0000", u"5012,粘土,NEN,012,    ,0000",
             u"5006,細砂（均等係数小）,SAI,006,    ,0000", u"5050,\"礫,玉石\",TAM,050,    ,0000"});
  std::string user_table =
      Table({u"2000,貝殻混じり砂,,,    ,0000", u"2001,砂質ローム（関東）,SLO,301,    ,0000",
             u"2002,シルト質細砂,SSA,302,    ,0000", u"9000,END,,,    ,0000"});

  World() {
    scratch.MapDrive('D', drive);
    fs::create_directories(drive / "IN");
    fs::create_directories(patdat);
    WriteFile(patdat / "L1.TXT", Table({u"13,TOKYO", u"22,ｼｽﾞｵｶ", u"27,OSAKA"}));
    WriteFile(patdat / "L4.TXT", Table({u"21,暗", u"5,灰", u"8,褐", u"10,赤", u"12,黄"}));
    WriteFile(patdat / "L23.txt", Table({u"WL,水位,孔内水位,0", u"OR,有機,腐植土層,2",
                                         u"\"NA\",\"不明, 未分類\",\"－\",9"}));
  }
};

std::vector<std::string> Lines(std::string_view bytes) {
  std::vector<std::string> lines;
  for (std::string_view line : common::SplitByteLines(bytes)) lines.emplace_back(line);
  return lines;
}

// Every record six fields, the file ending with a line end, and the records before the
// run still there in their order and bytes (the soil table only ever grows at its end).
void CheckTable(const fs::path& file, const std::string& before, bool appended_only) {
  const std::string after = ReadFile(file);
  Require(after.empty() || after.ends_with("\r\n"), "table does not end with CR LF");
  common::FieldReader reader(u"table", common::SplitCp932Lines(after).lines);
  try {
    while (reader.HasMoreData()) reader.ReadRecord(6);
  } catch (const text::Failure&) {
    Broken("table holds a record of fewer than six fields");
  }
  if (appended_only) {
    Require(after.starts_with(before), "soil table changed before its end");
    return;
  }
  const std::vector<std::string> old_lines = Lines(before);
  const std::vector<std::string> new_lines = Lines(after);
  // A record lost or altered shows as an old line missing from the new table, in order.
  std::size_t next = 0;
  for (const std::string& line : new_lines) {
    if (next < old_lines.size() && line == old_lines[next]) ++next;
  }
  Require(next == old_lines.size(), "user table lost or altered a line");
}

// The user table's codes below 4000 rise from line to line, as the insertion assumes.
void CheckUserCodeOrder(const fs::path& file) {
  float previous = -1;
  const std::string bytes = ReadFile(file);
  for (std::string_view line : common::SplitByteLines(bytes)) {
    const std::u16string text = common::SplitCp932Lines(line).lines.front();
    float code = 0;
    try {
      code = text::NumValue(std::u16string_view(text).substr(0, 4));
    } catch (const text::Failure&) {
      continue;
    }
    if (code >= 4000) break;
    Require(code >= previous, "user table out of code order");
    previous = code;
  }
}

}  // namespace
}  // namespace m2v::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace m2v;
  using namespace m2v::fuzz;
  static World world;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::vector<convert::Finding> findings = convert::CheckSourceBytes(bytes);
  for (std::size_t i = 0; i < findings.size(); ++i) {
    Require(!findings[i].message.empty() && findings[i].line >= 0, "finding without text");
    Require(i == 0 || findings[i - 1].line <= findings[i].line, "findings out of file order");
  }

  // A fresh pattern folder and destination for every input.
  WriteFile(world.patdat / "KISHITU.TXT", world.soil_table);
  WriteFile(world.patdat / "XKISHITU.TXT", world.user_table);
  std::error_code ec;
  fs::remove_all(world.drive / "OUT", ec);
  WriteFile(world.drive / "IN" / "S.ddf", bytes);

  YesHost host;
  const convert::RunResult result = convert::Run({u"D:\\PATDAT\\"}, host);
  Require(!host.busy, "busy cursor left on");
  if (!findings.empty()) {
    Require(result.outcome == convert::RunOutcome::kRefused, "checked file not refused");
    Require(host.messages == 1 && host.failures == 0, "refusal not shown once");
    Require(!fs::exists(world.drive / "OUT"), "refused run created the destination");
    Require(ReadFile(world.patdat / "KISHITU.TXT") == world.soil_table, "refusal touched a table");
    return 0;
  }
  Require(result.outcome != convert::RunOutcome::kRefused, "clean file refused");
  Require((result.outcome == convert::RunOutcome::kFailed) == (host.failures == 1) &&
              host.failures <= 1,
          "failure not reported exactly once");
  for (const std::u16string& file : result.files_written) {
    Require(!file.empty(), "empty file name");
  }
  CheckTable(world.patdat / "KISHITU.TXT", world.soil_table, true);
  CheckTable(world.patdat / "XKISHITU.TXT", world.user_table, false);
  CheckUserCodeOrder(world.patdat / "XKISHITU.TXT");
  Require(!fs::exists(world.patdat / "XKISHITU.TMP"), "work file left behind");

  if (result.outcome == convert::RunOutcome::kCompleted && !result.learned.empty()) {
    YesHost again;
    const convert::RunResult second = convert::Run({u"D:\\PATDAT\\"}, again);
    Require(second.outcome == convert::RunOutcome::kCompleted, "second run did not complete");
    // A name holding "（" is cut there by the search and so can never be found again.
    for (const coding::LearnedSoilName& learned : second.learned) {
      Require(learned.name.find(u'（') != std::u16string::npos,
              "a name the first run taught is not found by the second");
    }
  }
  return 0;
}
