// The windows of the stub and the Windows service over them.
#include "base/code_page.h"
#include "win32/ui.h"

#include <algorithm>

#include "resources/resource.h"
#include "shell/frm_main.h"
#include "shell/pages.h"
#include "win32/control_ids.h"
#include "win32/geometry.h"
#include "win32/pictures.h"

#include <commctrl.h>

namespace sorvela::win32 {
namespace {

enum class Kind : uint8_t { Picture, Panel, Line, Label, Button, Edit, List, Progress };
enum Face : uint8_t { kDefaultFont, kArial14, kArial8, kTahoma8 };

constexpr int kOnMain = 0;
constexpr int kOnExtracting = -1;
constexpr COLORREF kSystemColor = CLR_INVALID;

// Positions in twips, relative to the container's client area.
struct Layout {
  int id;
  int parent;  // kOnMain, kOnExtracting or a panel's id
  Kind kind;
  Face face;
  int x, y, w, h;
  const char* text;
  DWORD style;     // added to the kind's own style
  COLORREF color;  // a line's colour or a label's text colour
  Art picture;
  bool hidden;
};

// Creation order is z-order from the top: the lines lie under the page
// panels, which cover them where they overlap. The pages start hidden: the main
// window shows with the one page the form chooses, without first drawing all
// four on top of each other (under Wine a third of its time to the wizard).
constexpr Layout kLayout[] = {
    {ids::kImgSide, kOnMain, Kind::Picture, kDefaultFont, 0, 0, 1980, 3750, "", 0, kSystemColor,
     Art::kSide, false},
    {ids::kImage2, kOnMain, Kind::Picture, kDefaultFont, 1980, 0, 4635, 570, "", 0, kSystemColor,
     Art::kBanner, false},
    {ids::kPicReady, kOnMain, Kind::Panel, kDefaultFont, 1980, 570, 4635, 3180, "", 0, kSystemColor,
     Art::kNone, true},
    {ids::kPicReadme, kOnMain, Kind::Panel, kDefaultFont, 1980, 600, 4635, 3180, "", 0,
     kSystemColor, Art::kNone, true},
    {ids::kPicLicense, kOnMain, Kind::Panel, kDefaultFont, 1980, 570, 4635, 3180, "", 0,
     kSystemColor, Art::kNone, true},
    {ids::kPicInstall, kOnMain, Kind::Panel, kDefaultFont, 1980, 570, 4635, 3180, "", 0,
     kSystemColor, Art::kNone, true},
    {ids::kLneGrey, kOnMain, Kind::Line, kDefaultFont, 0, 3750, 6600, 0, "", 0, RGB(173, 174, 156),
     Art::kNone, false},
    {ids::kLneWhite, kOnMain, Kind::Line, kDefaultFont, 0, 3765, 6600, 0, "", 0, RGB(255, 255, 255),
     Art::kNone, false},
    {ids::kLabel9, kOnMain, Kind::Label, kDefaultFont, 120, 3840, 2400, 495,
     "Click here to visit Marrowby for more great fonts!", SS_CENTER | SS_NOTIFY, RGB(0, 0, 255),
     Art::kNone, false},
    {ids::kCmdNext, kOnMain, Kind::Button, kDefaultFont, 4080, 3975, 1095, 345, "&Next",
     BS_DEFPUSHBUTTON, kSystemColor, Art::kNone, false},
    {ids::kCmdCancel, kOnMain, Kind::Button, kDefaultFont, 5355, 3975, 1095, 345, "&Cancel", 0,
     kSystemColor, Art::kNone, false},
    {ids::kLstFiles, kOnMain, Kind::List, kDefaultFont, 360, 1440, 1155, 645, "", 0, kSystemColor,
     Art::kNone, true},
    {ids::kLstFonts, kOnMain, Kind::List, kDefaultFont, 360, 2160, 1125, 645, "", 0, kSystemColor,
     Art::kNone, true},

    {ids::kLblReady, ids::kPicReady, Kind::Label, kArial14, 120, 120, 1950, 330, "Ready to Install",
     0, kSystemColor, Art::kNone, false},
    {ids::kLabel5, ids::kPicReady, Kind::Label, kArial8, 120, 480, 4395, 930,
     "Your font is ready to be installed. Click Next to begin.", 0, kSystemColor, Art::kNone,
     false},

    {ids::kTxtReadme, ids::kPicReadme, Kind::Edit, kArial8, 120, 120, 4410, 2970, "", 0,
     kSystemColor, Art::kNone, false},
    {ids::kTxtLicense, ids::kPicLicense, Kind::Edit, kArial8, 120, 120, 4410, 2970, "", 0,
     kSystemColor, Art::kNone, false},

    {ids::kLabel3, ids::kPicInstall, Kind::Label, kArial14, 120, 105, 1110, 330, "Installing", 0,
     kSystemColor, Art::kNone, false},
    {ids::kLabel6, ids::kPicInstall, Kind::Label, kArial8, 120, 480, 3645, 285,
     "Please wait while your font is installed.", 0, kSystemColor, Art::kNone, false},
    {ids::kImgCopy, ids::kPicInstall, Kind::Picture, kDefaultFont, 1080, 720, 480, 480, "", 0,
     kSystemColor, Art::kNone, false},
    {ids::kLabel7, ids::kPicInstall, Kind::Label, kArial8, 1680, 840, 1740, 210,
     "Copy font to Font Folder", 0, kSystemColor, Art::kNone, false},
    {ids::kImgRegister, ids::kPicInstall, Kind::Picture, kDefaultFont, 1080, 1320, 480, 480, "", 0,
     kSystemColor, Art::kNone, false},
    {ids::kLabel8, ids::kPicInstall, Kind::Label, kArial8, 1680, 1440, 930, 210, "Register font", 0,
     kSystemColor, Art::kNone, false},
    {ids::kImgLinks, ids::kPicInstall, Kind::Picture, kDefaultFont, 1080, 1920, 480, 480, "", 0,
     kSystemColor, Art::kNone, false},
    {ids::kLabel10, ids::kPicInstall, Kind::Label, kArial8, 1680, 2040, 1215, 210,
     "Create Web links", 0, kSystemColor, Art::kNone, false},
    {ids::kLblInstall, ids::kPicInstall, Kind::Label, kArial8, 120, 2520, 4395, 660, "", 0,
     kSystemColor, Art::kNone, false},
    {ids::kImgPass, ids::kPicInstall, Kind::Picture, kDefaultFont, 240, 960, 480, 480, "", 0,
     kSystemColor, Art::kPass, true},
    {ids::kImgFail, ids::kPicInstall, Kind::Picture, kDefaultFont, 240, 1560, 480, 480, "", 0,
     kSystemColor, Art::kFail, true},

    {ids::kLabel1, kOnExtracting, Kind::Label, kTahoma8, 120, 120, 2760, 300, "Extracting fonts...",
     SS_CENTER, kSystemColor, Art::kNone, false},
    {ids::kPrgExtracting, kOnExtracting, Kind::Progress, kDefaultFont, 120, 480, 2760, 210, "", 0,
     kSystemColor, Art::kNone, false},
};
constexpr int kExtractingControls = 2;
constexpr int kMainControls = sizeof kLayout / sizeof kLayout[0] - kExtractingControls;
// The progress bar's range: fine enough for a smooth bar.
constexpr int kProgressSteps = 1000;

// One-line headings and step labels grow to their text, so a wider font or a
// long package title is not cut off: wider up to their panel's margin, then
// onto more lines. Their size above is the least they take.
bool GrowsWithText(int id) {
  return id == ids::kLblReady || id == ids::kLabel3 || id == ids::kLabel7 || id == ids::kLabel8 ||
         id == ids::kLabel10;
}

constexpr const Layout* FindLayout(int id) {
  for (const Layout& l : kLayout)
    if (l.id == id) return &l;
  return nullptr;
}

// Of an id the layout holds.
const Layout& LayoutOf(int id) { return *FindLayout(id); }

// The size of a control's text in its font, wrapped as a label wraps it.
SIZE TextSize(HWND hwnd, int width) noexcept {
  RECT r = {0, 0, width, 0};
  const WindowDc dc(hwnd);
  if (dc.valid()) {
    const Selection font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
    char text[1024];
    const int length = GetWindowTextA(hwnd, text, sizeof text);
    DrawTextA(dc.get(), text, length, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  }
  return SIZE{r.right, r.bottom};
}

// The control id of each Control in enum order; 0 for the forms.
constexpr int kControlIds[] = {
    0,
    0,
    ids::kPicReady,
    ids::kPicReadme,
    ids::kPicLicense,
    ids::kPicInstall,
    ids::kLblReady,
    ids::kTxtReadme,
    ids::kTxtLicense,
    ids::kLblInstall,
    ids::kCmdNext,
    ids::kCmdCancel,
    ids::kImgCopy,
    ids::kImgRegister,
    ids::kImgLinks,
    ids::kImgPass,
    ids::kImgFail,
    ids::kLstFiles,
    ids::kLstFonts,
    ids::kLabel7,
    ids::kLabel8,
    ids::kPrgExtracting,
};
static_assert(sizeof kControlIds / sizeof kControlIds[0] == kControlCount, "one id per Control");

// The windows' items are indexed by control id: every id of the layout lies
// in the range they have room for, once, on a container laid out before it,
// and every Control names a laid-out control.
constexpr bool LayoutIdsFit() {
  for (const Layout& l : kLayout) {
    if (l.id < ids::kFirstId || l.id > ids::kLastId || FindLayout(l.id) != &l) return false;
    if (l.parent != kOnMain && l.parent != kOnExtracting) {
      const Layout* parent = FindLayout(l.parent);
      if (!parent || parent >= &l || parent->kind != Kind::Panel) return false;
    }
  }
  for (int id : kControlIds)  // NOLINT(readability-use-anyofallof): not constexpr in C++17
    if (id != 0 && !FindLayout(id)) return false;
  return true;
}
static_assert(LayoutIdsFit(), "control ids of the layout within ids::kFirstId..kLastId");

constexpr int IdOf(Control control) { return kControlIds[static_cast<int>(control)]; }

// Each wizard page is a panel on frmMain, and its text control lies on it.
constexpr bool PagesAreLaidOut() {
  for (const WizardPage& page : kWizardPages) {  // NOLINT(readability-use-anyofallof)
    const Layout* panel = FindLayout(IdOf(page.panel));
    const Layout* text = FindLayout(IdOf(page.text));
    if (!panel || !text || panel->kind != Kind::Panel || panel->parent != kOnMain ||
        text->parent != panel->id)
      return false;
  }
  return true;
}
static_assert(PagesAreLaidOut(), "a panel on frmMain per page, with its text control on it");

// One copy: the 64-bit division, inlined at each of a dozen conversions, cost
// the stub several hundred bytes.
__attribute__((noinline)) int Pixels(int twips, int dpi) { return TwipsToPixels(twips, dpi); }

// Where a control sits in its container, in pixels.
RECT PlaceOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// No exception may unwind through the system's frames (the stub itself is
// built without them).
template <class F>
void Guarded(F&& f) {
#if defined(__cpp_exceptions)
  try {
    f();
  } catch (...) {
  }
#else
  f();
#endif
}

bool OwnVisible(HWND hwnd) { return hwnd && (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// A fixed dialog frame: only Move and Close stay on the system menu.
void TrimSystemMenu(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
    DeleteMenu(menu, command, MF_BYCOMMAND);
}

// Each window of this program's classes keeps the Win32Windows given at its
// creation; the few messages before WM_NCCREATE find none.
Win32Windows* OwnerOf(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrA(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams));
  return reinterpret_cast<Win32Windows*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace

// Not defaulted: the object would then be initialised as a constant, its
// kilobyte of zeros stored in the executable.
Win32Windows::Win32Windows() {}

// The fonts and brushes go after the windows that use them.
Win32Windows::~Win32Windows() {
  if (extracting_) DestroyWindow(extracting_);
  if (main_) DestroyWindow(main_);
}

HWND Win32Windows::CreateCentred(const char* className, const char* caption, int width,
                                 int height) {
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, kMainStyle, FALSE, kMainExStyle);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HWND window = CreateWindowExA(
      kMainExStyle, className, caption, kMainStyle, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
      (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, nullptr, nullptr, instance_, this);
  if (window) TrimSystemMenu(window);
  return window;
}

int Win32Windows::X(int twips) const { return Pixels(twips, dpiX_); }
int Win32Windows::Y(int twips) const { return Pixels(twips, dpiY_); }

void Win32Windows::CreateFonts() {
  // The default is the stock GUI font's face and size, made here so that it
  // follows the resolution as the layout does.
  struct {
    Face face;
    const char* name;
    int size;  // hundredths of a point
  } const faces[] = {{kDefaultFont, "MS Shell Dlg", 800},
                     {kArial14, "Arial", 1425},
                     {kArial8, "Arial", 825},
                     {kTahoma8, "Tahoma", 825}};
  for (const auto& f : faces)
    fonts_[f.face].reset(CreateFontA(FontHeight(f.size, dpiY_), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, f.name));
}

bool Win32Windows::Create(HINSTANCE instance) noexcept {
  instance_ = instance;
  {
    const WindowDc screen(nullptr);
    dpiX_ = GetDeviceCaps(screen.get(), LOGPIXELSX);
    dpiY_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  CreateFonts();

  // The icon is frmIcon's: that form is never loaded, its icon serves both
  // windows and the executable file.
  HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SORVELA));
  HICON smallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SORVELA),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0));
  HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  WNDCLASSEXA classes[4] = {};
  const struct {
    const char* name;
    WNDPROC proc;
    bool form;
  } kinds[] = {{ids::kMainClass, MainProc, true},
               {ids::kExtractingClass, ExtractingProc, true},
               {ids::kBoxClass, BoxProc, false},
               {ids::kPictureClass, PictureProc, false}};
  for (int i = 0; i < 4; ++i) {
    WNDCLASSEXA& c = classes[i];
    c.cbSize = sizeof c;
    c.lpfnWndProc = kinds[i].proc;
    c.hInstance = instance;
    c.hCursor = arrow;
    c.lpszClassName = kinds[i].name;
    if (kinds[i].form) {
      c.hIcon = icon;
      c.hIconSm = smallIcon;
      c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    }
    if (!RegisterClassExA(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }

  main_ = CreateCentred(ids::kMainClass, "", X(6615), Y(4455));
  if (!main_) return false;
  CreateControls(0, kMainControls);
  return true;
}

void Win32Windows::CreateExtracting() {
  extracting_ = CreateCentred(ids::kExtractingClass, "Extracting", X(3000), Y(810));
  if (extracting_) CreateControls(kMainControls, kMainControls + kExtractingControls);
}

void Win32Windows::CreateControls(int first, int last) {
  for (int i = first; i < last; ++i) {
    const Layout& l = kLayout[i];
    HWND parent = l.parent == kOnMain         ? main_
                  : l.parent == kOnExtracting ? extracting_
                                              : At(l.parent).hwnd;
    const bool onPanel = l.parent > 0;
    const char* className = "STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | l.style | (l.hidden ? 0 : WS_VISIBLE);
    DWORD exStyle = 0;
    switch (l.kind) {
      case Kind::Picture:
        className = ids::kPictureClass;
        break;
      case Kind::Panel:
        className = ids::kBoxClass;
        style |= WS_CLIPCHILDREN;
        exStyle = WS_EX_CONTROLPARENT;
        break;
      case Kind::Line:
        className = ids::kBoxClass;
        break;
      // Labels show data such as the package title: an "&" in it is a letter.
      case Kind::Label:
        style |= SS_LEFT | SS_NOPREFIX;
        break;
      case Kind::Button:
        className = "BUTTON";
        // BS_NOTIFY: the focus moving tells which button Enter presses.
        style |= BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP;
        break;
      case Kind::Edit:
        // Without ES_WANTRETURN: Enter presses Next, also from the text.
        className = "EDIT";
        style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::List:
        className = "LISTBOX";
        style |= WS_VSCROLL | LBS_NOINTEGRALHEIGHT;  // exactly the size laid out
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::Progress:
        className = "msctls_progress32";  // PROGRESS_CLASS of the common controls
        break;
    }
    // Both edges are converted, so boxes that meet in twips meet in pixels.
    const int left = X(l.x), top = Y(l.y);
    const int width = X(l.x + l.w) - left;
    const int height = l.kind == Kind::Line ? 1 : Y(l.y + l.h) - top;
    // Panels, lines and pictures keep this object; the system's controls ignore it.
    HWND hwnd =
        CreateWindowExA(exStyle, className, l.text, style, left, top, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(l.id)), instance_, this);
    Item& item = At(l.id);
    item = Item{};
    item.hwnd = hwnd;
    if (!hwnd) continue;
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[l.face].get()), FALSE);

