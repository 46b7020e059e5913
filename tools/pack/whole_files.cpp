// Whole-file reads and all-or-nothing writes through <cstdio>.
#include "tools/pack/whole_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace sorvela::pack {
namespace {

struct Closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, Closer>;

bool Failed(const std::string& path, int code, std::string* why) {
  *why = path + ": " + std::strerror(code ? code : EIO);
  return false;
}

// rename() keeps an existing target on Windows; the package replaces it.
bool MoveOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
  return false;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

bool ReadWhole(const std::string& path, std::string* bytes, std::string* why) {
  errno = 0;
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return Failed(path, errno, why);
  bytes->clear();
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes->append(buffer, got);
  // A folder opens on Linux and fails here.
  if (std::ferror(file.get())) return Failed(path, errno, why);
  return true;
}

bool WriteWhole(const std::string& path, std::string_view bytes, bool program, std::string* why) {
  const std::string partial = path + ".partial";
  errno = 0;
  FilePtr file(std::fopen(partial.c_str(), "wb"));
  if (!file) return Failed(partial, errno, why);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  const int writeError = errno;
  const bool closed = std::fclose(file.release()) == 0;
  if (!written || !closed) {
    const int code = written ? errno : writeError;
    std::remove(partial.c_str());
    return Failed(path, code, why);
  }
#ifndef _WIN32
  if (program) ::chmod(partial.c_str(), 0755);
#else
  (void)program;
#endif
  if (!MoveOver(partial, path)) {
    const int code = errno;
    std::remove(partial.c_str());
    return Failed(path, code, why);
  }
  return true;
}

}  // namespace sorvela::pack
