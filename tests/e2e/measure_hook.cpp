// e2e-measure.dll: loaded by the system into the program under test when the
// driver hooks its window thread, so that a control's text is measured with
// the control's own font (a font handle is no use in another process).
//
// The driver sends the registered message "e2e-measure" to a control with the
// DrawText flags in wParam and the width to wrap at in lParam; the hook leaves
// the size DrawText computed in the control's properties "e2e-cx", "e2e-cy".
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MeasureHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT kMeasure = RegisterWindowMessageA("e2e-measure");
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == kMeasure) {
    const HWND hwnd = call->hwnd;
    char text[2048] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    RECT r = {0, 0, static_cast<LONG>(call->lParam), 0};
    HDC dc = GetDC(hwnd);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text, -1, &r, static_cast<UINT>(call->wParam) | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    SetPropA(hwnd, "e2e-cx", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(r.right - r.left)));
    SetPropA(hwnd, "e2e-cy", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(r.bottom - r.top)));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
