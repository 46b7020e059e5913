// e2e-driver: drives a GUI program under Wine for the end-to-end tests.
//
// Reads a script, one command per line, from the file named by its argument
// or from standard input, and prints one line per observation on standard
// output. Words are separated by blanks; "..." quotes a word, with the
// escapes \r \n \t \" \\ inside. A line starting with # is a comment.
// Controls are named by number or, after `ids`, by the names of a header.
// Times are in milliseconds. A wait that runs out prints "FAIL ..." and ends
// the script with exit code 1; a script that runs to its end exits with 0.
//
//   ids FILE                  names of control ids ("#define NAME N", "NAME = N"); silent
//   start EXE [ARGTEXT]       runs "EXE" ARGTEXT (UTF-8); unix paths become Z:\...
//   attach TITLE MS           takes the process owning a window of that title
//   wait-window TITLE MS      waits for a visible top-level window; selects it
//   wait-gone TITLE MS        waits until no visible window has that title
//   use TITLE                 selects a visible window without waiting
//   windows                   visible top-level windows of the process
//   title | client | window-rect | screen | dpi
//   text C | wait-text C TEXT MS | caption C | box-text | visible C | enabled C
//   pixels C                  hash of what C shows on the screen, and how many
//                             of its pixels are not white
//   style C | prop C NAME | image C | items C | rect C | which-visible C...
//   click C                   WM_COMMAND from C to its parent, if C is enabled
//   mouse C                   a real left click in the middle of C
//   key KEYS                  real key events to the selected window: keys
//                             joined by +, pressed in order and let go in
//                             reverse (enter, esc, tab, shift+tab, alt+n, ctrl+end)
//   wait-focus C MS | wait-visible C MS | wait-enabled C MS
//   wait-scroll C top|down MS until the text box C shows its first line / a later one
//   texts-fit [all]           measures every visible label and push button text of
//                             the selected window with the control's own font
//                             (by e2e-measure.dll, beside the driver); prints
//                             "cut ..." for each whose box is too small ("fits ..."
//                             too for the others with "all"), then "texts-fit N measured"
//   close                     WM_SYSCOMMAND SC_CLOSE to the selected window
//   press yes|no|ok|cancel|abort|retry|ignore   a button of a message box
//   wait-exit MS              prints the exit code
//   watch-exit MS             the same, and every window title seen meanwhile
//   auto TITLE BUTTON         from now on, waits for the exit press BUTTON in
//                             any box of that title
//   suspend | resume          stops or restarts the selected window's thread
//   paint                     has the selected window and its controls repainted,
//                             and waits for it
//   hold PATH [readable] | release PATH
//                             opens a file without sharing (or letting others
//                             only read it) / closes it
//   face FONTFILE             the face name the system's font resource carries
//   memory                    the started process's peak working set and peak
//                             pagefile use in KiB, as the system tells them
//   probe start|stop          for benchmarks: from a thread of its own, WM_NULL to
//                             each visible window of the process in turn, again
//                             and again until stop, which prints the longest wait
//                             for an answer: "probe MS TITLE N" over N answers
//   echo TEXT
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 20;
// How long a click waits for its handler before the script goes on: a handler
// that opens a modal box or runs long is left to the next wait.
constexpr UINT kHandlerMs = 2000;
constexpr UINT kReadMs = 5000;

struct Failure {
  std::string what;
};

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (c < 32 || c == 127) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

void Say(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i >= line.size()) break;
    std::string word;
    if (line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
          const char e = line[++i];
          word += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
        } else {
          word += line[i];
        }
      }
      if (i >= line.size()) throw Failure{"unterminated quote: " + line};
      ++i;
    } else {
      while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
        word += line[i++];
    }
    words.push_back(word);
  }
  return words;
}

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

// How long a window went without answering: WM_NULL sent to each visible
// window of one process in turn, from a thread of the driver's own, so that
// the script's waits go on meanwhile.
class AnswerProbe {
 public:
  explicit AnswerProbe(DWORD pid) : pid_(pid) {}
  void Start() { thread_ = CreateThread(nullptr, 0, Loop, this, 0, nullptr); }
  void Stop() {
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  double worstMs = 0;
  std::string worstTitle;
  unsigned long answers = 0;

 private:
  // A window that never answers ends the wait here, counted as this long.
  static constexpr UINT kGiveUpMs = 600000;
  // Between rounds, so that the probe does not take the server from the program.
  static constexpr DWORD kPauseMs = 5;
  static DWORD WINAPI Loop(LPVOID self) {
    static_cast<AnswerProbe*>(self)->Run();
    return 0;
  }
  void Run();

  DWORD pid_;
  HANDLE thread_ = nullptr;
  volatile LONG stop_ = 0;
};

class Driver {
 public:
  void Run(const std::vector<std::string>& w);

