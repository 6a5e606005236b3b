// Benchmarks of the core's hot paths. They run against a drive D: of a scratch drive table made
// at start (and removed at the end), holding surveys and pattern folders from survey_maker.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "coding/soil_classification.h"
#include "coding/soil_table_check.h"
#include "coding/soil_tables.h"
#include "common/file_cache.h"
#include "common/text_file.h"
#include "convert/l23_lookup.h"
#include "convert/run.h"
#include "platform/platform.h"
#include "survey_maker.h"
#include "text/num_value.h"
#include "text/to_narrow.h"
#include "text/utf.h"

namespace fs = std::filesystem;

namespace m2v::bench {
namespace {

fs::path& Root() {
  static fs::path root;
  return root;
}

// Host path of a drive-form path below D:\.
fs::path HostOf(const std::string& rel) { return Root() / "d" / rel; }
std::u16string Drive(const std::string& rel) {
  std::u16string path = u"D:\\" + text::Utf8ToUtf16(rel);
  for (char16_t& c : path) {
    if (c == u'/') c = u'\\';
  }
  return path;
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A generated survey with its pattern folder under D:\<name>\, made once per process.
const fs::path& Survey(const std::string& name, const SurveyShape& shape) {
  static std::map<std::string, fs::path> made;
  auto it = made.find(name);
  if (it == made.end()) {
    MakeSurvey(shape, HostOf(name) / "survey.ddf", HostOf(name) / "PATDAT");
    it = made.emplace(name, HostOf(name)).first;
  }
  return it->second;
}

const fs::path& Stress() { return Survey("stress", StressShape()); }

// The pattern folder's tables as they were made, to put back when a benchmark taught them.
class TableSnapshot {
 public:
  explicit TableSnapshot(fs::path folder) : folder_(std::move(folder)) {
    for (const char* name : {"KISHITU.TXT", "XKISHITU.TXT"}) {
      tables_.emplace_back(name, ReadBytes(folder_ / name));
    }
  }
  void Restore() const {
    for (const auto& [name, bytes] : tables_) WriteBytes(folder_ / name, bytes);
  }

 private:
  fs::path folder_;
  std::vector<std::pair<std::string, std::string>> tables_;
};

void BM_LineReader(benchmark::State& state) {
  const fs::path file = Stress() / "survey.ddf";
  const std::u16string path = Drive("stress/survey.ddf");
  for (auto _ : state) {
    common::LineReader reader = common::LineReader::Open(path);
    benchmark::DoNotOptimize(reader.lines().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(fs::file_size(file)));
}
BENCHMARK(BM_LineReader)->Unit(benchmark::kMillisecond);

void BM_FieldReader(benchmark::State& state) {
  const fs::path file = Stress() / "PATDAT" / "KISHITU.TXT";
  const std::u16string path = Drive("stress/PATDAT/KISHITU.TXT");
  for (auto _ : state) {
    common::FieldReader reader = common::FieldReader::Open(path);
    while (reader.HasMoreData()) benchmark::DoNotOptimize(reader.ReadField());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(fs::file_size(file)));
}
BENCHMARK(BM_FieldReader)->Unit(benchmark::kMillisecond);

// `check --tables` on the stress pattern folder (KISHITU.TXT of 5,500 records, XKISHITU.TXT
// of 2,000 lines), the files read once: as made (0), and with a line of seven fields on top
// of the soil table, which shifts every record after it (1).
void BM_CheckSoilTables(benchmark::State& state) {
  Stress();
  coding::SoilTableFiles files = coding::ReadSoilTableFiles(Drive("stress/PATDAT/"));
  if (state.range(0) == 1) files.soil.bytes.insert(0, "0001,x,a,b,c,d,e\r\n");
  std::size_t findings = 0;
  for (auto _ : state) {
    const coding::SoilTableReport report = coding::CheckSoilTables(files);
    findings = report.soil.size() + report.user.size();
    benchmark::DoNotOptimize(findings);
  }
  state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_CheckSoilTables)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What every look-up pays before it can tell whether a table changed: the drive-form path
// made a host path, then one status call.
void BM_FileSize(benchmark::State& state) {
  Stress();
  const std::u16string path = Drive("stress/PATDAT/KISHITU.TXT");
  for (auto _ : state) benchmark::DoNotOptimize(platform::FileSize(path));
}
BENCHMARK(BM_FileSize)->Unit(benchmark::kMicrosecond);

void BM_NumValue(benchmark::State& state) {
  const std::vector<std::u16string> texts = {u"12.50", u" 5012 ", u"-3.5e2", u"abc",
                                             u"0001",  u"50/12",  u"",       u"  31.45"};
  for (auto _ : state) {
    for (const std::u16string& text : texts) benchmark::DoNotOptimize(text::NumValue(text));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(BM_NumValue);

void BM_ToNarrow(benchmark::State& state) {
  const std::vector<std::u16string> texts = {u"ＡＢＣ１２３", u"シズオカ", u"砂混じり粘土",
                                             u"ｱｲｳ",          u"TOKYO",    u"ガギグゲゴ・パピプ"};
  for (auto _ : state) {
    for (const std::u16string& text : texts) benchmark::DoNotOptimize(text::ToNarrow(text));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(BM_ToNarrow);

// Names of the soil table to look for: the last record of range 1 and of range 3 in file
// order, so that a reader that stops at a match would not be favoured.
struct SoilTableCase {
  fs::path folder;
  std::u16string patdat;
  std::u16string in_range_1;
  std::u16string in_range_3;
};

const SoilTableCase& SoilTable(int records) {
  static std::map<int, SoilTableCase> cases;
  auto it = cases.find(records);
  if (it != cases.end()) return it->second;
  SurveyShape shape;
  shape.soil_records = records;
  const std::string name = "soil" + std::to_string(records);
  const fs::path folder = Survey(name, shape) / "PATDAT";
  SoilTableCase table{folder, Drive(name + "/PATDAT/"), {}, {}};
  common::FieldReader reader = common::FieldReader::Open(table.patdat + coding::kSoilTable);
  while (reader.HasMoreData()) {
    std::vector<std::u16string> record = reader.ReadRecord(6);
    const float code = text::NumValue(record[0]);
    std::u16string cut = record[1].substr(0, record[1].find(u'（'));
    if (coding::InSearchRange(code, coding::SearchRange::k5000To5499)) table.in_range_1 = cut;
    if (coding::InSearchRange(code, coding::SearchRange::k1To999)) table.in_range_3 = cut;
  }
  return cases.emplace(records, std::move(table)).first->second;
}

// Writes the layer lines into a scratch X1.TXT, started anew before the counter runs out.
class LayerFile {
 public:
  explicit LayerFile(const fs::path& folder)
      : path_(Drive(fs::relative(folder, Root() / "d").string() + "/X1.TXT")),
        writer_(common::TextWriter::Create(path_)) {}
  common::TextWriter& writer() { return writer_; }
  std::int16_t& number() {
    if (number_ > 32000) {
      writer_.Close();
      writer_ = common::TextWriter::Create(path_);
      number_ = 1;
    }
    return number_;
  }

 private:
  std::u16string path_;
  common::TextWriter writer_;
  std::int16_t number_ = 1;
};

enum SoilCase { kFoundInRange1, kFoundInRange3, kNewName };

// Each benchmark opens the cache scope of a run; it keeps the tables only when caches are on
// (the last argument 1), else every look-up reads its table as the system always did.
const char* CacheLabel(bool on) { return on ? "kept" : "read each time"; }

void BM_ClassifySoilName(benchmark::State& state) {
  const SoilTableCase& table = SoilTable(static_cast<int>(state.range(0)));
  const auto which = static_cast<SoilCase>(state.range(1));
  const bool kept = state.range(2) == 1;
  const TableSnapshot snapshot(table.folder);
  LayerFile x1(table.folder);
  common::SetFileCachesEnabled(kept);
  const common::FileCacheScope cache;
  long taught = 0;
  for (auto _ : state) {
    std::u16string name = which == kFoundInRange1 ? table.in_range_1
                          : which == kFoundInRange3
                              ? table.in_range_3
                              : u"新規土質" + text::Utf8ToUtf16(std::to_string(taught));
    if (which == kNewName && ++taught % 256 == 0) {
      // Each new name takes a user code and grows both tables: start again from the
      // tables as made before the codes run out.
      state.PauseTiming();
      snapshot.Restore();
      state.ResumeTiming();
    }
    coding::ClassifySoilName(x1.number(), u"12.50", name, u"", x1.writer(), table.patdat);
  }
  snapshot.Restore();
  state.SetLabel(std::string(which == kFoundInRange1   ? "found in range 1"
                             : which == kFoundInRange3 ? "found in range 3"
                                                       : "new name") +
                 ", " + CacheLabel(kept));
}
BENCHMARK(BM_ClassifySoilName)
    ->ArgsProduct({{100, 1000, 10000}, {kFoundInRange1, kFoundInRange3, kNewName}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_AddUserSoilRecord(benchmark::State& state) {
  SurveyShape shape = StressShape();
  shape.soil_records = 100;
  const fs::path folder = Survey("user2000", shape) / "PATDAT";
  const std::u16string patdat = Drive("user2000/PATDAT/");
  const TableSnapshot snapshot(folder);
  const bool kept = state.range(0) == 1;
  common::SetFileCachesEnabled(kept);
  const common::FileCacheScope cache;
  long added = 0;
  for (auto _ : state) {
    if (++added % 256 == 0) {
      state.PauseTiming();
      snapshot.Restore();
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(coding::AddUserSoilRecord(
        patdat, u"新規土質" + text::Utf8ToUtf16(std::to_string(added)), u""));
  }
  snapshot.Restore();
  state.SetLabel(CacheLabel(kept));
}
BENCHMARK(BM_AddUserSoilRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_LookupL23(benchmark::State& state) {
  Stress();
  const std::u16string patdat = Drive("stress/PATDAT/");
  // A key that no row holds reads the whole table; the other is the name of the middle row.
  std::u16string key = u"該当なし";
  if (state.range(0) == 1) {
    common::FieldReader reader = common::FieldReader::Open(patdat + u"L23.txt");
    for (int row = 0; row <= 500 && reader.HasMoreData(); ++row) key = reader.ReadRecord(4)[2];
  }
  const bool kept = state.range(1) == 1;
  common::SetFileCachesEnabled(kept);
  const common::FileCacheScope cache;
  for (auto _ : state) benchmark::DoNotOptimize(convert::LookupL23(patdat, key));
  state.SetLabel(std::string(state.range(0) == 1 ? "middle row" : "no row") + ", " +
                 CacheLabel(kept));
}
BENCHMARK(BM_LookupL23)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

class QuietHost : public convert::RunHost {
 public:
  QuietHost(std::u16string source, std::u16string destination)
      : source_(std::move(source)), destination_(std::move(destination)) {}
  std::u16string SourceText() override { return source_; }
  std::u16string DestinationText() override { return destination_; }
  void SetMessageLine(std::u16string_view) override {}
  void ProcessPendingEvents() override {}
  void ShowMessage(std::u16string_view, convert::MessageIcon, std::u16string_view) override {}
  bool AskYesNo(std::u16string_view) override { return true; }
  void SelectDestinationText() override {}
  void SetBusy(bool) override {}
  void ReportFailure(std::u16string_view text) override {
    throw std::runtime_error(text::Utf16ToUtf8(text));
  }

 private:
  std::u16string source_;
  std::u16string destination_;
};

void BM_WholeRun(benchmark::State& state) {
  const fs::path folder = Survey("realistic", RealisticShape());
  const TableSnapshot snapshot(folder / "PATDAT");
  QuietHost host(Drive("realistic/survey.ddf"), Drive("SURVEY/AB12CD/HOLE1"));
  const convert::RunRequest request{Drive("realistic/PATDAT/")};
  const bool kept = state.range(0) == 1;
  common::SetFileCachesEnabled(kept);  // the run opens its own scope
  for (auto _ : state) {
    state.PauseTiming();
    snapshot.Restore();  // the run teaches the tables; every run starts from the same ones
    state.ResumeTiming();
    const convert::RunResult result = convert::Run(request, host);
    if (result.outcome != convert::RunOutcome::kCompleted) {
      state.SkipWithError("the run did not complete");
      break;
    }
  }
  snapshot.Restore();
  state.SetLabel(CacheLabel(kept));
}
BENCHMARK(BM_WholeRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace m2v::bench

int main(int argc, char** argv) {
  namespace bench = m2v::bench;
  std::string pattern = (fs::temp_directory_path() / "m2vbench_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  bench::Root() = pattern;
  fs::create_directories(bench::Root() / "sys" / "dosdevices");
  fs::create_directories(bench::Root() / "d");
  fs::create_directory_symlink(bench::Root() / "d", bench::Root() / "sys" / "dosdevices" / "d:");
  setenv("MIRTA2VESK_SYSDIR", (bench::Root() / "sys").c_str(), 1);

  int status = 0;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    status = 1;
  } else {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  std::error_code ec;
  fs::remove_all(bench::Root(), ec);
  return status;
}
