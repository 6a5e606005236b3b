#include "cli/batch_command.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>

#include "cli/cli.h"
#include "cli/command_support.h"
#include "cli/run_account.h"
#include "common/dest_path.h"
#include "common/failure.h"
#include "common/utf.h"
#include "convert/run.h"
#include "platform/platform.h"

namespace m2v::cli {
namespace {

using common::Utf16ToUtf8;

constexpr char16_t kFolderRuleMessage[] =
    u"は変換先フォルダの名前にできません（空白、「*」「?」を含まず、「.」を含む名前は"
    u"「.」が 1 つで、その前が 8 文字まで、後が 3 バイトまで）。";

struct BatchOptions {
  std::u16string into;
  std::optional<std::u16string> patdat;
  std::optional<std::u16string> report;
  std::vector<std::u16string> sources;
};

// The run's host for one survey of a batch: the fields are the survey and its folder, the
// question is answered Yes, and what the run would show is kept as the reason.
class BatchHost : public convert::RunHost {
 public:
  BatchHost(std::u16string source, std::u16string destination)
      : source_(std::move(source)), destination_(std::move(destination)) {}

  std::u16string SourceText() override { return source_; }
  std::u16string DestinationText() override { return destination_; }
  void SetMessageLine(std::u16string_view) override {}
  void ProcessPendingEvents() override {}
  void ShowMessage(std::u16string_view text, convert::MessageIcon, std::u16string_view) override {
    Keep(text);
  }
  bool AskYesNo(std::u16string_view) override { return true; }
  void SelectDestinationText() override {}
  void SetBusy(bool) override {}
  void ReportFailure(std::u16string_view text) override { Keep(text); }

  const std::u16string& reason() const { return reason_; }

 private:
  void Keep(std::u16string_view text) {
    if (!reason_.empty()) reason_ += u" ";
    reason_ += text;
  }

  std::u16string source_;
  std::u16string destination_;
  std::u16string reason_;
};

std::optional<BatchOptions> Parse(const std::vector<std::string>& args, std::ostream& err) {
  BatchOptions options;
  bool has_into = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::optional<std::u16string>* target = nullptr;
    std::optional<std::u16string> into;
    if (args[i] == "--into") {
      target = &into;
    } else if (args[i] == "--patdat") {
      target = &options.patdat;
    } else if (args[i] == "--report") {
      target = &options.report;
    } else if (LooksLikeOption(args[i])) {
      err << "不明なオプション: " << args[i] << '\n' << kUsage;
      return std::nullopt;
    } else {
      options.sources.push_back(common::Utf8ToUtf16(args[i]));
      continue;
    }
    *target = OptionValue(args, i, err);
    if (!*target) return std::nullopt;
    if (into) {
      options.into = *into;
      has_into = true;
    }
  }
  if (!has_into || options.sources.empty()) {
    err << "batch には --into と変換元ファイルを指定してください。\n" << kUsage;
    return std::nullopt;
  }
  return options;
}

// The survey's file name without its extension.
std::u16string FolderName(const std::u16string& source) {
  const std::size_t slash = source.find_last_of(u"\\/");
  std::u16string name = slash == std::u16string::npos ? source : source.substr(slash + 1);
  if (const std::size_t dot = name.rfind(u'.'); dot != std::u16string::npos) name.resize(dot);
  return name;
}

// Folder names are compared as Windows compares them, without regard to letter case.
std::u16string FoldCase(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return text;
}

SurveyAccount ConvertOne(const std::u16string& source, const std::u16string& root,
                         const std::u16string& pattern_folder,
                         std::vector<std::u16string>& folders_used) {
  SurveyAccount account;
  account.source = source;
  const std::u16string name = FolderName(source);
  const std::u16string destination = root + name;
  account.destination = destination + u"\\";
  std::u16string checked = destination;
  // "." and ".." would name the root itself or the folder above it.
  const bool only_dots = name.find_first_not_of(u'.') == std::u16string::npos;
  if (only_dots || common::CheckDestPath(checked) != common::DestPathVerdict::kAccepted) {
    account.reason = u"フォルダ名「" + name + u"」" + kFolderRuleMessage;
    return account;
  }
  if (std::find(folders_used.begin(), folders_used.end(), FoldCase(name)) != folders_used.end()) {
    account.reason = u"フォルダ名「" + name + u"」の調査がこのバッチで先に変換されています。";
    return account;
  }
  folders_used.push_back(FoldCase(name));
  BatchHost host(source, destination);
  account.result = convert::Run({pattern_folder}, host);
  account.reason = host.reason();
  switch (account.result.outcome) {
    case convert::RunOutcome::kCompleted:
      account.outcome = SurveyOutcome::kConverted;
      break;
    case convert::RunOutcome::kRefused:
      account.outcome = SurveyOutcome::kRefused;
      break;
    case convert::RunOutcome::kFailed:
      account.outcome = SurveyOutcome::kFailed;
      break;
  }
  return account;
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

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::optional<BatchOptions> options = Parse(args, err);
  if (!options) return kExitUsage;
  const std::optional<std::u16string> pattern_folder =
      ResolvePatternFolder(options->patdat, /*read_only=*/false, err);
  if (!pattern_folder) return kExitRefused;

  std::u16string root = platform::ToDriveForm(options->into);
  const common::DestPathVerdict verdict = common::CheckDestPath(root);
  if (verdict != common::DestPathVerdict::kAccepted) {
    if (verdict == common::DestPathVerdict::kBadDriveName) {
      err << Utf16ToUtf8(common::kDriveNameMessage) << '\n';
    }
    err << '[' << Utf16ToUtf8(options->into) << "] " << Utf16ToUtf8(convert::kBadPathMessage)
        << '\n';
    return kExitRefused;
  }

  std::vector<std::u16string> sources;
  std::vector<std::u16string> output_folders;
  for (const std::u16string& typed : options->sources) {
    sources.push_back(platform::ToDriveForm(typed));
    output_folders.push_back(root + FolderName(sources.back()));
  }
  std::optional<std::u16string> report;
  if (options->report) {
    report = platform::ToDriveForm(*options->report);
    if (!StartReport(*report, sources, output_folders, *pattern_folder, err)) return kExitUsage;
  }

  std::vector<SurveyAccount> surveys;
  std::vector<std::u16string> folders_used;
  const std::size_t total = sources.size();
  for (const std::u16string& source : sources) {
    surveys.push_back(ConvertOne(source, root, *pattern_folder, folders_used));
    out << '[' << surveys.size() << '/' << total << "] " << Outline(surveys.back()) << '\n';
    ListAccount(surveys.back().result, out);
  }

  int counts[3] = {0, 0, 0};
  for (const SurveyAccount& survey : surveys) ++counts[static_cast<int>(survey.outcome)];
  out << "\n変換完了 " << counts[0] << " 件、中止 " << counts[1] << " 件、失敗 " << counts[2]
      << " 件\n";
  for (const SurveyAccount& survey : surveys) out << "  " << Outline(survey) << '\n';

  int status = counts[2] > 0 ? kExitFailed : counts[1] > 0 ? kExitRefused : kExitConverted;
  if (report) {
    try {
      WriteReport(*report, *pattern_folder, surveys, std::chrono::system_clock::now());
    } catch (const common::Failure& failure) {
      err << "エラー: " << OneLine(failure.message()) << '\n';
      status = kExitFailed;
    }
  }
  return status;
}

}  // namespace m2v::cli