 private:
  // Windows of the target process only, once there is one.
  bool Ours(HWND hwnd) const {
    if (pid_ == 0) return true;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid == pid_;
  }
  std::vector<HWND> TopLevel() const;
  HWND FindTop(const std::string& title) const;
  HWND Current() const {
    if (!current_ || !IsWindow(current_)) throw Failure{"no window selected"};
    return current_;
  }
  int Id(const std::string& name) const;
  HWND Control(const std::string& name) const;
  std::string Text(HWND hwnd) const;
  std::string BoxText(HWND box) const;
  void Start(const std::vector<std::string>& w);
  void Attach(const std::string& title, DWORD ms);
  void WaitExit(DWORD ms, bool watch);
  void LoadIds(const std::string& path);
  static int Button(const std::string& name);
  static void Press(HWND box, int button);
  void Face(const std::string& font);
  std::string Name(HWND hwnd) const;
  HWND Focus() const;
  void Foreground() const;
  void Key(const std::string& keys);
  template <class Ready>
  void WaitFor(const std::vector<std::string>& w, Ready ready);
  void TextsFit(bool all);

  std::map<int, std::string> names_;
  DWORD hookedThread_ = 0;

  std::map<std::string, int> ids_;
  std::map<std::string, HANDLE> held_;
  std::map<std::string, int> autoAnswers_;
  HANDLE process_ = nullptr;
  std::unique_ptr<AnswerProbe> probe_;
  DWORD startedAt_ = 0;  // GetTickCount at the last start
  DWORD pid_ = 0;
  HWND current_ = nullptr;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

// A hash of what the window shows on the screen, and how many of its pixels
// are not white.
void ScreenPixels(HWND hwnd, uint32_t* hash, size_t* coloured) {
  RECT r;
  GetWindowRect(hwnd, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  *hash = 2166136261u;
  *coloured = 0;
  for (uint32_t pixel : pixels) {
    pixel &= 0xFFFFFF;
    *hash = (*hash ^ pixel) * 16777619u;
    if (pixel != 0xFFFFFF) ++*coloured;
  }
}

void AnswerProbe::Run() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  while (!InterlockedCompareExchange(&stop_, 0, 0)) {
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND hwnd : all) {
      DWORD pid = 0;
      GetWindowThreadProcessId(hwnd, &pid);
      if (pid != pid_ || !IsWindowVisible(hwnd)) continue;
      LARGE_INTEGER sent, answered;
      DWORD_PTR ignored;
      QueryPerformanceCounter(&sent);
      SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kGiveUpMs, &ignored);
      QueryPerformanceCounter(&answered);
      const double ms = (answered.QuadPart - sent.QuadPart) * 1000.0 / frequency.QuadPart;
      ++answers;
      if (ms > worstMs) {
        worstMs = ms;
        char title[256] = {};
        GetWindowTextA(hwnd, title, sizeof title);
        worstTitle = title;
      }
    }
    Sleep(kPauseMs);
  }
}

std::vector<HWND> Driver::TopLevel() const {
  std::vector<HWND> all, ours;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  for (HWND hwnd : all)
    if (IsWindowVisible(hwnd) && Ours(hwnd)) ours.push_back(hwnd);
  return ours;
}

std::string Caption(HWND hwnd) {
  char buffer[1024] = {};
  // Reads the stored caption without sending a message, so a busy target
  // can't block the driver.
  GetWindowTextA(hwnd, buffer, sizeof buffer);
  return buffer;
}

HWND Driver::FindTop(const std::string& title) const {
  for (HWND hwnd : TopLevel())
    if (Caption(hwnd) == title) return hwnd;
  return nullptr;
}

int Driver::Id(const std::string& name) const {
  auto it = ids_.find(name);
  if (it != ids_.end()) return it->second;
  char* end = nullptr;
  const long id = std::strtol(name.c_str(), &end, 0);
  if (name.empty() || *end) throw Failure{"unknown control name " + name};
  return static_cast<int>(id);
}

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindChild(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (GetDlgCtrlID(hwnd) == search->id) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND Driver::Control(const std::string& name) const {
  const HWND top = Current();
  const int id = Id(name);
  HWND hwnd = GetDlgItem(top, id);
  if (!hwnd) {
    // Controls placed on a page panel are grandchildren of the window.
    ChildSearch search{id, nullptr};
    EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&search));
    hwnd = search.found;
  }
  if (!hwnd) throw Failure{"no control " + name + " in " + Quote(Caption(top))};
  return hwnd;
}

std::string Driver::Text(HWND hwnd) const {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kReadMs, &length))
    return Caption(hwnd);
  std::vector<char> buffer(length + 1);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_NORMAL, kReadMs, &copied))
    return Caption(hwnd);
  return std::string(buffer.data(), std::min<size_t>(copied, length));
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

