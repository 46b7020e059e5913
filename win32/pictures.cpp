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

void DrawPicture(HDC dc, IPicture* picture, int width, int height) {
  OLE_XSIZE_HIMETRIC pictureWidth = 0;
  OLE_YSIZE_HIMETRIC pictureHeight = 0;
  if (FAILED(picture->get_Width(&pictureWidth)) || FAILED(picture->get_Height(&pictureHeight)))
    return;
  // Averaged, not every other pixel dropped, when a picture is drawn smaller.
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  picture->Render(dc, 0, 0, width, height, 0, pictureHeight, pictureWidth, -pictureHeight,
                  nullptr);
  SetStretchBltMode(dc, oldMode);
}

}  // namespace sorvela::win32
