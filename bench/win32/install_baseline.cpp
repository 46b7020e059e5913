// The bare system calls of a font install, for comparison with the stub's
// silent install: for each font file named on the command line, copy it into
// the Fonts folder, write its Fonts key value and load it. One broadcast.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  char fonts[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_FONTS, nullptr, 0, fonts))) return 1;
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                    &key) != ERROR_SUCCESS)
    return 1;
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    const char* name = std::strrchr(argv[i], '\\');
    name = name ? name + 1 : argv[i];
    char target[MAX_PATH * 2];
    std::snprintf(target, sizeof target, "%s\\%s", fonts, name);
    char value[MAX_PATH];
    std::snprintf(value, sizeof value, "%s (TrueType)", name);
    if (!CopyFileA(argv[i], target, FALSE) ||
        RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                       static_cast<DWORD>(std::strlen(name))) != ERROR_SUCCESS ||
        !AddFontResourceA(target))
      ++failures;
  }
  RegCloseKey(key);
  SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  return failures;
}
