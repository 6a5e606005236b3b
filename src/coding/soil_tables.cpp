#include "coding/soil_tables.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "common/file_cache.h"
#include "common/text_file.h"
#include "platform/marker.h"
#include "platform/platform.h"
#include "text/cp932.h"
#include "text/failure.h"
#include "text/num_value.h"
#include "text/text_util.h"

namespace m2v::coding {
namespace {

constexpr std::size_t kRangeCount = 3;

std::optional<SearchRange> RangeOf(float code_value) {
  for (SearchRange range :
       {SearchRange::k5000To5499, SearchRange::k1000To3999, SearchRange::k1To999}) {
    if (InSearchRange(code_value, range)) return range;
  }
  return std::nullopt;
}

using RangeHits = std::array<std::optional<SoilRecord>, kRangeCount>;

void CutName(std::u16string& name) {
  const std::size_t paren = name.find(u'（');
  if (paren != std::u16string::npos) name.resize(paren);
}

// Reads every record of a table in file order and hands `take` each one with its search range
// (none when its code lies in no range; then field 2 is left whole, else it is cut before its
// first "（") and the 1-based lines where the record starts and where the next field starts.
// The cached and the uncached search both read through here, so that they fail on the same
// record with the same message.
template <typename Take>
void ForEachRecord(common::FieldReader& reader, Take take) {
  while (reader.HasMoreData()) {
    const int line = reader.Line();
    std::vector<std::u16string> fields = reader.ReadRecord(6);
    const std::optional<SearchRange> range = RangeOf(text::NumValue(fields[0]));
    if (range) CutName(fields[1]);
    take(range, fields, line, reader.Line());
  }
}

// A table held for the length of a run: its bytes, and per cut name the first record of each
// range, made from the bytes of version `indexed_version` of the file (0: not made). A line
// that this run adds goes into the index without reading the table again, when the table
// then reads as it did plus that line's record.
struct CachedSoilTable {
  common::CachedFile file;
  std::uint64_t insert_version = 0;  // version of the bytes `insert` was found in (0: none)
  InsertPoint insert;
  std::uint64_t taken_version = 0;  // version of the bytes `taken` was made from (0: none)
  TakenCodes taken;
  std::uint64_t indexed_version = 0;
  std::vector<SoilRecord> records;         // the first record of each name and range
  std::vector<std::int32_t> record_lines;  // 0-based line where each of them starts
  std::unordered_map<std::u16string, std::array<std::int32_t, kRangeCount>> first;
  std::int32_t lines = 0;       // lines of the file
  std::int32_t data_lines = 0;  // lines up to the last one holding more than blanks
  bool record_per_line = true;  // each of those lines holds one whole record

  void Clear() {
    indexed_version = 0;
    records.clear();
    record_lines.clear();
    first.clear();
    lines = data_lines = 0;
    record_per_line = true;
  }

