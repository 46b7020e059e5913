// Twips and points to pixels: the layout tables are in twips, as the forms
// were drawn, and every size follows the screen's resolution.
#pragma once

#include <cstdint>

namespace sorvela::win32 {

// Twips to pixels at the given dots per inch, rounded to nearest. Callers
// convert both edges of a box so that neighbouring boxes still meet.
inline int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>((int64_t{twips} * dpi + 720) / 1440);
}

// A font's height in pixels for CreateFontA: negative asks for the character
// height, hundredths of a point so that 8.25 pt stays exact.
inline int FontHeight(int hundredthsOfPoint, int dpi) {
  return -static_cast<int>((int64_t{hundredthsOfPoint} * dpi + 3600) / 7200);
}

}  // namespace sorvela::win32
