// Reads at 64-bit offsets and all-or-nothing writes through <cstdio>.
#include "tools/pack/stdio_files.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace sorvela::pack {
namespace {

std::string Cause(int code) { return std::strerror(code ? code : EIO); }

Error Failed(int code) { return SystemError(code ? code : EIO, Cause(code)); }

bool Seek(std::FILE* file, uint64_t offset, int whence) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), whence) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), whence) == 0;
#endif
}

int64_t Tell(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return ftello(file);
#endif
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

std::string Partial(const std::string& path) { return path + ".partial"; }

}  // namespace

bool InputFile::Open(const std::string& path, std::unique_ptr<InputFile>* file, std::string* why) {
  errno = 0;
  FilePtr opened(std::fopen(path.c_str(), "rb"));
  if (!opened) {
    *why = path + ": " + Cause(errno);
    return false;
  }
#ifndef _WIN32
  // A folder opens on Linux; Windows refuses it at the open.
  struct stat status;
  if (::fstat(fileno(opened.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
    *why = path + ": " + Cause(EISDIR);
    return false;
  }
#endif
  int64_t length = -1;
  if (Seek(opened.get(), 0, SEEK_END)) length = Tell(opened.get());
  if (length < 0) {
    *why = path + ": " + Cause(errno);
    return false;
  }
  file->reset(new InputFile(std::move(opened), static_cast<uint64_t>(length)));
  return true;
}

Error InputFile::ReadAt(uint64_t offset, void* buffer, size_t n) {
  if (offset > length_ || n > length_ - offset)
    return MakeError(ErrorKind::kPastEnd, "Input past end of file");
  errno = 0;
  if (!Seek(file_.get(), offset, SEEK_SET)) return Failed(errno);
  if (std::fread(buffer, 1, n, file_.get()) == n) return Error::Ok();
  // Shorter than it was when opened: changed while being read.
  if (!std::ferror(file_.get())) return MakeError(ErrorKind::kPastEnd, "Input past end of file");
  return Failed(errno);
}

bool OutputFile::Create(const std::string& path, bool program, std::unique_ptr<OutputFile>* file,
                        std::string* why) {
  errno = 0;
  FilePtr opened(std::fopen(Partial(path).c_str(), "wb"));
  if (!opened) {
    *why = Partial(path) + ": " + Cause(errno);
    return false;
  }
  file->reset(new OutputFile(std::move(opened), path, program));
  return true;
}

OutputFile::~OutputFile() {
  if (done_) return;
  file_.reset();
  std::remove(Partial(path_).c_str());
}

Error OutputFile::Append(const void* data, size_t n) {
  errno = 0;
  if (!failed_ && std::fwrite(data, 1, n, file_.get()) == n) return Error::Ok();
  failed_ = true;
  return Failed(errno);
}

Error OutputFile::Close() {
  errno = 0;
  if (failed_ || std::fclose(file_.release()) != 0) {
    failed_ = true;
    return Failed(errno);
  }
#ifndef _WIN32
  if (program_) ::chmod(Partial(path_).c_str(), 0755);
#endif
  if (!MoveOver(Partial(path_), path_)) {
    failed_ = true;
    return Failed(errno);
  }
  done_ = true;
  return Error::Ok();
}

}  // namespace sorvela::pack
