/* A DLL planted beside a package: whatever loads it, under whatever name, it
   leaves a mark named after itself, C:\planted-NAME.txt. It imports from
   kernel32 alone, so that a copy named after any other DLL can load. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    char self[MAX_PATH], mark[MAX_PATH + 16] = "C:\\planted-";
    const char* name = self;
    const DWORD n = GetModuleFileNameA(instance, self, MAX_PATH);
    for (DWORD i = 0; i < n && i < MAX_PATH; ++i)
      if (self[i] == '\\') name = self + i + 1;
    if (n == 0 || n >= MAX_PATH) name = "unknown";
    lstrcatA(lstrcatA(mark, name), ".txt");
    HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  return TRUE;
}
