#include "app/form1_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>

namespace m2v::app {
namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
// The client area as designed, in twips.
constexpr int kClientWidth = 9090;
constexpr int kClientHeight = 6495;
constexpr int kTwipsPerInch = 1440;
constexpr int kIndentTwips = 120;  // one level of a folder list
// A drop-down list is as tall as its open list; the closed part is the designed height.
constexpr int kDropDownRows = 8;

constexpr DWORD kFrameStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX;
constexpr DWORD kFolderListStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP |
                                   WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                   LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
constexpr DWORD kDriveListStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kFileListStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL |
                                 WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;
constexpr DWORD kTextStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX;

// Every control in tab order, at its place in the window's client area (a frame's
// controls at the frame's place plus their own), in twips.
struct ControlPlace {
  int id;
  const wchar_t* kind;
  DWORD style;
  const wchar_t* caption;
  int left, top, width, height;
};
constexpr std::array<ControlPlace, 15> kControls = {{
    {kFrame1, WC_BUTTONW, kFrameStyle, L"変換元ファイル名選択", 240, 1680, 5175, 2895},
    {kDir1, WC_LISTBOXW, kFolderListStyle, L"", 240 + 2640, 1680 + 420, 2415, 1530},
    {kDrive1, WC_COMBOBOXW, kDriveListStyle, L"", 240 + 2640, 1680 + 2220, 2415, 390},
    {kFile1, WC_LISTBOXW, kFileListStyle, L"", 240 + 120, 1680 + 420, 2415, 2190},
    {kFrame2, WC_BUTTONW, kFrameStyle, L"変換先フォルダ名選択", 5580, 1680, 3135, 2895},
    {kDir2, WC_LISTBOXW, kFolderListStyle, L"", 5580 + 180, 1680 + 420, 2595, 1530},
    {kDrive2, WC_COMBOBOXW, kDriveListStyle, L"", 5580 + 180, 1680 + 2220, 2595, 390},
    {kCommand1, WC_BUTTONW, kButtonStyle, L"実  行", 2520, 5580, 1935, 555},
    {kCommand2, WC_BUTTONW, kButtonStyle, L"終  了", 5160, 5580, 2055, 555},
    {kText1, WC_EDITW, kTextStyle, L"", 2400, 300, 6255, 405},
    {kLabel1, WC_STATICW, kLabelStyle, L"変換元ファイル名：", 240, 360, 2235, 315},
    {kLabel2, WC_STATICW, kLabelStyle, L"変換先フォルダ名：", 240, 960, 2235, 315},
    {kText2, WC_EDITW, kTextStyle, L"", 2400, 900, 6255, 405},
    {kFrame3, WC_BUTTONW, kFrameStyle, L"メッセージ", 240, 4740, 8475, 675},
    {kLabel3, WC_STATICW, kLabelStyle, L"", 240 + 180, 4740 + 240, 8175, 315},
}};

const wchar_t* Wide(std::u16string_view text, std::wstring& buffer) {
  buffer.assign(text.begin(), text.end());
  return buffer.c_str();
}

std::u16string WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return {text.begin(), text.end()};
}

void SetText(HWND hwnd, std::u16string_view text) {
  std::wstring buffer;
  SetWindowTextW(hwnd, Wide(text, buffer));
}

std::u16string ListText(HWND list, LRESULT index, bool combo) {
  const UINT length_message = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const UINT text_message = combo ? CB_GETLBTEXT : LB_GETTEXT;
  const LRESULT length = SendMessageW(list, length_message, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, text_message, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return {text.begin(), text.end()};
}

UINT BoxIconFlags(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kInformation:
      return MB_ICONINFORMATION;
    case BoxIcon::kExclamation:
      return MB_ICONEXCLAMATION;
    case BoxIcon::kQuestion:
      return MB_ICONQUESTION;
    case BoxIcon::kCritical:
      return MB_ICONERROR;
    case BoxIcon::kNone:
      break;
  }
  return 0;
}

}  // namespace

Win32Form1::Win32Form1(HINSTANCE instance) : instance_(instance), form_(*this) {
  grey_ = CreateSolidBrush(kGrey);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &Win32Form1::WindowProc;
  window_class.hInstance = instance_;
  window_class.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  window_class.hIconSm = window_class.hIcon;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = grey_;
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);

  // A fixed-size window: a caption, a system menu and minimising, no resizing.
  // No WS_CLIPCHILDREN: the frames paint no inside of their own, the window's grey shows.
  constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  std::wstring caption;
  hwnd_ = CreateWindowExW(WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT, kWindowClass,
                          Wide(kCaption, caption), style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                          nullptr, nullptr, instance_, this);
  dpi_ = GetDpiForWindow(hwnd_);
  CreateControls();
  Layout();
}

Win32Form1::~Win32Form1() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (font_ != nullptr) DeleteObject(font_);
  DeleteObject(grey_);
}

