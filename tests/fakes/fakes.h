// Hand-written fakes of the system services. Every call can be made to fail,
// and each fake remembers what was asked of it.
#pragma once

#include <cstring>
#include <deque>
#include <functional>
#include <iterator>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/text.h"
#include "package/memory_file.h"
#include "services/services.h"

namespace sorvela::fakes {

constexpr char kNtFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// Thrown by FakeSystem::Terminate so that nothing after it runs, as in the stub.
struct Terminated {};

// Windows drops trailing spaces and dots of a path's last part; so does the fake.
inline std::string WinPath(std::string path) {
  while (!path.empty() && (path.back() == ' ' || path.back() == '.')) path.pop_back();
  return path;
}

class FakeFiles final : public Files {
  struct Writer final : WriteFile {
    Writer(FakeFiles& owner, const std::string& path) : owner(owner), path(path) {}
    // A full disk takes none of the bytes.
    Error Append(const void* data, size_t n) override {
      if (owner.failAppend.count(path)) return SystemError(61, "Disk full");
      owner.files[path].append(static_cast<const char*>(data), n);
      return Error::Ok();
    }
    Error Close() override {
      if (owner.failClose.count(path)) return SystemError(61, "Disk full");
      return Error::Ok();
    }
    FakeFiles& owner;
    std::string path;
  };
  struct Reader final : ReadFile {
    Reader(const std::string& bytes, const uint64_t* badByte) : file(bytes), badByte(badByte) {}
    uint64_t Length() const override { return file.Length(); }
    Error ReadAt(uint64_t offset, void* buffer, size_t n) override {
      if (badByte && *badByte >= offset && *badByte - offset < n)
        return SystemError(57, "Device I/O error");
      return file.ReadAt(offset, buffer, n);
    }
    MemoryFile file;
    const uint64_t* badByte;
  };

 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::set<std::string> failWrite, failOpen, failMoveTo, failRemove;
  bool failRemoveAtRestart = false;
  std::vector<std::string> atRestart;          // removals asked for at the next restart, in order
  std::vector<std::string> replacedAtRestart;  // "from -> to", in order
  // Files another program holds open: no rename or removal of them succeeds.
  // The system holds every font file it has loaded too (see FakeFonts).
  std::set<std::string> held;
  std::set<std::string> guarded;  // the system's own files
  const std::map<std::string, int>* loads = nullptr;
  // Writes to these files fail on Append or on Close.
  std::set<std::string> failAppend, failClose;
  // path -> a byte of the file that no read can get.
  std::map<std::string, uint64_t> failReadAt;
  // Opening these throws, as a fault nobody foresaw would.
  std::set<std::string> throwOnOpen;
  std::vector<std::string> log;

