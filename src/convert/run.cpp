#include "convert/run.h"

#include <optional>
#include <set>

#include "coding/soil_tables.h"
#include "common/dest_path.h"
#include "common/file_cache.h"
#include "common/text_file.h"
#include "convert/header_step.h"
#include "convert/section_passes.h"
#include "convert/sha256.h"
#include "convert/source_check.h"
#include "platform/platform.h"
#include "text/failure.h"
#include "text/field_split.h"
#include "text/text_util.h"
#include "text/utf.h"

namespace m2v::convert {
namespace {

constexpr std::size_t kPathPieces = 257;

// Ends the run after a check: the message, then an empty message line.
RunResult Refuse(RunHost& host, std::u16string_view message) {
  host.ShowMessage(message, MessageIcon::kNone, u"");
  host.SetMessageLine(u"");
  return {};
}

// Tests the destination level by level and, after a Yes, creates the missing levels.
// False when the person said No.
bool PrepareDestination(const std::u16string& checked, RunHost& host) {
  std::vector<std::u16string> pieces(kPathPieces);
  const int n = text::CountDelims(checked, u"\\");
  text::SplitFields(checked, u"\\", pieces);
  std::u16string p = pieces[1];
  bool missing = false;
  for (int i = 2; i <= n + 1 && !missing; ++i) {
    p += u"\\" + pieces[static_cast<std::size_t>(i)];
    missing = !platform::FolderExists(p);
  }
  if (!missing) return true;
  if (!host.AskYesNo(kCreateFolderQuestion)) return false;
  p = pieces[1];
  for (int i = 2; i <= n + 1; ++i) {
    p += u"\\" + pieces[static_cast<std::size_t>(i)];
    if (!platform::FolderExists(p) && !platform::CreateFolder(p)) {
      throw text::Failure(p + u"\nフォルダを作成できません。（" + platform::LastErrorText() +
                          u"）");
    }
  }
  return true;
}

// Holds the pattern folder for the whole run, so that the tables the run looks at first are
// the tables it writes, and no other run learns names in between. A folder that cannot be
// locked (read-only, or no locks on its file system) is used without the lock.
void LockPatternFolder(const RunRequest& request, RunHost& host,
                       std::optional<platform::FolderLock>& lock) {
  const std::u16string& pattern_folder = request.pattern_folder;
  lock.emplace(pattern_folder, std::chrono::milliseconds(0));
  if (lock->state() != platform::FolderLock::State::kBusy) return;
  lock.reset();
  host.SetMessageLine(kWaitingForTablesMessage);
  host.ProcessPendingEvents();
  lock.emplace(pattern_folder, request.lock_wait);
  if (lock->state() == platform::FolderLock::State::kBusy) {
    throw text::Failure(
        pattern_folder + coding::kUserSoilTable +
        u"\n他の変換が土質テーブルを更新中です。しばらくしてから実行してください。");
  }
  host.SetMessageLine(kProgressMessage);
}

// Fails, before any output file is written, where the layer pass would fail on the tables:
// a table it cannot read, user codes that run out, a table it would have to write and cannot.
void CheckTablesBeforeWriting(const Survey& survey, const std::u16string& pattern_folder) {
  // What the layer pass will learn, found through the tables' indexes: a name is learned at
  // its first layer, except one holding "（", which no search finds again.
  std::set<std::u16string> learned;
  std::vector<std::u16string> new_codes;
  bool appends = false;
  for (const Layer& layer : ReadLayerSection(survey).layers) {
    const std::u16string name = coding::TableSoilName(layer.name);
    if (learned.contains(name) ||
        coding::FindSoilRecordInAnyRange(pattern_folder, coding::kSoilTable, name)) {
      continue;
    }
    appends = true;
    if (name.find(u'（') == std::u16string::npos) learned.insert(name);
    if (!coding::FindSoilRecordInAnyRange(pattern_folder, coding::kUserSoilTable, name)) {
      new_codes.push_back(name);
    }
  }
  if (!appends) return;
  coding::CheckUserCodesLeft(pattern_folder, new_codes);
  if (const std::optional<std::u16string> path =
          coding::UnwritableTablePath(pattern_folder, !new_codes.empty())) {
    throw text::Failure(*path + u"\n" + coding::kCannotLearnMessage);
  }
}

void Convert(const Survey& survey, const std::u16string& output_folder, const RunRequest& request,
             RunHost& host, RunResult& result) {
  auto wrote = [&](bool present, std::initializer_list<const char16_t*> names) {
    if (!present) return;
    for (const char16_t* name : names) result.files_written.push_back(output_folder + name);
  };
  // The soil tables and L23.txt are read once for the whole run, and checked against the
  // disk before every use.
  const common::FileCacheScope file_caches;
  std::optional<platform::FolderLock> lock;
  LockPatternFolder(request, host, lock);
  // No other run writes the pattern folder while the lock is held: its files are looked at
  // once for the whole run.
  if (lock->state() == platform::FolderLock::State::kLocked) {
    common::KeepFolderSteady(request.pattern_folder);
  }
  // What the run learns is held until the layer pass commits it.
  const coding::TableLearning learning(request.pattern_folder);
  CheckTablesBeforeWriting(survey, request.pattern_folder);
  const CodeTable l4 = LoadL4Table(request.pattern_folder);
  wrote(HeaderStep(survey, output_folder, request.pattern_folder),
        {u"CNT.TXT", u"Titl01.txt", u"Titl02.txt"});
  wrote(LayerPass(survey, output_folder, l4, request.pattern_folder, &result.learned),
        {u"X1.TXT", u"X3.TXT"});
  wrote(PenetrationPass(survey, output_folder), {u"X5.TXT"});
  wrote(DepthTextPass(survey, output_folder), {u"X12.TXT"});
  wrote(SectionEPass(survey, output_folder, request.pattern_folder), {u"X6.TXT"});
}

}  // namespace

RunResult Run(const RunRequest& request, RunHost& host) {
  host.SetMessageLine(kProgressMessage);
  host.ProcessPendingEvents();
  RunResult result;
  try {
    std::u16string checked = host.DestinationText();
    const common::DestPathVerdict verdict = common::CheckDestPath(checked);
    if (verdict == common::DestPathVerdict::kBadDriveName) {
      host.ShowMessage(common::kDriveNameMessage, MessageIcon::kInformation, u"");
    }
    if (verdict != common::DestPathVerdict::kAccepted) {
      host.ShowMessage(kBadPathMessage, MessageIcon::kExclamation, host.DestinationText());
      host.SelectDestinationText();
      host.SetMessageLine(u"");
      return result;
    }
    const std::u16string source = host.SourceText();
    if (text::Trim(source).empty()) return Refuse(host, kNoSourceMessage);
    if (text::Trim(host.DestinationText()).empty()) return Refuse(host, kNoDestinationMessage);
    if (!platform::FileExists(source)) return Refuse(host, kNoSourceMessage);
    const std::string source_bytes = common::ReadFileBytes(source);
    // Every pass reads the survey that was checked and hashed, whatever happens to the file.
    const Survey survey = Survey::FromBytes(source, source_bytes);
    const std::vector<Finding> findings = CheckSource(source_bytes, survey);
    if (!findings.empty()) return Refuse(host, findings.front().message);
    result.source_sha256 = Sha256Hex(source_bytes);
    if (!PrepareDestination(checked, host)) {
      host.SetMessageLine(u"");
      return result;
    }

    // The output goes where the check looked, not to the raw field text.
    result.output_folder = checked;
    host.SetBusy(true);
    try {
      Convert(survey, checked, request, host, result);
    } catch (...) {
      host.SetBusy(false);
      throw;
    }
    result.outcome = RunOutcome::kCompleted;
    host.SetMessageLine(kCompletionMessage);
    host.SetBusy(false);
  } catch (const text::Failure& failure) {
    result.outcome = RunOutcome::kFailed;
    host.SetMessageLine(u"");
    host.ReportFailure(failure.message());
  } catch (const std::exception& error) {
    result.outcome = RunOutcome::kFailed;
    host.SetMessageLine(u"");
    host.ReportFailure(u"予期しないエラーで変換を中止しました。\n" +
                       text::Utf8ToUtf16(error.what()));
  }
  return result;
}

}  // namespace m2v::convert
