// Files, registry, fonts, shell and process services on the "A" entry points;
// only the package file is opened by its Unicode path.
#include "win32/system_services.h"

#include "win32/win32.h"
#include <exdisp.h>
#include <objbase.h>
#include <shellapi.h>
#include <sddl.h>
#include <shldisp.h>
#include <shlobj.h>
#include <ntsecapi.h>

#include <cstring>
#include <vector>

#include "base/code_page.h"
#include "base/file_names.h"
#include "base/text.h"
#include "package/trailer.h"
#include "shellfolders/folders.h"
#include "win32/owned.h"

namespace sorvela::win32 {
namespace {

std::string Describe(DWORD code) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = n && text ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  return TrimDescription(std::move(result));
}

Error SystemError(DWORD code) {
  return sorvela::SystemError(static_cast<int32_t>(code), Describe(code));
}

// Some calls fail without setting a code; an Error of code 0 would read as
// success, so those get a stand-in.
Error LastError(DWORD standIn = ERROR_GEN_FAILURE) {
  DWORD code = GetLastError();
  if (code == 0) code = standIn;
  return SystemError(code);
}

class Win32ReadFile final : public ReadFile {
 public:
  explicit Win32ReadFile(HANDLE h) : handle_(h) {}

  uint64_t Length() const override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(handle_.get(), &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
  }

  Error ReadAt(uint64_t offset, void* buffer, size_t n) override {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN)) return LastError();
    char* out = static_cast<char*>(buffer);
    while (n > 0) {
      const DWORD want = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
      DWORD got = 0;
      if (!::ReadFile(handle_.get(), out, want, &got, nullptr)) return LastError();
      if (got == 0) return MakeError(ErrorKind::kPastEnd, "Input past end of file");
      out += got;
      n -= got;
    }
    return Error::Ok();
  }

 private:
  Handle handle_;
};

class Win32WriteFile final : public WriteFile {
 public:
  explicit Win32WriteFile(HANDLE h) : handle_(h) {}

  Error Append(const void* data, size_t n) override {
    const char* in = static_cast<const char*>(data);
    while (n > 0) {
      const DWORD want = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
      DWORD written = 0;
      if (!::WriteFile(handle_.get(), in, want, &written, nullptr)) return LastError();
      if (written == 0) return LastError(ERROR_HANDLE_DISK_FULL);
      in += written;
      n -= written;
    }
    return Error::Ok();
  }

  Error Close() override {
    const HANDLE h = handle_.release();
    if (h && !CloseHandle(h)) return LastError();
    return Error::Ok();
  }

 private:
  Handle handle_;
};

HKEY ToHkey(RegRoot root) {
  // The predefined roots are sign-extended on wider pointers.
  return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(root)));
}

Error Result(LONG code) { return code == ERROR_SUCCESS ? Error::Ok() : SystemError(code); }

}  // namespace

namespace {

// Wide strings live in vectors: the library's wide string would add tens of
// kilobytes to the stub. Each holds its terminating NUL.
using WidePath = std::vector<wchar_t>;

WidePath ModulePathW() {
  WidePath path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return WidePath(1, L'\0');
    if (n < path.size()) {
      path.resize(n + 1);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The ANSI form of a path, or "" when the ANSI code page can't carry it exactly.
std::string ExactAnsi(const WidePath& path) {
  const int length = static_cast<int>(path.size()) - 1;
  if (length <= 0) return "";
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.data(), length, nullptr, 0,
                                    nullptr, &lossy);
  if (n <= 0 || lossy) return "";
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.data(), length, ansi.data(), n, nullptr,
                      &lossy);
  return lossy ? "" : ansi;
}

// Its exact ANSI form, else that of its short form when the volume keeps
// one, else "".
std::string AnsiOrShortForm(const WidePath& path) {
  std::string ansi = ExactAnsi(path);
  if (!ansi.empty()) return ansi;
  const DWORD n = GetShortPathNameW(path.data(), nullptr, 0);
  WidePath shortPath(n ? n : 1);
  if (n > 0 && GetShortPathNameW(path.data(), shortPath.data(), n) == n - 1)
    return ExactAnsi(shortPath);
  return "";
}

}  // namespace