std::string ClassOf(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

// The message of a message box: its static control that holds text (the
// icon is a static without text).
std::string Driver::BoxText(HWND box) const {
  std::vector<HWND> children;
  EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    if (lstrcmpiA(ClassOf(child).c_str(), "Static") != 0) continue;
    const std::string text = Text(child);
    if (!text.empty()) return text;
  }
  throw Failure{"no message text in " + Quote(Caption(box))};
}

void Driver::Start(const std::vector<std::string>& w) {
  if (w.size() < 2 || w.size() > 3) throw Failure{"start EXE [ARGTEXT]"};
  const std::string exe = WindowsPath(w[1]);
  std::string commandLine = "\"" + exe + "\"";
  if (w.size() == 3) commandLine += " " + w[2];
  // Scripts are UTF-8, so that a program can lie in a folder whose name the
  // ANSI code page can't write.
  const auto wide = [](const std::string& text) {
    std::vector<wchar_t> out(text.size() + 1);
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()));
    out.resize(n > 0 ? n : 1);
    return out;
  };
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::vector<wchar_t> path = wide(exe), line = wide(commandLine);
  startedAt_ = GetTickCount();
  if (!CreateProcessW(path.data(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    throw Failure{"start " + Quote(exe) + ": error " + std::to_string(GetLastError())};
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  current_ = nullptr;
  Say("start " + Quote(w.size() == 3 ? w[2] : ""));
}

void Driver::Attach(const std::string& title, DWORD ms) {
  const DWORD deadline = GetTickCount() + ms;
  pid_ = 0;
  for (;;) {
    if (HWND hwnd = FindTop(title)) {
      GetWindowThreadProcessId(hwnd, &pid_);
      process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid_);
      current_ = hwnd;
      Say("attach " + Quote(title));
      return;
    }
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0)
      throw Failure{"no window " + Quote(title) + " within " + std::to_string(ms) + " ms"};
    Sleep(kPollMs);
  }
}

int Driver::Button(const std::string& name) {
  static const std::map<std::string, int> buttons = {
      {"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
      {"ignore", IDIGNORE}, {"yes", IDYES},       {"no", IDNO}};
  auto it = buttons.find(name);
  if (it == buttons.end()) throw Failure{"unknown button " + name};
  return it->second;
}

void Driver::Press(HWND box, int id) {
  const HWND button = GetDlgItem(box, id);
  if (!button) throw Failure{"no button " + std::to_string(id) + " in " + Quote(Caption(box))};
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Driver::WaitExit(DWORD ms, bool watch) {
  if (!process_) throw Failure{"no process"};
  const DWORD deadline = GetTickCount() + ms;
  std::set<std::string> seen;
  std::set<HWND> answered;
  for (;;) {
    for (HWND hwnd : TopLevel()) {
      const std::string title = Caption(hwnd);
      // Untitled windows are Wine's own helpers, which unmanaged windows
      // briefly show while a process ends.
      if (watch && !title.empty() && seen.insert(title).second) Say("seen " + Quote(title));
      auto rule = autoAnswers_.find(title);
      if (rule != autoAnswers_.end() && answered.insert(hwnd).second) {
        SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kHandlerMs, nullptr);
        Say("answered " + Quote(title) + " " + Quote(BoxText(hwnd)));
        Press(hwnd, rule->second);
      }
    }
    if (WaitForSingleObject(process_, kPollMs) == WAIT_OBJECT_0) break;
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0)
      throw Failure{"process still running after " + std::to_string(ms) + " ms"};
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  Say("exit " + std::to_string(code));
}

void Driver::LoadIds(const std::string& path) {
  FILE* file = std::fopen(WindowsPath(path).c_str(), "r");
  if (!file) throw Failure{"can't read " + path};
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, file)) {
    // "#define NAME 1001", "NAME = 1001," and "constexpr int NAME = 1001;"
    const std::string line = buffer;
    std::string key, number;
    size_t at = line.find("#define");
    if (at != std::string::npos) {
      const std::vector<std::string> w = Words(line.substr(at + 7));
      if (w.size() >= 2) key = w[0], number = w[1];
    } else if ((at = line.find('=')) != std::string::npos && at > 0) {
      size_t end = line.find_last_not_of(" \t", at - 1);
      size_t begin = end;
      while (begin != std::string::npos && begin > 0 &&
             (std::isalnum(static_cast<unsigned char>(line[begin - 1])) || line[begin - 1] == '_'))
        --begin;
      if (end != std::string::npos) key = line.substr(begin, end + 1 - begin);
      const size_t digits = line.find_first_not_of(" \t", at + 1);
      if (digits != std::string::npos) number = line.substr(digits);
    }
    char* stop = nullptr;
    const long value = number.empty() ? 0 : std::strtol(number.c_str(), &stop, 0);
    if (key.empty() || number.empty() || stop == number.c_str() ||
        !(std::isalpha(static_cast<unsigned char>(key[0])) || key[0] == '_'))
      continue;
    ids_[key] = static_cast<int>(value);
    names_.emplace(static_cast<int>(value), key);
    // Short names for prefixed ones: IDC_cmdNext and kCmdNext answer to cmdNext,
    // kLabel9 to Label9 and label9.
    for (const char* prefix : {"IDC_", "ID_", "k"}) {
      const size_t n = std::strlen(prefix);
      if (key.compare(0, n, prefix) == 0 && key.size() > n) {
        std::string shortName = key.substr(n);
        ids_.emplace(shortName, static_cast<int>(value));
        shortName[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(shortName[0])));
        ids_.emplace(shortName, static_cast<int>(value));
      }
    }
  }
  std::fclose(file);
  if (ids_.empty()) throw Failure{"no control ids in " + path};
}

