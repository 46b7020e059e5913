/* Loads each DLL its command line names with the default search, to show that
   a planted one is found where nothing restricts the search. It imports from
   kernel32 alone, so that a copy planted beside it under another name is
   loaded by the call, not before. */
#include <windows.h>

void WINAPI Start(void) {
  const char* p = GetCommandLineA();
  char name[MAX_PATH];
  UINT failed = 0;
  if (*p == '"') {
    for (++p; *p && *p != '"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != ' ') ++p;
  }
  for (;;) {
    int n = 0;
    while (*p == ' ') ++p;
    if (!*p) break;
    while (*p && *p != ' ' && n < MAX_PATH - 1) name[n++] = *p++;
    name[n] = 0;
    if (!LoadLibraryA(name)) failed = 1;
  }
  ExitProcess(failed);
}
