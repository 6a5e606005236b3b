#pragma once

// What the layer pass would teach the soil tables, worked out without writing anything:
// the tables are read once and every later change the run would make (a record appended
// to KISHITU.TXT, a record inserted into XKISHITU.TXT) is made to their bytes in memory by
// the run's own table rules (coding/soil_tables.h), so a name repeated finds the code given
// to its first occurrence, as in a real run.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "coding/soil_classification.h"

namespace m2v::convert {

class SoilNameForecast {
 public:
  // Reads KISHITU.TXT of the pattern folder, and XKISHITU.TXT at the first name KISHITU.TXT
  // does not know, as the run does (a missing table is empty). Throws text::Failure when
  // a table cannot be read, as the run would; a table whose text the run cannot read fails
  // at the first Classify, where the run fails.
  explicit SoilNameForecast(const std::u16string& pattern_folder);

  // What classifying this layer name would teach the tables: nothing when the soil table
  // knows it already. Throws text::Failure where the run would fail (user codes used up,
  // a table record the run cannot read).
  std::optional<coding::LearnedSoilName> Classify(std::u16string_view soil_name);

  // A line of a table, as the file stood, that holds a code.
  struct CodeLine {
    const char16_t* table;  // coding::kSoilTable or coding::kUserSoilTable
    int line;               // 1-based
    int code;
  };
  // The lines whose codes the last Classify stepped over to keep codes unique: each would
  // have given its code to a second name.
  const std::vector<CodeLine>& stepped_over() const { return stepped_over_; }

 private:
  // The table's bytes (none when it is missing); notes the lines that hold codes.
  std::string ReadTable(const char16_t* table);

  std::u16string pattern_folder_;
  bool user_table_read_ = false;
  std::string soil_table_;                           // KISHITU.TXT's bytes, as the run leaves them
  std::string user_table_;                           // XKISHITU.TXT's bytes, likewise
  std::map<int, std::vector<CodeLine>> code_lines_;  // the lines of the files holding each code
  std::vector<CodeLine> stepped_over_;
};

}  // namespace m2v::convert
