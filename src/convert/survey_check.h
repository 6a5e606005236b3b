#pragma once

// The whole check of a survey file for the person who wants to know before converting:
// the errors the run refuses (source_check.h), and besides them what the run accepts but
// silently cuts or changes, the count of each section, and the soil names the run would
// teach the tables. Reads the file's bytes and the tables; writes nothing.
//
// Rules (the `rule` of a finding, stable for scripts):
//   errors        utf8, not-cp932, body-past-end, short-header, bad-count, no-survey-data,
//                 table-failure, tables-unwritable
//   warnings      long-label, long-entry, n-value-cut, number-wraps, paren-in-name,
//                 record-without-text, range-without-term, count-mid-record,
//                 duplicate-section, body-over-marker, duplicate-code
//   information   section-count, new-soil-name, adopted-soil-name
// A character without a CP932 form has no rule of its own: every character a CP932 file
// decodes to has one, so such a character can only come from a byte that is not CP932,
// which not-cp932 already names with its line and offset.

#include <string>
#include <string_view>
#include <vector>

#include "convert/source_check.h"

namespace m2v::convert {

// Every finding of the file, by line (the whole file first), errors before warnings before
// information on one line. `pattern_folder` (ending with "\") holds the soil tables the
// new names are forecast against; empty to leave the soil names out.
std::vector<Finding> CheckSurvey(std::string_view bytes, const std::u16string& pattern_folder);

}  // namespace m2v::convert
