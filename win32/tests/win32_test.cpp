// Tests of the Win32 layer against the real system calls (run under Wine):
// what the core relies on from each service, and the window behaviour the
// wizard's logic depends on.
#include "win32/win32.h"
#include <objbase.h>
#include <sddl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fonts/face_name.h"
#include "fonts/get_font_filename.h"
#include "shell/frm_main.h"
#include "shellfolders/folders.h"
#include "win32/control_ids.h"
#include "win32/geometry.h"
#include "win32/owned.h"
#include "win32/system_services.h"
#include "win32/ui.h"

namespace sorvela::win32 {
namespace {

int g_failed = 0;
const char* g_test = "";

#define CHECK(cond)                                                      \
  do {                                                                   \
    if (!(cond)) {                                                       \
      ++g_failed;                                                        \
      std::printf("FAILED %s: %s (line %d)\n", g_test, #cond, __LINE__); \
    }                                                                    \
  } while (0)

std::string TempFolder() {
  char buffer[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buffer);
  std::string folder = std::string(buffer) + "sorvela-win32-tests\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

Error WriteAll(Files& files, const std::string& path, const std::string& bytes) {
  std::unique_ptr<WriteFile> file;
  if (Error e = files.CreateNew(path, &file)) return e;
  if (Error e = file->Append(bytes.data(), bytes.size())) return e;
  return file->Close();
}

std::string ReadAll(Files& files, const std::string& path) {
  std::unique_ptr<ReadFile> file;
  if (files.Open(path, &file)) return "<open failed>";
  std::string bytes(static_cast<size_t>(file->Length()), '\0');
  if (file->ReadAt(0, bytes.data(), bytes.size())) return "<read failed>";
  return bytes;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Files

void TestFilesAreMadeNewAndRenamedOver() {
  Win32Files files;
  const std::string path = TempFolder() + "round.bin", other = TempFolder() + "other.bin";
  CHECK(!WriteAll(files, path, std::string("first content\0with a NUL", 24)));
  CHECK(WriteAll(files, path, "again").code == ERROR_FILE_EXISTS);
  CHECK(ReadAll(files, path) == std::string("first content\0with a NUL", 24));

  std::unique_ptr<ReadFile> file;
  CHECK(!files.Open(path, &file));
  char buffer[8] = {};
  CHECK(!file->ReadAt(2, buffer, 3));
  CHECK(std::string(buffer, 3) == "rst");
  const Error past = file->ReadAt(22, buffer, 3);
  CHECK(past.kind == ErrorKind::kPastEnd);
  file.reset();

  CHECK(!WriteAll(files, other, "an older and longer file"));
  CHECK(files.Move(path, other, false).failed());
  CHECK(!files.Move(path, other, true));
  CHECK(ReadAll(files, other) == std::string("first content\0with a NUL", 24));
  CHECK(!FileExists(path));
  CHECK(!files.Remove(other));
  CHECK(!FileExists(other));
}

// run.sh leaves links in C:\sorvela-links: link.txt to target.txt, dangling.txt
// to a file that isn't there. A new file is never made through either, and a
// file renamed over a link replaces the link.
void TestNothingIsWrittenThroughALink() {
  Win32Files files;
  const std::string folder = "C:\\sorvela-links\\";
  CHECK(ReadAll(files, folder + "target.txt") == "target");
  CHECK(ReadAll(files, folder + "link.txt") == "target");  // the link is there
  std::unique_ptr<WriteFile> out;
  CHECK(files.CreateNew(folder + "link.txt", &out).failed());
  CHECK(files.CreateNew(folder + "dangling.txt", &out).failed());
  CHECK(!FileExists(folder + "missing.txt"));
  CHECK(!WriteAll(files, folder + "new.txt", "new"));
  CHECK(!files.Move(folder + "new.txt", folder + "link.txt", true));
  CHECK(ReadAll(files, folder + "link.txt") == "new");
  CHECK(ReadAll(files, folder + "target.txt") == "target");
}

// Wine keeps no security descriptor of its own: it maps the one given at
// creation to the folder's permissions and reads those back. What other
// users may do is what shows there.
void TestWorkingFoldersAreNewAndRestricted() {
  Win32Files files;
  const std::string open = TempFolder() + "open", closed = TempFolder() + "closed";
  CHECK(!files.CreateNewFolder(open, false));
  CHECK(files.CreateNewFolder(open, false).code == ERROR_ALREADY_EXISTS);
  CHECK(files.CreateNewFolder(open, true).code == ERROR_ALREADY_EXISTS);
  CHECK(!files.CreateNewFolder(closed, true));
  auto dacl = [](const std::string& path) {
    char buffer[4096];
    DWORD needed = 0;
    char* text = nullptr;
    if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, buffer, sizeof buffer,
                          &needed) ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(
            buffer, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr))
      return std::string("<unreadable>");
    std::string result = text;
    LocalFree(text);
    return result;
  };
  const std::string restricted = dacl(closed), unrestricted = dacl(open);
  std::printf("restricted folder: %s\nunrestricted folder: %s\n", restricted.c_str(),
              unrestricted.c_str());
  // This Wine keeps neither the protection nor the administrators' entry as
  // asked (it reads "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;<the user>)"): what it
  // shows is that the temporary folder's rights for everyone were not taken.
  CHECK(restricted.find("D:") == 0 && restricted.find(";;;SY)") != std::string::npos);
  for (const char* everyone : {";;;WD)", ";;;BU)", ";;;AU)"}) {
    CHECK(restricted.find(everyone) == std::string::npos);
  }
  CHECK(unrestricted.find(";;;WD)") != std::string::npos);  // the check can fail
  // What is asked for: the system and the administrators alone, inherited by
  // all made inside, none of the temporary folder's own rights.
  PSECURITY_DESCRIPTOR asked = nullptr;
  CHECK(ConvertStringSecurityDescriptorToSecurityDescriptorA(kRestrictedFolderSddl, SDDL_REVISION_1,
                                                             &asked, nullptr));
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  CHECK(GetSecurityDescriptorControl(asked, &control, &revision));
  CHECK(control & SE_DACL_PROTECTED);
  CHECK(GetSecurityDescriptorDacl(asked, &present, &acl, &defaulted) && present && acl);
  CHECK(acl && acl->AceCount == 2);
  LocalFree(asked);
  // Held while it lives: no program renames it away to put its own there.
  CHECK(!MoveFileA(closed.c_str(), (closed + "-moved").c_str()));
  CHECK(GetLastError() == ERROR_SHARING_VIOLATION || GetLastError() == ERROR_ACCESS_DENIED);
  CHECK(!files.RemoveFolder(open));
  CHECK(!files.RemoveFolder(closed));
  CHECK(files.RemoveFolder(closed).failed());
}

void TestFileFailuresCarryTheSystemCodeAndText() {
  Win32Files files;
  const std::string missing = TempFolder() + "missing.bin";
  const Error removed = files.Remove(missing);
  CHECK(removed.code == ERROR_FILE_NOT_FOUND);
  CHECK(!removed.description.empty());
  CHECK(removed.description.back() != '.' && removed.description.back() != '\n');
  std::unique_ptr<ReadFile> file;
  CHECK(files.Open(missing, &file).code == ERROR_FILE_NOT_FOUND);
  std::unique_ptr<WriteFile> out;
  CHECK(files.CreateNew(TempFolder() + "no\\such\\folder\\x.bin", &out).code ==
        ERROR_PATH_NOT_FOUND);
  CHECK(files.Move(missing, TempFolder() + "x.bin", true).failed());
}

void TestTheRunningExecutableCanBeRead() {
  // The package is read from the program's own file while it runs.
  Win32Files files;
  Win32System system;
  const std::string self = system.AppFolder() + "\\" + system.ExeTitle() + ".exe";
  std::unique_ptr<ReadFile> file;
  CHECK(!files.Open(self, &file));
  if (!file) return;
  char mz[2] = {};
  CHECK(file->Length() > 1024);
  CHECK(!file->ReadAt(0, mz, 2));
  CHECK(mz[0] == 'M' && mz[1] == 'Z');
  // The package file service reaches the same file by its Unicode path.
  std::unique_ptr<ReadFile> package;
  CHECK(!system.OpenPackageFile(&package));
  CHECK(package && package->Length() == file->Length());
}

void TestNamesFoldAsTheFileSystemSeesThem() {
  // Wine's ANSI code page here is Windows-1252.
  Win32Files files;
  const std::string path = TempFolder() + "Fold\xC9.ttf";
  CHECK(!WriteAll(files, path, "x"));
  CHECK(ReadAll(files, TempFolder() + "fold\xE9.TTF") == "x");
  CHECK(!files.Remove(path));
  CHECK(files.NameKey("Fold\xC9.ttf") == files.NameKey("fOLD\xE9.TTF  "));
  CHECK(files.NameKey("A.ttf") == files.NameKey("a.TTF."));
  CHECK(files.NameKey("a.ttf") != files.NameKey("b.ttf"));
  CHECK(files.NameKey("\xE9.ttf") != files.NameKey("e.ttf"));
}

// Registry, shell, system

void TestRegistryValuesRoundTrip() {
  Win32Registry registry;
  const char key[] = "Software\\SorvelaTest";
  CHECK(!registry.WriteString(kHkeyCurrentUser, key, "Face (TrueType)", "face.ttf"));
  RegValue value;
  CHECK(!registry.ReadValue(kHkeyCurrentUser, key, "Face (TrueType)", &value));
  CHECK(value.type == kRegSz);
  // Written without a NUL, the system may or may not add one when read back.
  CHECK(value.data == "face.ttf" || value.data == std::string("face.ttf\0", 9));
  CHECK(ValueText(value) == "face.ttf");
  CHECK(registry.ReadValue(kHkeyCurrentUser, key, "Absent", &value).code == 2);
  CHECK(!registry.DeleteValue(kHkeyCurrentUser, key, "Face (TrueType)"));
  CHECK(registry.ReadValue(kHkeyCurrentUser, key, "Face (TrueType)", &value).code == 2);
  RegDeleteKeyA(HKEY_CURRENT_USER, key);
  CHECK(registry.ReadValue(kHkeyCurrentUser, key, "Face (TrueType)", &value).code == 2);
  CHECK(registry.DeleteValue(kHkeyCurrentUser, key, "Face (TrueType)").code == 2);

  // Value names in Unicode (UTF-8 here), listed as written, data in ANSI.
  const std::string korean = "\xEC\x9D\x80 \xEB\xB0\x94\xED\x83\x95 (TrueType)";
  CHECK(!registry.WriteString(kHkeyCurrentUser, key, korean, "Caf\xE9.ttf"));
  CHECK(!registry.WriteString(kHkeyCurrentUser, key, "\xEC\x9D\x80 (TrueType)", "b.ttf"));
  std::vector<std::string> names;
  CHECK(!registry.ValueNames(kHkeyCurrentUser, key, &names));
  CHECK(names.size() == 2 && (names[0] == korean || names[1] == korean));
  CHECK(!registry.ReadValue(kHkeyCurrentUser, key, korean, &value));
  CHECK(ValueText(value) == "Caf\xE9.ttf");
  wchar_t wide[] = {0xC740, L' ', 0xBC14, 0xD0D5, 0};
  wchar_t data[32] = {};
  DWORD size = sizeof data;
  HKEY h = nullptr;
  CHECK(!RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\SorvelaTest", 0, KEY_QUERY_VALUE, &h));
  CHECK(!RegQueryValueExW(h, (std::wstring(wide) + L" (TrueType)").c_str(), nullptr, nullptr,
                          reinterpret_cast<BYTE*>(data), &size));
  RegCloseKey(h);
  CHECK(std::wstring(data) == L"Caf\u00E9.ttf");
  RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

void TestSpecialFoldersArePathsOrNothing() {
  Win32Shell shell;
  std::string path;
  CHECK(!shell.SpecialFolderPath(ShellFolder::kFonts, &path));
  CHECK(path.size() > 5 && _stricmp(path.c_str() + path.size() - 5, "Fonts") == 0);
  CHECK(path.find(' ') == std::string::npos);
  // Each folder the core asks for is one the shell has, each a different one.
  std::vector<std::string> paths;
  for (ShellFolder folder :
       {ShellFolder::kFonts, ShellFolder::kDesktop, ShellFolder::kFavorites, ShellFolder::kProfile,
        ShellFolder::kLocalAppData, ShellFolder::kProgramFiles}) {
    CHECK(!shell.SpecialFolderPath(folder, &path) && !path.empty());
    for (const std::string& other : paths) CHECK(_stricmp(other.c_str(), path.c_str()) != 0);
    paths.push_back(path);
  }
  path = "kept";
  CHECK(!CsidlFolderPath(0x7FFF, &path));  // no such folder
  CHECK(path.empty());
  // The computer itself is a folder of the shell with no path on disk: no
  // path, whether the system ends its empty answer (Wine) or leaves the
  // buffer as it was.
  path = "kept";
  const Error none = CsidlFolderPath(0x11, &path);
  CHECK(path.empty() && (!none || none.kind == ErrorKind::kNoAnswer));
}

void TestSystemFacts() {
  Win32System system;
  // An NT system: both scopes' fonts under the NT key.
  Win32Fonts fonts;
  const char nt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
  const RegKey all = fonts.FontsKey(FontScope::kAllUsers);
  const RegKey own = fonts.FontsKey(FontScope::kCurrentUser);
  CHECK(all.root == kHkeyLocalMachine && all.path == nt);
  CHECK(own.root == kHkeyCurrentUser && own.path == nt);
  std::string temp;
  CHECK(!system.TempFolder(&temp));
  CHECK(!temp.empty() && temp.back() == '\\' && temp.find('\0') == std::string::npos);
  unsigned char one[16] = {}, two[16] = {};
  CHECK(system.Random(one, sizeof one) && system.Random(two, sizeof two));
  CHECK(std::memcmp(one, two, sizeof one) != 0);
  const std::string text = system.DescribeError(ERROR_ACCESS_DENIED);
  CHECK(!text.empty() && text.back() != '.' && text.back() != '\n');
}

// Owners

void TestOwnersGiveBackWhatTheyHold() {
  // The selection ends first: the DC gets its own pen back, then the pen goes.
  const MemoryDc dc(CreateCompatibleDC(nullptr));
  const HGDIOBJ ownPen = GetCurrentObject(dc.get(), OBJ_PEN);
  HPEN pen = nullptr;
  {
    const GdiObject<HPEN> owned(CreatePen(PS_SOLID, 3, RGB(1, 2, 3)));
    pen = owned.get();
    const Selection selected(dc.get(), pen);
    CHECK(selected.valid());
    CHECK(GetCurrentObject(dc.get(), OBJ_PEN) == pen);
  }
  CHECK(GetCurrentObject(dc.get(), OBJ_PEN) == ownPen);
  CHECK(GetObjectType(pen) == 0);

  // Either of the kernel's "no handle" values holds nothing; a moved handle
  // is closed once, by its last owner; a released one stays open.
  CHECK(!Handle(INVALID_HANDLE_VALUE).valid());
  CHECK(!Handle(nullptr).valid());
  DWORD flags = 0;
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  {
    Handle first(event);
    const Handle last(std::move(first));
    CHECK(!first.valid() && last.get() == event);  // NOLINT(bugprone-use-after-move)
    CHECK(GetHandleInformation(event, &flags));
  }
  CHECK(!GetHandleInformation(event, &flags));
  HANDLE kept = Handle(CreateEventA(nullptr, TRUE, FALSE, nullptr)).release();
  CHECK(GetHandleInformation(kept, &flags));
  CloseHandle(kept);
}

// Font services and web links against the real system

struct RealServices {
  Win32Files files;
  Win32Registry registry;
  Win32Fonts fonts;
  Win32Shell shell;
  Win32System system;
  Win32Windows windows;
  Services s{files, registry, fonts, shell, system, windows};
};

const char kSans[] = "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";

void TestRegisteredFontIsFoundAndLoaded() {
  RealServices r;
  std::string fonts;
  CHECK(!GetFontsFolder(r.s, &fonts));
  CHECK(!fonts.empty() && fonts.back() == '\\');
  const std::string file = "sorvela-test.ttf";
  CHECK(CopyFileA(kSans, (fonts + file).c_str(), FALSE));
  const FontIdentity font{FontKind::kTrueType, "Sorvela Test Face", "", ""};
  CHECK(!RegisterFont(r.s, FontScope::kAllUsers, font, file));
  const std::string key = r.fonts.FontsKey(FontScope::kAllUsers).path;
  CHECK(GetRegistryString(r.registry, kHkeyLocalMachine, key, "Sorvela Test Face (TrueType)") ==
        file);
  std::string registered;
  CHECK(!GetRegisteredFontFile(r.s, FontScope::kAllUsers, "Sorvela Test Face (TrueType)",
                               &registered));
  CHECK(registered == fonts + file);

  // The system's refusal to load a file keeps it out of the key.
  const std::string junk = "sorvela-junk.ttf";
  CHECK(!WriteAll(r.files, fonts + junk, "plain text, no tables"));
  CHECK(RegisterFont(r.s, FontScope::kAllUsers, {FontKind::kTrueType, "Sorvela Junk", "", ""}, junk)
            .failed());
  CHECK(GetRegistryString(r.registry, kHkeyLocalMachine, key, "Sorvela Junk (TrueType)").empty());
  DeleteFileA((fonts + junk).c_str());

  HKEY raw = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &raw) == ERROR_SUCCESS) {
    RegDeleteValueA(raw, "Sorvela Test Face (TrueType)");
    RegCloseKey(raw);
  }
  RemoveFontResourceA((fonts + file).c_str());
  DeleteFileA((fonts + file).c_str());
}

void TestWebLinksAreRewrittenKeepingOtherLines() {
  RealServices r;
  const std::string title = "Sorvela Test Link";
  std::vector<std::string> paths;
  for (ShellFolder where : {ShellFolder::kDesktop, ShellFolder::kFavorites}) {
    std::string folder;
    CHECK(!GetSpecialFolder(r.shell, where, &folder));
    CHECK(!folder.empty());
    CreateDirectoryA(folder.c_str(), nullptr);
    paths.push_back(((folder += '\\') += title) += ".url");
  }
  // Wine runs every program elevated: the links go where the profile is.
  CHECK(r.system.IsElevated());
  CreateWebLink(r.s, title, "http://one.example/");
  for (const std::string& path : paths) {
    CHECK(ReadAll(r.files, path) == "[InternetShortcut]\r\nURL=http://one.example/\r\n");
    const std::string text = ReadAll(r.files, path);
    DeleteFileA(path.c_str());
    CHECK(!WriteAll(r.files, path, text + "IconIndex=3\r\n"));
  }
  CreateWebLink(r.s, title, "http://two.example/");
  for (const std::string& path : paths) {
    CHECK(ReadAll(r.files, path) ==
          "[InternetShortcut]\r\nURL=http://two.example/\r\nIconIndex=3\r\n");
    DeleteFileA(path.c_str());
  }
}

void TestShortcutsAreWrittenThroughNoLink() {
  // run.sh makes the links that only Linux can make under this Wine, whose
  // CreateSymbolicLink makes none: in the Desktop, Planted.url leads to
  // outside\victim.url and Dangling.url to a file that isn't there; Linked
  // is a folder link to outside. Wine tells file links by their real path
  // only, folder links by their attributes too.
  Win32Shell shell;
  Win32Files files;
  const std::string root = "C:\\sorvela-links\\", profile = root + "profile";
  const std::string desktop = profile + "\\Desktop\\", victim = root + "outside\\victim.url";
  const char address[] = "http://a.example/";
  const std::string hardVictim = root + "outside\\hard.url";
  CHECK(ReadAll(files, victim) == "victim");
  CHECK(!WriteAll(files, hardVictim, "hard"));
  CHECK(CreateHardLinkA((desktop + "Hard.url").c_str(), hardVictim.c_str(), nullptr));
  CHECK(CreateDirectoryA((desktop + "Folder.url").c_str(), nullptr));
  for (const char* name : {"Planted.url", "Dangling.url", "Hard.url", "Folder.url"}) {
    const bool refused = shell.WriteInternetShortcut(desktop + name, address, "").failed();
    CHECK(refused);
    if (!refused) std::printf("  written through %s\n", name);
  }
  CHECK(ReadAll(files, victim) == "victim" && ReadAll(files, hardVictim) == "hard");
  CHECK(!FileExists(root + "outside\\absent.url"));
  CHECK(shell.WriteInternetShortcut(profile + "\\Linked\\New.url", address, profile).failed());
  CHECK(!FileExists(root + "outside\\New.url"));
  CHECK(!shell.WriteInternetShortcut(desktop + "New.url", address, profile));
  CHECK(ReadAll(files, desktop + "New.url") == "[InternetShortcut]\r\nURL=http://a.example/\r\n");
}

// Windows

struct Search {
  int id;
  HWND found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<Search*>(lParam);
  if (GetDlgCtrlID(hwnd) != s->id) return TRUE;
  s->found = hwnd;
  return FALSE;
}

HWND FindControl(HWND root, int id) {
  Search search{id, nullptr};
  EnumChildWindows(root, Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void TestEveryControlIsFoundByItsId() {
  Win32Windows windows;
  CHECK(windows.Create(GetModuleHandleA(nullptr)));
  HWND main = windows.Hwnd(Control::frmMain);
  for (int id = ids::kImgSide; id <= ids::kImgFail; ++id) {
    const bool found = FindControl(main, id) != nullptr;
    CHECK(found);
    if (!found) std::printf("  control %d missing\n", id);
  }
  char text[64] = {};
  GetWindowTextA(FindControl(main, ids::kCmdNext), text, sizeof text);
  CHECK(std::strcmp(text, "&Next") == 0);

  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client;
  GetClientRect(main, &client);
  CHECK(client.right == TwipsToPixels(6615, dpiX));
  CHECK(client.bottom == TwipsToPixels(4455, dpiY));
  CHECK((GetWindowLongA(main, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) == 0);

  windows.Show(Control::frmExtracting);
  HWND extracting = windows.Hwnd(Control::frmExtracting);
  CHECK(extracting != nullptr);
  GetWindowTextA(extracting, text, sizeof text);
  CHECK(std::strcmp(text, "Extracting") == 0);
  GetWindowTextA(FindControl(extracting, ids::kLabel1), text, sizeof text);
  CHECK(std::strcmp(text, "Extracting fonts...") == 0);
  windows.Unload(Control::frmExtracting);
  CHECK(windows.Hwnd(Control::frmExtracting) == nullptr);
  CHECK(!IsWindow(extracting));
}

void TestVisibilityIsTheControlsOwn() {
  // The core hides frmMain while a page stays current.
  Win32Windows windows;
  windows.Create(GetModuleHandleA(nullptr));
  CHECK(!windows.IsVisible(Control::picReadme));  // pages start hidden
  windows.SetVisible(Control::picReadme, true);
  windows.SetVisible(Control::frmMain, false);
  CHECK(windows.IsVisible(Control::picReadme));
  windows.SetVisible(Control::picReadme, false);
  CHECK(!windows.IsVisible(Control::picReadme));
  CHECK(!windows.IsVisible(Control::frmMain));
  CHECK(!windows.IsVisible(Control::lstFiles));
  CHECK(!windows.IsVisible(Control::imgPass));
}

void TestTextsOfAnySizeRoundTrip() {
  Win32Windows windows;
  windows.Create(GetModuleHandleA(nullptr));
  std::string big;
  for (int i = 0; big.size() < 1500000; ++i)
    big += "Line " + std::to_string(i) + " of the readme\r\n";
  windows.SetText(Control::txtReadme, big);
  CHECK(windows.GetText(Control::txtReadme) == big);
  windows.SetText(Control::txtLicense, "\r\n");
  CHECK(windows.GetText(Control::txtLicense) == "\r\n");
  windows.SetText(Control::frmMain, "Demo - Velloway");
  CHECK(windows.GetText(Control::frmMain) == "Demo - Velloway");
  windows.SetText(Control::cmdNext, "&Finish");
  CHECK(windows.GetText(Control::cmdNext) == "&Finish");
}

void TestListsKeepTheOrderGiven() {
  Win32Windows windows;
  windows.Create(GetModuleHandleA(nullptr));
  for (const char* name : {"zeta.ttf", "alpha.ttf", "kestrel.dat"})
    windows.AddItem(Control::lstFiles, name);
  HWND list = windows.Hwnd(Control::lstFiles);
  CHECK(SendMessageA(list, LB_GETCOUNT, 0, 0) == 3);
  char text[32] = {};
  SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  CHECK(std::strcmp(text, "zeta.ttf") == 0);
}

void TestPageLabelsTakeTheirColours() {
  Win32Windows windows;
  windows.Create(GetModuleHandleA(nullptr));
  HWND panel = windows.Hwnd(Control::picInstall);
  HWND label = windows.Hwnd(Control::lblInstall);
  HDC dc = CreateCompatibleDC(nullptr);
  // Sent to the panel, as the label does: the panel hands it to frmMain.
  LRESULT brush = SendMessageA(panel, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(label));
  CHECK(brush == reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
  CHECK(GetBkColor(dc) == RGB(255, 255, 255));
  windows.SetForeColor(Control::lblInstall, 0x0000FF);
  SendMessageA(panel, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(label));
  CHECK(GetTextColor(dc) == RGB(255, 0, 0));

  HWND link = FindControl(windows.Hwnd(Control::frmMain), ids::kLabel9);
  SendMessageA(windows.Hwnd(Control::frmMain), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(link));
  CHECK(GetTextColor(dc) == RGB(0, 0, 255));
  CHECK(GetBkColor(dc) == GetSysColor(COLOR_BTNFACE));
  DeleteDC(dc);
}

void TestDoEventsLeavesTheQuitForTheMainLoop() {
  Win32Windows windows;
  windows.Create(GetModuleHandleA(nullptr));
  PostQuitMessage(3);
  windows.DoEvents();
  MSG msg;
  CHECK(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  CHECK(msg.message == WM_QUIT && msg.wParam == 3);
}

void TestCloseCommandUnloadsAndQuits() {
  Win32Files files;
  Win32Registry registry;
  Win32Fonts fonts;
  Win32Shell shell;
  Win32System system;
  Win32Windows windows;
  FrmMain form(Services{files, registry, fonts, shell, system, windows});
  // The unload sequence runs: NeedRestart clears the flag (what KillFiles
  // removes is the unit tests' business).
  form.RestartNeeded = true;
  windows.Attach(&form);
  windows.Create(GetModuleHandleA(nullptr));
  HWND main = windows.Hwnd(Control::frmMain);

  SendMessageA(main, WM_CLOSE, 0, 0);
  CHECK(!form.RestartNeeded);
  CHECK(!IsWindow(main));
  CHECK(windows.Hwnd(Control::frmMain) == nullptr);
  MSG msg;
  CHECK(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

void TestEnterPressesNextOnlyWhenEnabled() {
  // Enter reaches Next wherever the focus is, and is taken from the text
  // boxes even when Next is disabled (a box would add a line to the text).
  Win32Files files;
  Win32Registry registry;
  Win32Fonts fonts;
  Win32Shell shell;
  Win32System system;
  Win32Windows windows;
  FrmMain form(Services{files, registry, fonts, shell, system, windows});
  windows.Attach(&form);
  windows.Create(GetModuleHandleA(nullptr));
  windows.SetVisible(Control::picReadme, true);
  form.CurrentPage = Control::picReadme;
  windows.SetText(Control::txtLicense, "Licence");
  MSG enter{};
  enter.hwnd = windows.Hwnd(Control::txtReadme);
  enter.message = WM_KEYDOWN;
  enter.wParam = VK_RETURN;

  windows.SetEnabled(Control::cmdNext, false);
  CHECK(windows.PreTranslate(&enter));
  CHECK(windows.IsVisible(Control::picReadme));
  CHECK(windows.GetText(Control::txtReadme).empty());
  windows.SetEnabled(Control::cmdNext, true);
  CHECK(windows.PreTranslate(&enter));
  CHECK(!windows.IsVisible(Control::picReadme));
  CHECK(windows.IsVisible(Control::picLicense));
}

struct Case {
  const char* name;
  void (*run)();
};

const Case kCases[] = {
    {"FilesAreMadeNewAndRenamedOver", TestFilesAreMadeNewAndRenamedOver},
    {"NothingIsWrittenThroughALink", TestNothingIsWrittenThroughALink},
    {"WorkingFoldersAreNewAndRestricted", TestWorkingFoldersAreNewAndRestricted},
    {"FileFailuresCarryTheSystemCodeAndText", TestFileFailuresCarryTheSystemCodeAndText},
    {"TheRunningExecutableCanBeRead", TestTheRunningExecutableCanBeRead},
    {"NamesFoldAsTheFileSystemSeesThem", TestNamesFoldAsTheFileSystemSeesThem},
    {"RegistryValuesRoundTrip", TestRegistryValuesRoundTrip},
    {"SpecialFoldersArePathsOrNothing", TestSpecialFoldersArePathsOrNothing},
    {"SystemFacts", TestSystemFacts},
    {"OwnersGiveBackWhatTheyHold", TestOwnersGiveBackWhatTheyHold},
    {"RegisteredFontIsFoundAndLoaded", TestRegisteredFontIsFoundAndLoaded},
    {"WebLinksAreRewrittenKeepingOtherLines", TestWebLinksAreRewrittenKeepingOtherLines},
    {"ShortcutsAreWrittenThroughNoLink", TestShortcutsAreWrittenThroughNoLink},
    {"EveryControlIsFoundByItsId", TestEveryControlIsFoundByItsId},
    {"VisibilityIsTheControlsOwn", TestVisibilityIsTheControlsOwn},
    {"TextsOfAnySizeRoundTrip", TestTextsOfAnySizeRoundTrip},
    {"ListsKeepTheOrderGiven", TestListsKeepTheOrderGiven},
    {"PageLabelsTakeTheirColours", TestPageLabelsTakeTheirColours},
    {"DoEventsLeavesTheQuitForTheMainLoop", TestDoEventsLeavesTheQuitForTheMainLoop},
    {"CloseCommandUnloadsAndQuits", TestCloseCommandUnloadsAndQuits},
    {"EnterPressesNextOnlyWhenEnabled", TestEnterPressesNextOnlyWhenEnabled},
};

}  // namespace
}  // namespace sorvela::win32

int main() {
  using namespace sorvela::win32;
  CoInitialize(nullptr);
  int passed = 0, failed = 0;
  for (const Case& c : kCases) {
    g_test = c.name;
    // A window destroyed by an earlier test has asked the loop to end.
    MSG stale;
    while (PeekMessageA(&stale, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    const int before = g_failed;
    c.run();
    if (g_failed == before) {
      ++passed;
    } else {
      ++failed;
    }
  }
  RemoveDirectoryA(TempFolder().c_str());
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
