#include "convert/survey_batch.h"

#include <algorithm>

#include "common/dest_path.h"
#include "platform/platform.h"

namespace m2v::convert {
namespace {

constexpr char16_t kFolderRuleMessage[] =
    u"は変換先フォルダの名前にできません（空白、「*」「?」を含まず、「.」を含む名前は"
    u"「.」が 1 つで、その前が 8 文字まで、後が 3 バイトまで）。";

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

}  // namespace

std::u16string OutcomeText(SurveyOutcome outcome) {
  switch (outcome) {
    case SurveyOutcome::kConverted:
      return u"変換完了";
    case SurveyOutcome::kRefused:
      return u"中止";
    case SurveyOutcome::kFailed:
      return u"失敗";
  }
  return {};
}

std::u16string FolderName(const std::u16string& source) {
  const std::size_t slash = source.find_last_of(u"\\/");
  std::u16string name = slash == std::u16string::npos ? source : source.substr(slash + 1);
  if (const std::size_t dot = name.rfind(u'.'); dot != std::u16string::npos) name.resize(dot);
  return name;
}

std::vector<SurveyAccount> ConvertSurveys(const std::vector<std::u16string>& sources,
                                          const std::u16string& root,
                                          const std::u16string& pattern_folder,
                                          BatchProgress& progress) {
  std::vector<SurveyAccount> surveys;
  std::vector<std::u16string> folders_used;
  const std::size_t total = sources.size();
  for (const std::u16string& typed : sources) {
    progress.Starting(surveys.size() + 1, total, typed);
    surveys.push_back(ConvertOne(platform::ToDriveForm(typed), root, pattern_folder, folders_used));
    progress.Finished(surveys.size(), total, surveys.back());
  }
  return surveys;
}

}  // namespace m2v::convert
