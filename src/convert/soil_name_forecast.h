#pragma once

// What the layer pass would teach the soil tables, worked out without writing anything:
// the tables are read once and every later change the run would make (a record appended
// to KISHITU.TXT, a record inserted into XKISHITU.TXT) is made to a copy in memory, so a
// name repeated finds the code given to its first occurrence, as in a real run.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "coding/soil_classification.h"

namespace m2v::convert {

class SoilNameForecast {
 public:
  // Reads KISHITU.TXT and XKISHITU.TXT of the pattern folder (a missing table is empty).
  // Throws common::Failure when a table cannot be read, as the run would.
  explicit SoilNameForecast(const std::u16string& pattern_folder);

  // What classifying this layer name would teach the tables: nothing when the soil table
  // knows it already. Throws common::Failure where the run would fail (user codes used up,
  // a table record the run cannot read).
  std::optional<coding::LearnedSoilName> Classify(std::u16string_view soil_name);

 private:
  std::u16string pattern_folder_;
  std::vector<std::u16string> soil_table_;  // KISHITU.TXT, one entry per line
  std::vector<std::u16string> user_table_;  // XKISHITU.TXT, one entry per line
};

}  // namespace m2v::convert