int Win32Form1::Run() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The dialog manager gives the tab key its walk through the controls.
    if (IsDialogMessageW(hwnd_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

int Win32Form1::Scale(int twips) const {
  return MulDiv(twips, static_cast<int>(dpi_), kTwipsPerInch);
}

void Win32Form1::CreateControls() {
  // Created in tab order, which the dialog manager takes from the order in which they lie
  // on top of each other.
  for (const ControlPlace& place : kControls) {
    CreateWindowExW(0, place.kind, place.caption, place.style, 0, 0, 0, 0, hwnd_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance_, nullptr);
  }
  // The labels go under the text fields whose left edges they overlap, and the frames
  // under everything, as containers do. Neither takes the tab key.
  for (const int below : {kLabel1, kLabel2, kLabel3, kFrame1, kFrame2, kFrame3}) {
    SetWindowPos(Control(below), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  SetWindowSubclass(Control(kFile1), &Win32Form1::FileListProc, 0,
                    reinterpret_cast<DWORD_PTR>(this));
}

void Win32Form1::Layout() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  for (const ControlPlace& place : kControls) {
    HWND control = Control(place.id);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const bool combo = place.id == kDrive1 || place.id == kDrive2;
    const int height = Scale(place.height) * (combo ? kDropDownRows : 1);
    SetWindowPos(control, nullptr, Scale(place.left), Scale(place.top), Scale(place.width), height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (combo) {
      // The closed list keeps its designed height, whatever the font.
      SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(place.height) - 6);
    }
  }
  for (const int list : {kDir1, kDir2}) {
    SendMessageW(Control(list), LB_SETITEMHEIGHT, 0, -metrics.lfMessageFont.lfHeight + Scale(45));
  }
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;

  RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK Win32Form1::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return self->Handle(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK Win32Form1::FileListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR, DWORD_PTR self) {
  if (message != WM_LBUTTONDOWN) return DefSubclassProc(hwnd, message, wparam, lparam);
  // A click on the file already selected changes no selection but is still a click.
  const LRESULT before = SendMessageW(hwnd, LB_GETCURSEL, 0, 0);
  const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
  const LRESULT hit = SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, lparam);
  if (before != LB_ERR && HIWORD(hit) == 0 && LOWORD(hit) == before &&
      SendMessageW(hwnd, LB_GETCURSEL, 0, 0) == before) {
    auto* form = reinterpret_cast<Win32Form1*>(self);
    form->form_.File1_Click(ListText(hwnd, before, false));
  }
  return result;
}

LRESULT Win32Form1::Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Labels, frames and the corners of buttons paint the window's grey.
      auto* dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, kGrey);
      return reinterpret_cast<LRESULT>(grey_);
    }
    case WM_DRAWITEM:
      DrawFolderRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_MOUSEMOVE:
      if (IsBackground({static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))})) {
        form_.Picture1_MouseMove();
      }
      return 0;
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        return TRUE;
      }
      break;
    case WM_DROPFILES: {
      auto* drop = reinterpret_cast<HDROP>(wparam);
      std::vector<std::u16string> files;
      const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring file(length + 1, L'\0');
        DragQueryFileW(drop, i, file.data(), length + 1);
        file.resize(length);
        files.emplace_back(file.begin(), file.end());
      }
      DragFinish(drop);
      form_.Drop(files);
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wparam);
      Layout();
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void Win32Form1::OnCommand(int id, int code) {
  switch (id) {
    case kDrive1:
    case kDrive2: {
      const Side side = id == kDrive1 ? Side::kSource : Side::kDestination;
      if (code == CBN_DROPDOWN) form_.RereadDrives(side);
      if (code == CBN_SELCHANGE) {
        HWND list = Control(id);
        form_.ChooseDrive(side, ListText(list, SendMessageW(list, CB_GETCURSEL, 0, 0), true));
      }
      break;
    }
    case kDir1:
    case kDir2:
      if (code == LBN_DBLCLK) OpenSelectedFolder(id == kDir1 ? Side::kSource : Side::kDestination);
      break;
    case kFile1:
      if (code == LBN_SELCHANGE) {
        HWND list = Control(kFile1);
        const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR) form_.File1_Click(ListText(list, selected, false));
      }
      break;
    case kCommand1:
      if (code == BN_CLICKED) form_.Command1_Click();
      break;
    case kCommand2:
      if (code == BN_CLICKED) form_.Command2_Click();
      break;
    case IDOK: {
      // Return in a folder list opens the folder, as a double-click does.
      const HWND focus = GetFocus();
      if (focus == Control(kDir1)) OpenSelectedFolder(Side::kSource);
      if (focus == Control(kDir2)) OpenSelectedFolder(Side::kDestination);
      break;
    }
    default:
      break;
  }
}

