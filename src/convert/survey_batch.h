#pragma once

// Several surveys converted one after another, each into ROOT\<file name without
// extension>\, answering the create-folder question with Yes and going on after a survey
// that was not converted. They share the soil tables, in the order given.

#include <cstddef>
#include <string>
#include <vector>

#include "convert/run.h"

namespace m2v::convert {

enum class SurveyOutcome { kConverted, kRefused, kFailed };

struct SurveyAccount {
  std::u16string source;       // drive-form
  std::u16string destination;  // as handed to the run
  SurveyOutcome outcome = SurveyOutcome::kRefused;
  std::u16string reason;  // why it was refused or failed; empty when converted
  RunResult result;
};

// The outcome as a person reads it: "変換完了", "中止", "失敗".
std::u16string OutcomeText(SurveyOutcome outcome);

// Told before and after each survey of a batch; `number` counts from 1.
class BatchProgress {
 public:
  virtual ~BatchProgress() = default;
  virtual void Starting(std::size_t number, std::size_t total, const std::u16string& source) = 0;
  virtual void Finished(std::size_t number, std::size_t total, const SurveyAccount& survey) = 0;
};

// The folder a survey goes to under the root: its file name without the extension.
std::u16string FolderName(const std::u16string& source);

// Converts the surveys (as typed: drive-form or host paths) into `root`, a checked
// destination folder ending with "\". One account per survey, in the order given.
std::vector<SurveyAccount> ConvertSurveys(const std::vector<std::u16string>& sources,
                                          const std::u16string& root,
                                          const std::u16string& pattern_folder,
                                          BatchProgress& progress);

}  // namespace m2v::convert
