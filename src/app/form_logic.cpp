#include "app/form_logic.h"

#include <algorithm>

#include "common/dest_path.h"
#include "convert/pattern_folder_setting.h"
#include "convert/run.h"
#include "convert/survey_batch.h"
#include "platform/platform.h"
#include "text/text_util.h"

namespace m2v::app {
namespace {

char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
  if (c >= u'ａ' && c <= u'ｚ') return static_cast<char16_t>(c - u'ａ' + u'Ａ');
  return c;
}

bool IsDriveAlone(std::u16string_view path) { return path.size() == 2 && path[1] == u':'; }

// "D:\A\" -> "D:\A"; a root keeps its "\".
std::u16string WithoutTrailingSeparator(std::u16string path) {
  while (path.size() > 3 && path.back() == u'\\') path.pop_back();
  return path;
}

std::u16string Child(const std::u16string& folder, std::u16string_view name) {
  std::u16string path = folder;
  if (path.empty() || path.back() != u'\\') path += u'\\';
  return path += name;
}

std::u16string DriveName(char16_t letter) { return {letter, u':'}; }

}  // namespace

std::vector<std::u16string> SortedCaseBlind(std::vector<std::u16string> names) {
  std::stable_sort(names.begin(), names.end(),
                   [](const std::u16string& a, const std::u16string& b) {
                     return std::lexicographical_compare(
                         a.begin(), a.end(), b.begin(), b.end(),
                         [](char16_t x, char16_t y) { return FoldCase(x) < FoldCase(y); });
                   });
  return names;
}