  // The record found at `line`, if it is the first of its name in its range.
  void Take(SearchRange range, std::vector<std::u16string>& fields, std::int32_t line) {
    auto [it, added] = first.try_emplace(fields[1]);
    if (added) it->second.fill(-1);
    std::int32_t& slot = it->second[static_cast<std::size_t>(range)];
    if (slot >= 0 && record_lines[static_cast<std::size_t>(slot)] <= line) return;
    if (slot < 0) {
      slot = static_cast<std::int32_t>(records.size());
      records.emplace_back();
      record_lines.push_back(line);
    }
    record_lines[static_cast<std::size_t>(slot)] = line;
    std::move(fields.begin(), fields.end(), records[static_cast<std::size_t>(slot)].begin());
  }
};

thread_local std::map<std::u16string, CachedSoilTable> t_tables;
// The learning of the run under way on this thread, when its changes are held.
thread_local const TableLearning* t_learning = nullptr;

// Writes a table whole through its work file, durably: a crash or a power cut at any instant
// leaves the table as it was or as it is now.
void ReplaceTable(const std::u16string& path, const std::u16string& work, std::string_view bytes) {
  if (!platform::WriteReplacing(path, work, bytes, /*durable=*/true)) {
    throw text::Failure(path + u"\n土質テーブルを更新できません。（" + platform::LastErrorText() +
                        u"）");
  }
}

void TouchMarker() {
  const std::vector<std::u16string> folders = platform::MarkerFolders();
  if (platform::PlaceMarker(folders, kMarkerFile).empty()) {
    throw text::Failure((folders.empty() ? u"" : folders.front()) + u"\\" + kMarkerFile +
                        u"\nファイルを作成できません。");
  }
}

CachedSoilTable& CachedTable(const std::u16string& path) {
  if (t_tables.empty()) common::OnFileCacheScopeEnd([] { t_tables.clear(); });
  return t_tables[path];
}

bool IsBlankLine(std::string_view line) {
  // Blanks are single bytes in CP932, and no trail byte is one of them.
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

void MakeIndex(CachedSoilTable& table, const std::u16string& path) {
  table.Clear();
  const std::vector<std::string_view> lines = common::SplitByteLines(table.file.bytes());
  table.lines = static_cast<std::int32_t>(lines.size());
  table.data_lines = table.lines;
  while (table.data_lines > 0 &&
         IsBlankLine(lines[static_cast<std::size_t>(table.data_lines - 1)])) {
    --table.data_lines;
  }
  common::FieldReader reader = common::FieldReader::FromBytes(path, table.file.bytes());
  std::int32_t count = 0;
  ForEachRecord(reader, [&](std::optional<SearchRange> range, std::vector<std::u16string>& fields,
                            int line, int next) {
    if (line != count + 1 || next != line + 1) table.record_per_line = false;
    ++count;
    if (range) table.Take(*range, fields, line - 1);
  });
  if (count != table.data_lines) table.record_per_line = false;
  table.indexed_version = table.file.version();
}

// The six fields of a line this run wrote, read as the table reader reads them; nullopt when
// they are not six or a code is beyond reading (the next look-up then reads the whole table
// and meets the failure where the uncached search meets it).
std::optional<std::vector<std::u16string>> SixFields(const std::u16string& path,
                                                     std::string_view line_bytes) {
  if (line_bytes.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  try {
    common::FieldReader reader = common::FieldReader::FromBytes(path, line_bytes);
    std::vector<std::u16string> fields;
    while (reader.HasMoreData() && fields.size() <= 6) fields.push_back(reader.ReadField());
    if (fields.size() != 6) return std::nullopt;
    text::NumValue(fields[0]);
    return fields;
  } catch (const text::Failure&) {
    return std::nullopt;
  }
}

// Adds the record of a line appended to the indexed bytes. False when the table would not
// read as before plus that record (a blank line before it would shift the fields).
bool IndexAppendedLine(CachedSoilTable& table, const std::u16string& path,
                       std::string_view line_bytes) {
  if (table.data_lines != table.lines) return false;
  std::optional<std::vector<std::u16string>> fields = SixFields(path, line_bytes);
  if (!fields) return false;
  if (const std::optional<SearchRange> range = RangeOf(text::NumValue((*fields)[0]))) {
    CutName((*fields)[1]);
    table.Take(*range, *fields, table.lines);
  }
  ++table.lines;
  ++table.data_lines;
  return true;
}

// Adds the record of a line inserted before line `at` of the indexed bytes, which the
// rewrite left line for line as they were. Only a table of one record per line stays so.
bool IndexInsertedLine(CachedSoilTable& table, const std::u16string& path,
                       std::string_view line_bytes, std::int32_t at) {
  // Before a blank line that is not trailing, the new line would turn blanks into fields.
  if (!table.record_per_line || at > table.data_lines) return false;
  std::optional<std::vector<std::u16string>> fields = SixFields(path, line_bytes);
  if (!fields) return false;
  for (std::int32_t& line : table.record_lines) {
    if (line >= at) ++line;
  }
  if (const std::optional<SearchRange> range = RangeOf(text::NumValue((*fields)[0]))) {
    CutName((*fields)[1]);
    table.Take(*range, *fields, at);
  }
  ++table.lines;
  ++table.data_lines;
  return true;
}

// Per range, the first record of the table's bytes whose cut name matches.
RangeHits FindInBytes(const std::u16string& path, std::string_view bytes,
                      std::u16string_view soil_name) {
  RangeHits found;
  common::FieldReader reader = common::FieldReader::FromBytes(path, bytes);
  ForEachRecord(
      reader, [&](std::optional<SearchRange> range, std::vector<std::u16string>& fields, int, int) {
        if (!range) return;
        std::optional<SoilRecord>& slot = found[static_cast<std::size_t>(*range)];
        if (slot || fields[1] != soil_name) return;
        slot.emplace();
        std::move(fields.begin(), fields.end(), slot->begin());
      });
  return found;
}

std::optional<SoilRecord> FirstOfRanges(RangeHits hits) {
  for (std::optional<SoilRecord>& record : hits) {
    if (record) return std::move(record);
  }
  return std::nullopt;
}

// Reads the table once and keeps, per range, the first record whose cut name matches.
RangeHits FindInRanges(const std::u16string& pattern_folder, std::u16string_view table,
                       std::u16string_view soil_name) {
  RangeHits found;
  const std::u16string path = pattern_folder + std::u16string(table);
  if (common::FileCachingActive()) {
    CachedSoilTable& cached = CachedTable(path);
    if (!cached.file.Refresh(path)) return found;
    if (cached.indexed_version != cached.file.version()) MakeIndex(cached, path);
    const auto it = cached.first.find(std::u16string(soil_name));
    if (it == cached.first.end()) return found;
    for (std::size_t r = 0; r < kRangeCount; ++r) {
      if (it->second[r] >= 0) found[r] = cached.records[static_cast<std::size_t>(it->second[r])];
    }
    return found;
  }
  if (!platform::FileExists(path)) return found;
  return FindInBytes(path, common::ReadFileBytes(path), soil_name);
}

// The code value of a user table line: its first four characters as a number.
float LineCodeValue(std::string_view raw_line) {
  // A code is mostly plain digits, which need no decoding. Otherwise four characters take at
  // most eight bytes, and a character decodes the same whatever bytes follow it.
  const std::string_view head = raw_line.substr(0, 4);
  if (std::all_of(head.begin(), head.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return text::NumValue(std::u16string(head.begin(), head.end()));
  }
  const std::u16string decoded = text::DecodeCp932(raw_line.substr(0, 8)).text;
  return text::NumValue(std::u16string_view(decoded).substr(0, 4));
}

}  // namespace

InsertPoint FindInsertPoint(std::string_view bytes) {
  const std::vector<std::string_view> lines = common::SplitByteLines(bytes);
  InsertPoint point{lines.size(), bytes.size(), 0, true};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const float k = LineCodeValue(lines[i]);
    if (k >= 4000) {
      point.line = i;
      point.offset = static_cast<std::size_t>(lines[i].data() - bytes.data());
      break;
    }
    point.previous = text::ToInt16(k);
  }
  std::size_t at = 0;
  for (std::string_view line : lines) {
    point.spliced = point.spliced && static_cast<std::size_t>(line.data() - bytes.data()) == at &&
                    bytes.substr(at + line.size(), 2) == "\r\n";
    at += line.size() + 2;
  }
  point.spliced = point.spliced && at == bytes.size();
  return point;
}

std::string WithRecordInserted(std::string_view bytes, const InsertPoint& point,
                               std::string_view record_line, std::size_t& record_at) {
  std::string written;
  record_at = point.offset;
  if (point.spliced) {
    written.reserve(bytes.size() + record_line.size() + 2);
    written.append(bytes.substr(0, point.offset)).append(record_line).append("\r\n");
    written.append(bytes.substr(point.offset));
    return written;
  }
  const std::vector<std::string_view> lines = common::SplitByteLines(bytes);
  written.reserve(bytes.size() + record_line.size() + 2 * lines.size() + 4);
  for (std::size_t i = 0; i <= lines.size(); ++i) {
    if (i == point.line) {
      record_at = written.size();
      written.append(record_line).append("\r\n");
    }
    if (i < lines.size()) written.append(lines[i]).append("\r\n");
  }
  return written;
}

std::string AppendedLine(std::string_view bytes, std::string_view line) {
  std::string added;
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') added = "\r\n";
  added.append(line).append("\r\n");
  return added;
}

std::optional<SoilRecord> FindSoilRecordInBytes(const std::u16string& path, std::string_view bytes,
                                                std::u16string_view soil_name) {
  return FirstOfRanges(FindInBytes(path, bytes, soil_name));
}

namespace {

// The four-digit code of a line's first comma field. Blanks, "," and '"' are single bytes in
// CP932 that no trail byte equals, so the bytes of a line can be read like its characters.
template <typename Char>
std::optional<int> FirstFieldCode(std::basic_string_view<Char> line) {
  auto blank = [](Char c) { return c == Char(' ') || c == Char('\t'); };
  std::size_t at = 0;
  while (at < line.size() && blank(line[at])) ++at;
  std::basic_string_view<Char> field;
  if (at < line.size() && line[at] == Char('"')) {
    const std::size_t close = line.find(Char('"'), at + 1);
    field = line.substr(at + 1, close == line.npos ? line.npos : close - at - 1);
  } else {
    field = line.substr(at, line.find(Char(','), at) - at);
    while (!field.empty() && blank(field.back())) field.remove_suffix(1);
  }
  if (field.size() != 4) return std::nullopt;
  int code = 0;
  for (Char c : field) {
    if (c < Char('0') || c > Char('9')) return std::nullopt;
    code = code * 10 + static_cast<int>(c - Char('0'));
  }
  return code;
}

}  // namespace

void MarkTakenCodes(std::string_view table_bytes, TakenCodes& taken) {
  for (std::string_view line : common::SplitByteLines(table_bytes)) {
    if (const std::optional<int> code = FirstFieldCode(line))
      taken.set(static_cast<std::size_t>(*code));
  }
}

std::optional<int> TableLineCode(std::u16string_view line) { return FirstFieldCode(line); }

std::optional<int> TableLineCode(std::string_view raw_line) { return FirstFieldCode(raw_line); }

int NextUserCode(int previous, const TakenCodes& taken) {
  int code = std::max(previous, 1999) + 1;
  while (code < 4000 && taken.test(static_cast<std::size_t>(code))) ++code;
  return code;
}

std::u16string FourDigitCode(int code) {
  std::u16string digits = text::DecimalText(code);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), u'0');
  return digits;
}

std::u16string CodesUsedUpMessage(const std::u16string& user_table_path,
                                  std::u16string_view soil_name) {
  return user_table_path + u"\nユーザー土質コード（2000～3999）をすべて使い切りました。" +
         u"新しい土質名「" + std::u16string(soil_name) + u"」にコードを付けられません。";
}

namespace {

// The codes a kept table's lines hold, worked out once per version of its bytes.
const TakenCodes& TakenIn(CachedSoilTable& table) {
  if (table.taken_version != table.file.version()) {
    table.taken.reset();
    MarkTakenCodes(table.file.bytes(), table.taken);
    table.taken_version = table.file.version();
  }
  return table.taken;
}

// After this run changed a kept table by one line: the codes it holds now, without reading
// the whole table again when they were known before.
void NoteTakenLine(CachedSoilTable& table, std::uint64_t version_before, std::string_view line) {
  if (table.taken_version != version_before) return;
  MarkTakenCodes(line, table.taken);
  table.taken_version = table.file.version();
}

// The codes both tables hold now, to be stepped over by the next user code.
TakenCodes TakenByTables(const std::u16string& pattern_folder, std::string_view user_bytes) {
  const std::u16string user = pattern_folder + kUserSoilTable;
  const std::u16string soil = pattern_folder + kSoilTable;
  TakenCodes taken;
  if (common::FileCachingActive()) {
    CachedSoilTable& user_table = CachedTable(user);
    if (user_table.file.Refresh(user)) taken = TakenIn(user_table);
    CachedSoilTable& soil_table = CachedTable(soil);
    if (soil_table.file.Refresh(soil)) taken |= TakenIn(soil_table);
    return taken;
  }
  MarkTakenCodes(user_bytes, taken);
  if (platform::FileExists(soil)) MarkTakenCodes(common::ReadFileBytes(soil), taken);
  return taken;
}

// The user table as this run sees it: the kept bytes inside a FileCacheScope, else the file's.
struct UserTable {
  std::u16string path;
  CachedSoilTable* cached = nullptr;
  std::string read;  // the file's bytes when nothing is kept

