// The narrow services through which the core reaches the system, each call
// one thing the core wants done. The Win32 layer implements them for real;
// unit tests hand in fakes that can fail any call. Strings are ANSI bytes,
// passed through unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "services/error.h"

namespace sorvela {

// One file open for reading; closed when destroyed.
class ReadFile {
 public:
  virtual ~ReadFile() = default;
  virtual uint64_t Length() const = 0;
  // Reads exactly n bytes at offset; a short read is an error.
  virtual Error ReadAt(uint64_t offset, void* buffer, size_t n) = 0;
};

// One file open for writing, from its first byte on.
class WriteFile {
 public:
  virtual ~WriteFile() = default;
  virtual Error Append(const void* data, size_t n) = 0;
  // Reports what closing reveals (a full disk); the destructor closes silently.
  virtual Error Close() = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  virtual Error Open(const std::string& path, std::unique_ptr<ReadFile>* file) = 0;
  // Creates a new file for writing. Fails when anything stands at the path (a
  // file, a folder, a link), so that nothing is ever written through a link.
  virtual Error CreateNew(const std::string& path, std::unique_ptr<WriteFile>* file) = 0;
  // Renames a file within its volume; with replace, a file at the destination
  // goes (a link there is replaced, not followed).
  virtual Error Move(const std::string& from, const std::string& to, bool replace) = 0;
  // Has the system delete the file or empty folder at its next start; fails
  // without the rights to ask for it.
  virtual Error RemoveAtRestart(const std::string& path) = 0;
  // Has the system rename the file over another at its next start; the same rights.
  virtual Error ReplaceAtRestart(const std::string& from, const std::string& to) = 0;
  // Whether anything stands at the path, also a file another program holds.
  virtual bool Exists(const std::string& path) = 0;
  // Whether the system guards the file as one of its own.
  virtual bool IsProtected(const std::string& path) = 0;
  virtual Error Remove(const std::string& path) = 0;
  // Makes one folder; a folder already there is no failure.
  virtual Error CreateFolder(const std::string& path) = 0;
  // Makes a folder that did not exist before: anything at the path fails it.
  // Restricted, only administrators and the system may change it or what is
  // made in it, from its creation on.
  virtual Error CreateNewFolder(const std::string& path, bool restricted) = 0;
  // Removes an empty folder.
  virtual Error RemoveFolder(const std::string& path) = 0;
  // Equal for two names exactly when the file system takes them for one file.
  // Here the plain key below; a system whose names fold more letters says so.
  virtual std::string NameKey(const std::string& name) { return PlainNameKey(name); }