bool MatchesPattern(std::u16string_view name, std::u16string_view pattern) {
  // Backtracking to the last "*" is enough for patterns of "*" and "?".
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t star = std::u16string_view::npos;
  std::size_t star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      star_n = n;
    } else if (p < pattern.size() &&
               (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

FormLogic::FormLogic(FormView& view) : view_(view) {}

bool FormLogic::Form_Load() {
  view_.CentreOnScreen();
  PatternFolder = convert::ReadPatternFolder();
  if (PatternFolder.empty() || !convert::PatternFolderExists(PatternFolder)) {
    view_.ShowBox({.text = convert::kNoPatternFolderMessage});
    return false;
  }
  MessageShown = 0;
  // Both halves start on the current folder of the current drive.
  for (const Side side : {Side::kSource, Side::kDestination}) {
    Half& h = half(side);
    h.drive = platform::CurrentDrive();
    h.folder = platform::CurrentFolder(h.drive);
    RereadDrives(side);
    ShowFolders(side);
  }
  DriveChange(Side::kSource);
  DriveChange(Side::kDestination);
  view_.SetSourceText(source_.folder);
  view_.SetDestinationText(destination_.folder);
  Dir1_Change();
  return true;
}

void FormLogic::ChooseDrive(Side side, std::u16string_view drive) {
  if (drive.size() < 2 || drive[1] != u':') return;
  Half& h = half(side);
  const char16_t letter = FoldCase(drive[0]);
  if (letter == h.drive || std::find(h.drives.begin(), h.drives.end(), letter) == h.drives.end()) {
    return;
  }
  h.drive = letter;
  DriveChange(side);
}

void FormLogic::RereadDrives(Side side) {
  Half& h = half(side);
  h.drives = platform::Drives();
  // The drive shown stays even when it has left the table, until another is chosen.
  if (h.drive != 0 && std::find(h.drives.begin(), h.drives.end(), h.drive) == h.drives.end()) {
    h.drives.push_back(h.drive);
    std::sort(h.drives.begin(), h.drives.end());
  }
  ShowDrives(side);
}

void FormLogic::DriveChange(Side side) {
  // A step that fails puts the list back on the last good drive, which runs this handler
  // again for that drive, and then the remaining steps go on. No message: the list just
  // jumps back.
  Half& h = half(side);
  if (!SetFolder(side, DriveName(h.drive))) PutBackDrive(side);
  h.last_drive = h.drive;
  if (h.last_drive == 0 || !platform::SetCurrentDrive(h.last_drive)) PutBackDrive(side);
}

void FormLogic::PutBackDrive(Side side) {
  Half& h = half(side);
  const bool listed = std::find(h.drives.begin(), h.drives.end(), h.last_drive) != h.drives.end();
  if (h.last_drive == 0 || h.last_drive == h.drive || !listed) return;
  h.drive = h.last_drive;
  ShowDrives(side);
  DriveChange(side);
}

bool FormLogic::OpenFolder(Side side, const std::u16string& path) {
  if (SetFolder(side, path)) return true;
  // A folder that went away since the list was read: show what is there now.
  ShowFolders(side);
  return false;
}

bool FormLogic::SetFolder(Side side, const std::u16string& asked) {
  std::u16string full = WithoutTrailingSeparator(platform::FullPath(asked));
  if (full.size() < 3 || !platform::CanSelectDrive(full[0])) return false;
  if (!platform::FolderExists(full)) {
    // A drive whose remembered folder has gone opens at its root, so it stays reachable.
    if (!IsDriveAlone(asked)) return false;
    full.resize(3);
  }
  Half& h = half(side);
  const bool differs = full != h.folder;
  h.folder = full;
  ShowFolders(side);
  if (differs) {
    if (side == Side::kSource) {
      Dir1_Change();
    } else {
      Dir2_Change();
    }
  }
  return true;
}

void FormLogic::Dir1_Change() {
  std::vector<std::u16string> surveys;
  for (std::u16string& name : platform::ListFiles(source_.folder)) {
    if (MatchesPattern(name, kSurveyPattern)) surveys.push_back(std::move(name));
  }
  view_.ShowFiles(SortedCaseBlind(std::move(surveys)));
  view_.SetSourceText(source_.folder);
  platform::SetCurrentFolder(source_.folder);
}

void FormLogic::Dir2_Change() {
  view_.SetDestinationText(destination_.folder);
  platform::SetCurrentFolder(destination_.folder);
}

void FormLogic::File1_Click(std::u16string_view name) {
  view_.SetSourceText(Child(source_.folder, name));
}

void FormLogic::Command1_Click() {
  const convert::RunResult result = convert::Run({PatternFolder}, *this);
  if (result.outcome == convert::RunOutcome::kCompleted) MessageShown = 1;
}

void FormLogic::Command2_Click() { view_.Close(); }

void FormLogic::Picture1_MouseMove() {
  if (MessageShown == 1) {
    view_.SetMessageLine(u"");
    MessageShown = 0;
  }
}

bool FormLogic::AcceptsDrop(const std::vector<std::u16string>& files) const {
  return !files.empty() && std::all_of(files.begin(), files.end(), [](const std::u16string& file) {
    return MatchesPattern(file, kSurveyPattern);
  });
}

void FormLogic::Drop(const std::vector<std::u16string>& files) {
  if (!AcceptsDrop(files)) return;
  if (files.size() == 1) {
    view_.SetSourceText(files.front());
  } else {
    ConvertDropped(files);
  }
}

void FormLogic::ConvertDropped(const std::vector<std::u16string>& surveys) {
  // The destination field is checked as a run checks it; the surveys are checked one by
  // one by their runs.
  const std::u16string typed = DestinationText();
  std::u16string root = typed;
  const common::DestPathVerdict verdict = common::CheckDestPath(root);
  if (verdict == common::DestPathVerdict::kBadDriveName) {
    ShowMessage(common::kDriveNameMessage, convert::MessageIcon::kInformation, u"");
  }
  if (verdict != common::DestPathVerdict::kAccepted) {
    ShowMessage(convert::kBadPathMessage, convert::MessageIcon::kExclamation, typed);
    view_.SelectDestinationText();
    return;
  }
  const std::u16string count = text::DecimalText(static_cast<long long>(surveys.size()));
  if (!AskYesNo(count + u" 件の調査を " + root +
                u" の下に、それぞれファイル名のフォルダへ変換します。よろしいですか？")) {
    return;
  }

  // The message line says which survey is running; the window gets its events once
  // before each, as a single run lets them run once.
  class Progress : public convert::BatchProgress {
   public:
    explicit Progress(FormView& view) : view_(view) {}
    void Starting(std::size_t number, std::size_t total, const std::u16string& source) override {
      const std::size_t slash = source.find_last_of(u"\\/");
      view_.SetMessageLine(u"只今変換中！（" + text::DecimalText(static_cast<long long>(number)) +
                           u"/" + text::DecimalText(static_cast<long long>(total)) + u"）" +
                           source.substr(slash == std::u16string::npos ? 0 : slash + 1));
      view_.ProcessPendingEvents();
    }
    void Finished(std::size_t, std::size_t, const convert::SurveyAccount&) override {}

   private:
    FormView& view_;
  } progress(view_);
  MessageShown = 0;
  view_.SetBusy(true);
  const std::vector<convert::SurveyAccount> accounts =
      convert::ConvertSurveys(surveys, root, PatternFolder, progress);
  view_.SetBusy(false);

  long long counts[3] = {0, 0, 0};
  for (const convert::SurveyAccount& account : accounts) {
    ++counts[static_cast<int>(account.outcome)];
  }
  const std::u16string sum = u"変換完了 " + text::DecimalText(counts[0]) + u" 件、中止 " +
                             text::DecimalText(counts[1]) + u" 件、失敗 " +
                             text::DecimalText(counts[2]) + u" 件";
  std::u16string listing = sum + u"\n";
  for (const convert::SurveyAccount& account : accounts) {
    listing += u"\n" + convert::OutcomeText(account.outcome) + u": " + account.source + u" -> " +
               account.destination;
    if (!account.reason.empty()) {
      std::u16string reason = account.reason;
      std::replace(reason.begin(), reason.end(), u'\n', u' ');
      listing += u": " + reason;
    }
  }
  // The sum stays on the message line until the mouse next crosses the background.
  view_.SetMessageLine(sum);
  MessageShown = 1;
  const bool all_converted = counts[0] == static_cast<long long>(accounts.size());
  view_.ShowBox(
      {.text = listing, .icon = all_converted ? BoxIcon::kInformation : BoxIcon::kExclamation});
}

void FormLogic::ShowDrives(Side side) {
  const Half& h = half(side);
  std::vector<std::u16string> names;
  std::size_t current = 0;
  for (const char16_t letter : h.drives) {
    if (letter == h.drive) current = names.size();
    names.push_back(DriveName(letter));
  }
  view_.ShowDrives(side, names, current);
}

void FormLogic::ShowFolders(Side side) {
  const std::u16string& current = half(side).folder;
  std::vector<FolderRow> rows;
  // The way down from the root, each level on its own line, then the subfolders.
  std::u16string walked = current.substr(0, 3);
  rows.push_back({walked, walked, 0, true});
  int depth = 0;
  for (std::size_t start = 3; start < current.size();) {
    std::size_t end = current.find(u'\\', start);
    if (end == std::u16string::npos) end = current.size();
    const std::u16string name = current.substr(start, end - start);
    walked = Child(walked, name);
    rows.push_back({name, walked, ++depth, true});
    start = end + 1;
  }
  const std::size_t current_row = rows.size() - 1;
  for (const std::u16string& name : SortedCaseBlind(platform::ListFolders(current))) {
    rows.push_back({name, Child(current, name), depth + 1, false});
  }
  view_.ShowFolders(side, rows, current_row);
}

std::u16string FormLogic::SourceText() { return platform::ToDriveForm(view_.SourceText()); }

std::u16string FormLogic::DestinationText() {
  return platform::ToDriveForm(view_.DestinationText());
}

void FormLogic::SetMessageLine(std::u16string_view text) { view_.SetMessageLine(text); }

void FormLogic::ProcessPendingEvents() { view_.ProcessPendingEvents(); }

void FormLogic::ShowMessage(std::u16string_view text, convert::MessageIcon icon,
                            std::u16string_view title) {
  BoxIcon shown = BoxIcon::kNone;
  if (icon == convert::MessageIcon::kInformation) shown = BoxIcon::kInformation;
  if (icon == convert::MessageIcon::kExclamation) shown = BoxIcon::kExclamation;
  view_.ShowBox({.text = std::u16string(text), .title = std::u16string(title), .icon = shown});
}

bool FormLogic::AskYesNo(std::u16string_view text) {
  return view_.ShowBox({.text = std::u16string(text), .icon = BoxIcon::kQuestion, .yes_no = true});
}

void FormLogic::SelectDestinationText() { view_.SelectDestinationText(); }

void FormLogic::SetBusy(bool busy) { view_.SetBusy(busy); }

void FormLogic::ReportFailure(std::u16string_view text) {
  view_.ShowBox({.text = std::u16string(text), .icon = BoxIcon::kCritical});
}

}  // namespace m2v::app