  std::string_view bytes() const { return cached != nullptr ? cached->file.bytes() : read; }
};

UserTable LoadUserTable(const std::u16string& pattern_folder) {
  UserTable table;
  table.path = pattern_folder + kUserSoilTable;
  if (common::FileCachingActive()) {
    table.cached = &CachedTable(table.path);
    table.cached->file.Refresh(table.path);
  } else if (platform::FileExists(table.path)) {
    table.read = common::ReadFileBytes(table.path);
  }
  return table;
}

// Where the next user record goes; a kept table remembers it until its bytes change.
InsertPoint InsertPointOf(UserTable& table) {
  CachedSoilTable* cached = table.cached;
  if (cached == nullptr) return FindInsertPoint(table.bytes());
  if (cached->insert_version != cached->file.version()) {
    cached->insert_version = 0;
    cached->insert = FindInsertPoint(table.bytes());
    cached->insert_version = cached->file.version();
  }
  return cached->insert;
}

// The user table with the line of the record of `code` inserted at `point`, made whole first,
// so that it is written in one piece (or held for the run's commit); what is kept of the table
// is brought up to date.
void StoreInserted(const std::u16string& pattern_folder, UserTable& table, const InsertPoint& point,
                   int code, const std::string& record_line) {
  std::size_t record_at = 0;  // where the record's line starts in `written`
  std::string written = WithRecordInserted(table.bytes(), point, record_line, record_at);
  CachedSoilTable* cached = table.cached;
  const bool held = cached != nullptr && t_learning != nullptr;
  if (!held) ReplaceTable(table.path, pattern_folder + kUserSoilWorkFile, written);
  if (cached == nullptr) return;
  const std::uint64_t version_before = cached->file.version();
  const bool indexed = cached->indexed_version == version_before;
  if (held) {
    cached->file.Hold(std::move(written));
  } else {
    // The folder's lock keeps other runs out, so the file now is the one just written.
    cached->file.Wrote(table.path, std::move(written), platform::StampOf(table.path));
  }
  NoteTakenLine(*cached, version_before, record_line);
  if (indexed &&
      IndexInsertedLine(*cached, table.path, record_line, static_cast<std::int32_t>(point.line))) {
    cached->indexed_version = cached->file.version();
  }
  // The next record goes after this one, into a table that now ends every line in CR LF.
  if (record_line.find_first_of("\r\n") == std::string::npos) {
    cached->insert = {point.line + 1, record_at + record_line.size() + 2, code, true};
    cached->insert_version = cached->file.version();
  }
}

}  // namespace

bool InSearchRange(float v, SearchRange range) {
  switch (range) {
    case SearchRange::k5000To5499:
      return v > 4999 && v < 5500;
    case SearchRange::k1000To3999:
      return v > 999 && v < 4000;
    case SearchRange::k1To999:
      return v > 0 && v < 1000;
  }
  return false;
}

std::optional<SoilRecord> FindSoilRecord(const std::u16string& pattern_folder,
                                         std::u16string_view table, std::u16string_view soil_name,
                                         SearchRange range) {
  return FindInRanges(pattern_folder, table, soil_name)[static_cast<std::size_t>(range)];
}

std::optional<SoilRecord> FindSoilRecordInAnyRange(const std::u16string& pattern_folder,
                                                   std::u16string_view table,
                                                   std::u16string_view soil_name) {
  return FirstOfRanges(FindInRanges(pattern_folder, table, soil_name));
}

void CheckUserCodesLeft(const std::u16string& pattern_folder,
                        const std::vector<std::u16string>& new_names) {
  if (new_names.empty()) return;
  UserTable table = LoadUserTable(pattern_folder);
  // Each new record goes in at the insertion point, so its code is the next one's previous.
  int previous = FindInsertPoint(table.bytes()).previous;
  TakenCodes taken = TakenByTables(pattern_folder, table.bytes());
  for (const std::u16string& name : new_names) {
    previous = NextUserCode(previous, taken);
    if (previous > 3999) throw text::Failure(CodesUsedUpMessage(table.path, name));
    taken.set(static_cast<std::size_t>(previous));
  }
}

SoilRecord AddUserSoilRecord(const std::u16string& pattern_folder, std::u16string_view soil_name,
                             std::u16string_view new_record_text) {
  UserTable table = LoadUserTable(pattern_folder);
  // Decide the code before anything is written, so that a refusal leaves both tables alone.
  const InsertPoint point = InsertPointOf(table);
  const int code = NextUserCode(point.previous, TakenByTables(pattern_folder, table.bytes()));
  if (code > 3999) throw text::Failure(CodesUsedUpMessage(table.path, soil_name));
  const SoilRecord record = NewUserSoilRecord(code, soil_name, new_record_text);
  StoreInserted(pattern_folder, table, point, code, text::EncodeCp932(SoilRecordLine(record)));
  return record;
}

void AppendSoilRecord(const std::u16string& pattern_folder, const SoilRecord& record) {
  const std::u16string path = pattern_folder + kSoilTable;
  const std::string line = text::EncodeCp932(SoilRecordLine(record));
  CachedSoilTable* cached = nullptr;
  if (common::FileCachingActive()) {
    cached = &CachedTable(path);
    try {
      cached->file.Refresh(path);
    } catch (const text::Failure&) {
      // A table this run cannot read is appended to all the same, and not kept.
      t_tables.erase(path);
      cached = nullptr;
    }
  }
  const bool held = cached != nullptr && t_learning != nullptr;
  if (!held) {
    common::TextWriter out = common::TextWriter::Append(path);
    out.WriteRawLine(line);
    out.Close();
  }
  if (cached != nullptr) {
    // Append starts on a fresh line when the table does not end with a line end.
    const std::string& kept = cached->file.bytes();
    const std::string added = AppendedLine(kept, line);
    const std::uint64_t version_before = cached->file.version();
    const bool indexed = cached->indexed_version == version_before;
    if (held) {
      cached->file.HoldAppended(added);
    } else {
      const std::optional<platform::FileStamp> before = cached->file.stamp();
      cached->file.Wrote(path, kept + added, before);
    }
    NoteTakenLine(*cached, version_before, line);
    if (indexed && IndexAppendedLine(*cached, path, line)) {
      cached->indexed_version = cached->file.version();
    }
  }
  if (!held) TouchMarker();
}

TableLearning::TableLearning(std::u16string pattern_folder)
    : pattern_folder_(std::move(pattern_folder)),
      owner_(common::FileCachingActive() && t_learning == nullptr) {
  if (owner_) t_learning = this;
}

TableLearning::~TableLearning() {
  if (!owner_) return;
  t_learning = nullptr;
  // What was not committed is dropped with the tables held in memory.
  for (const char16_t* table : {kUserSoilTable, kSoilTable}) {
    const auto it = t_tables.find(pattern_folder_ + table);
    if (it != t_tables.end() && it->second.file.held()) t_tables.erase(it);
  }
}

void TableLearning::Commit() {
  if (t_learning == nullptr) return;
  // The user table first: stopped between the two, the next run finds a user record the soil
  // table lacks and adopts it with its code.
  bool soil_changed = false;
  for (const auto& [table, work] :
       {std::pair{kUserSoilTable, kUserSoilWorkFile}, std::pair{kSoilTable, kSoilWorkFile}}) {
    const std::u16string path = pattern_folder_ + table;
    const auto it = t_tables.find(path);
    if (it == t_tables.end() || !it->second.file.held()) continue;
    common::CachedFile& file = it->second.file;
    try {
      ReplaceTable(path, pattern_folder_ + work, file.bytes());
    } catch (...) {
      t_tables.clear();
      throw;
    }
    file.Wrote(path, file.bytes(), platform::StampOf(path));
    soil_changed = soil_changed || table == kSoilTable;
  }
  if (soil_changed) TouchMarker();
}

std::optional<std::u16string> UnwritableTablePath(const std::u16string& pattern_folder,
                                                  bool inserts) {
  if (!platform::CanWrite(pattern_folder)) return pattern_folder;
  for (const char16_t* table : {kSoilTable, kUserSoilTable}) {
    if (table == kUserSoilTable && !inserts) continue;
    const std::u16string path = pattern_folder + table;
    if (platform::EntryExists(path) && !platform::CanWrite(path)) return path;
  }
  return std::nullopt;
}

void PrepareSoilTable(const std::u16string& pattern_folder) {
  common::TouchFile(pattern_folder + kSoilTable);
}

std::u16string SoilRecordLine(const SoilRecord& record) {
  std::u16string line = record[0];
  for (std::size_t i = 1; i < record.size(); ++i) {
    line += u',';
    line += record[i];
  }
  return line;
}

SoilRecord NewUserSoilRecord(int code, std::u16string_view soil_name, std::u16string_view text) {
  return {FourDigitCode(code),
          std::u16string(soil_name),
          std::u16string(text),
          std::u16string(text),
          u"    ",
          u"0000"};
}

}  // namespace m2v::coding