  bool Held(const std::string& path) const {
    if (held.count(path)) return true;
    if (!loads) return false;
    const auto it = loads->find(path);
    return it != loads->end() && it->second > 0;
  }
  Error Open(const std::string& rawPath, std::unique_ptr<ReadFile>* file) override {
    const std::string path = WinPath(rawPath);
    log.push_back("open " + path);
    if (throwOnOpen.count(path)) throw std::bad_alloc();
    auto it = files.find(path);
    if (it == files.end() || failOpen.count(path)) return SystemError(2, "File not found");
    auto bad = failReadAt.find(path);
    *file = std::make_unique<Reader>(it->second, bad == failReadAt.end() ? nullptr : &bad->second);
    return Error::Ok();
  }
  Error CreateNew(const std::string& rawPath, std::unique_ptr<WriteFile>* file) override {
    const std::string path = WinPath(rawPath);
    log.push_back("write " + path);
    if (failWrite.count(path)) return SystemError(70, "Permission denied");
    if (files.count(path) || folders.count(path)) return SystemError(80, "The file exists");
    files[path].clear();
    *file = std::make_unique<Writer>(*this, path);
    return Error::Ok();
  }
  Error Move(const std::string& rawFrom, const std::string& rawTo, bool replace) override {
    const std::string from = WinPath(rawFrom), to = WinPath(rawTo);
    log.push_back("move " + from + " " + to);
    auto it = files.find(from);
    if (it == files.end()) return SystemError(2, "File not found");
    if (failMoveTo.count(to) || Held(from)) return SystemError(32, "The file is in use");
    if (folders.count(to) || (!replace && files.count(to))) return SystemError(183, "It exists");
    std::string bytes = std::move(it->second);
    files.erase(it);
    files[to] = std::move(bytes);
    return Error::Ok();
  }
  Error ReplaceAtRestart(const std::string& rawFrom, const std::string& rawTo) override {
    const std::string from = WinPath(rawFrom), to = WinPath(rawTo);
    log.push_back("replace at restart " + from + " " + to);
    if (failRemoveAtRestart) return SystemError(5, "Access is denied");
    replacedAtRestart.push_back(from + " -> " + to);
    return Error::Ok();
  }
  bool Exists(const std::string& rawPath) override {
    const std::string path = WinPath(rawPath);
    return files.count(path) || folders.count(path);
  }
  bool IsProtected(const std::string& rawPath) override {
    return guarded.count(WinPath(rawPath)) > 0;
  }
  Error RemoveAtRestart(const std::string& rawPath) override {
    const std::string path = WinPath(rawPath);
    log.push_back("remove at restart " + path);
    if (failRemoveAtRestart) return SystemError(5, "Access is denied");
    atRestart.push_back(path);
    return Error::Ok();
  }
  Error CreateFolder(const std::string& rawPath) override {
    const std::string path = WinPath(rawPath);
    log.push_back("mkdir " + path);
    if (failWrite.count(path)) return SystemError(5, "Access is denied");
    folders.insert(path);
    return Error::Ok();
  }
  Error CreateNewFolder(const std::string& rawPath, bool restricted) override {
    const std::string path = WinPath(rawPath);
    log.push_back(std::string(restricted ? "mkdir restricted " : "mkdir new ") + path);
    if (failWrite.count(path)) return SystemError(5, "Access is denied");
    if (files.count(path) || !folders.insert(path).second) return SystemError(183, "It exists");
    return Error::Ok();
  }
  Error RemoveFolder(const std::string& rawPath) override {
    const std::string path = WinPath(rawPath);
    log.push_back("rmdir " + path);
    const auto inside = files.lower_bound(path + "\\");
    if (inside != files.end() && inside->first.compare(0, path.size() + 1, path + "\\") == 0)
      return SystemError(145, "The directory is not empty");
    if (!folders.erase(path)) return SystemError(3, "Path not found");
    return Error::Ok();
  }
  Error Remove(const std::string& rawPath) override {
    const std::string path = WinPath(rawPath);
    log.push_back("remove " + path);
    if (Held(path)) return SystemError(32, "The file is in use");
    if (failRemove.count(path) || !files.erase(path)) return SystemError(2, "File not found");
    return Error::Ok();
  }
};

class FakeRegistry final : public Registry {
 public:
  struct Value {
    uint32_t type;
    std::string data;
  };
  // Value names are one by no case, as in the registry, also beyond ASCII.
  struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
      return FoldCaseUtf8(a) < FoldCaseUtf8(b);
    }
  };
  // key path -> value name -> value
  std::map<std::string, std::map<std::string, Value, NoCase>> keys;
  long failCreate = 0, failSet = 0;  // a code: the key can't be made, the value can't be set

  // Keys under HKEY_LOCAL_MACHINE go by their path alone, the others by
  // "HKCU\\" and their path.
  static std::string Path(RegRoot root, const std::string& path) {
    return root == kHkeyCurrentUser ? "HKCU\\" + path : path;
  }
  Error ReadValue(RegRoot root, const std::string& key, const std::string& name,
                  RegValue* value) override {
    const auto values = keys.find(Path(root, key));
    if (!IsRoot(root) || values == keys.end()) return Code(2);
    const auto it = values->second.find(name);
    if (it == values->second.end()) return Code(2);
    *value = RegValue{it->second.type, it->second.data};
    return Error::Ok();
  }
  Error WriteString(RegRoot root, const std::string& key, const std::string& name,
                    const std::string& text) override {
    if (failCreate) return Code(failCreate);
    if (!IsRoot(root)) return Code(2);
    auto& values = keys[Path(root, key)];
    if (failSet) return Code(failSet);
    values[name] = Value{kRegSz, text};
    return Error::Ok();
  }
  Error DeleteValue(RegRoot root, const std::string& key, const std::string& name) override {
    const auto values = keys.find(Path(root, key));
    if (!IsRoot(root) || values == keys.end() || !values->second.erase(name)) return Code(2);
    return Error::Ok();
  }
  Error WriteDword(RegRoot root, const std::string& key, const std::string& name,
                   uint32_t value) override {
    if (failCreate) return Code(failCreate);
    if (!IsRoot(root)) return Code(2);
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>(value >> (8 * i));
    keys[Path(root, key)][name] = Value{kRegDword, data};
    return Error::Ok();
  }
  Error DeleteKey(RegRoot root, const std::string& key) override {
    if (!IsRoot(root) || !keys.erase(Path(root, key))) return Code(2);
    return Error::Ok();
  }
  Error ValueNames(RegRoot root, const std::string& key, std::vector<std::string>* names) override {
    names->clear();
    const auto values = keys.find(Path(root, key));
    if (values != keys.end())
      for (const auto& value : values->second) names->push_back(value.first);
    return Error::Ok();
  }

 private:
  static bool IsRoot(RegRoot root) { return root == kHkeyLocalMachine || root == kHkeyCurrentUser; }
  static Error Code(long code) {
    return SystemError(static_cast<int32_t>(code), "system error " + std::to_string(code));
  }
};