std::string ModulePath() {
  std::string path = AnsiOrShortForm(ModulePathW());
  if (!path.empty()) return path;
  // No exact form: the system's own, with its stand-ins for what it lacks.
  path.resize(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "";
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// Files

Error Win32Files::Open(const std::string& path, std::unique_ptr<ReadFile>* file) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  file->reset(new Win32ReadFile(h));
  return Error::Ok();
}

Error Win32Files::CreateNew(const std::string& path, std::unique_ptr<WriteFile>* file) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  file->reset(new Win32WriteFile(h));
  return Error::Ok();
}

Error Win32Files::Move(const std::string& from, const std::string& to, bool replace) {
  if (!MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0))
    return LastError();
  return Error::Ok();
}

Error Win32Files::RemoveAtRestart(const std::string& path) {
  if (!MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return LastError();
  return Error::Ok();
}

Error Win32Files::ReplaceAtRestart(const std::string& from, const std::string& to) {
  if (!MoveFileExA(from.c_str(), to.c_str(),
                   MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
    return LastError();
  return Error::Ok();
}

bool Win32Files::Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Loaded when first asked, and kept: the file protection library is no known
// DLL, most runs never need it, and an install asks once for every font.
bool Win32Files::IsProtected(const std::string& path) {
  using Fn = BOOL(WINAPI*)(HANDLE, LPCWSTR);
  // Constant-initialised: a guarded static would bring in the unwinder.
  static bool loaded = false;
  static Fn fn = nullptr;
  if (!loaded) {
    loaded = true;
    HMODULE sfc = LoadLibraryA("sfc.dll");
    fn = sfc ? reinterpret_cast<Fn>(
                   reinterpret_cast<void*>(GetProcAddress(sfc, "SfcIsFileProtected")))
             : nullptr;
  }
  const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  WidePath wide(n > 0 ? static_cast<size_t>(n) : 1);
  const bool guarded = fn && n > 0 &&
                       MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n) == n &&
                       fn(nullptr, wide.data());
  return guarded;
}

Error Win32Files::Remove(const std::string& path) {
  if (!DeleteFileA(path.c_str())) return LastError();
  return Error::Ok();
}

Error Win32Files::CreateFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return Error::Ok();
  Error error = LastError();
  // A file standing where the folder must go is a failure all the same.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Error::Ok();
  return error;
}

const char kRestrictedFolderSddl[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

Error Win32Files::CreateNewFolder(const std::string& path, bool restricted) {
  // Given at creation: set afterwards, there would be a moment in which the
  // folder had the temporary folder's rights, where every user may write.
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (restricted &&
      !ConvertStringSecurityDescriptorToSecurityDescriptorA(
          kRestrictedFolderSddl, SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr))
    return LastError();
  const BOOL made = CreateDirectoryA(path.c_str(), restricted ? &attributes : nullptr);
  Error error = made ? Error::Ok() : LastError();
  if (attributes.lpSecurityDescriptor) LocalFree(attributes.lpSecurityDescriptor);
  if (error) return error;
  Handle folder(CreateFileA(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!folder.valid()) {
    error = LastError();
    RemoveDirectoryA(path.c_str());
    return error;
  }
  held_ = std::move(folder);
  heldPath_ = path;
  return Error::Ok();
}

Error Win32Files::RemoveFolder(const std::string& path) {
  if (path == heldPath_) {
    held_ = Handle();
    heldPath_.clear();
  }
  if (!RemoveDirectoryA(path.c_str())) return LastError();
  return Error::Ok();
}

std::string Win32Files::NameKey(const std::string& name) { return NameKeyIn(CP_ACP, name); }

// Registry

namespace {

// The 64-bit view: on 64-bit Windows a 32-bit program would otherwise write
// the uninstall entry where the system's list of programs never looks. The
// Fonts keys are one key in both views; 32-bit Windows ignores the flag.
// Key and value names are UTF-8 here and reach the registry in Unicode: a
// font named in Korean keeps its name on a Western system. String data is
// ANSI, as the rest of the program's texts.
std::wstring Wide(const std::string& utf8) {
  const std::u16string text = Utf16FromUtf8(utf8);
  return std::wstring(text.begin(), text.end());
}

std::wstring WideFromAnsi(const std::string& ansi) {
  const int n =
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring text(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text.data(), n);
  return text;
}

LONG OpenKey(RegRoot root, const std::string& key, REGSAM access, bool create, HKEY* h) {
  access |= KEY_WOW64_64KEY;
  const std::wstring path = Wide(key);
  if (create)
    return RegCreateKeyExW(ToHkey(root), path.c_str(), 0, nullptr, 0, access, nullptr, h, nullptr);
  return RegOpenKeyExW(ToHkey(root), path.c_str(), 0, access, h);
}

}  // namespace

Error Win32Registry::ReadValue(RegRoot root, const std::string& key, const std::string& name,
                               RegValue* value) {
  RegistryKey h;
  if (LONG result = OpenKey(root, key, KEY_QUERY_VALUE, false, h.put())) return SystemError(result);
  // The size first, then the data into a buffer of that size, all zero: a
  // string stored without its NUL still ends where the data does.
  const std::wstring wideName = Wide(name);
  DWORD type = 0, size = 0;
  if (LONG result = RegQueryValueExW(h.get(), wideName.c_str(), nullptr, &type, nullptr, &size))
    return SystemError(result);
  std::string data(size, '\0');
  if (LONG result = RegQueryValueExW(h.get(), wideName.c_str(), nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(data.data()), &size))
    return SystemError(result);
  if (size < data.size()) data.resize(size);
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::u16string text(data.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), 2 * text.size());
    data = AnsiFromUtf16(text);
  }
  value->type = type;
  value->data = std::move(data);
  return Error::Ok();
}

namespace {

Error SetValue(RegRoot root, const std::string& key, const std::string& name, DWORD type,
               const void* data, size_t size) {
  RegistryKey h;
  if (LONG result = OpenKey(root, key, KEY_SET_VALUE, true, h.put())) return SystemError(result);
  return Result(RegSetValueExW(h.get(), Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                               static_cast<DWORD>(size)));
}

}  // namespace

Error Win32Registry::WriteString(RegRoot root, const std::string& key, const std::string& name,
                                 const std::string& text) {
  const std::wstring wide = WideFromAnsi(text);
  return SetValue(root, key, name, REG_SZ, wide.c_str(), wide.size() * sizeof(wchar_t));
}

Error Win32Registry::WriteDword(RegRoot root, const std::string& key, const std::string& name,
                                uint32_t value) {
  return SetValue(root, key, name, REG_DWORD, &value, sizeof value);
}

Error Win32Registry::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
  RegistryKey h;
  if (LONG result = OpenKey(root, key, KEY_SET_VALUE, false, h.put())) return SystemError(result);
  return Result(RegDeleteValueW(h.get(), Wide(name).c_str()));
}

