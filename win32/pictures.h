// The window pictures: stored in the executable as raw JPEG or GIF data and
// decoded by the system's picture loader.
#pragma once

#include "win32/win32.h"

struct IPicture;

namespace sorvela::win32 {

// Null when the resource is missing or can't be decoded; the picture lives as
// long as the process.
IPicture* LoadPictureResource(int id);

// Draws the picture at the top left of dc. Its pixel size is taken as meant
// for 96 dots per inch and scaled to dpiX, dpiY like the layout around it.
void DrawPicture(HDC dc, IPicture* picture, int dpiX, int dpiY);

}  // namespace sorvela::win32
