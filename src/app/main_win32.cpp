// windows.h comes with the window's header, and must come before commctrl.h.
#include "app/form1_win32.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  m2v::app::Win32Form1 form(instance);
  if (!form.Form_Load()) return m2v::app::kExitNoPatternFolder;
  return form.Run();
}