// The system's answer, made the way the installer makes it: a font resource
// file written by gdi32 and read after its marker.
void Driver::Face(const std::string& font) {
  char folder[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  const std::string resource = std::string(folder) + "e2e-face.fot";
  DeleteFileA(resource.c_str());
  if (!CreateScalableFontResourceA(1, resource.c_str(), WindowsPath(font).c_str(), nullptr)) {
    Say("face \"\"");
    return;
  }
  std::string bytes;
  if (FILE* file = std::fopen(resource.c_str(), "rb")) {
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    std::fclose(file);
  }
  DeleteFileA(resource.c_str());
  const size_t marker = bytes.find("FONTRES:");
  std::string name;
  if (marker != std::string::npos) {
    const size_t start = marker + 8;
    name = bytes.substr(start, bytes.find('\0', start) - start);
  }
  Say("face " + Quote(name));
}

std::string Rect(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

DWORD Ms(const std::vector<std::string>& w, size_t i) {
  if (i >= w.size()) throw Failure{w[0] + ": missing time"};
  return static_cast<DWORD>(std::strtoul(w[i].c_str(), nullptr, 10));
}

const std::string& Arg(const std::vector<std::string>& w, size_t i) {
  if (i >= w.size()) throw Failure{w[0] + ": missing argument"};
  return w[i];
}

bool Expired(DWORD deadline) { return static_cast<LONG>(GetTickCount() - deadline) >= 0; }

// A control's name from the ids header, else its id, else its class.
std::string Driver::Name(HWND hwnd) const {
  if (!hwnd) return "(none)";
  const int id = GetDlgCtrlID(hwnd);
  auto it = names_.find(id);
  if (it != names_.end()) return it->second;
  return id ? std::to_string(id) : ClassOf(hwnd);
}

HWND Driver::Focus() const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(Current(), nullptr), &info);
  return info.hwndFocus;
}

// Input goes to the foreground window, so the selected window must be it.
void Driver::Foreground() const {
  const HWND hwnd = Current();
  SetForegroundWindow(hwnd);
  const DWORD deadline = GetTickCount() + kHandlerMs;
  while (GetForegroundWindow() != hwnd) {
    if (Expired(deadline)) throw Failure{"can't bring " + Quote(Caption(hwnd)) + " to the front"};
    Sleep(kPollMs);
  }
}