void Win32Form1::OpenSelectedFolder(Side side) {
  const std::vector<FolderRow>& rows = side == Side::kSource ? dir1_rows_ : dir2_rows_;
  const LRESULT selected =
      SendMessageW(Control(side == Side::kSource ? kDir1 : kDir2), LB_GETCURSEL, 0, 0);
  if (selected < 0 || static_cast<std::size_t>(selected) >= rows.size()) return;
  // The rows are replaced while the folder opens: keep the path.
  const std::u16string path = rows[static_cast<std::size_t>(selected)].path;
  form_.OpenFolder(side, path);
}

void Win32Form1::DrawFolderRow(const DRAWITEMSTRUCT& item) {
  const std::vector<FolderRow>& rows = item.CtlID == kDir1 ? dir1_rows_ : dir2_rows_;
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= rows.size()) return;
  const FolderRow& row = rows[item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));

  // A small folder, open ones lighter, each level a step further right.
  RECT glyph = item.rcItem;
  glyph.left += Scale(45) + row.depth * Scale(kIndentTwips);
  const int size = Scale(150);
  glyph.top += (item.rcItem.bottom - item.rcItem.top - size) / 2;
  glyph.right = glyph.left + size + size / 4;
  glyph.bottom = glyph.top + size;
  HBRUSH fill = CreateSolidBrush(row.open ? RGB(255, 232, 140) : RGB(230, 190, 60));
  HGDIOBJ old_brush = SelectObject(item.hDC, fill);
  HGDIOBJ old_pen = SelectObject(item.hDC, GetStockObject(BLACK_PEN));
  Rectangle(item.hDC, glyph.left, glyph.top, glyph.right, glyph.bottom);
  SelectObject(item.hDC, old_pen);
  SelectObject(item.hDC, old_brush);
  DeleteObject(fill);

  RECT text = item.rcItem;
  text.left = glyph.right + Scale(60);
  std::wstring buffer;
  DrawTextW(item.hDC, Wide(row.text, buffer), -1, &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
}

bool Win32Form1::IsBackground(POINT client) const {
  // Moves over a control, labels and frames included, are not over the background.
  return ChildWindowFromPointEx(hwnd_, client, CWP_SKIPINVISIBLE) == hwnd_;
}

void Win32Form1::CentreOnScreen() {
  RECT window;
  GetWindowRect(hwnd_, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::u16string Win32Form1::SourceText() { return WindowText(Control(kText1)); }

void Win32Form1::SetSourceText(std::u16string_view text) { SetText(Control(kText1), text); }

std::u16string Win32Form1::DestinationText() { return WindowText(Control(kText2)); }

void Win32Form1::SetDestinationText(std::u16string_view text) { SetText(Control(kText2), text); }

void Win32Form1::SelectDestinationText() {
  SetFocus(Control(kText2));
  SendMessageW(Control(kText2), EM_SETSEL, 0, -1);
}

void Win32Form1::ShowDrives(Side side, const std::vector<std::u16string>& drives,
                            std::size_t current) {
  HWND list = Control(side == Side::kSource ? kDrive1 : kDrive2);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  std::wstring buffer;
  for (const std::u16string& drive : drives) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(drive, buffer)));
  }
  SendMessageW(list, CB_SETCURSEL, current, 0);
}

void Win32Form1::ShowFolders(Side side, const std::vector<FolderRow>& rows, std::size_t current) {
  (side == Side::kSource ? dir1_rows_ : dir2_rows_) = rows;
  HWND list = Control(side == Side::kSource ? kDir1 : kDir2);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  std::wstring buffer;
  for (const FolderRow& row : rows) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(row.text, buffer)));
  }
  SendMessageW(list, LB_SETCURSEL, current, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void Win32Form1::ShowFiles(const std::vector<std::u16string>& names) {
  HWND list = Control(kFile1);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  std::wstring buffer;
  for (const std::u16string& name : names) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name, buffer)));
  }
}

void Win32Form1::SetMessageLine(std::u16string_view text) { SetText(Control(kLabel3), text); }

void Win32Form1::ProcessPendingEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The loop of Run() must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (hwnd_ != nullptr && IsDialogMessageW(hwnd_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool Win32Form1::ShowBox(const BoxContent& box) {
  std::wstring text;
  std::wstring title;
  Wide(box.text, text);
  Wide(box.title.empty() ? std::u16string_view(kApplicationTitle) : box.title, title);
  // Before the window is shown a box stands alone.
  HWND owner = hwnd_ != nullptr && IsWindowVisible(hwnd_) ? hwnd_ : nullptr;
  const UINT flags = (box.yes_no ? MB_YESNO : MB_OK) | BoxIconFlags(box.icon);
  int answer = MessageBoxW(owner, text.c_str(), title.c_str(), flags);
  // Windows lets only Yes or No end a Yes/No box; Wine also ends it on Esc. Ask again.
  while (box.yes_no && answer != IDYES && answer != IDNO) {
    answer = MessageBoxW(owner, text.c_str(), title.c_str(), flags);
  }
  return answer == IDYES;
}

void Win32Form1::SetBusy(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(busy ? 32514 : 32512)));  // IDC_WAIT, IDC_ARROW
}

void Win32Form1::Close() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

}  // namespace m2v::app
