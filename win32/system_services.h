// The system services of the core, on the "A" entry points of Win32.
#pragma once

#include "services/services.h"
#include "win32/owned.h"

namespace sorvela::win32 {

class Win32Files final : public Files {
 public:
  Error Open(const std::string& path, std::unique_ptr<ReadFile>* file) override;
  Error CreateNew(const std::string& path, std::unique_ptr<WriteFile>* file) override;
  Error Move(const std::string& from, const std::string& to, bool replace) override;
  Error RemoveAtRestart(const std::string& path) override;
  Error ReplaceAtRestart(const std::string& from, const std::string& to) override;
  bool Exists(const std::string& path) override;
  bool IsProtected(const std::string& path) override;
  Error Remove(const std::string& path) override;
  Error CreateFolder(const std::string& path) override;
  Error CreateNewFolder(const std::string& path, bool restricted) override;
  Error RemoveFolder(const std::string& path) override;
  std::string NameKey(const std::string& name) override;

 private:
  // The folder CreateNewFolder made, held open without delete sharing until
  // RemoveFolder: no other program may rename it away and put its own in its
  // place, which an elevated run would then read from.
  std::string heldPath_;
  Handle held_;
};

class Win32Registry final : public Registry {
 public:
  Error ReadValue(RegRoot root, const std::string& key, const std::string& name,
                  RegValue* value) override;
  Error WriteString(RegRoot root, const std::string& key, const std::string& name,
                    const std::string& text) override;
  Error WriteDword(RegRoot root, const std::string& key, const std::string& name,
                   uint32_t value) override;
  Error DeleteValue(RegRoot root, const std::string& key, const std::string& name) override;
  Error DeleteKey(RegRoot root, const std::string& key) override;
  Error ValueNames(RegRoot root, const std::string& key, std::vector<std::string>* names) override;
};

class Win32Fonts final : public FontSystem {
 public:
  RegKey FontsKey(FontScope scope) override;
  Error AddFontResource(const std::string& path) override;
  bool RemoveFontResource(const std::string& path) override;
  void BroadcastFontChange() override;
};

class Win32Shell final : public Shell {
 public:
  Error SpecialFolderPath(ShellFolder folder, std::string* path) override;
  void Open(const std::string& file) override;
  DesktopOpen OpenAsDesktopUser(const std::string& file) noexcept override;
  Error WriteInternetShortcut(const std::string& path, const std::string& address,
                              const std::string& within) override;
  void RemoveInternetShortcut(const std::string& path, const std::string& address) override;
};

class Win32System final : public System {
 public:
  Error TempFolder(std::string* folder) override;
  bool Random(void* bytes, size_t n) override;
  std::string AppFolder() override;
  std::string ExeTitle() override;
  Error OpenPackageFile(std::unique_ptr<ReadFile>* file) override;
  std::string CommandLine() override;
  void InitCommonControls() override;
  std::string DescribeError(int32_t code) override;
  bool IsElevated() override;
  std::string Today() override;
  uint32_t Milliseconds() override;
  bool GetVersion(uint32_t* major, uint32_t* minor, uint32_t* build) override;
  void Terminate(uint32_t exitCode) override;
};

// A folder's path by the shell's number for it (CSIDL): "" when the shell
// doesn't know the folder, a failure when it gives no path.
Error CsidlFolderPath(int csidl, std::string* path);

// The security descriptor of a restricted folder: administrators and the
// system only, inherited by all made in it, none of the parent's rights.
extern const char kRestrictedFolderSddl[];

// The running module's full path, as the ANSI calls take it: where its long
// form has no ANSI form, its short form when the volume keeps one.
std::string ModulePath();

}  // namespace sorvela::win32
