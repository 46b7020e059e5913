// The stub's entry point: the services, frmMain's start-up and the message loop.
#include "win32/win32.h"
#include <objbase.h>

#include "shell/frm_main.h"
#include "win32/runtime.h"
#include "win32/system_services.h"
#include "win32/ui.h"

// The loader reads this record before any of the program runs: its DLL flags
// take the DLLs the executable imports from the system folder only, where a
// call at the start of WinMain would come too late for them (Windows 10
// version 1607 on; older systems ignore the field). The record ends after the
// security cookie, 64 bytes, the size every loader knows for a 32-bit image.
struct LoadConfiguration {
  DWORD size;
  DWORD unusedBefore[12];
  WORD csdVersion;
  WORD dependentLoadFlags;
  DWORD editList;
  DWORD securityCookie;
};
static_assert(sizeof(LoadConfiguration) == 64 &&
                  offsetof(LoadConfiguration, dependentLoadFlags) == 54,
              "the 32-bit load configuration's layout");
extern "C" __attribute__((used)) const LoadConfiguration _load_config_used = {
    sizeof(LoadConfiguration), {}, 0, LOAD_LIBRARY_SEARCH_SYSTEM32, 0, 0};

namespace {

// Laid out from twips at the real resolution, the windows need no scaling by
// the system; older systems lack the call.
void DeclareDpiAware() {
  using Fn = BOOL(WINAPI*)();
  if (HMODULE user = GetModuleHandleA("user32.dll"))
    if (auto fn = reinterpret_cast<Fn>(
            reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware"))))
      fn();
}

// A package run from a downloads folder must not pick up a DLL planted beside
// it: from here on, DLLs load from the system folder only. Older systems lack
// the call; there the current folder at least leaves the search.
void RestrictDllSearch() {
  using Fn = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto fn = kernel ? reinterpret_cast<Fn>(reinterpret_cast<void*>(
                         GetProcAddress(kernel, "SetDefaultDllDirectories")))
                   : nullptr;
  if (!fn || !fn(kSearchSystem32)) SetDllDirectoryA("");
  // The visual styles delay-load this when they first draw a bar or a scroll
  // arrow, and a delay load may search the program's folder (Wine's does):
  // loaded now by its full path, that load finds it loaded already.
  char path[MAX_PATH + 16];
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n > 0 && n < MAX_PATH) LoadLibraryA(lstrcatA(path, "\\msimg32.dll"));
}

// Namespace scope, not function statics: a guarded static would pull the
// threads library in for a program with one thread.
sorvela::win32::Win32Files files;
sorvela::win32::Win32Registry registry;
sorvela::win32::Win32Fonts fonts;
sorvela::win32::Win32Shell shell;
sorvela::win32::Win32System system_;
sorvela::win32::Win32Windows windows;
sorvela::FrmMain form(sorvela::Services{files, registry, fonts, shell, system_, windows});

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictDllSearch();
  DeclareDpiAware();
  // The picture loader and the shell want a single-threaded apartment.
  CoInitialize(nullptr);

  form.Form_Initialize();
  windows.Attach(&form);
  if (!windows.Create(instance)) return sorvela::exit_codes::kFailed;
  sorvela::win32::OnOutOfMemory([] { form.OutOfMemory(); });
  form.Form_Load();

  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (windows.PreTranslate(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
