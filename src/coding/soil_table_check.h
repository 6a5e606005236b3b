#pragma once

// The soil tables checked on their own, before a run trips on them (`check --tables`): what in
// KISHITU.TXT and XKISHITU.TXT makes a run fail or corrupt the tables, what silently changes
// which code a name gets, and how many user codes are left. The tables are read with the
// run's own readers (the comma-field reader for records, the first four characters of each
// line for the insertion point); nothing is written.
//
// Rules (the `rule` of a finding, stable for scripts):
//   errors        unreadable, bom, not-cp932, field-count (a line whose fields are not a
//                 multiple of six), shifted-record, incomplete-record, bad-code,
//                 code-two-names, code-given-again, codes-used-up
//   warnings      line-end, field-count (several whole records on one line),
//                 code-not-four-digits, code-not-at-line-start, out-of-order,
//                 next-code-reset, after-insert-point, would-duplicate, name-two-codes,
//                 paren-in-name, comma-in-name, empty-name, few-codes-left
//   information   no-table, no-final-line-end, blank-line, not-in-soil-table,
//                 not-in-user-table
// Errors are what makes a run fail or corrupt the tables or its output; warnings what
// changes a result silently.
//
// The next user code follows the rule the run keeps: one past the value of the last line
// below 4000 before the first line of 4000 or more, never below 2000; while a line of either
// table holds that code as its first comma field, the next one; used up at 4000.

#include <optional>
#include <string>
#include <vector>

namespace m2v::coding {

enum class TableSeverity { kError, kWarning, kInformation };

struct TableFinding {
  TableSeverity severity;
  std::string rule;        // short and stable: "field-count", "code-two-names", ...
  int line;                // 1-based line of the table; 0 for the whole table
  std::u16string message;  // Japanese: what is wrong and what the run will do with it
};

// One table file as the run would find it.
struct SoilTableFile {
  std::u16string path;     // pattern folder + file name
  bool exists = false;     // something stands under that name
  std::string bytes;       // the file's bytes, when it could be read
  std::u16string failure;  // why it cannot be read; empty when it could
};

struct SoilTableFiles {
  SoilTableFile soil;  // KISHITU.TXT
  SoilTableFile user;  // XKISHITU.TXT
};

// Reads both tables of the pattern folder (which ends with "\"); never throws.
SoilTableFiles ReadSoilTableFiles(const std::u16string& pattern_folder);

// The user codes a run can still give out.
struct UserCodes {
  std::optional<int> next;  // the code the next new name gets; none when they are used up
  int left = 0;             // codes that can still be given, up to 3999
};

struct SoilTableReport {
  std::vector<TableFinding> soil;  // KISHITU.TXT's, by line, errors first on a line
  std::vector<TableFinding> user;  // XKISHITU.TXT's
  UserCodes user_codes;
};

SoilTableReport CheckSoilTables(const SoilTableFiles& files);

}  // namespace m2v::coding
