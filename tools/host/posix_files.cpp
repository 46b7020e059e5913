// POSIX file access for host-side tools.
#include "tools/host/posix_files.h"

#include "base/text.h"

#include "package/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sorvela {
namespace {

Error Errno(const std::string& path) {
  const int code = errno;
  if (code == 0) return MakeError(ErrorKind::kPastEnd, path + ": " + std::strerror(code));
  return SystemError(code, path + ": " + std::strerror(code));
}

class PosixReadFile final : public ReadFile {
 public:
  PosixReadFile(int fd, uint64_t length) : fd_(fd), length_(length) {}
  ~PosixReadFile() override { ::close(fd_); }
  uint64_t Length() const override { return length_; }
  Error ReadAt(uint64_t offset, void* buffer, size_t n) override {
    auto* out = static_cast<char*>(buffer);
    while (n > 0) {
      const ssize_t got = ::pread(fd_, out, n, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return MakeError(ErrorKind::kPastEnd, "Input past end of file");
      out += got;
      offset += static_cast<uint64_t>(got);
      n -= static_cast<size_t>(got);
    }
    return Error::Ok();
  }

 private:
  int fd_;
  uint64_t length_;
};

class PosixWriteFile final : public WriteFile {
 public:
  PosixWriteFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixWriteFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  Error Append(const void* data, size_t n) override {
    const char* in = static_cast<const char*>(data);
    while (n > 0) {
      const ssize_t put = ::write(fd_, in, n);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return Errno(path_);
      in += put;
      n -= static_cast<size_t>(put);
    }
    return Error::Ok();
  }
  Error Close() override {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Errno(path_);
    return Error::Ok();
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

std::string HostPath(const std::string& path) {
  // As on Windows, a name's trailing spaces and dots don't count.
  std::string host(WithoutNamePadding(std::string_view(path)));
  std::replace(host.begin(), host.end(), '\\', '/');
  return host;
}

Error PosixFiles::Open(const std::string& path, std::unique_ptr<ReadFile>* file) {
  const std::string host = HostPath(path);
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Errno(host);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return Errno(host);
  }
  *file = std::make_unique<PosixReadFile>(fd, static_cast<uint64_t>(st.st_size));
  return Error::Ok();
}

Error PosixFiles::CreateNew(const std::string& path, std::unique_ptr<WriteFile>* file) {
  const std::string host = HostPath(path);
  const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return Errno(host);
  *file = std::make_unique<PosixWriteFile>(fd, host);
  return Error::Ok();
}

Error PosixFiles::Move(const std::string& from, const std::string& to, bool replace) {
  const std::string hostFrom = HostPath(from), hostTo = HostPath(to);
  struct stat status;
  if (!replace && ::lstat(hostTo.c_str(), &status) == 0) {
    errno = EEXIST;
    return Errno(hostTo);
  }
  if (::rename(hostFrom.c_str(), hostTo.c_str()) != 0) return Errno(hostTo);
  return Error::Ok();
}

Error PosixFiles::RemoveAtRestart(const std::string& path) {
  errno = ENOTSUP;
  return Errno(HostPath(path));
}

Error PosixFiles::Remove(const std::string& path) {
  const std::string host = HostPath(path);
  if (::unlink(host.c_str()) != 0) return Errno(host);
  return Error::Ok();
}

Error PosixFiles::ReplaceAtRestart(const std::string&, const std::string& to) {
  errno = ENOTSUP;
  return Errno(HostPath(to));
}

bool PosixFiles::Exists(const std::string& path) {
  struct stat status;
  return ::lstat(HostPath(path).c_str(), &status) == 0;
}

Error PosixFiles::CreateNewFolder(const std::string& path, bool restricted) {
  const std::string host = HostPath(path);
  if (::mkdir(host.c_str(), restricted ? 0700 : 0755) != 0) return Errno(host);
  return Error::Ok();
}

Error PosixFiles::RemoveFolder(const std::string& path) {
  const std::string host = HostPath(path);
  if (::rmdir(host.c_str()) != 0) return Errno(host);
  return Error::Ok();
}

Error PosixFiles::CreateFolder(const std::string& path) {
  const std::string host = HostPath(path);
  struct stat status;
  if (::mkdir(host.c_str(), 0755) != 0 &&
      !(errno == EEXIST && ::stat(host.c_str(), &status) == 0 && S_ISDIR(status.st_mode)))
    return Errno(host);
  return Error::Ok();
}

}  // namespace sorvela
