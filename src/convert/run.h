#pragma once

// One conversion run: the checks of the two paths and of the source file, the destination
// folder, the header step and the four section passes.

#include <chrono>
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
inline constexpr char16_t kWaitingForTablesMessage[] =
    u"他の変換が土質テーブルを使っています。終わるのを待っています…";

// Every file a run may write into its destination folder.
inline constexpr const char16_t* kOutputFiles[] = {u"CNT.TXT", u"Titl01.txt", u"Titl02.txt",
                                                   u"X1.TXT",  u"X3.TXT",     u"X5.TXT",
                                                   u"X12.TXT", u"X6.TXT"};

struct RunRequest {
  std::u16string pattern_folder;  // ends with "\"
  // How long the run waits for another run that holds the pattern folder.
  std::chrono::milliseconds lock_wait = std::chrono::seconds(60);
};

enum class RunOutcome {
  kCompleted,  // every file written, the completion text on the message line
  kRefused,    // a check said no; nothing written
  kFailed,     // a failure after the checks, reported through the host
};

struct RunResult {
  RunOutcome outcome = RunOutcome::kRefused;
  std::u16string output_folder;  // the checked destination, when it got that far
  std::string source_sha256;     // of the bytes converted, when the source passed its check
  std::vector<std::u16string> files_written;  // in the order written
  std::vector<coding::LearnedSoilName> learned;
};

RunResult Run(const RunRequest& request, RunHost& host);

}  // namespace m2v::convert