class FakeFonts final : public FontSystem {
 public:
  std::vector<std::string> added, removed;
  std::map<std::string, int> loads;  // path -> loads in the system's table
  std::set<std::string> failAdd;
  int broadcasts = 0;
  // A system that can't tell which Fonts key it reads for all users.
  bool noFontsKey = false;

  RegKey FontsKey(FontScope scope) override {
    if (scope == FontScope::kCurrentUser) return {kHkeyCurrentUser, kNtFontsKey};
    return {kHkeyLocalMachine, noFontsKey ? "" : kNtFontsKey};
  }
  Error AddFontResource(const std::string& path) override {
    if (failAdd.count(path)) return SystemError(2, "The system cannot find the file specified");
    added.push_back(path);
    ++loads[path];
    return Error::Ok();
  }
  bool RemoveFontResource(const std::string& path) override {
    auto it = loads.find(path);
    if (it == loads.end() || it->second == 0) return false;
    --it->second;
    removed.push_back(path);
    return true;
  }
  void BroadcastFontChange() override { ++broadcasts; }
};

class FakeShell final : public Shell {
 public:
  std::map<ShellFolder, std::string> folders;
  std::set<ShellFolder> pathless;                // folders the shell knows but gives no path
  std::map<std::string, std::string> shortcuts;  // path -> address
  // Where a folder really lies when a link leads elsewhere; others lie where they are.
  std::map<std::string, std::string> realFolders;
  // Paths that hold a link, a folder or a file of several names, or can't be written.
  std::set<std::string> notPlain;
  // A signed-in user's shell that opens what it is given, refuses it, or none.
  DesktopOpen desktopShell = DesktopOpen::kOpened;
  std::vector<std::string> opened;  // "desktop FILE", "desktop FILE refused" or FILE

  Error SpecialFolderPath(ShellFolder folder, std::string* path) override {
    if (pathless.count(folder))
      return MakeError(ErrorKind::kNoAnswer, "Invalid procedure call or argument");
    auto it = folders.find(folder);
    *path = it == folders.end() ? "" : it->second;
    return Error::Ok();
  }
  void Open(const std::string& file) override { opened.push_back(file); }
  DesktopOpen OpenAsDesktopUser(const std::string& file) override {
    if (desktopShell != DesktopOpen::kNoShell)
      opened.push_back("desktop " + file +
                       (desktopShell == DesktopOpen::kOpened ? "" : " refused"));
    return desktopShell;
  }
  Error WriteInternetShortcut(const std::string& path, const std::string& address,
                              const std::string& within) override {
    if (notPlain.count(path)) return SystemError(5, "Access is denied");
    if (!within.empty() && !IsInFolder(Real(FolderOf(path)), Real(within)))
      return SystemError(5, "Access is denied");
    shortcuts[path] = address;
    return Error::Ok();
  }
  void RemoveInternetShortcut(const std::string& path, const std::string& address) override {
    const auto it = shortcuts.find(path);
    if (it != shortcuts.end() && it->second == address) shortcuts.erase(it);
  }

 private:
  std::string Real(const std::string& folder) const {
    const auto it = realFolders.find(folder);
    return it == realFolders.end() ? folder : it->second;
  }
};

class FakeSystem final : public System {
 public:
  FakeFiles* files = nullptr;  // where the package file lies
  std::string tempPath = "C:\\Temp\\";
  bool tempFails = false;
  bool randomFails = false;
  unsigned char randomByte = 0x10;
  std::string appFolder = "C:\\Fonts Setup";
  std::string exeTitle = "setup";
  std::string commandLine;
  bool elevated = true;
  uint32_t version[3] = {10, 0, 19045};  // all zero: the call fails
  int initCalls = 0;
  int terminations = 0;
  uint32_t exitCode = 0xFFFFFFFF;