// By the parent and the name, which is how the call that takes a view wants
// it; systems before it have one view only.
Error Win32Registry::DeleteKey(RegRoot root, const std::string& key) {
  using Fn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
  HMODULE advapi = GetModuleHandleA("advapi32.dll");
  auto fn =
      advapi
          ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExA")))
          : nullptr;
  return Result(fn ? fn(ToHkey(root), key.c_str(), KEY_WOW64_64KEY, 0)
                   : RegDeleteKeyA(ToHkey(root), key.c_str()));
}

Error Win32Registry::ValueNames(RegRoot root, const std::string& key,
                                std::vector<std::string>* names) {
  names->clear();
  RegistryKey h;
  if (LONG result = OpenKey(root, key, KEY_QUERY_VALUE, false, h.put()))
    return result == ERROR_FILE_NOT_FOUND ? Error::Ok() : SystemError(result);
  std::vector<wchar_t> name(16384);
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    const LONG result =
        RegEnumValueW(h.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return Error::Ok();
    if (result != ERROR_SUCCESS) return SystemError(result);
    names->push_back(Utf8FromUtf16(std::u16string(name.data(), name.data() + length)));
  }
}

// Fonts

namespace {

constexpr char kWindowsFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
constexpr char kNtFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

}  // namespace

// Each user's fonts are a feature of the NT line; all users' lie under the
// key of the platform the system reports.
RegKey Win32Fonts::FontsKey(FontScope scope) {
  if (scope == FontScope::kCurrentUser) return {kHkeyCurrentUser, kNtFontsKey};
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  static_assert(sizeof info == 148, "the record the version call expects");
  if (!GetVersionExA(&info)) return {kHkeyLocalMachine, ""};
  if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return {kHkeyLocalMachine, kWindowsFontsKey};
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) return {kHkeyLocalMachine, kNtFontsKey};
  return {kHkeyLocalMachine, ""};
}

