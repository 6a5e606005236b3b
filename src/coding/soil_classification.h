#pragma once

// Gives a layer's free-text soil name its soil code and writes the layer's line of X1.TXT.
// Names neither table knows get the next user code and are stored in both tables, so that
// a name keeps one code across layers and runs.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::common {
class TextWriter;
}

namespace m2v::coding {

// What a classification taught the tables.
struct LearnedSoilName {
  enum class Kind { kNewUserCode, kAdoptedFromUserTable };
  Kind kind;
  std::u16string code;
  std::u16string name;
};

// The name as the tables hold it: "," and '"' would break the comma records, so they are
// stored as the full-width "，" and "＂", and the search looks for that form; blanks and
// tabs at either end, which the table reader drops, are left out.
std::u16string TableSoilName(std::u16string_view soil_name);

// Writes "  7,  12.50,5012,粘土" and advances record_number. An empty name gets "0000"
// and touches no table. `learned` (may be null) receives what the tables were taught.
// Throws text::Failure when a table cannot be read or written, or record_number would
// pass 32,767 (nothing is written then). The caller holds the pattern folder's lock
// (platform::FolderLock) while it may learn, so that two runs never rewrite a table at once.
void ClassifySoilName(std::int16_t& record_number, std::u16string_view label,
                      std::u16string_view soil_name, std::u16string_view new_record_text,
                      common::TextWriter& layer_file, const std::u16string& pattern_folder,
                      std::vector<LearnedSoilName>* learned = nullptr);

}  // namespace m2v::coding
