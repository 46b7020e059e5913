// The window pictures, drawn at run time at the size of their box: sharp at
// any resolution, and no room taken in the executable.
#pragma once

#include <cstdint>

#include "win32/win32.h"

namespace sorvela::win32 {

enum class Art : uint8_t { kNone, kSide, kBanner, kPass, kFail };

// Draws the picture filling the box of width x height pixels at the top
// left of dc.
void DrawArt(HDC dc, Art art, int width, int height);

}  // namespace sorvela::win32