Error Win32Fonts::AddFontResource(const std::string& path) {
  if (!AddFontResourceA(path.c_str())) return LastError(ERROR_INVALID_DATA);
  return Error::Ok();
}

bool Win32Fonts::RemoveFontResource(const std::string& path) {
  return RemoveFontResourceA(path.c_str()) != 0;
}

void Win32Fonts::BroadcastFontChange() {
  // A hung top-level window must not hang the install.
  SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

// Shell

Error Win32Shell::SpecialFolderPath(ShellFolder folder, std::string* path) {
  // By ShellFolder's order.
  static const int kCsidls[] = {CSIDL_FONTS,   CSIDL_DESKTOPDIRECTORY, CSIDL_FAVORITES,
                                CSIDL_PROFILE, CSIDL_LOCAL_APPDATA,    CSIDL_PROGRAM_FILES};
  static_assert(
      sizeof kCsidls / sizeof kCsidls[0] == static_cast<size_t>(ShellFolder::kProgramFiles) + 1,
      "a CSIDL for every ShellFolder");
  return CsidlFolderPath(kCsidls[static_cast<size_t>(folder)], path);
}

Error CsidlFolderPath(int csidl, std::string* path) {
  path->clear();
  ItemIdList list;
  if (SHGetSpecialFolderLocation(reinterpret_cast<HWND>(100), csidl, list.put()) != S_OK)
    return Error::Ok();
  // Asked for into a buffer of spaces: a folder with no path on disk leaves
  // no NUL in it, and so no end to the path.
  char buffer[512];
  std::memset(buffer, ' ', sizeof buffer);
  SHGetPathFromIDListA(list.get(), buffer);
  const void* end = std::memchr(buffer, '\0', sizeof buffer);
  if (!end) return MakeError(ErrorKind::kNoAnswer, "Invalid procedure call or argument");
  path->assign(buffer, static_cast<size_t>(static_cast<const char*>(end) - buffer));
  return Error::Ok();
}

void Win32Shell::Open(const std::string& file) {
  ShellExecuteA(nullptr, nullptr, file.c_str(), nullptr, "", SW_SHOWNORMAL);
}

// The documented way for an elevated program: the desktop's shell window, the
// automation object of its view, and that shell's own ShellExecute, which
// runs in the signed-in user's process with that user's rights.
Shell::DesktopOpen Win32Shell::OpenAsDesktopUser(const std::string& file) noexcept {
  // No shell has the desktop (Wine has none): nothing to ask, and asking
  // would wait long for a shell that never comes.
  if (!GetShellWindow()) return DesktopOpen::kNoShell;
  ComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              reinterpret_cast<void**>(windows.put()))))
    return DesktopOpen::kRefused;
  VARIANT none{};
  long window = 0;
  ComPtr<IDispatch> desktop;
  ComPtr<IServiceProvider> provider;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background, application;
  ComPtr<IShellFolderViewDual> folderView;
  ComPtr<IShellDispatch2> shell;
  // No desktop window answers S_FALSE.
  if (windows->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.put()) !=
          S_OK ||
      FAILED(desktop->QueryInterface(IID_IServiceProvider,
                                     reinterpret_cast<void**>(provider.put()))) ||
      FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                    reinterpret_cast<void**>(browser.put()))) ||
      FAILED(browser->QueryActiveShellView(view.put())) ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                 reinterpret_cast<void**>(background.put()))) ||
      FAILED(background->QueryInterface(IID_IShellFolderViewDual,
                                        reinterpret_cast<void**>(folderView.put()))) ||
      FAILED(folderView->get_Application(application.put())) ||
      FAILED(
          application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(shell.put()))))
    return DesktopOpen::kRefused;
  const int n = MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, nullptr, 0);
  BSTR target = n > 0 ? SysAllocStringLen(nullptr, static_cast<UINT>(n - 1)) : nullptr;
  if (!target) return DesktopOpen::kRefused;
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, target, n);
  VARIANT show{};
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  const HRESULT opened = shell->ShellExecute(target, none, none, none, show);
  SysFreeString(target);
  return SUCCEEDED(opened) ? DesktopOpen::kOpened : DesktopOpen::kRefused;
}