  Error TempFolder(std::string* folder) override {
    if (tempFails) return SystemError(3, "The system cannot find the path specified");
    *folder = tempPath;
    return Error::Ok();
  }
  // Each call gives bytes of one value, counting up from 0x10: names that
  // tests can predict, and never the same twice.
  bool Random(void* bytes, size_t n) override {
    if (randomFails) return false;
    std::memset(bytes, randomByte++, n);
    return true;
  }
  std::string AppFolder() override { return appFolder; }
  std::string ExeTitle() override { return exeTitle; }
  Error OpenPackageFile(std::unique_ptr<ReadFile>* file) override {
    return files->Open(WithBackslash(appFolder) + exeTitle + ".exe", file);
  }
  std::string CommandLine() override { return commandLine; }
  void InitCommonControls() override { ++initCalls; }
  std::string DescribeError(int32_t code) override {
    return "system error " + std::to_string(code);
  }
  bool IsElevated() override { return elevated; }
  std::string Today() override { return "20261209"; }
  // Each look at the clock is a tick later.
  uint32_t Milliseconds() override { return clock += tick; }
  uint32_t clock = 0, tick = 1;
  bool GetVersion(uint32_t* major, uint32_t* minor, uint32_t* build) override {
    if (version[0] == 0) return false;
    *major = version[0], *minor = version[1], *build = version[2];
    return true;
  }
  void Terminate(uint32_t code) override {
    ++terminations;
    exitCode = code;
    throw Terminated{};
  }
};

class FakeWindows final : public Windows {
 public:
  struct State {
    bool visible = true;
    bool enabled = true;
    bool loaded = false;
    std::string text;
    std::vector<std::string> texts;  // every text it was given, in order
    uint32_t color = 0x000000;
    std::string picture;
    std::vector<std::string> items;
  };
  std::map<Control, State> controls;
  struct Box {
    std::string text, title;
    int style;
  };
  std::vector<Box> boxes;
  std::deque<int> answers;  // replies to message boxes, Yes when none are left
  std::vector<std::string> log;
  int doEvents = 0;
  int refreshes = 0;

  FakeWindows() {
    controls[Control::frmMain].visible = false;
    controls[Control::frmExtracting].visible = false;
    controls[Control::imgPass].picture = "pass";
    controls[Control::imgFail].picture = "fail";
    controls[Control::cmdNext].text = "&Next";
    controls[Control::cmdCancel].text = "&Cancel";
  }
  State& operator[](Control c) { return controls[c]; }

  void Show(Control form) override {
    log.push_back("show " + Name(form));
    controls[form].loaded = controls[form].visible = true;
  }
  void Unload(Control form) override {
    log.push_back("unload " + Name(form));
    controls[form].loaded = controls[form].visible = false;
  }
  void SetVisible(Control c, bool visible) override {
    log.push_back((visible ? "visible " : "hidden ") + Name(c));
    controls[c].visible = visible;
  }
  bool IsVisible(Control c) override { return controls[c].visible; }
  void SetText(Control c, const std::string& text) override {
    controls[c].text = text;
    controls[c].texts.push_back(text);
  }
  std::string GetText(Control c) override { return controls[c].text; }
  void SetEnabled(Control c, bool enabled) override {
    log.push_back((enabled ? "enable " : "disable ") + Name(c));
    controls[c].enabled = enabled;
  }
  void SetForeColor(Control c, uint32_t bgr) override { controls[c].color = bgr; }
  void CopyPicture(Control from, Control to) override {
    controls[to].picture = controls[from].picture;
  }
  void AddItem(Control list, const std::string& text) override {
    controls[list].items.push_back(text);
  }
  void Refresh(Control form) override {
    log.push_back("refresh " + Name(form));
    ++refreshes;
  }
  void DoEvents() override { ++doEvents; }
  void SetProgress(Control bar, uint64_t done, uint64_t total) override {
    progress.push_back({bar, done, total});
  }
  struct Progress {
    Control bar;
    uint64_t done, total;
  };
  std::vector<Progress> progress;
  int MessageBox(const std::string& text, const std::string& title, int style) override {
    log.push_back("box " + title);
    boxes.push_back({text, title, style});
    if (answers.empty()) return kIdYes;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }

  static std::string Name(Control c) {
    static const char* const names[] = {
        "frmMain",  "frmExtracting", "picReady",   "picReadme",    "picLicense", "picInstall",
        "lblReady", "txtReadme",     "txtLicense", "lblInstall",   "cmdNext",    "cmdCancel",
        "imgCopy",  "imgRegister",   "imgLinks",   "imgPass",      "imgFail",    "lstFiles",
        "lstFonts", "Label7",        "Label8",     "prgExtracting"};
    static_assert(std::size(names) == kControlCount, "a name for every Control");
    return names[static_cast<int>(c)];
  }
};

// One of each fake, wired together, with the bundle the core takes.
struct FakeMachine {
  FakeFiles files;
  FakeRegistry registry;
  FakeFonts fonts;
  FakeShell shell;
  FakeSystem system;
  FakeWindows windows;
  Services services{files, registry, fonts, shell, system, windows};

  FakeMachine() {
    system.files = &files;
    files.loads = &fonts.loads;
  }
};

}  // namespace sorvela::fakes
