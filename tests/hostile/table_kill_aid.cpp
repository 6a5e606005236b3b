// The helper of scripts/kill-test: writes large soil tables and surveys full of new soil
// names, and checks after every kill that the tables read back whole.
//   table_kill_aid tables DIR                 large KISHITU.TXT and XKISHITU.TXT into DIR
//   table_kill_aid survey FILE ROUND COUNT    a survey of COUNT layers, FILE.names its names
//   table_kill_aid check BEFORE AFTER [NAMES] the tables of AFTER against those of BEFORE;
//                                             with NAMES, every name must be in the soil table
// Exit status 0 when all is well, 1 with the problems on standard error.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "coding/soil_classification.h"
#include "common/text_file.h"
#include "text/cp932.h"
#include "text/failure.h"
#include "text/num_value.h"
#include "text/utf.h"

namespace {

namespace fs = std::filesystem;
using m2v::text::Utf16ToUtf8;
using m2v::text::Utf8ToUtf16;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string Line(const std::string& utf8) {
  return m2v::text::EncodeCp932(Utf8ToUtf16(utf8)) + "\r\n";
}

std::string Code(int code) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04d", code);
  return buffer;
}

const char* const kSoils[] = {"粘土", "シルト", "砂", "礫", "砂礫", "ローム", "腐植土", "凝灰岩"};
const char* const kMixes[] = {"混じり", "質", "互層", "含み", "まじり"};

// A realistic name made unique by a number: "砂質粘土 No.1234".
std::string SoilName(const char* stem, int n) {
  return std::string(kSoils[n % 8]) + kMixes[(n / 8) % 5] + kSoils[(n / 40) % 8] + stem +
         std::to_string(n);
}

int MakeTables(const fs::path& dir) {
  // Codes in every band the search covers and in one it does not (4000-4499); the user
  // codes 2000-2299 adopted from the user table already.
  std::string soil;
  for (int i = 0; i < 5000; ++i) {
    if (i >= 1900 && i < 2200) {
      soil += Line(Code(100 + i) + "," + SoilName("利用者", i - 1900) + ",U,,,0000");
      continue;
    }
    const int code = i < 900 ? 1 + i : i < 1900 ? 100 + i : i < 4500 ? 5000 + i % 500 : i - 500;
    soil += Line(Code(code) + "," + SoilName("既知", i) + ",K" + std::to_string(i % 97) + "," +
                 std::to_string(i % 999) + ",    ,0000");
  }
  std::string user;
  for (int i = 0; i < 1000; ++i)
    user += Line(Code(1 + i) + "," + SoilName("基本", i) + ",,,    ,0000");
  for (int i = 0; i < 600; ++i) {
    user += Line(Code(2000 + i) + "," + SoilName("利用者", i) + ",U,,    ,0000");
  }
  for (int i = 0; i < 1400; ++i)
    user += Line(Code(4000 + i) + "," + SoilName("凡例", i) + ",,,    ,0000");
  Write(dir / "KISHITU.TXT", soil);
  Write(dir / "XKISHITU.TXT", user);
  return 0;
}

// Mostly names no table knows, some the soil table knows, some only the user table knows
// (adopted), and repeats.
int MakeSurvey(const fs::path& file, int round, int count) {
  std::string body = Line("$A " + std::to_string(count));
  std::string names;
  for (int j = 0; j < count; ++j) {
    std::string name;
    if (j % 10 == 3) {
      const int known = (round * 37 + j) % 4200;  // a name of a band the search covers
      name = SoilName("既知", known < 1900 ? known : known + 300);
    } else if (j % 10 == 6) {
      name = SoilName("利用者", 300 + (round * 13 + j) % 300);
    } else if (j % 10 == 9) {
      name = SoilName("新規", round * 1000 + j - 1);  // the layer before once more
    } else {
      name = SoilName("新規", round * 1000 + j);
    }
    body += Line(std::to_string(j + 1) + ".00") + Line(name) + Line("") + Line("") + Line("") +
            Line("");
    names += Line(name);
  }
  Write(file, body);
  Write(fs::path(file.string() + ".names"), names);
  return 0;
}

struct Table {
  std::string bytes;
  std::vector<std::string> raw_lines;
  std::vector<std::vector<std::u16string>> records;  // one per line
};

class Checker {
 public:
  int problems = 0;

  void Problem(const std::string& what) {
    std::cerr << "table check: " << what << '\n';
    ++problems;
  }

