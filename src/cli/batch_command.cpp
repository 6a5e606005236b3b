#include "cli/batch_command.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>
#include <utility>

#include "cli/cli.h"
#include "cli/command_support.h"
#include "cli/option_parser.h"
#include "cli/run_account.h"
#include "common/dest_path.h"
#include "convert/run.h"
#include "convert/survey_batch.h"
#include "platform/platform.h"
#include "text/failure.h"
#include "text/utf.h"

namespace m2v::cli {
namespace {

using text::Utf16ToUtf8;

struct BatchOptions {
  std::optional<std::u16string> into;
  std::optional<std::u16string> patdat;
  std::optional<std::u16string> report;
  std::vector<std::u16string> sources;
};

std::optional<BatchOptions> Parse(const std::vector<std::string>& args, std::ostream& err) {
  BatchOptions options;
  const OptionRule rules[] = {
      {"--into", Value{&options.into}},
      {"--patdat", Value{&options.patdat}},
      {"--report", Value{&options.report}},
  };
  std::optional<std::vector<std::u16string>> sources = ParseOptions(args, rules, err);
  if (!sources) return std::nullopt;
  if (!options.into || sources->empty()) {
    err << "batch には --into と変換元ファイルを指定してください。\n" << kUsage;
    return std::nullopt;
  }
  options.sources = std::move(*sources);
  return options;
}

std::string OneLine(std::u16string text) {
  std::replace(text.begin(), text.end(), u'\n', u' ');
  return TerminalText(text);
}

// "変換完了: D:\IN\HOLE1.ddf -> D:\OUT\HOLE1\", with the reason when not converted.
std::string Outline(const SurveyAccount& survey) {
  std::string text = Utf16ToUtf8(OutcomeText(survey.outcome)) + ": " + OneLine(survey.source) +
                     " -> " + OneLine(survey.destination);
  if (!survey.reason.empty()) text += ": " + OneLine(survey.reason);
  return text;
}

// Each survey's line as soon as it is done, with the files it wrote.
class Printer : public convert::BatchProgress {
 public:
  explicit Printer(std::ostream& out) : out_(out) {}
  void Starting(std::size_t, std::size_t, const std::u16string&) override {}
  void Finished(std::size_t number, std::size_t total, const SurveyAccount& survey) override {
    out_ << '[' << number << '/' << total << "] " << Outline(survey) << '\n';
    ListAccount(survey.result, out_);
  }

 private:
  std::ostream& out_;
};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::optional<BatchOptions> options = Parse(args, err);
  if (!options) return kExitUsage;
  const std::optional<std::u16string> pattern_folder =
      ResolvePatternFolder(options->patdat, /*read_only=*/false, err);
  if (!pattern_folder) return kExitRefused;

  std::u16string root = platform::ToDriveForm(*options->into);
  const common::DestPathVerdict verdict = common::CheckDestPath(root);
  if (verdict != common::DestPathVerdict::kAccepted) {
    if (verdict == common::DestPathVerdict::kBadDriveName) {
      err << Utf16ToUtf8(common::kDriveNameMessage) << '\n';
    }
    err << '[' << Utf16ToUtf8(*options->into) << "] " << Utf16ToUtf8(convert::kBadPathMessage)
        << '\n';
    return kExitRefused;
  }

  std::vector<std::u16string> sources;
  std::vector<std::u16string> output_folders;
  for (const std::u16string& typed : options->sources) {
    sources.push_back(platform::ToDriveForm(typed));
    output_folders.push_back(root + convert::FolderName(sources.back()));
  }
  std::optional<std::u16string> report;
  if (options->report) {
    report = platform::ToDriveForm(*options->report);
    if (!StartReport(*report, sources, output_folders, *pattern_folder, err)) return kExitUsage;
  }

  Printer printer(out);
  const std::vector<SurveyAccount> surveys =
      convert::ConvertSurveys(sources, root, *pattern_folder, printer);

  int counts[3] = {0, 0, 0};
  for (const SurveyAccount& survey : surveys) ++counts[static_cast<int>(survey.outcome)];
  out << "\n変換完了 " << counts[0] << " 件、中止 " << counts[1] << " 件、失敗 " << counts[2]
      << " 件\n";
  for (const SurveyAccount& survey : surveys) out << "  " << Outline(survey) << '\n';

  int status = counts[2] > 0 ? kExitFailed : counts[1] > 0 ? kExitRefused : kExitConverted;
  if (report) {
    try {
      WriteReport(*report, *pattern_folder, surveys, std::chrono::system_clock::now());
    } catch (const text::Failure& failure) {
      err << "エラー: " << OneLine(failure.message()) << '\n';
      status = kExitFailed;
    }
  }
  return status;
}

}  // namespace m2v::cli
