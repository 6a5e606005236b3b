#pragma once

// The one window's behaviour, whatever toolkit draws it: start-up and its refusal, the
// drive, folder and file lists, the two fields, the conversion run, the message line and
// dropped files. A view turns a person's actions into calls of this class and shows what
// it is told through FormView.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/form_view.h"
#include "convert/run_host.h"

namespace m2v::app {

inline constexpr char16_t kCaption[] = u"ミルタ版 -> Vesk 変換プログラム";
inline constexpr char16_t kSurveyPattern[] = u"*.ddf";
// The program's exit status when start-up refused to open the window.
inline constexpr int kExitNoPatternFolder = 1;

class FormLogic : private convert::RunHost {
 public:
  explicit FormLogic(FormView& view);

  // Start-up, before the window is shown. False after the pattern-folder message: the
  // program must then end without showing the window.
  bool Form_Load();

  // The person chose a drive in a drive list (Drive1_Change, Drive2_Change); "D:", or any
  // text that starts with the drive's letter and ":". A drive that cannot be read puts
  // the list back on the last good one.
  void ChooseDrive(Side side, std::u16string_view drive);
  // A drive list is about to open: the drives are read again, as media and mapped drives
  // come and go.
  void RereadDrives(Side side);
  // A folder list is set to a folder (a drive-form path, absolute or relative to the
  // current folders, or a drive alone meaning its current folder), by the person opening
  // one of its lines or by a handler; Dir1_Change or Dir2_Change follows when the folder
  // differs. False when the folder cannot be read: the list then shows what is there now.
  bool OpenFolder(Side side, const std::u16string& path);
  // The person clicked a file of the file list (its name), even the one already selected.
  void File1_Click(std::u16string_view name);
  void Command1_Click();
  void Command2_Click();
  // The mouse moved over the window's background, not over one of its controls.
  void Picture1_MouseMove();

  // Files dragged over the window, drive-form: whether dropping them would do anything.
  // Survey files only, one or several.
  bool AcceptsDrop(const std::vector<std::u16string>& files) const;
  // Files dropped on the window, drive-form. One survey file fills the source field.
  // Several are converted, after one question, each into a folder of its name under the
  // destination field's folder, and one box sums up what became of each.
  void Drop(const std::vector<std::u16string>& files);

  const std::u16string& patternFolder() const { return PatternFolder; }
  std::int16_t messageShown() const { return MessageShown; }
  // The folder a folder list shows, "D:\SURVEY" ("D:\" at a root), and the drive of a
  // drive list.
  const std::u16string& folder(Side side) const { return half(side).folder; }
  char16_t drive(Side side) const { return half(side).drive; }

 private:
  // What one half of the window holds: its drive list and its folder list.
  struct Half {
    std::vector<char16_t> drives;
    char16_t drive = 0;
    char16_t last_drive = 0;  // LastDrive1 / LastDrive2: none until a switch succeeded
    std::u16string folder;
  };

  Half& half(Side side) { return side == Side::kSource ? source_ : destination_; }
  const Half& half(Side side) const { return side == Side::kSource ? source_ : destination_; }

  void DriveChange(Side side);
  void PutBackDrive(Side side);
  void Dir1_Change();
  void Dir2_Change();
  bool SetFolder(Side side, const std::u16string& asked);
  void ShowDrives(Side side);
  void ShowFolders(Side side);
  void ConvertDropped(const std::vector<std::u16string>& surveys);

  // The conversion run's view of the window.
  std::u16string SourceText() override;
  std::u16string DestinationText() override;
  void SetMessageLine(std::u16string_view text) override;
  void ProcessPendingEvents() override;
  void ShowMessage(std::u16string_view text, convert::MessageIcon icon,
                   std::u16string_view title) override;
  bool AskYesNo(std::u16string_view text) override;
  void SelectDestinationText() override;
  void SetBusy(bool busy) override;
  void ReportFailure(std::u16string_view text) override;

  FormView& view_;
  std::u16string PatternFolder;
  std::int16_t MessageShown = 0;
  Half source_;
  Half destination_;
};

// Names in the order the platform's list controls show them: alphabetical, letter case
// aside (half- and full-width Latin letters).
std::vector<std::u16string> SortedCaseBlind(std::vector<std::u16string> names);

// Whether a file name matches a wildcard pattern ("*" any run, "?" one character),
// without regard to letter case, as the platform's file names are compared.
bool MatchesPattern(std::u16string_view name, std::u16string_view pattern);

}  // namespace m2v::app
