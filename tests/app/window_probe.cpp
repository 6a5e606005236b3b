// Reads the Windows window from outside, as a person reads it, for scripts/test-windows:
//   window_probe text ID   the text of the window's control ID (Text1 is 110, Label3 115)
//   window_probe at X Y    the control ID on top at the client point (X, Y)
//   window_probe box       the title, text and buttons of the message box over it, a line each
// Prints UTF-8; exit status 1 when there is no such window.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "app/form1_win32.h"

namespace {

// WM_GETTEXT, not GetWindowTextW: across processes the latter gives a control's first
// caption, not what it shows now.
std::wstring TextOf(HWND hwnd) {
  const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void Print(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

// A message box is a dialog owned by the form's window: its text and its buttons.
BOOL CALLBACK PrintChildren(HWND child, LPARAM) {
  if (const std::wstring text = TextOf(child); !text.empty()) Print(text);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HWND form = FindWindowW(m2v::app::kWindowClass, nullptr);
  if (form == nullptr || argc < 2) return 1;
  if (std::wcscmp(argv[1], L"text") == 0 && argc == 3) {
    HWND control = GetDlgItem(form, std::wcstol(argv[2], nullptr, 10));
    if (control == nullptr) return 1;
    Print(TextOf(control));
    return 0;
  }
  if (std::wcscmp(argv[1], L"at") == 0 && argc == 4) {
    const POINT point{std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10)};
    Print(std::to_wstring(GetDlgCtrlID(ChildWindowFromPointEx(form, point, CWP_SKIPINVISIBLE))));
    return 0;
  }
  if (std::wcscmp(argv[1], L"box") == 0) {
    for (HWND box = FindWindowW(L"#32770", nullptr); box != nullptr;
         box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
      if (GetWindow(box, GW_OWNER) != form || !IsWindowVisible(box)) continue;
      Print(TextOf(box));
      EnumChildWindows(box, &PrintChildren, 0);
      return 0;
    }
  }
  return 1;
}