void Driver::Key(const std::string& keys) {
  static const std::map<std::string, WORD> named = {
      {"enter", VK_RETURN}, {"esc", VK_ESCAPE}, {"tab", VK_TAB},   {"space", VK_SPACE},
      {"pgup", VK_PRIOR},   {"pgdn", VK_NEXT},  {"home", VK_HOME}, {"end", VK_END},
      {"up", VK_UP},        {"down", VK_DOWN},  {"f4", VK_F4},     {"ctrl", VK_CONTROL},
      {"alt", VK_MENU},     {"shift", VK_SHIFT}};
  // Keys of the navigation block are the extended ones, not the keypad's.
  static const std::set<WORD> extended = {VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_UP, VK_DOWN};
  std::vector<INPUT> down;
  size_t start = 0;
  for (;;) {
    const size_t plus = keys.find('+', start);
    const std::string name = keys.substr(start, plus == std::string::npos ? plus : plus - start);
    WORD vk = 0;
    auto it = named.find(name);
    if (it != named.end())
      vk = it->second;
    else if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
      vk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    else
      throw Failure{"unknown key " + name};
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    if (extended.count(vk)) input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    down.push_back(input);
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  std::vector<INPUT> inputs = down;
  for (auto it = down.rbegin(); it != down.rend(); ++it) {
    INPUT up = *it;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(up);
  }
  Foreground();
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// wait-X C MS: polls ready(control) until it holds or the time is up.
template <class Ready>
void Driver::WaitFor(const std::vector<std::string>& w, Ready ready) {
  const HWND hwnd = Control(Arg(w, 1));
  const DWORD ms = Ms(w, w.size() - 1), deadline = GetTickCount() + ms;
  while (!ready(hwnd)) {
    if (Expired(deadline)) {
      std::string what = w[0] + " " + w[1];
      for (size_t i = 2; i + 1 < w.size(); ++i) what += " " + w[i];
      throw Failure{what + ": not after " + std::to_string(ms) + " ms (focus on " + Name(Focus()) +
                    ")"};
    }
    Sleep(kPollMs);
  }
  std::string line = w[0].substr(5) + " " + w[1];
  for (size_t i = 2; i + 1 < w.size(); ++i) line += " " + w[i];
  Say(line);
}

void Driver::TextsFit(bool all) {
  const HWND top = Current();
  const DWORD thread = GetWindowThreadProcessId(top, nullptr);
  if (hookedThread_ != thread) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dll = path;
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "e2e-measure.dll";
    HMODULE module = LoadLibraryA(dll.c_str());
    auto hook = module ? reinterpret_cast<HOOKPROC>(
                             reinterpret_cast<void*>(GetProcAddress(module, "MeasureHook")))
                       : nullptr;
    if (!hook || !SetWindowsHookExA(WH_CALLWNDPROC, hook, module, thread))
      throw Failure{"texts-fit: can't hook with " + dll};
    hookedThread_ = thread;
  }
  static const UINT kMeasure = RegisterWindowMessageA("e2e-measure");
  std::vector<HWND> children;
  EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&children));
  int measured = 0;
  for (HWND child : children) {
    if (!IsWindowVisible(child)) continue;
    const std::string text = Text(child);
    if (text.empty()) continue;
    const std::string kind = ClassOf(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    // Only the part its containers leave in view counts.
    RECT box;
    GetClientRect(child, &box);
    MapWindowPoints(child, nullptr, reinterpret_cast<POINT*>(&box), 2);
    RECT view = box;
    for (HWND parent = GetParent(child); parent; parent = GetParent(parent)) {
      RECT area;
      GetClientRect(parent, &area);
      MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&area), 2);
      IntersectRect(&view, &view, &area);
      if (parent == top) break;
    }
    UINT flags = 0;
    int align = 0;  // 0 left, 1 centred, 2 right
    bool middle = false;
    if (lstrcmpiA(kind.c_str(), "Static") == 0) {
      // Drawn as the control draws it: the first three kinds wrap.
      const LONG type = style & SS_TYPEMASK;
      if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) continue;
      flags = DT_EXPANDTABS | (type <= SS_RIGHT ? DT_WORDBREAK : DT_SINGLELINE) |
              ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
      align = type <= SS_RIGHT ? type : 0;
    } else if (lstrcmpiA(kind.c_str(), "Button") == 0 &&
               (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON) {
      // A push button's text sits centred inside its raised edge.
      flags = DT_SINGLELINE;
      align = 1;
      middle = true;
      InflateRect(&box, -2 * GetSystemMetrics(SM_CXEDGE), -2 * GetSystemMetrics(SM_CYEDGE));
      IntersectRect(&view, &view, &box);
    } else {
      continue;
    }
    // Wrapped at the control's own width, as it draws.
    const int width = box.right - box.left, height = box.bottom - box.top;
    RemovePropA(child, "e2e-cx");
    RemovePropA(child, "e2e-cy");
    DWORD_PTR ignored;
    SendMessageTimeoutA(child, kMeasure, flags, width, SMTO_NORMAL, kReadMs, &ignored);
    const auto cx = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(child, "e2e-cx")));
    const auto cy = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(child, "e2e-cy")));
    if (cy <= 0) throw Failure{"texts-fit: " + Name(child) + " was not measured"};
    ++measured;
    const int left = box.left + (width - cx) * align / 2;
    const int top = middle ? box.top + (height - cy) / 2 : box.top;
    const bool cut =
        left < view.left || top < view.top || left + cx > view.right || top + cy > view.bottom;
    if (cut || all)
      Say(std::string(cut ? "cut " : "fits ") + Name(child) + " " + Quote(text) + " needs " +
          std::to_string(cx) + "x" + std::to_string(cy) + ", shows " +
          std::to_string(view.right - view.left) + "x" + std::to_string(view.bottom - view.top));
  }
  Say("texts-fit " + std::to_string(measured) + " measured");
}

