// The pictures, drawn with GDI at several times their size and reduced with
// averaging, which gives shapes and letters smooth edges at any resolution.
// Positions are in units of the picture's size at 96 dots per inch.
#include "win32/pictures.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "win32/owned.h"

namespace sorvela::win32 {
namespace {

constexpr int kSamples = 4;

struct Rgb {
  int r, g, b;
};
constexpr Rgb kNavy{0x16, 0x35, 0x5C}, kTeal{0x2A, 0x8A, 0xA8}, kAccent{0x2A, 0x6F, 0x9E},
    kInk{0x1F, 0x4A, 0x72}, kWhite{255, 255, 255}, kMist{0xDD, 0xE8, 0xF2},
    kGreen{0x2F, 0x9E, 0x55}, kDarkGreen{0x26, 0x86, 0x4A}, kRed{0xD9, 0x44, 0x3C},
    kDarkRed{0xBB, 0x37, 0x30};

// A 32-bit top-down bitmap selected into a memory DC, its pixels at hand.
class Canvas {
 public:
  Canvas(HDC like, int width, int height)
      : width_(width),
        height_(height),
        bitmap_(Bitmap(like, width, height, &bits_)),
        dc_(CreateCompatibleDC(like)),
        // Fails, and leaves the canvas unready, when either is missing.
        selected_(dc_.get(), bitmap_.get()) {
    if (Ready()) std::memset(bits_, 0, Pixels() * sizeof *bits_);
  }

  bool Ready() const { return selected_.valid(); }
  HDC Dc() const { return dc_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  size_t Pixels() const { return static_cast<size_t>(width_) * height_; }
  uint32_t* Bits() { return bits_; }

 private:
  static HBITMAP Bitmap(HDC like, int width, int height, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(like, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr,
                            0);
  }

  // In this order: the bitmap is taken out of the DC, the DC deleted, then the bitmap.
  int width_, height_;
  uint32_t* bits_ = nullptr;
  GdiObject<HBITMAP> bitmap_;
  MemoryDc dc_;
  Selection selected_;
};

uint32_t Pack(Rgb c) { return static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b); }

int Mix(int from, int to, int weight, int of) { return from + (to - from) * weight / of; }

// A gradient from one colour to another along the direction (dx, dy).
void Gradient(Canvas& canvas, Rgb from, Rgb to, int dx, int dy) {
  const int w = canvas.Width(), h = canvas.Height();
  const int span = dx * w + dy * h;
  uint32_t* pixel = canvas.Bits();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int t = dx * x + dy * y;
      *pixel++ = Pack(
          {Mix(from.r, to.r, t, span), Mix(from.g, to.g, t, span), Mix(from.b, to.b, t, span)});
    }
}

// A black mask the size of a canvas, for shapes drawn in white and then
// laid over the canvas in a colour: GDI has no transparency of its own.
class Mask : public Canvas {
 public:
  explicit Mask(Canvas& canvas) : Canvas(canvas.Dc(), canvas.Width(), canvas.Height()) {
    if (!Ready()) return;
    SetBkMode(Dc(), TRANSPARENT);
    SetTextColor(Dc(), RGB(255, 255, 255));
    SetTextAlign(Dc(), TA_BASELINE | TA_LEFT);
    // Stock objects, left selected: the DC goes with the mask.
    SelectObject(Dc(), GetStockObject(WHITE_BRUSH));
    SelectObject(Dc(), GetStockObject(NULL_PEN));
  }

  // Lays the colour over the canvas, at opacity percent, where the mask is white.
  void Onto(Canvas& canvas, Rgb color, int opacity) {
    if (!Ready()) return;
    const uint32_t* m = Bits();
    uint32_t* pixel = canvas.Bits();
    for (size_t i = 0, n = canvas.Pixels(); i < n; ++i, ++pixel) {
      const int weight = static_cast<int>(m[i] & 0xFF) * opacity;
      if (weight == 0) continue;
      const int r = static_cast<int>(*pixel >> 16 & 0xFF), g = static_cast<int>(*pixel >> 8 & 0xFF),
                b = static_cast<int>(*pixel & 0xFF);
      *pixel = Pack({Mix(r, color.r, weight, 25500), Mix(g, color.g, weight, 25500),
                     Mix(b, color.b, weight, 25500)});
    }
  }
};

// Scales design units to canvas pixels.
struct Units {
  int canvasWidth, designWidth;
  int operator()(double units) const {
    return static_cast<int>(std::lround(units * canvasWidth / designWidth));
  }
};

void Text(HDC dc, const Units& u, const char* face, int weight, double size, double x, double y,
          const char* text) {
  const GdiObject<HFONT> font(CreateFontA(-u(size), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                          ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          ANTIALIASED_QUALITY, VARIABLE_PITCH, face));
  const Selection selected(dc, font.get());
  TextOutA(dc, u(x), u(y), text, static_cast<int>(std::strlen(text)));
}

// Lines of the given width with round ends, through the points given.
void Stroke(HDC dc, const Units& u, double width, std::initializer_list<POINT> points) {
  LOGBRUSH brush{BS_SOLID, RGB(255, 255, 255), 0};
  const GdiObject<HPEN> pen(ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                         static_cast<DWORD>(u(width)), &brush, 0, nullptr));
  const Selection selected(dc, pen.get());
  bool first = true;
  for (POINT p : points) {
    // Points are in tenths of a unit.
    const int x = u(p.x / 10.0), y = u(p.y / 10.0);
    if (first)
      MoveToEx(dc, x, y, nullptr);
    else
      LineTo(dc, x, y);
    first = false;
  }
}

