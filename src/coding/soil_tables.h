#pragma once

// The soil table KISHITU.TXT and the user soil table XKISHITU.TXT of the pattern folder:
// six-field comma records mapping soil names to four-character soil codes. The tables are
// the users' accumulated data: records are only ever added, the user table is replaced in
// one step, and a line appended to the soil table is there whole or not at all.
// Inside a common::FileCacheScope a table is read once and checked against the disk before
// every use; every write below goes through that cache.

#include <array>
#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::coding {

using SoilRecord = std::array<std::u16string, 6>;

inline constexpr char16_t kSoilTable[] = u"KISHITU.TXT";
inline constexpr char16_t kUserSoilTable[] = u"XKISHITU.TXT";
inline constexpr char16_t kUserSoilWorkFile[] = u"XKISHITU.TMP";
inline constexpr char16_t kSoilWorkFile[] = u"KISHITU.TMP";
inline constexpr char16_t kMarkerFile[] = u"PATADD.txt";

// The code bands a search can match, in the order they are tried (bounds exclusive).
enum class SearchRange { k5000To5499, k1000To3999, k1To999 };

bool InSearchRange(float code_value, SearchRange range);

// The first record of `table` (a file of the pattern folder) inside `range` whose name,
// cut before its first "（", equals soil_name; field 2 of the result is the cut name.
// A missing table matches nothing. Throws text::Failure when the table cannot be read.
std::optional<SoilRecord> FindSoilRecord(const std::u16string& pattern_folder,
                                         std::u16string_view table, std::u16string_view soil_name,
                                         SearchRange range);

// The same as trying FindSoilRecord for the three ranges in order, in one read of the file.
std::optional<SoilRecord> FindSoilRecordInAnyRange(const std::u16string& pattern_folder,
                                                   std::u16string_view table,
                                                   std::u16string_view soil_name);

// The same search over a table's CP932 bytes; `path` names the table in a failure.
std::optional<SoilRecord> FindSoilRecordInBytes(const std::u16string& path, std::string_view bytes,
                                                std::u16string_view soil_name);

// Where the next user record goes in the user table: before line `line` (0-based), which
// starts at byte `offset`, after the value `previous` of the last line below 4000 (a line's
// first four characters read as a number, 0 when they are none). `spliced` when every line
// ends in CR LF, so that the record's line can be put into the bytes as they stand.
struct InsertPoint {
  std::size_t line = 0;
  std::size_t offset = 0;
  int previous = 0;
  bool spliced = false;
};
InsertPoint FindInsertPoint(std::string_view user_table_bytes);

// The user table with the record's line put in at `point`, every line ended by CR LF and
// lines copied through keeping their bytes; `record_at` receives where the line starts.
std::string WithRecordInserted(std::string_view user_table_bytes, const InsertPoint& point,
                               std::string_view record_line, std::size_t& record_at);

// What appending `line` to a table adds to its bytes: a line end first when the table does not
// end with one, then the line and its CR LF.
std::string AppendedLine(std::string_view table_bytes, std::string_view line);

// Codes that lines of the tables hold already: a line's first comma field, read as the
// table reader reads a field (blanks around it dropped, a double-quoted field taken between
// its quotes), when that is four digits.
using TakenCodes = std::bitset<10000>;
// Marks the codes of every line of a table's CP932 bytes.
void MarkTakenCodes(std::string_view table_bytes, TakenCodes& taken);
// The code a line holds in that sense, decoded or as CP932 bytes; nullopt when it holds none.
std::optional<int> TableLineCode(std::u16string_view line);
std::optional<int> TableLineCode(std::string_view raw_line);

// The user code that follows the value `previous` of the last line below 4000 before the
// insertion point (never below 2000), moved on past every code a table line holds already,
// so that no two names share a code. 4000 or more when the user codes are used up.
int NextUserCode(int previous, const TakenCodes& taken);

// "0123": the code as the tables write it.
std::u16string FourDigitCode(int code);

// The message of a run that has no user code left for a new name.
std::u16string CodesUsedUpMessage(const std::u16string& user_table_path,
                                  std::u16string_view soil_name);

// Throws text::Failure with the message AddUserSoilRecord would give when the user codes
// run out before each of `new_names` (in the order the run meets them) has its own.
void CheckUserCodesLeft(const std::u16string& pattern_folder,
                        const std::vector<std::u16string>& new_names);

// Gives out the next user code and inserts the new record into the user soil table before
// its first line of value 4000 or more; lines copied through keep their bytes. Throws
// text::Failure, with both tables untouched, when the user codes are used up.
SoilRecord AddUserSoilRecord(const std::u16string& pattern_folder, std::u16string_view soil_name,
                             std::u16string_view new_record_text);

// Appends the record to the soil table as one line and makes sure the pattern-added
// marker exists.
void AppendSoilRecord(const std::u16string& pattern_folder, const SoilRecord& record);

inline constexpr char16_t kCannotLearnMessage[] =
    u"土質テーブルに書き込めないため、新しい土質名を学習できません。"
    u"パターンフォルダと土質テーブルを書き込めるようにしてから実行してください。";

// The first of what learning would write that this process cannot write: the pattern
// folder, the soil table, and with `inserts` (a new user code) the user soil table;
// nullopt when all can be written. Writes nothing.
std::optional<std::u16string> UnwritableTablePath(const std::u16string& pattern_folder,
                                                  bool inserts);

// What a run teaches the tables, written once. While one is alive on a thread that keeps
// files (common::FileCacheScope, caches on), AddUserSoilRecord and AppendSoilRecord change the
// tables in memory only, every later search seeing the change (the caller holds the pattern
// folder's lock throughout, so no other run writes them). Commit writes each changed table whole
// through its work file, the user table first, then makes sure of the pattern-added marker. What is
// not committed when the first one made on the thread ends is dropped, nothing written. One made
// while another is alive shares it (its Commit writes what both learned). Without caches every
// record is written as it is made.
class TableLearning {
 public:
  explicit TableLearning(std::u16string pattern_folder);
  ~TableLearning();
  TableLearning(const TableLearning&) = delete;
  TableLearning& operator=(const TableLearning&) = delete;
  // Throws text::Failure when a table cannot be written; then the tables on disk are each
  // as they were or whole as learned, and the user table never lacks a record of the other.
  void Commit();

 private:
  std::u16string pattern_folder_;
  bool owner_;
};

// Creates an empty soil table when there is none; an existing one is left unchanged.
void PrepareSoilTable(const std::u16string& pattern_folder);

// The record as one line: fields joined by "," with nothing between them.
std::u16string SoilRecordLine(const SoilRecord& record);

// The record a new user code is given: the name, and `text` in both text fields.
SoilRecord NewUserSoilRecord(int code, std::u16string_view soil_name, std::u16string_view text);

}  // namespace m2v::coding
