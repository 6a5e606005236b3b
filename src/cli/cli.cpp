#include "cli/cli.h"

#include <chrono>
#include <optional>
#include <ostream>
#include <utility>

#include "cli/batch_command.h"
#include "cli/check_command.h"
#include "cli/command_support.h"
#include "cli/option_parser.h"
#include "cli/run_account.h"
#include "cli/terminal_host.h"
#include "common/dest_path.h"
#include "common/version.h"
#include "convert/run.h"
#include "platform/platform.h"
#include "text/failure.h"
#include "text/utf.h"

namespace m2v::cli {
namespace {

using text::Utf16ToUtf8;

struct Options {
  std::optional<std::u16string> patdat;
  std::optional<bool> answer;
  std::optional<std::u16string> report;
  std::vector<std::u16string> operands;
};

// nullopt after printing what is wrong.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& err) {
  Options options;
  const OptionRule rules[] = {
      {"--patdat", Value{&options.patdat}},
      {"--yes", Answer{&options.answer, true}},
      {"--no", Answer{&options.answer, false}},
      {"--report", Value{&options.report}},
  };
  std::optional<std::vector<std::u16string>> operands = ParseOptions(args, rules, err);
  if (!operands) return std::nullopt;
  if (operands->size() != 2) {
    err << kUsage;
    return std::nullopt;
  }
  options.operands = std::move(*operands);
  return options;
}

SurveyOutcome OutcomeOf(convert::RunOutcome outcome) {
  switch (outcome) {
    case convert::RunOutcome::kCompleted:
      return SurveyOutcome::kConverted;
    case convert::RunOutcome::kRefused:
      return SurveyOutcome::kRefused;
    case convert::RunOutcome::kFailed:
      break;
  }
  return SurveyOutcome::kFailed;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, bool interactive) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return kExitConverted;
  }
  if (!args.empty() && args[0] == "--version") {
    out << "mirta2vesk-cli " << M2V_VERSION << '\n';
    return kExitConverted;
  }
  if (!args.empty() && (args[0] == "check" || args[0] == "batch")) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    return args[0] == "check" ? RunCheck(rest, out, err) : RunBatch(rest, out, err);
  }
  const std::optional<Options> options = Parse(args, err);
  if (!options) return kExitUsage;

  const std::optional<std::u16string> pattern_folder =
      ResolvePatternFolder(options->patdat, /*read_only=*/false, err);
  if (!pattern_folder) return kExitRefused;

  SurveyAccount account;
  account.source = platform::ToDriveForm(options->operands[0]);
  account.destination = platform::ToDriveForm(options->operands[1]);
  std::optional<std::u16string> report;
  if (options->report) {
    report = platform::ToDriveForm(*options->report);
    std::u16string checked = account.destination;
    common::CheckDestPath(checked);
    if (!StartReport(*report, {account.source}, {account.destination, checked}, *pattern_folder,
                     err)) {
      return kExitUsage;
    }
  }
  TerminalHost host(account.source, account.destination, options->answer, interactive, in, err);
  account.result = convert::Run({*pattern_folder}, host);
  account.outcome = OutcomeOf(account.result.outcome);
  account.reason = host.shown();
  if (!account.result.output_folder.empty()) account.destination = account.result.output_folder;
  // A failed run may have written files and taught names before it stopped.
  if (account.outcome != SurveyOutcome::kRefused) ListAccount(account.result, out);

  int status = account.outcome == SurveyOutcome::kConverted ? kExitConverted
               : account.outcome == SurveyOutcome::kRefused ? kExitRefused
                                                            : kExitFailed;
  if (report) {
    try {
      WriteReport(*report, *pattern_folder, {account}, std::chrono::system_clock::now());
    } catch (const text::Failure& failure) {
      err << "エラー: " << Utf16ToUtf8(failure.message()) << '\n';
      status = kExitFailed;
    }
  }
  return status;
}

}  // namespace m2v::cli