  // Every line one whole record of six fields, the file ending with its line end.
  Table Load(const fs::path& file) {
    Table table;
    table.bytes = Read(file);
    if (!table.bytes.empty() && !table.bytes.ends_with("\r\n")) {
      Problem(file.string() + ": the last line is not whole");
    }
    for (std::string_view raw : m2v::common::SplitByteLines(table.bytes)) {
      table.raw_lines.emplace_back(raw);
      const m2v::common::TextLines text = m2v::common::SplitCp932Lines(raw);
      const int number = static_cast<int>(table.raw_lines.size());
      if (!text.bad_bytes.empty()) {
        Problem(file.string() + ": bytes that are not CP932 in line " + std::to_string(number));
      }
      m2v::common::FieldReader reader(u"", text.lines);
      std::vector<std::u16string> fields;
      while (reader.HasMoreData()) fields.push_back(reader.ReadField());
      if (fields.size() != 6) {
        Problem(file.string() + ": line " + std::to_string(number) + " holds " +
                std::to_string(fields.size()) + " fields");
        fields.resize(6);
      }
      table.records.push_back(std::move(fields));
    }
    return table;
  }

  void Check(const fs::path& before_dir, const fs::path& after_dir, const fs::path& names) {
    const Table soil_before = Load(before_dir / "KISHITU.TXT");
    const Table soil = Load(after_dir / "KISHITU.TXT");
    const Table user_before = Load(before_dir / "XKISHITU.TXT");
    const Table user = Load(after_dir / "XKISHITU.TXT");

    if (!soil.bytes.starts_with(soil_before.bytes)) {
      Problem("KISHITU.TXT: a record before the end was lost or changed");
    }
    // User table: every old line kept in order; codes below 4000 rising and never twice.
    std::size_t next = 0;
    for (const std::string& line : user.raw_lines) {
      if (next < user_before.raw_lines.size() && line == user_before.raw_lines[next]) ++next;
    }
    if (next != user_before.raw_lines.size()) {
      Problem("XKISHITU.TXT: line " + std::to_string(next + 1) + " of before was lost");
    }
    float previous = -1;
    std::map<std::u16string, std::u16string> user_names;  // code -> name
    for (const auto& record : user.records) {
      const float code = CodeValue(record[0]);
      if (code >= 4000) break;
      if (code < previous) Problem("XKISHITU.TXT: out of code order at " + Utf16ToUtf8(record[0]));
      previous = code;
      if (code >= 2000 && !user_names.emplace(record[0], record[1]).second) {
        Problem("XKISHITU.TXT: user code " + Utf16ToUtf8(record[0]) + " handed out twice");
      }
    }
    // What the soil table learned: each name once, with the code the user table gave it.
    std::set<std::u16string> known;
    for (const auto& record : soil_before.records) known.insert(record[1]);
    for (std::size_t i = soil_before.records.size(); i < soil.records.size(); ++i) {
      const auto& record = soil.records[i];
      if (!known.insert(record[1]).second) {
        Problem("KISHITU.TXT: " + Utf16ToUtf8(record[1]) + " learned twice");
      }
      const auto user_record = user_names.find(record[0]);
      if (user_record == user_names.end() || user_record->second != record[1]) {
        Problem("KISHITU.TXT: " + Utf16ToUtf8(record[0]) + "," + Utf16ToUtf8(record[1]) +
                " is not the user table's record");
      }
    }
    if (names.empty()) return;
    for (const std::u16string& name : m2v::common::SplitCp932Lines(Read(names)).lines) {
      if (known.count(m2v::coding::TableSoilName(name)) == 0) {
        Problem("KISHITU.TXT: " + Utf16ToUtf8(name) + " was not learned");
      }
    }
  }

 private:
  static float CodeValue(const std::u16string& field) {
    try {
      return m2v::text::NumValue(field);
    } catch (const m2v::text::Failure&) {
      return 0;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "tables") return MakeTables(args[1]);
    if (args.size() == 4 && args[0] == "survey") {
      return MakeSurvey(args[1], std::stoi(args[2]), std::stoi(args[3]));
    }
    if ((args.size() == 3 || args.size() == 4) && args[0] == "check") {
      Checker checker;
      checker.Check(args[1], args[2], args.size() == 4 ? fs::path(args[3]) : fs::path());
      return checker.problems == 0 ? 0 : 1;
    }
  } catch (const std::exception& error) {
    std::cerr << "table_kill_aid: " << error.what() << '\n';
    return 2;
  }
  std::cerr << "usage: table_kill_aid tables DIR | survey FILE ROUND COUNT |"
               " check BEFORE AFTER [NAMES]\n";
  return 2;
}