void Driver::Run(const std::vector<std::string>& w) {
  const std::string& c = w[0];
  if (c == "ids") {
    LoadIds(Arg(w, 1));
  } else if (c == "start") {
    Start(w);
  } else if (c == "attach") {
    Attach(Arg(w, 1), Ms(w, 2));
  } else if (c == "wait-window") {
    const std::string& title = Arg(w, 1);
    const DWORD ms = Ms(w, 2), deadline = GetTickCount() + ms;
    for (;;) {
      if (HWND hwnd = FindTop(title)) {
        // A window may show before its controls exist: wait until its thread
        // is back in a message loop, at most until the deadline.
        DWORD_PTR ignored;
        SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL,
                            std::max<LONG>(1, static_cast<LONG>(deadline - GetTickCount())),
                            &ignored);
        current_ = hwnd;
        Say("window " + Quote(title));
        return;
      }
      if (process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        throw Failure{"process ended (exit " + std::to_string(code) + ") without window " +
                      Quote(title)};
      }
      if (Expired(deadline))
        throw Failure{"no window " + Quote(title) + " within " + std::to_string(ms) + " ms"};
      Sleep(kPollMs);
    }
  } else if (c == "wait-gone") {
    const std::string& title = Arg(w, 1);
    const DWORD ms = Ms(w, 2), deadline = GetTickCount() + ms;
    while (FindTop(title)) {
      if (Expired(deadline))
        throw Failure{"window " + Quote(title) + " still there after " + std::to_string(ms) +
                      " ms"};
      Sleep(kPollMs);
    }
    Say("gone " + Quote(title));
  } else if (c == "use") {
    const HWND hwnd = FindTop(Arg(w, 1));
    if (!hwnd) throw Failure{"no window " + Quote(w[1])};
    current_ = hwnd;
    Say("window " + Quote(w[1]));
  } else if (c == "windows") {
    std::string line = "windows";
    for (HWND hwnd : TopLevel()) line += " " + Quote(Caption(hwnd));
    Say(line);
  } else if (c == "title") {
    Say("title " + Quote(Caption(Current())));
  } else if (c == "client") {
    RECT r;
    GetClientRect(Current(), &r);
    Say("client " + std::to_string(r.right) + " " + std::to_string(r.bottom));
  } else if (c == "window-rect") {
    RECT r;
    GetWindowRect(Current(), &r);
    Say("window-rect " + Rect(r));
  } else if (c == "screen") {
    Say("screen " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
        std::to_string(GetSystemMetrics(SM_CYSCREEN)));
  } else if (c == "dpi") {
    HDC dc = GetDC(nullptr);
    Say("dpi " + std::to_string(GetDeviceCaps(dc, LOGPIXELSX)));
    ReleaseDC(nullptr, dc);
  } else if (c == "text") {
    Say("text " + w[1] + " " + Quote(Text(Control(Arg(w, 1)))));
  } else if (c == "caption") {
    // The text the system keeps for the window, read without a message: for
    // labels and buttons, also while their thread is stopped or busy.
    Say("caption " + w[1] + " " + Quote(Caption(Control(Arg(w, 1)))));
  } else if (c == "pixels") {
    // What a control shows on the screen, for comparing one picture with
    // another: a hash of its pixels and how many of them are not white.
    const HWND hwnd = Control(Arg(w, 1));
    // Wine hands a window's drawing to the X server in its own time (its
    // surfaces are flushed every few tens of milliseconds): read until the
    // screen has held still for a tenth of a second and more.
    uint32_t hash = 0, last = 0;
    size_t coloured = 0;
    const DWORD deadline = GetTickCount() + kHandlerMs;
    DWORD since = GetTickCount();
    for (;;) {
      ScreenPixels(hwnd, &hash, &coloured);
      if (hash != last) last = hash, since = GetTickCount();
      if (GetTickCount() - since >= 150 || Expired(deadline)) break;
      Sleep(kPollMs);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", hash);
    Say("pixels " + w[1] + " " + hex + " " + std::to_string(coloured));
  } else if (c == "wait-text") {
    const HWND hwnd = Control(Arg(w, 1));
    const std::string& want = Arg(w, 2);
    const DWORD ms = Ms(w, 3), deadline = GetTickCount() + ms;
    std::string text;
    while ((text = Text(hwnd)) != want) {
      if (Expired(deadline))
        throw Failure{"text " + w[1] + " is " + Quote(text) + ", not " + Quote(want) + " after " +
                      std::to_string(ms) + " ms"};
      Sleep(kPollMs);
    }
    Say("text " + w[1] + " " + Quote(text));
  } else if (c == "box-text") {
    Say("box-text " + Quote(BoxText(Current())));
  } else if (c == "visible") {
    const LONG style = GetWindowLongA(Control(Arg(w, 1)), GWL_STYLE);
    Say("visible " + w[1] + " " + ((style & WS_VISIBLE) ? "1" : "0"));
  } else if (c == "which-visible") {
    std::string line = "which-visible";
    for (size_t i = 1; i < w.size(); ++i)
      if (GetWindowLongA(Control(w[i]), GWL_STYLE) & WS_VISIBLE) line += " " + w[i];
    Say(line);
  } else if (c == "enabled") {
    Say("enabled " + w[1] + " " + (IsWindowEnabled(Control(Arg(w, 1))) ? "1" : "0"));
  } else if (c == "style") {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%08lX",
                  static_cast<unsigned long>(GetWindowLongA(Control(Arg(w, 1)), GWL_STYLE)));
    Say("style " + w[1] + " " + hex);
  } else if (c == "prop") {
    const HANDLE value = GetPropA(Control(Arg(w, 1)), Arg(w, 2).c_str());
    Say("prop " + w[1] + " " + w[2] + " " +
        std::to_string(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(value))));
  } else if (c == "image") {
    // Whether a static shows a picture: the handle it answers is only compared with 0.
    const HWND hwnd = Control(Arg(w, 1));
    DWORD_PTR bitmap = 0, icon = 0;
    SendMessageTimeoutA(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_NORMAL, kReadMs, &bitmap);
    SendMessageTimeoutA(hwnd, STM_GETIMAGE, IMAGE_ICON, 0, SMTO_NORMAL, kReadMs, &icon);
    Say("image " + w[1] + " " + ((bitmap || icon) ? "1" : "0"));
  } else if (c == "items") {
    const HWND hwnd = Control(Arg(w, 1));
    DWORD_PTR count = 0;
    SendMessageTimeoutA(hwnd, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kReadMs, &count);
    std::string line = "items " + w[1] + " " + std::to_string(count);
    for (DWORD_PTR i = 0; i < count; ++i) {
      DWORD_PTR length = 0;
      SendMessageTimeoutW(hwnd, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, kReadMs, &length);
      // Wide, because Wine garbles the ANSI form of LB_GETTEXT between processes.
      std::vector<wchar_t> item(length + 1);
      SendMessageTimeoutW(hwnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()), SMTO_NORMAL,
                          kReadMs, &length);
      char ansi[1024] = {};
      WideCharToMultiByte(CP_ACP, 0, item.data(), -1, ansi, sizeof ansi - 1, nullptr, nullptr);
      line += " " + Quote(ansi);
    }
    Say(line);
  } else if (c == "rect") {
    // Left, top, width, height in the client area of the control's parent.
    const HWND hwnd = Control(Arg(w, 1));
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    Say("rect " + w[1] + " " + Rect(r));
  } else if (c == "click") {
    const HWND hwnd = Control(Arg(w, 1));
    if (!IsWindowEnabled(hwnd) || !IsWindowVisible(hwnd)) {
      Say("click " + w[1] + (IsWindowEnabled(hwnd) ? " hidden" : " disabled"));
      return;
    }
    const bool isStatic = lstrcmpiA(ClassOf(hwnd).c_str(), "Static") == 0;
    const WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(hwnd), isStatic ? STN_CLICKED : BN_CLICKED);
    DWORD_PTR ignored;
    SendMessageTimeoutA(GetParent(hwnd), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(hwnd),
                        SMTO_NORMAL, kHandlerMs, &ignored);
    Say("click " + w[1]);
  } else if (c == "mouse") {
    const HWND hwnd = Control(Arg(w, 1));
    RECT r;
    GetWindowRect(hwnd, &r);
    const POINT middle = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    SetForegroundWindow(Current());
    SetWindowPos(Current(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Another window over the spot would take the click.
    const DWORD deadline = GetTickCount() + kHandlerMs;
    while (WindowFromPoint(middle) != hwnd) {
      if (Expired(deadline)) throw Failure{"mouse: " + w[1] + " is covered"};
      Sleep(kPollMs);
    }
    SetCursorPos(middle.x, middle.y);
    // Each event carries the spot itself: the cursor's move may not have
    // reached the server yet when the button goes down.
    INPUT input[2] = {};
    for (INPUT& event : input) {
      event.type = INPUT_MOUSE;
      event.mi.dx = MulDiv(middle.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
      event.mi.dy = MulDiv(middle.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    DWORD_PTR ignored;
    // Returns once the target has taken the input that came before.
    SendMessageTimeoutA(Current(), WM_NULL, 0, 0, SMTO_NORMAL, kHandlerMs, &ignored);
    Say("mouse " + w[1]);
  } else if (c == "key") {
    Key(Arg(w, 1));
    Say("key " + w[1]);
  } else if (c == "wait-focus") {
    WaitFor(w, [this](HWND hwnd) { return Focus() == hwnd; });
  } else if (c == "wait-visible") {
    WaitFor(w, [](HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; });
  } else if (c == "wait-enabled") {
    WaitFor(w, [](HWND hwnd) { return IsWindowEnabled(hwnd) != FALSE; });
  } else if (c == "wait-scroll") {
    const bool top = Arg(w, 2) == "top";
    if (!top && w[2] != "down") throw Failure{"wait-scroll C top|down MS"};
    WaitFor(w, [top](HWND hwnd) {
      DWORD_PTR line = 0;
      SendMessageTimeoutA(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_NORMAL, kReadMs, &line);
      return (line == 0) == top;
    });
  } else if (c == "texts-fit") {
    TextsFit(w.size() > 1 && w[1] == "all");
  } else if (c == "query-end") {
    // What the window answers when the session is to end: 1 lets it, 0 not.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(Current(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kHandlerMs, &answer))
      throw Failure{"query-end: no answer"};
    Say("query-end " + std::to_string(answer));
  } else if (c == "close") {
    const HWND hwnd = Current();
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    Say("close " + Quote(Caption(hwnd)));
  } else if (c == "press") {
    Press(Current(), Button(Arg(w, 1)));
    Say("press " + w[1]);
  } else if (c == "auto") {
    autoAnswers_[Arg(w, 1)] = Button(Arg(w, 2));
    Say("auto " + Quote(w[1]) + " " + w[2]);
  } else if (c == "suspend" || c == "resume") {
    const HANDLE thread =
        OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(Current(), nullptr));
    if (!thread) throw Failure{c + ": error " + std::to_string(GetLastError())};
    if (c == "suspend")
      SuspendThread(thread);
    else
      ResumeThread(thread);
    CloseHandle(thread);
    Say(c);
  } else if (c == "paint") {
    // Not RDW_UPDATENOW: it would wait for the window's thread without a limit.
    const HWND hwnd = Current();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    const DWORD deadline = GetTickCount() + kHandlerMs;
    // The controls on the pages are painted on their own, after the window.
    const auto pending = [hwnd] {
      std::vector<HWND> windows{hwnd};
      EnumChildWindows(hwnd, CollectChild, reinterpret_cast<LPARAM>(&windows));
      for (HWND window : windows)
        if (GetUpdateRect(window, nullptr, FALSE)) return true;
      return false;
    };
    while (pending() && !Expired(deadline)) Sleep(kPollMs);
    // A region is valid from the start of its WM_PAINT: wait for the end.
    DWORD_PTR ignored;
    SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kHandlerMs, &ignored);
    Say("paint");
  } else if (c == "wait-exit") {
    WaitExit(Ms(w, 1), false);
  } else if (c == "watch-exit") {
    WaitExit(Ms(w, 1), true);
  } else if (c == "hold") {
    const std::string& path = Arg(w, 1);
    // "readable": as the system holds a font it has loaded, which others may
    // read but not rename or delete.
    const bool readable = w.size() > 2 && w[2] == "readable";
    const HANDLE file = CreateFileA(
        WindowsPath(path).c_str(), readable ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
        readable ? FILE_SHARE_READ : 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      throw Failure{"hold " + path + ": error " + std::to_string(GetLastError())};
    held_[path] = file;
    Say("hold " + Quote(path) + (readable ? " readable" : ""));
  } else if (c == "release") {
    auto it = held_.find(Arg(w, 1));
    if (it == held_.end()) throw Failure{"release: " + w[1] + " is not held"};
    CloseHandle(it->second);
    held_.erase(it);
    Say("release " + Quote(w[1]));
  } else if (c == "face") {
    Face(Arg(w, 1));
  } else if (c == "ms") {
    // For benchmarks: how long since the last start.
    Say("ms " + std::to_string(GetTickCount() - startedAt_));
  } else if (c == "memory") {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!process_ || !GetProcessMemoryInfo(process_, &counters, sizeof counters))
      throw Failure{"memory: error " + std::to_string(GetLastError())};
    Say("memory " + std::to_string(counters.PeakWorkingSetSize / 1024) + " " +
        std::to_string(counters.PeakPagefileUsage / 1024));
  } else if (c == "probe") {
    const std::string& what = Arg(w, 1);
    if (what == "start" && pid_ && !probe_) {
      probe_ = std::make_unique<AnswerProbe>(pid_);
      probe_->Start();
      Say("probe start");
    } else if (what == "stop" && probe_) {
      probe_->Stop();
      Say("probe " + std::to_string(static_cast<long>(probe_->worstMs + 0.5)) + " " +
          Quote(probe_->worstTitle) + " " + std::to_string(probe_->answers));
      probe_.reset();
    } else {
      throw Failure{"probe start (with a process, once) | probe stop (after a start)"};
    }
  } else if (c == "echo") {
    Say("echo " + Quote(Arg(w, 1)));
  } else {
    throw Failure{"unknown command " + c};
  }
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  FILE* script = stdin;
  if (argc > 1 && std::strcmp(argv[1], "-") != 0) {
    script = std::fopen(WindowsPath(argv[1]).c_str(), "r");
    if (!script) {
      Say(std::string("FAIL can't read ") + argv[1]);
      return 2;
    }
  }
  Driver driver;
  std::string line;
  int ch;
  bool more = true;
  while (more) {
    line.clear();
    while ((ch = std::fgetc(script)) != EOF && ch != '\n') line += static_cast<char>(ch);
    more = ch != EOF;
    try {
      const std::vector<std::string> words = Words(line);
      if (words.empty() || words[0][0] == '#') continue;
      driver.Run(words);
    } catch (const Failure& failure) {
      Say("FAIL " + failure.what);
      return 1;
    }
  }
  return 0;
}
