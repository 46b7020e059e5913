// Speed of the portable face-name reader over real fonts, against the cost
// of merely loading each file, which any caller pays anyway.
//   face_name_bench [folder]    (default /usr/share/fonts, searched recursively)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fonts/face_name.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kMinReads = 500;
constexpr double kMinSeconds = 0.2;  // parse runs are short; repeat to time them

// One sized read: the cheapest honest baseline.
std::string Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string bytes(in ? static_cast<size_t>(in.tellg()) : 0, '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void Report(const char* what, size_t reads, double seconds) {
  std::printf("%-26s %8zu reads %10.0f reads/s %9.2f us/font\n", what, reads, reads / seconds,
              1e6 * seconds / reads);
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const std::string root = argc > 1 ? argv[1] : "/usr/share/fonts";
  std::vector<std::string> fonts;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (ext == ".ttf" && it->is_regular_file(ec)) fonts.push_back(it->path().string());
  }
  if (fonts.empty()) {
    std::fprintf(stderr, "no .ttf files under %s\n", root.c_str());
    return 1;
  }
  std::vector<std::string> paths;
  while (paths.size() < kMinReads) paths.insert(paths.end(), fonts.begin(), fonts.end());

  std::vector<std::string> bytes;
  bytes.reserve(fonts.size());
  size_t totalBytes = 0, named = 0;
  for (const auto& f : fonts) {
    bytes.push_back(Load(f));
    totalBytes += bytes.back().size();
    named += !sorvela::ReadFaceName(bytes.back()).empty();
  }
  std::printf("%zu fonts (%zu with a face name), %.1f KiB average, %zu reads per pass\n",
              fonts.size(), named, totalBytes / 1024.0 / fonts.size(), paths.size());

  // The files are in the page cache by now, so this is the cheapest a load gets.
  size_t sink = 0;
  auto start = Clock::now();
  for (const auto& p : paths) sink += Load(p).size();
  const double loadSeconds = Seconds(start);

  size_t parses = 0;
  start = Clock::now();
  do {
    for (size_t i = 0; i < paths.size(); ++i)
      sink += sorvela::ReadFaceName(bytes[i % bytes.size()]).size();
    parses += paths.size();
  } while (Seconds(start) < kMinSeconds);
  const double parseSeconds = Seconds(start);

  Report("load file bytes", paths.size(), loadSeconds);
  Report("ReadFaceName (in memory)", parses, parseSeconds);
  std::printf("ReadFaceName / load ratio: %.4f\n",
              (parseSeconds / parses) / (loadSeconds / paths.size()));
  return sink == 0;  // keeps the work observable to the optimiser
}
