// Loading the pictures from the resources and drawing them.
#include "win32/pictures.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "resources/resource.h"

namespace sorvela::win32 {

IPicture* LoadPictureResource(int id) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(RT_PICTURE_DATA));
  if (!found) return nullptr;
  const DWORD size = SizeofResource(nullptr, found);
  const void* data = LockResource(LoadResource(nullptr, found));
  if (!data || size == 0) return nullptr;

  // The loader reads from a stream; the stream frees the copy.
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  std::memcpy(GlobalLock(copy), data, size);
  GlobalUnlock(copy);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
    GlobalFree(copy);
    return nullptr;
  }
  IPicture* picture = nullptr;
  if (FAILED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(&picture))))
    picture = nullptr;
  stream->Release();
  return picture;
}

void DrawPicture(HDC dc, IPicture* picture, int dpiX, int dpiY) {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height))) return;
  // The loader sized the picture in HIMETRIC at the screen's resolution; back
  // to its own pixels, then to the layout's scale.
  HDC screen = GetDC(nullptr);
  const int pixelsX = MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
  const int pixelsY = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
  ReleaseDC(nullptr, screen);
  picture->Render(dc, 0, 0, MulDiv(pixelsX, dpiX, 96), MulDiv(pixelsY, dpiY, 96), 0, height, width,
                  -height, nullptr);
}

}  // namespace sorvela::win32
