#pragma once

// What the window shows a person, as the form asks for it. Each toolkit's window implements
// this; none of these calls raises one of the form's events again (a list filled here is no
// choice of the person's).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::app {

// The left half picks the survey, the right half the destination folder.
enum class Side { kSource, kDestination };

enum class BoxIcon { kNone, kInformation, kExclamation, kQuestion, kCritical };

struct BoxContent {
  std::u16string text{};
  std::u16string title{};  // empty: the application's own
  BoxIcon icon = BoxIcon::kNone;
  bool yes_no = false;  // Yes and No buttons instead of OK
};

// One line of a folder list: the levels from the root down to the folder shown ("open"),
// then its subfolders, each drawn `depth` steps to the right.
struct FolderRow {
  std::u16string text;  // "D:\" for the root, else the folder's name
  std::u16string path;  // drive-form, the folder this line opens
  int depth = 0;
  bool open = false;
};

class FormView {
 public:
  virtual ~FormView() = default;

  // The window in the middle of the screen.
  virtual void CentreOnScreen() = 0;

  // The two text fields: the survey (Text1) and the destination folder (Text2).
  virtual std::u16string SourceText() = 0;
  virtual void SetSourceText(std::u16string_view text) = 0;
  virtual std::u16string DestinationText() = 0;
  virtual void SetDestinationText(std::u16string_view text) = 0;
  // Gives the destination field the focus and selects its whole text.
  virtual void SelectDestinationText() = 0;

  // A drive list: the drives ("D:") and the one it shows.
  virtual void ShowDrives(Side side, const std::vector<std::u16string>& drives,
                          std::size_t current) = 0;
  // A folder list: its lines and the one marked as the folder shown.
  virtual void ShowFolders(Side side, const std::vector<FolderRow>& rows, std::size_t current) = 0;
  // The survey files of the source folder, none selected.
  virtual void ShowFiles(const std::vector<std::u16string>& names) = 0;

  // The message line (Label3).
  virtual void SetMessageLine(std::u16string_view text) = 0;
  // Lets the window handle its pending events once, so that what changed is drawn.
  virtual void ProcessPendingEvents() = 0;
  // A modal message box; true when a Yes/No box was answered Yes.
  virtual bool ShowBox(const BoxContent& box) = 0;
  // The wait cursor on or off.
  virtual void SetBusy(bool busy) = 0;
  // Closes the window, which ends the program.
  virtual void Close() = 0;
};

}  // namespace m2v::app
