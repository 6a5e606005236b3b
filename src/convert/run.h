#pragma once

// One conversion run: the checks of the two paths and of the source file, the destination
// folder, the header step and the four section passes.

#include <string>
#include <vector>

#include "coding/soil_classification.h"
#include "convert/run_host.h"

namespace m2v::convert {

inline constexpr char16_t kProgressMessage[] = u"只今変換中！　しばらくお待ちください。";
inline constexpr char16_t kCompletionMessage[] = u"変換が正常に終了しました。";
inline constexpr char16_t kBadPathMessage[] = u"指定されたパスは正しくありません。";
inline constexpr char16_t kNoSourceMessage[] = u"変換元ファイルが選択されていません。";
inline constexpr char16_t kNoDestinationMessage[] = u"変換先フォルダが選択されていません。";
inline constexpr char16_t kCreateFolderQuestion[] = u"フォルダがありません。新規作成しますか？";

struct RunRequest {
  std::u16string pattern_folder;  // ends with "\"
};

enum class RunOutcome {
  kCompleted,  // every file written, the completion text on the message line
  kRefused,    // a check said no; nothing written
  kFailed,     // a failure after the checks, reported through the host
};

struct RunResult {
  RunOutcome outcome = RunOutcome::kRefused;
  std::u16string output_folder;               // the checked destination, when it got that far
  std::vector<std::u16string> files_written;  // in the order written
  std::vector<coding::LearnedSoilName> learned;
};

RunResult Run(const RunRequest& request, RunHost& host);

}  // namespace m2v::convert
