// The package tool's files: a package written beside its place and put there
// whole, or not at all.
#include "tools/pack/stdio_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace sorvela::pack {
namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

TEST(StdioFiles, AnOutputIsReplacedWholeOnCloseAndNotAtAllWithout) {
  std::string folder =
      std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/stdio-files-XXXXXX";
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  const std::string path = folder + "/package.exe";
  std::ofstream(path, std::ios::binary) << "earlier";
  std::string why;
  for (const bool close : {false, true}) {
    std::unique_ptr<OutputFile> file;
    ASSERT_TRUE(OutputFile::Create(path, true, &file, &why)) << why;
    ASSERT_FALSE(file->Append("new ", 4));
    ASSERT_FALSE(file->Append("bytes", 5));
    EXPECT_EQ(Contents(path), "earlier") << "before the close";
    if (close) {
      EXPECT_FALSE(file->Close());
    }
    file.reset();
    EXPECT_EQ(Contents(path), close ? "new bytes" : "earlier") << close;
    EXPECT_EQ(Contents(path + ".partial"), "(none)") << close;
  }

  std::unique_ptr<InputFile> input;
  ASSERT_TRUE(InputFile::Open(path, &input, &why)) << why;
  char bytes[5];
  ASSERT_FALSE(input->ReadAt(4, bytes, 5));
  EXPECT_EQ(std::string(bytes, 5), "bytes");
  EXPECT_EQ(input->ReadAt(5, bytes, 5).kind, ErrorKind::kPastEnd);
  EXPECT_FALSE(InputFile::Open(folder, &input, &why));
  EXPECT_EQ(why, folder + ": Is a directory");
  std::remove(path.c_str());
  std::remove(folder.c_str());
}

}  // namespace
}  // namespace sorvela::pack
