// Times the listing pass plus the extraction of packages of 1, 100 and 1,000
// entries and of about 200 MB, against `cp` copying the same bytes.
//
//   extract_bench [work folder]   (default: /tmp/sorvela-extract-bench)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "package/self_extract.h"
#include "package/text_file.h"
#include "package/trailer.h"
#include "services/null_windows.h"
#include "tools/host/posix_files.h"

namespace {

using namespace sorvela;
using Clock = std::chrono::steady_clock;

class BenchSystem final : public System {
 public:
  BenchSystem(std::string folder, std::string temp) : folder_(folder), temp_(temp) {}
  Error TempFolder(std::string* folder) override {
    *folder = temp_;
    return Error::Ok();
  }
  bool Random(void* bytes, size_t n) override {
    std::memset(bytes, 0x5A, n);
    return true;
  }
  std::string AppFolder() override { return folder_; }
  std::string ExeTitle() override { return "package"; }
  Error OpenPackageFile(std::unique_ptr<ReadFile>* file) override {
    return files_.Open(folder_ + "/package.exe", file);
  }
  std::string CommandLine() override { return ""; }
  void InitCommonControls() override {}
  std::string DescribeError(int32_t code) override { return std::to_string(code); }
  bool IsElevated() override { return true; }
  std::string Today() override { return "20260101"; }
  uint32_t Milliseconds() override { return 0; }
  bool GetVersion(uint32_t*, uint32_t*, uint32_t*) override { return false; }
  void Terminate(uint32_t) override { std::exit(1); }

 private:
  std::string folder_, temp_;
  PosixFiles files_;
};

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void Case(const std::string& work, const char* label, size_t entries, size_t entrySize) {
  const std::string dir = work + "/" + label;
  Run("rm -rf '" + dir + "' && mkdir -p '" + dir + "/src' '" + dir + "/tmp' '" + dir + "/cp'");
  std::mt19937 random(42);
  std::string package(64 * 1024, 'S');
  std::string data(entrySize, '\0');
  PosixFiles files;
  for (size_t i = 0; i < entries; ++i) {
    for (char& c : data) c = static_cast<char>(random());
    const std::string name = "font" + std::to_string(i) + ".ttf";
    trailer::AppendEntry(&package, name, data, '\0');
    (void)WriteWholeFile(files, dir + "/src/" + name, data.data(), data.size());
  }
  trailer::AppendEnd(&package, static_cast<int32_t>(entries), '\0');
  (void)WriteWholeFile(files, dir + "/package.exe", package.data(), package.size());
  package.clear();
  package.shrink_to_fit();

  BenchSystem system(dir, dir + "/tmp/");
  NullWindows windows;
  double ours = 1e9, cp = 1e9;
  for (int round = 0; round < 3; ++round) {
    Run("rm -f '" + dir + "'/tmp/* '" + dir + "'/cp/*");
    auto start = Clock::now();
    Run("cp '" + dir + "'/src/* '" + dir + "/cp/'");
    cp = std::min(cp, Seconds(start));

    start = Clock::now();
    std::vector<trailer::Entry> listed;
    if (modSelfExtract::ListPackage(system, &listed) || listed.size() != entries) {
      std::fprintf(stderr, "listing failed\n");
      std::exit(1);
    }
    std::vector<std::string> written;
    if (modSelfExtract::ExtractPackage(files, system, windows, listed, dir + "/tmp/", &written)) {
      std::fprintf(stderr, "extraction failed\n");
      std::exit(1);
    }
    ours = std::min(ours, Seconds(start));
  }
  Run("cmp -s '" + dir + "/src/font0.ttf' '" + dir + "/tmp/font0.ttf'");
  const double megabytes = static_cast<double>(entries * entrySize) / (1024 * 1024);
  std::printf("%-10s %6zu entries %9.1f MB   extract %8.4f s   cp %8.4f s   ratio %5.2f\n", label,
              entries, megabytes, ours, cp, ours / cp);
  Run("rm -rf '" + dir + "'");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string work = argc > 1 ? argv[1] : "/tmp/sorvela-extract-bench";
  Run("mkdir -p '" + work + "'");
  std::printf("listing pass + extraction against cp of the same files (best of 3)\n");
  Case(work, "one", 1, 200 * 1024);
  Case(work, "hundred", 100, 100 * 1024);
  Case(work, "thousand", 1000, 50 * 1024);
  Case(work, "large", 4, 50 * 1024 * 1024);
  return 0;
}
