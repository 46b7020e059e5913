// The window pictures: stored in the executable as raw JPEG or GIF data and
// decoded by the system's picture loader.
#pragma once

#include "win32/win32.h"

struct IPicture;

namespace sorvela::win32 {

// Null when the resource is missing or can't be decoded; the picture lives as
// long as the process.
IPicture* LoadPictureResource(int id);

// Draws the picture into the box of width x height pixels at the top left of
// dc, scaled to fill it: the boxes are laid out for the pictures' sizes, so
// only a resolution other than 96 dots per inch changes its scale.
void DrawPicture(HDC dc, IPicture* picture, int width, int height);

}  // namespace sorvela::win32