constexpr char kSerif[] = "Times New Roman";
constexpr char kSans[] = "Tahoma";

void Fill(HDC dc, const RECT& r) {
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

// 132 x 250: a diagonal gradient, a large faint letter cut off at the
// bottom, and a type specimen "Aa" on its guide lines.
void Side(Canvas& c, const Units& u) {
  Gradient(c, kNavy, kTeal, 1, 1);
  {
    Mask m(c);
    Text(m.Dc(), u, kSerif, FW_BOLD, 230, -6, 272, "A");
    m.Onto(c, kWhite, 9);
  }
  {
    Mask m(c);
    Stroke(m.Dc(), u, 1, {{120, 595}, {1210, 595}});
    Stroke(m.Dc(), u, 1, {{120, 705}, {1210, 705}});
    m.Onto(c, kWhite, 18);
  }
  {
    Mask m(c);
    Stroke(m.Dc(), u, 1, {{120, 965}, {1210, 965}});
    m.Onto(c, kWhite, 35);
  }
  {
    Mask m(c);
    Text(m.Dc(), u, kSerif, FW_NORMAL, 50, 16, 96, "Aa");
    m.Onto(c, kWhite, 100);
  }
  Mask m(c);
  Fill(m.Dc(), {u(131), 0, c.Width(), c.Height()});
  m.Onto(c, kWhite, 12);
}

// 309 x 38: nearly white, an accent rule at the bottom, faint specimen
// letters on the right and the step's name.
void Banner(Canvas& c, const Units& u) {
  Gradient(c, kWhite, kMist, 3, 1);
  {
    Mask m(c);
    Fill(m.Dc(), {0, u(36), c.Width(), c.Height()});
    m.Onto(c, kAccent, 100);
  }
  {
    Mask m(c);
    Text(m.Dc(), u, kSerif, FW_NORMAL, 34, 196, 34, "Aa Bb");
    m.Onto(c, kAccent, 10);
  }
  Mask m(c);
  Text(m.Dc(), u, kSans, FW_NORMAL, 14, 12, 24, "Font installation");
  m.Onto(c, kInk, 100);
}

// 32 x 32 on white: a disc with a white tick or cross.
void Mark(Canvas& c, const Units& u, bool passed) {
  std::memset(c.Bits(), 0xFF, c.Pixels() * sizeof *c.Bits());
  {
    Mask m(c);
    Ellipse(m.Dc(), u(2.6), u(2.6), u(29.4), u(29.4));
    m.Onto(c, passed ? kDarkGreen : kDarkRed, 100);
  }
  {
    Mask m(c);
    Ellipse(m.Dc(), u(3.4), u(3.4), u(28.6), u(28.6));
    m.Onto(c, passed ? kGreen : kRed, 100);
  }
  Mask m(c);
  if (passed) {
    Stroke(m.Dc(), u, 3.25, {{98, 165}, {143, 210}, {225, 118}});
  } else {
    Stroke(m.Dc(), u, 3.25, {{115, 115}, {205, 205}});
    Stroke(m.Dc(), u, 3.25, {{205, 115}, {115, 205}});
  }
  m.Onto(c, kWhite, 100);
}

}  // namespace

void DrawArt(HDC dc, Art art, int width, int height) {
  if (art == Art::kNone || width <= 0 || height <= 0) return;
  Canvas canvas(dc, width * kSamples, height * kSamples);
  if (!canvas.Ready()) return;
  const int design = art == Art::kSide ? 132 : art == Art::kBanner ? 309 : 32;
  const Units u{canvas.Width(), design};
  switch (art) {
    case Art::kSide:
      Side(canvas, u);
      break;
    case Art::kBanner:
      Banner(canvas, u);
      break;
    case Art::kPass:
      Mark(canvas, u, true);
      break;
    case Art::kFail:
      Mark(canvas, u, false);
      break;
    case Art::kNone:
      break;
  }
  // Averaged, not every other pixel dropped.
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, 0, 0, width, height, canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

}  // namespace sorvela::win32
