// Files for the package tool over the C library alone, so that one
// implementation serves the tool on Linux and on Windows. Offsets are 64-bit
// on both: packages and fonts may be larger than 2 GiB. Errors carry the
// cause alone; the caller names the file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "services/services.h"

namespace sorvela::pack {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class InputFile final : public ReadFile {
 public:
  // False with *why naming the file and the cause; a folder is no file.
  static bool Open(const std::string& path, std::unique_ptr<InputFile>* file, std::string* why);
  uint64_t Length() const override { return length_; }
  Error ReadAt(uint64_t offset, void* buffer, size_t n) override;

 private:
  InputFile(FilePtr file, uint64_t length) : file_(std::move(file)), length_(length) {}
  FilePtr file_;
  uint64_t length_;
};

// A file written beside its path and renamed over it by Close, so that a
// failure, or an OutputFile dropped unclosed, leaves no partial file and the
// old one, if any, as it was.
class OutputFile final : public WriteFile {
 public:
  // A program is made runnable where that is a permission.
  static bool Create(const std::string& path, bool program, std::unique_ptr<OutputFile>* file,
                     std::string* why);
  ~OutputFile() override;
  Error Append(const void* data, size_t n) override;
  Error Close() override;
  // Whether an Append or the Close failed, to tell a copy's failing side.
  bool failed() const { return failed_; }

 private:
  OutputFile(FilePtr file, std::string path, bool program)
      : file_(std::move(file)), path_(std::move(path)), program_(program) {}
  FilePtr file_;
  std::string path_;
  bool program_;
  bool failed_ = false;
  bool done_ = false;
};

}  // namespace sorvela::pack