namespace {

// Paths the shell gives fit with room to spare; longer ones get no shortcut.
using PathBuffer = char[1024];

// Where an open file or folder really lies, links followed, as the system
// names it ("\\?\C:\..."). Systems without the call know no elevation
// either: there it is the path it was opened by.
bool RealPath(HANDLE h, const char* openedAs, PathBuffer& real) noexcept {
  using Fn = DWORD(WINAPI*)(HANDLE, char*, DWORD, DWORD);
  const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  if (fn) {
    const DWORD n = fn(h, real, sizeof real, 0);
    return n > 0 && n < sizeof real;
  }
  return lstrlenA(openedAs) < static_cast<int>(sizeof real) && lstrcpyA(real, openedAs);
}

// The file name in the folder, opened for reading and writing where it is
// new or a plain file that really lies there, and the folder inside within
// when within is not empty.
Handle OpenShortcut(const char* folderPath, const char* name, const char* within) noexcept {
  // Held without delete sharing, the folder can't be renamed or removed, and
  // so not put behind a link, until the file is written: the file is reached
  // by the folder's real path, through no link at all.
  const Handle folder(CreateFileA(folderPath, FILE_LIST_DIRECTORY,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  PathBuffer real, bound, file, found;
  if (!folder || !RealPath(folder.get(), folderPath, real)) return Handle();
  if (*within) {
    const Handle profile(CreateFileA(within, FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!profile || !RealPath(profile.get(), within, bound) || !IsInFolder(real, bound))
      return Handle();
  }
  const int length = lstrlenA(real);
  const bool root = length > 0 && real[length - 1] == '\\';
  if (length + 1 + lstrlenA(name) >= static_cast<int>(sizeof file)) return Handle();
  lstrcatA(lstrcatA(lstrcpyA(file, real), root ? "" : "\\"), name);
  // Made new where nothing is: a dangling link is something. What is there is
  // opened as it stands, a link itself rather than what it leads to (Wine
  // follows file links all the same; the real path tells).
  Handle h(CreateFileA(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h && (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS))
    h.reset(CreateFileA(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  // A second name would let the write reach a file elsewhere.
  BY_HANDLE_FILE_INFORMATION info{};
  if (!h || !GetFileInformationByHandle(h.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
      info.nNumberOfLinks != 1 || !RealPath(h.get(), file, found) || !EqualNoCase(found, file))
    return Handle();
  return h;
}

}  // namespace

Error Win32Shell::WriteInternetShortcut(const std::string& path, const std::string& address,
                                        const std::string& within) {
  const Handle h =
      OpenShortcut(FolderOf(path).c_str(), path.c_str() + path.rfind('\\') + 1, within.c_str());
  // A shortcut is a few lines; a bigger file of its name is none.
  LARGE_INTEGER size{};
  if (!h || !GetFileSizeEx(h.get(), &size) || size.QuadPart > 0x10000)
    return SystemError(ERROR_ACCESS_DENIED);
  std::string text(static_cast<size_t>(size.QuadPart), '\0');
  DWORD done = 0;
  const bool written =
      (text.empty() ||
       (::ReadFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
        done == text.size())) &&
      SetShortcutAddress(&text, address) && SetFilePointer(h.get(), 0, nullptr, FILE_BEGIN) == 0 &&
      ::WriteFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
      done == text.size() && SetEndOfFile(h.get());
  return written ? Error::Ok() : LastError(ERROR_WRITE_FAULT);
}

void Win32Shell::RemoveInternetShortcut(const std::string& path, const std::string& address) {
  std::string text;
  {
    const Handle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    DWORD done = 0;
    // A shortcut is a few lines; a bigger file of its name is none.
    if (!h || !GetFileSizeEx(h.get(), &size) || size.QuadPart > 0x10000) return;
    text.resize(static_cast<size_t>(size.QuadPart));
    if (!text.empty() &&
        (!::ReadFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) ||
         done != text.size()))
      return;
  }
  if (ShortcutPointsAt(text, address)) DeleteFileA(path.c_str());
}

// System

Error Win32System::TempFolder(std::string* folder) {
  // Where the system has it, the call that gives the system's own processes
  // a folder of their own instead of the shared Windows\Temp.
  using Fn = DWORD(WINAPI*)(DWORD, LPWSTR);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto tempPath2 =
      kernel
          ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetTempPath2W")))
          : nullptr;
  WidePath path(MAX_PATH + 1);
  const DWORD n =
      tempPath2 ? tempPath2(MAX_PATH + 1, path.data()) : GetTempPathW(MAX_PATH + 1, path.data());
  if (n == 0 || n > MAX_PATH) return SystemError(ERROR_PATH_NOT_FOUND);
  path.resize(n + 1);
  // A name the ANSI code page can't carry would reach a look-alike folder
  // through the ANSI calls: its short form, or nothing.
  *folder = AnsiOrShortForm(path);
  if (folder->empty()) return SystemError(ERROR_PATH_NOT_FOUND);
  return Error::Ok();
}

bool Win32System::Random(void* bytes, size_t n) {
  return RtlGenRandom(bytes, static_cast<ULONG>(n)) != FALSE;
}

std::string Win32System::AppFolder() { return FolderOf(ModulePath()); }

std::string Win32System::ExeTitle() { return TitleOf(ModulePath()); }

Error Win32System::OpenPackageFile(std::unique_ptr<ReadFile>* file) {
  // By the Unicode form of the path, the one form that reaches the file from
  // any folder; whatever the running file's extension, the package is ".exe".
  WidePath path = ModulePathW();
  path.pop_back();
  size_t end = path.size();
  for (size_t i = path.size(); i > 0 && path[i - 1] != L'\\'; --i)
    if (path[i - 1] == L'.') {
      end = i - 1;
      break;
    }
  path.resize(end);
  for (const wchar_t* c = L".exe"; *c; ++c) path.push_back(*c);
  path.push_back(L'\0');
  HANDLE h = CreateFileW(path.data(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  file->reset(new Win32ReadFile(h));
  return Error::Ok();
}

std::string Win32System::CommandLine() {
  const char* line = GetCommandLineA();
  return ArgumentsOf(line ? line : "");
}

// Loaded at run time, after the DLL search is restricted: the common controls
// are not among the system's known DLLs, and neither is what they load.
void Win32System::InitCommonControls() {
  using Fn = void(WINAPI*)();
  if (HMODULE comctl = LoadLibraryA("comctl32.dll"))
    if (auto fn = reinterpret_cast<Fn>(
            reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControls"))))
      fn();
}

std::string Win32System::DescribeError(int32_t code) { return Describe(static_cast<DWORD>(code)); }

bool Win32System::IsElevated() {
  Handle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return true;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  // Systems before elevation fail the query; there every run is as elevated as it gets.
  const bool known =
      GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) != 0;
  return !known || elevation.TokenIsElevated != 0;
}

bool Win32System::GetVersion(uint32_t* major, uint32_t* minor, uint32_t* build) {
  using Fn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  auto fn =
      ntdll ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!fn || fn(&info) != 0) return false;
  *major = info.dwMajorVersion;
  *minor = info.dwMinorVersion;
  *build = info.dwBuildNumber;
  return true;
}

uint32_t Win32System::Milliseconds() { return GetTickCount(); }

std::string Win32System::Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[12];
  wsprintfA(text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

void Win32System::Terminate(uint32_t exitCode) { ExitProcess(exitCode); }

}  // namespace sorvela::win32