  // Trailing spaces and dots go and ASCII letters are upper-cased: the names
  // every system that runs the stub takes for one file.
  static std::string PlainNameKey(const std::string& key) {
    return UpperAscii(std::string(WithoutNamePadding(std::string_view(key))));
  }
};

// The registry's top-level keys, by the system's own numbers.
using RegRoot = uint32_t;
constexpr RegRoot kHkeyCurrentUser = 0x80000001u;
constexpr RegRoot kHkeyLocalMachine = 0x80000002u;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

// A key of one root.
struct RegKey {
  RegRoot root = 0;
  std::string path;
};

struct RegValue {
  uint32_t type = 0;
  std::string data;  // the stored bytes, whatever the type
};

// One value at a time under a key path of a root. Failures carry the
// system's code: a missing key or value is code 2. A 32-bit program on 64-bit
// Windows reaches the keys the system itself reads (its 64-bit view).
class Registry {
 public:
  virtual ~Registry() = default;
  // Never creates the key.
  virtual Error ReadValue(RegRoot root, const std::string& key, const std::string& name,
                          RegValue* value) = 0;
  // A REG_SZ value of the text's bytes, without a terminating NUL; the key is
  // made when missing.
  virtual Error WriteString(RegRoot root, const std::string& key, const std::string& name,
                            const std::string& text) = 0;
  virtual Error WriteDword(RegRoot root, const std::string& key, const std::string& name,
                           uint32_t value) = 0;
  virtual Error DeleteValue(RegRoot root, const std::string& key, const std::string& name) = 0;
  // Deletes a key that has no subkeys, with its values.
  virtual Error DeleteKey(RegRoot root, const std::string& key) = 0;
  // The names of the key's values; a missing key has none.
  virtual Error ValueNames(RegRoot root, const std::string& key,
                           std::vector<std::string>* names) = 0;
};

// Whose fonts an install adds to: everyone's, or the current user's own.
enum class FontScope { kAllUsers, kCurrentUser };

// The system's fonts: where it lists them, loading them and telling the
// running programs.
class FontSystem {
 public:
  virtual ~FontSystem() = default;
  // The registry key in which the system lists the scope's fonts; its path
  // is "" where the system can't tell which it reads.
  virtual RegKey FontsKey(FontScope scope) = 0;
  virtual Error AddFontResource(const std::string& path) = 0;
  // Takes one load of the font file out of the system's table; false when
  // there was none.
  virtual bool RemoveFontResource(const std::string& path) = 0;
  virtual void BroadcastFontChange() = 0;
};

// The shell's folders the core looks for.
enum class ShellFolder : uint8_t {
  kFonts,    // all users' fonts
  kDesktop,  // the user's Desktop folder on disk
  kFavorites,
  kProfile,  // the user's own folder
  kLocalAppData,
  kProgramFiles,
};

class Shell {
 public:
  virtual ~Shell() = default;
  // A folder's path as the shell gives it, or "" when the shell doesn't know
  // the folder; fails when it knows the folder but gives no path.
  virtual Error SpecialFolderPath(ShellFolder folder, std::string* path) = 0;
  // Opens a file or an address with what the user has chosen for it; whether
  // that worked is of no use to the caller.
  virtual void Open(const std::string& file) = 0;
  // Opens it as Open does, but through the shell of the user signed in at
  // the desktop, so that what starts runs with that user's rights.
  enum class DesktopOpen { kOpened, kNoShell, kRefused };
  virtual DesktopOpen OpenAsDesktopUser(const std::string& file) = 0;
  // Makes path an Internet shortcut to address: a new file, or the address
  // set in an existing one, its other lines kept. Writes through no link: an
  // existing path that is a link, a folder or a file of more names than one
  // fails, and so does a path whose folder really lies (links followed)
  // outside the folder within, unless within is "".
  virtual Error WriteInternetShortcut(const std::string& path, const std::string& address,
                                      const std::string& within) = 0;
  // Deletes the Internet shortcut at path when it points at address.
  virtual void RemoveInternetShortcut(const std::string& path, const std::string& address) = 0;
};

class System {
 public:
  virtual ~System() = default;
  // The folder the system gives this process for temporary files, with a
  // form the ANSI calls reach exactly; fails when it has none such.
  virtual Error TempFolder(std::string* folder) = 0;
  // Bytes from the system's random-number generator, which no other program
  // can predict; false when it gives none.
  virtual bool Random(void* bytes, size_t n) = 0;
  // Folder of the running executable: no trailing backslash unless a drive root.
  virtual std::string AppFolder() = 0;
  // The executable's file name without its extension.
  virtual std::string ExeTitle() = 0;
  // Opens the package file, the program's own: its folder, its name, ".exe".
  // It is reached whatever characters its path holds, also those the ANSI
  // form of AppFolder and ExeTitle can't carry.
  virtual Error OpenPackageFile(std::unique_ptr<ReadFile>* file) = 0;
  // The argument text that follows the program's name.
  virtual std::string CommandLine() = 0;
  virtual void InitCommonControls() = 0;
  // The system's description of one of its error codes.
  virtual std::string DescribeError(int32_t code) = 0;
  // Whether the process may write where all users' fonts live; systems that
  // know no elevation answer true.
  virtual bool IsElevated() = 0;
  // The system's true version, which the compatibility layer does not change.
  virtual bool GetVersion(uint32_t* major, uint32_t* minor, uint32_t* build) = 0;
  // Milliseconds on a clock that only goes forward, from some start.
  virtual uint32_t Milliseconds() = 0;
  // Today's date as "YYYYMMDD", by the local clock.
  virtual std::string Today() = 0;
  // Ends the process at once with this exit code: no unload handler runs.
  // Fakes may return, so callers return right after it.
  virtual void Terminate(uint32_t exitCode) = 0;
};

// The controls the core reads or changes; the Win32 layer maps them to windows.
enum class Control {
  frmMain,
  frmExtracting,
  picReady,
  picReadme,
  picLicense,
  picInstall,
  lblReady,
  txtReadme,
  txtLicense,
  lblInstall,
  cmdNext,
  cmdCancel,
  imgCopy,
  imgRegister,
  imgLinks,
  imgPass,
  imgFail,
  lstFiles,
  lstFonts,
  // The copy and registration steps' labels, which count the fonts done, and
  // the progress window's bar.
  Label7,
  Label8,
  prgExtracting,
};
// Tables indexed by Control take their size from this.
constexpr int kControlCount = static_cast<int>(Control::prgExtracting) + 1;

constexpr int kMbOk = 0;
constexpr int kMbStop = 16;
constexpr int kMbExclamation = 48;
constexpr int kMbInformation = 64;
constexpr int kMbYesNoQuestion = 36;
constexpr int kMbYesNoInformation = 68;
// Added to a style: the text and title are UTF-8 (they name fonts), not ANSI.
constexpr int kMbUtf8 = 0x40000000;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class Windows {
 public:
  virtual ~Windows() = default;
  // Forms: frmMain, frmExtracting. Show makes a form visible (loading it first).
  virtual void Show(Control form) = 0;
  virtual void Unload(Control form) = 0;
  // A control's own visibility flag, whatever its container shows.
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual bool IsVisible(Control control) = 0;
  virtual void SetText(Control control, const std::string& text) = 0;
  virtual std::string GetText(Control control) = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetForeColor(Control control, uint32_t bgr) = 0;
  virtual void CopyPicture(Control from, Control to) = 0;
  virtual void AddItem(Control list, const std::string& text) = 0;
  // Repaints the form and its controls now, without the message loop.
  virtual void Refresh(Control form) = 0;
  // Lets the message loop handle what is waiting.
  virtual void DoEvents() = 0;
  // A progress bar at done of total.
  virtual void SetProgress(Control bar, uint64_t done, uint64_t total) = 0;
  // Modal; returns the number of the button pressed.
  virtual int MessageBox(const std::string& text, const std::string& title, int style) = 0;
};

struct Services {
  Files& files;
  Registry& registry;
  FontSystem& fonts;
  Shell& shell;
  System& system;
  Windows& windows;
};

}  // namespace sorvela
