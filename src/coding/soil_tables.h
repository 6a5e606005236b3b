#pragma once

// The soil table KISHITU.TXT and the user soil table XKISHITU.TXT of the pattern folder:
// six-field comma records mapping soil names to four-character soil codes. The tables are
// the users' accumulated data: records are only ever added, the user table is replaced in
// one step, and a line appended to the soil table is there whole or not at all.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace m2v::coding {

using SoilRecord = std::array<std::u16string, 6>;

inline constexpr char16_t kSoilTable[] = u"KISHITU.TXT";
inline constexpr char16_t kUserSoilTable[] = u"XKISHITU.TXT";
inline constexpr char16_t kUserSoilWorkFile[] = u"XKISHITU.TMP";
inline constexpr char16_t kMarkerFile[] = u"PATADD.txt";

// The code bands a search can match, in the order they are tried (bounds exclusive).
enum class SearchRange { k5000To5499, k1000To3999, k1To999 };

bool InSearchRange(float code_value, SearchRange range);

// The first record of `table` (a file of the pattern folder) inside `range` whose name,
// cut before its first "（", equals soil_name; field 2 of the result is the cut name.
// A missing table matches nothing. Throws common::Failure when the table cannot be read.
std::optional<SoilRecord> FindSoilRecord(const std::u16string& pattern_folder,
                                         std::u16string_view table, std::u16string_view soil_name,
                                         SearchRange range);

// The same as trying FindSoilRecord for the three ranges in order, in one read of the file.
std::optional<SoilRecord> FindSoilRecordInAnyRange(const std::u16string& pattern_folder,
                                                   std::u16string_view table,
                                                   std::u16string_view soil_name);

// Gives out the next user code and inserts the new record into the user soil table before
// its first line of value 4000 or more; lines copied through keep their bytes. Throws
// common::Failure, with both tables untouched, when the user codes are used up.
SoilRecord AddUserSoilRecord(const std::u16string& pattern_folder, std::u16string_view soil_name,
                             std::u16string_view new_record_text);

// Appends the record to the soil table as one line and makes sure the pattern-added
// marker exists.
void AppendSoilRecord(const std::u16string& pattern_folder, const SoilRecord& record);

// Creates an empty soil table when there is none; an existing one is left unchanged.
void PrepareSoilTable(const std::u16string& pattern_folder);

// The record as one line: fields joined by "," with nothing between them.
std::u16string SoilRecordLine(const SoilRecord& record);

}  // namespace m2v::coding
