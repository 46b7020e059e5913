// The bare system calls of an extraction, for comparison with the stub's
// start-up: reads the package named on the command line from its end and
// writes each entry into the temporary folder with CreateFileA, ReadFile,
// WriteFile and CloseHandle, then shows a box. Without an argument it shows
// the box at once, which times the process and the box alone.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool ReadAt(HANDLE file, unsigned long long offset, void* buffer, DWORD n) {
  LONG high = static_cast<LONG>(offset >> 32);
  DWORD read = 0;
  return SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN) !=
             INVALID_SET_FILE_POINTER &&
         ReadFile(file, buffer, n, &read, nullptr) && read == n;
}

int Extract(const char* packagePath) {
  HANDLE package = CreateFileA(packagePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (package == INVALID_HANDLE_VALUE) return 1;
  LARGE_INTEGER length;
  GetFileSizeEx(package, &length);
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char field[51] = {};
  unsigned long long end = length.QuadPart - 519;
  if (!ReadAt(package, end, field, 5)) return 1;
  const int count = std::atoi(field);
  std::vector<char> buffer(1 << 20);
  for (int k = 0; k < count; ++k) {
    if (!ReadAt(package, end - 50, field, 50)) return 1;
    field[50] = '\0';
    const DWORD size = static_cast<DWORD>(std::strtoul(field + 40, nullptr, 10));
    field[40] = '\0';
    for (int i = 39; i >= 0 && (field[i] == ' ' || field[i] == '\0'); --i) field[i] = '\0';
    char path[MAX_PATH * 2];
    std::strcpy(path, temp);
    std::strcat(path, field);
    HANDLE out =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 1;
    unsigned long long at = end - 50 - size;
    for (DWORD left = size; left > 0;) {
      const DWORD piece = left < buffer.size() ? left : static_cast<DWORD>(buffer.size());
      DWORD written = 0;
      if (!ReadAt(package, at, buffer.data(), piece) ||
          !WriteFile(out, buffer.data(), piece, &written, nullptr) || written != piece)
        return 1;
      at += piece;
      left -= piece;
    }
    CloseHandle(out);
    end -= 50 + size;
  }
  CloseHandle(package);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int result = argc > 1 ? Extract(argv[1]) : 0;
  MessageBoxA(nullptr, result ? "failed" : "done", "Baseline", MB_OK);
  return result;
}
