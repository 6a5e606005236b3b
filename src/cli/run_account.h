#pragma once

// The account of what conversion runs changed: the soil names taught to the tables and
// the files written, listed after a run and kept, with hashes, in a report file.

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "coding/soil_classification.h"
#include "convert/run.h"
#include "convert/survey_batch.h"

namespace m2v::cli {

using convert::SurveyAccount;
using convert::SurveyOutcome;

// "2006 腐植土（新しいユーザーコード）", "2003 礫混じり砂（XKISHITU.TXT から採用）"
std::u16string LearnedText(const coding::LearnedSoilName& learned);

// The files written, one path a line, then one line per soil name taught to the tables.
void ListAccount(const convert::RunResult& result, std::ostream& out);

using convert::OutcomeText;

// Why no report may be written to `report`: it would replace one of the `sources`, a file
// the run writes into one of the `output_folders`, or a file of the pattern folder. nullopt
// when it may. Every path is drive-form.
std::optional<std::u16string> ReportPathProblem(const std::u16string& report,
                                                const std::vector<std::u16string>& sources,
                                                const std::vector<std::u16string>& output_folders,
                                                const std::u16string& pattern_folder);

// Refuses a report path as ReportPathProblem does, then writes the report's head there, so
// that a report that cannot be written stops the command before anything is converted.
// False after printing why.
bool StartReport(const std::u16string& report, const std::vector<std::u16string>& sources,
                 const std::vector<std::u16string>& output_folders,
                 const std::u16string& pattern_folder, std::ostream& err);

// Writes the report (CP932, CR LF) to `path` (drive-form): tool version, time, pattern
// folder, and per survey its source with SHA-256, outcome, names taught and files written
// with SHA-256. The report replaces the file whole. Throws text::Failure when the report
// cannot be written.
void WriteReport(const std::u16string& path, const std::u16string& pattern_folder,
                 const std::vector<SurveyAccount>& surveys,
                 std::chrono::system_clock::time_point when);

// The local time as ISO 8601 with its offset: "2024-05-01T09:30:00+09:00".
std::u16string LocalTimeText(std::chrono::system_clock::time_point when);

}  // namespace m2v::cli
