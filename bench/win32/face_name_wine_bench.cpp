// Face names under Wine: the stub's GetFontName (through the system's font
// resource file) per font, against reading the same font file whole and
// against the portable name-table reader on those bytes.
//   face_name_wine_bench.exe FONT.ttf...
#include "win32/win32.h"

#include <cstdio>
#include <string>
#include <vector>

#include "fonts/face_name.h"
#include "fonts/get_font_filename.h"
#include "package/text_file.h"
#include "services/null_windows.h"
#include "win32/system_services.h"

namespace {

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace sorvela;
  win32::Win32Files files;
  win32::Win32Registry registry;
  win32::Win32Fonts fonts;
  win32::Win32Shell shell;
  win32::Win32System system;
  NullWindows windows;
  const Services s{files, registry, fonts, shell, system, windows};

  std::vector<std::string> paths(argv + 1, argv + argc);
  if (paths.empty()) return 2;
  const int rounds = paths.size() >= 300 ? 1 : static_cast<int>(300 / paths.size()) + 1;
  const size_t reads = rounds * paths.size();

  size_t named = 0;
  double start = Now();
  for (int r = 0; r < rounds; ++r)
    for (const std::string& path : paths) {
      std::string face;
      if (!GetFontName(s, path, &face) && !face.empty()) ++named;
    }
  const double system_seconds = Now() - start;

  size_t bytes_total = 0, portable_named = 0;
  start = Now();
  for (int r = 0; r < rounds; ++r)
    for (const std::string& path : paths) {
      std::string bytes;
      if (!ReadWholeFile(files, path, &bytes)) bytes_total += bytes.size();
    }
  const double read_seconds = Now() - start;

  start = Now();
  for (int r = 0; r < rounds; ++r)
    for (const std::string& path : paths) {
      std::string bytes;
      if (!ReadWholeFile(files, path, &bytes) && !ReadFaceName(bytes).empty()) ++portable_named;
    }
  const double portable_seconds = Now() - start;

  const double us = 1e6 / static_cast<double>(reads);
  std::printf("%zu face-name reads over %zu fonts (%zu named by the system, %zu by the reader)\n",
              reads, paths.size(), named, portable_named);
  std::printf("GetFontName (font resource file)  %9.1f us per font\n", system_seconds * us);
  std::printf("read the font file whole          %9.1f us per font\n", read_seconds * us);
  std::printf("read + portable name-table reader %9.1f us per font\n", portable_seconds * us);
  std::printf("GetFontName / file read: %.1fx   GetFontName / portable: %.1fx\n",
              system_seconds / read_seconds, system_seconds / portable_seconds);
  return named == reads ? 0 : 1;
}
