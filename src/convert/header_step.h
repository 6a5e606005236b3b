#pragma once

// The code table L4.TXT, and the header step on "$Z": title lists, the L1.TXT code of the
// region, the soil table made sure of, CNT.TXT and the title list files.

#include <string>
#include <string_view>

#include "convert/source_file.h"
#include "convert/x3_record.h"

namespace m2v::convert {

// Rows of L4.TXT (code, one-character name). Throws text::Failure when the table cannot
// be read, ends inside a row, or has more than 50 rows.
CodeTable LoadL4Table(const std::u16string& pattern_folder);

// " 1990" for "2": era years 41..64 count from 1925, all others from 1988.
std::u16string YearText(std::u16string_view field);

// Field 1 of the first L1.TXT row whose field 2 equals the region narrowed, upper-cased and
// trimmed; empty when none does.
std::u16string LookupL1(const std::u16string& pattern_folder, std::u16string_view region);

// The header step. Does nothing and returns false when the source has no header.
// `output_folder` ends with "\" and is the checked destination path, whose folder names go
// into CNT.TXT.
bool HeaderStep(const Survey& survey, const std::u16string& output_folder,
                const std::u16string& pattern_folder);

}  // namespace m2v::convert
