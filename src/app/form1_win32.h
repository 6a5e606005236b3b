#pragma once

// The one window drawn with the Win32 API and common controls: the controls at their
// designed places scaled to the monitor's DPI, native message boxes, the wait cursor and
// dropped files. Every decision is the form's; this class only shows and reports.

#include <windows.h>

#include <string>
#include <vector>

#include "app/form_logic.h"
#include "app/form_view.h"

namespace m2v::app {

// Control identifiers: 100 + the control's tab index, so that a tool driving the window
// (scripts/test-windows) finds Text1 as 110 and Label3 as 115.
enum ControlId : int {
  kFrame1 = 101,
  kDir1,
  kDrive1,
  kFile1,
  kFrame2,
  kDir2,
  kDrive2,
  kCommand1,
  kCommand2,
  kText1,
  kLabel1,
  kLabel2,
  kText2,
  kFrame3,
  kLabel3,
};

inline constexpr wchar_t kWindowClass[] = L"Mirta2veskForm1";
// The title of boxes that have none of their own.
inline constexpr char16_t kApplicationTitle[] = u"mirta2vesk";

class Win32Form1 : private FormView {
 public:
  explicit Win32Form1(HINSTANCE instance);
  ~Win32Form1() override;
  Win32Form1(const Win32Form1&) = delete;
  Win32Form1& operator=(const Win32Form1&) = delete;

  // Start-up, before the window is shown; false when it refused (the box was shown).
  bool Form_Load() { return form_.Form_Load(); }
  // Shows the window and handles its events until it is closed. The exit status.
  int Run();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK FileListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void Layout();
  void OnCommand(int id, int code);
  void OpenSelectedFolder(Side side);
  void DrawFolderRow(const DRAWITEMSTRUCT& item);
  bool IsBackground(POINT client) const;
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  int Scale(int twips) const;

  void CentreOnScreen() override;
  std::u16string SourceText() override;
  void SetSourceText(std::u16string_view text) override;
  std::u16string DestinationText() override;
  void SetDestinationText(std::u16string_view text) override;
  void SelectDestinationText() override;
  void ShowDrives(Side side, const std::vector<std::u16string>& drives,
                  std::size_t current) override;
  void ShowFolders(Side side, const std::vector<FolderRow>& rows, std::size_t current) override;
  void ShowFiles(const std::vector<std::u16string>& names) override;
  void SetMessageLine(std::u16string_view text) override;
  void ProcessPendingEvents() override;
  bool ShowBox(const BoxContent& box) override;
  void SetBusy(bool busy) override;
  void Close() override;

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  HBRUSH grey_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  bool busy_ = false;
  std::vector<FolderRow> dir1_rows_;
  std::vector<FolderRow> dir2_rows_;
  FormLogic form_;
};

}  // namespace m2v::app