    switch (l.kind) {
      case Kind::Panel:
        item.back = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        break;
      case Kind::Line:
        if (l.color == RGB(255, 255, 255)) {
          item.back = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        } else {
          lineBrush_.reset(CreateSolidBrush(l.color));
          item.back = lineBrush_.get();
        }
        break;
      case Kind::Label:
        if (GrowsWithText(l.id)) {
          RECT room{};
          GetClientRect(parent, &room);
          item.least = SIZE{width, height};
          item.room = room.right - left - X(120);
          FitToText(item);
        }
        [[fallthrough]];
      case Kind::Picture:
        // Labels and pictures take their container's background.
        item.backColor = onPanel ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE);
        item.back = onPanel ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))
                            : GetSysColorBrush(COLOR_BTNFACE);
        item.fore = l.color == kSystemColor ? GetSysColor(COLOR_BTNTEXT) : l.color;
        item.picture = l.picture;
        break;
      case Kind::Edit:
        // Texts of any size; the default cap is small.
        SendMessageA(hwnd, EM_SETLIMITTEXT, 0, 0);
        break;
      case Kind::Progress:
        SendMessageA(hwnd, PBM_SETRANGE32, 0, kProgressSteps);
        break;
      default:
        break;
    }
  }
}

void Win32Windows::FitToText(Item& item) {
  const SIZE text = TextSize(item.hwnd, item.room);
  const int width = std::min(std::max(int(text.cx) + 1, int(item.least.cx)), item.room);
  const int height = std::max(text.cy, item.least.cy);
  SetWindowPos(item.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A title that takes more lines pushes the Ready page's text down, keeping
  // the gap between them.
  HWND below = At(ids::kLabel5).hwnd;
  if (item.hwnd != At(ids::kLblReady).hwnd || !below) return;
  const Layout& heading = LayoutOf(ids::kLblReady);
  const Layout& text5 = LayoutOf(ids::kLabel5);
  const int gap = Y(text5.y) - Y(heading.y + heading.h);
  const int top = std::max(Y(text5.y), int(PlaceOf(item.hwnd).bottom) + gap);
  SetWindowPos(below, nullptr, X(text5.x), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The install's outcome takes the rows of the steps below the last marked
// one when it needs more lines than its box holds: a failure's reason must be
// read whole, and a step that never ran has nothing to show.
void Win32Windows::FitInstallText() {
  Item& label = At(ids::kLblInstall);
  if (!label.hwnd) return;
  const Layout& box = LayoutOf(ids::kLblInstall);
  const Layout& intro = LayoutOf(ids::kLabel6);
  const int left = X(box.x), width = X(box.x + box.w) - left, bottom = Y(box.y + box.h);
  const int needed = TextSize(label.hwnd, width).cy;
  int top = Y(box.y);
  static const int kSteps[][2] = {{ids::kImgLinks, ids::kLabel10},
                                  {ids::kImgRegister, ids::kLabel8},
                                  {ids::kImgCopy, ids::kLabel7}};
  for (const auto& step : kSteps) {
    const Item& image = At(step[0]);
    if (bottom - top >= needed || image.picture != Art::kNone) break;
    top = std::max(Y(LayoutOf(step[0]).y), Y(intro.y + intro.h));
    ShowWindow(image.hwnd, SW_HIDE);
    ShowWindow(At(step[1]).hwnd, SW_HIDE);
  }
  SetWindowPos(label.hwnd, nullptr, left, top, width, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32Windows::Item* Win32Windows::Find(HWND hwnd) {
  Item& item = At(GetDlgCtrlID(hwnd));
  return item.hwnd && item.hwnd == hwnd ? &item : nullptr;
}

Win32Windows::Item* Win32Windows::ItemOf(Control control) {
  const int id = kControlIds[static_cast<int>(control)];
  return id ? &At(id) : nullptr;
}

HWND Win32Windows::Hwnd(Control control) const {
  if (control == Control::frmMain) return main_;
  if (control == Control::frmExtracting) return extracting_;
  return At(kControlIds[static_cast<int>(control)]).hwnd;
}

bool Win32Windows::PreTranslate(MSG* msg) {
  if (!main_) return false;
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) &&
      (msg->hwnd == main_ || IsChild(main_, msg->hwnd))) {
    // Enter presses the focused button, else Next; Esc presses Cancel. Taken
    // before the text boxes see them: a multi-line box in dialog mode would
    // close its page on Esc.
    HWND cancel = Hwnd(Control::cmdCancel);
    HWND button =
        msg->wParam == VK_ESCAPE || GetFocus() == cancel ? cancel : Hwnd(Control::cmdNext);
    if (IsWindowEnabled(button))
      SendMessageA(main_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
    return true;
  }
  // Tab, the arrows and the buttons' mnemonics.
  return IsDialogMessageA(main_, msg);
}

// Window procedures

LRESULT CALLBACK Win32Windows::MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Win32Windows* self = OwnerOf(hwnd, message, lParam))
    return self->OnMain(hwnd, message, wParam, lParam);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Win32Windows::OnMain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      // Only notifications from controls.
      if (!lParam || !form_) break;
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == ids::kCmdCancel && (code == BN_SETFOCUS || code == BN_KILLFOCUS)) {
        // The default look goes with the button Enter would press.
        const bool onCancel = code == BN_SETFOCUS;
        SendMessageA(Hwnd(Control::cmdNext), BM_SETSTYLE,
                     onCancel ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
        SendMessageA(Hwnd(Control::cmdCancel), BM_SETSTYLE,
                     onCancel ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
      } else if (id == ids::kCmdNext && code == BN_CLICKED) {
        Guarded([this] { form_->cmdNext_Click(); });
      } else if (id == ids::kCmdCancel && code == BN_CLICKED) {
        Guarded([this] { form_->cmdCancel_Click(); });
      } else if (id == ids::kLabel9 && code == STN_CLICKED) {
        Guarded([this] { form_->Label9_Click(); });
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return OnColor(hwnd, message, wParam, lParam);
    case WM_NEXTDLGCTL: {
      // A multi-line text box asks for this on Tab, as in a dialog box.
      HWND to = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0);
      if (to) SetFocus(to);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        // NOLINTNEXTLINE(readability-suspicious-call-argument): hwnd is the parent
        if (focus && IsChild(hwnd, focus)) focus_ = focus;
      } else if (!HIWORD(wParam)) {
        RestoreFocus();
      }
      return 0;
    case WM_CLOSE:
      // The install run lets the window answer while it works; it is not
      // ended half-way.
      if (form_ && form_->Busy()) return 0;
      OnUnload();
      DestroyWindow(hwnd);
      return 0;
    case WM_QUERYENDSESSION:
      // Ended half-way, the install would leave fonts set aside and values
      // naming files not yet in place: the session waits, or is forced.
      return form_ && form_->Busy() ? FALSE : TRUE;
    case WM_ENDSESSION:
      if (wParam) OnUnload();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(static_cast<int>(exitCode_));
      return 0;
    case WM_NCDESTROY:
      main_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Win32Windows::OnUnload() {
  if (!form_) return;
  exitCode_ = form_->ExitCode();
  Guarded([this] {
    int16_t cancel = 0;
    form_->Form_Unload(cancel);
  });
}

LRESULT Win32Windows::OnColor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Item* item = Find(reinterpret_cast<HWND>(lParam));
  if (!item || !item->back) return DefWindowProcA(window, message, wParam, lParam);
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, item->fore);
  SetBkColor(dc, item->backColor);
  return reinterpret_cast<LRESULT>(item->back);
}

void Win32Windows::RestoreFocus() {
  auto usable = [](HWND h) { return h && IsWindowVisible(h) && IsWindowEnabled(h); };
  HWND target = focus_;
  if (!usable(target)) target = At(ids::kCmdNext).hwnd;
  if (!usable(target)) target = main_;
  SetFocus(target);
}

LRESULT CALLBACK Win32Windows::ExtractingProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (Win32Windows* self = OwnerOf(hwnd, message, lParam)) {
    if (message == WM_CTLCOLORSTATIC) return self->OnColor(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY && self->extracting_ == hwnd) {
      self->extracting_ = nullptr;
      self->At(ids::kLabel1) = Item{};
      self->At(ids::kPrgExtracting) = Item{};
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Windows::BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Windows* self = OwnerOf(hwnd, message, lParam);
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_ERASEBKGND) {
    Item* item = self->Find(hwnd);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r,
             item && item->back ? item->back : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
  }
  // A page's controls talk to frmMain, as if they sat on it.
  if ((message == WM_COMMAND || message == WM_NEXTDLGCTL ||
       (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)) &&
      self->main_)
    return SendMessageA(self->main_, message, wParam, lParam);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Windows::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Windows* self = OwnerOf(hwnd, message, lParam);
  Item* item = self ? self->Find(hwnd) : nullptr;
  if (item && message == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r, item->back);
    return 1;
  }
  if (item && message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    DrawArt(dc, item->picture, r.right, r.bottom);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The service

void Win32Windows::Show(Control form) {
  if (form == Control::frmExtracting) {
    if (!extracting_) CreateExtracting();
    if (!extracting_) return;
    ShowWindow(extracting_, SW_SHOW);
    UpdateWindow(extracting_);
  } else if (form == Control::frmMain && main_) {
    ShowWindow(main_, SW_SHOW);
    SetForegroundWindow(main_);
  }
}

void Win32Windows::Unload(Control form) {
  // Unloading does not run Form_Unload: only the close command does.
  HWND window = Hwnd(form);
  if ((form == Control::frmMain || form == Control::frmExtracting) && window) DestroyWindow(window);
}

void Win32Windows::SetVisible(Control control, bool visible) {
  if (visible && (control == Control::frmMain || control == Control::frmExtracting)) {
    Show(control);
    return;
  }
  HWND hwnd = Hwnd(control);
  if (!hwnd) return;
  ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
  // Each page starts with the focus on Next; keys must not go on to a control
  // that is no longer on the screen.
  HWND focus = GetFocus();
  HWND next = Hwnd(Control::cmdNext);
  if (visible && IsWizardPage(control) && main_ && GetActiveWindow() == main_ &&
      IsWindowEnabled(next))
    SetFocus(next);
  // NOLINTNEXTLINE(readability-suspicious-call-argument): hwnd is the parent
  else if (!visible && focus && (focus == hwnd || IsChild(hwnd, focus)) && main_ &&
           IsChild(main_, hwnd))
    RestoreFocus();
}

bool Win32Windows::IsVisible(Control control) { return OwnVisible(Hwnd(control)); }

void Win32Windows::SetText(Control control, const std::string& text) {
  HWND hwnd = Hwnd(control);
  if (!hwnd) return;
  SetWindowTextA(hwnd, text.c_str());
  if (control == Control::lblInstall) FitInstallText();
  if (Item* item = ItemOf(control); item && item->room) FitToText(*item);
}

std::string Win32Windows::GetText(Control control) {
  HWND hwnd = Hwnd(control);
  if (!hwnd) return "";
  const int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return "";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void Win32Windows::SetEnabled(Control control, bool enabled) {
  HWND hwnd = Hwnd(control);
  if (!hwnd) return;
  EnableWindow(hwnd, enabled);
  // Disabling the focused button left the window without a focus, and with
  // it without its keyboard interface; the button enabled again takes it.
  if (enabled && !GetFocus() && main_ && GetActiveWindow() == main_ && IsChild(main_, hwnd) &&
      IsWindowVisible(hwnd))
    SetFocus(hwnd);
}

void Win32Windows::SetForeColor(Control control, uint32_t bgr) {
  Item* item = ItemOf(control);
  if (!item || !item->hwnd) return;
  item->fore = bgr;  // 0x00BBGGRR is a COLORREF already
  InvalidateRect(item->hwnd, nullptr, TRUE);
}

void Win32Windows::CopyPicture(Control from, Control to) {
  Item* source = ItemOf(from);
  Item* target = ItemOf(to);
  if (!source || !target || !target->hwnd) return;
  target->picture = source->picture;
  InvalidateRect(target->hwnd, nullptr, TRUE);
}

void Win32Windows::AddItem(Control list, const std::string& text) {
  if (HWND hwnd = Hwnd(list))
    SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32Windows::Refresh(Control form) {
  if (HWND hwnd = Hwnd(form))
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
}

void Win32Windows::DoEvents() {
  // Each look at the queue is a trip to the system: a few a second keep the
  // progress window painted without slowing a package of many entries.
  const DWORD now = GetTickCount();
  if (now - pumped_ < 30) return;
  pumped_ = now;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The main loop must still see it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (PreTranslate(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Win32Windows::SetProgress(Control bar, uint64_t done, uint64_t total) {
  // Each move repaints the bar, which under the visual styles costs
  // milliseconds: it moves when it shows more, a few dozen times a second.
  HWND hwnd = Hwnd(bar);
  const int position = total ? static_cast<int>(done * kProgressSteps / total) : kProgressSteps;
  const DWORD now = GetTickCount();
  if (!hwnd || position == shownProgress_ ||
      (position < kProgressSteps && now - progressShownAt_ < 30))
    return;
  shownProgress_ = position;
  progressShownAt_ = now;
  SendMessageA(hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int Win32Windows::MessageBox(const std::string& text, const std::string& title, int style) {
  HWND owner = OwnVisible(main_) ? main_ : nullptr;
  // A box without an owner could open behind whatever window is in front.
  const UINT flags = static_cast<UINT>(style & ~kMbUtf8) | (owner ? 0 : MB_SETFOREGROUND);
  if (!(style & kMbUtf8)) return MessageBoxA(owner, text.c_str(), title.c_str(), flags);
  const std::u16string wideText = Utf16FromUtf8(text), wideTitle = Utf16FromUtf8(title);
  return MessageBoxW(owner, reinterpret_cast<const wchar_t*>(wideText.c_str()),
                     reinterpret_cast<const wchar_t*>(wideTitle.c_str()), flags);
}

}  // namespace sorvela::win32
