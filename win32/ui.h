// The windows of the stub: frmMain with its pages and frmExtracting, built
// from the layout tables, and the Windows service the core drives them by.
#pragma once

#include "win32/control_ids.h"
#include "win32/owned.h"
#include "win32/pictures.h"
#include "win32/win32.h"

#include "services/services.h"

namespace sorvela {
class FrmMain;
}

namespace sorvela::win32 {

class Win32Windows final : public Windows {
 public:
  Win32Windows();
  ~Win32Windows() override;
  Win32Windows(const Win32Windows&) = delete;
  Win32Windows& operator=(const Win32Windows&) = delete;

  // The object whose handlers the window events call; may stay unset.
  void Attach(FrmMain* form) { form_ = form; }
  // Registers the classes and creates frmMain with its controls, hidden.
  bool Create(HINSTANCE instance) noexcept;
  HWND Hwnd(Control control) const;
  // frmMain's keyboard interface (Tab, mnemonics); true when it took msg.
  bool PreTranslate(MSG* msg);

  void Show(Control form) override;
  void Unload(Control form) override;
  void SetVisible(Control control, bool visible) override;
  bool IsVisible(Control control) override;
  void SetText(Control control, const std::string& text) override;
  std::string GetText(Control control) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetForeColor(Control control, uint32_t bgr) override;
  void CopyPicture(Control from, Control to) override;
  void AddItem(Control list, const std::string& text) override;
  void Refresh(Control form) override;
  void DoEvents() override;
  void SetProgress(Control bar, uint64_t done, uint64_t total) override;
  int MessageBox(const std::string& text, const std::string& title, int style) override;

 private:
  struct Item {
    HWND hwnd = nullptr;
    HBRUSH back = nullptr;  // null: the system's colours
    COLORREF backColor = 0;
    COLORREF fore = 0;
    Art picture = Art::kNone;
    // Labels that grow with their text: their laid-out size and the widest
    // they may become (0 for the others).
    SIZE least{};
    int room = 0;
  };

  static LRESULT CALLBACK MainProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ExtractingProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK BoxProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK PictureProc(HWND, UINT, WPARAM, LPARAM);

  LRESULT OnMain(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnColor(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnUnload();
  HWND CreateCentred(const char* className, const char* caption, int width, int height);
  void CreateExtracting();
  void CreateControls(int first, int last);
  void FitToText(Item& item);
  void FitInstallText();
  Item* Find(HWND hwnd);
  Item* ItemOf(Control control);
  void RestoreFocus();
  void CreateFonts();
  int X(int twips) const;
  int Y(int twips) const;

  FrmMain* form_ = nullptr;
  // What a close by the close box ends the process with.
  uint32_t exitCode_ = 0;
  HINSTANCE instance_ = nullptr;
  HWND main_ = nullptr;
  HWND extracting_ = nullptr;
  HWND focus_ = nullptr;
  DWORD pumped_ = 0;           // GetTickCount when DoEvents last looked at the queue
  int shownProgress_ = -1;     // where the progress bar stands
  DWORD progressShownAt_ = 0;  // and since when
  int dpiX_ = 96, dpiY_ = 96;
  GdiObject<HFONT> fonts_[4];
  GdiObject<HBRUSH> lineBrush_;  // the grey line's; the other backgrounds are the system's
  // One per control id from ids::kFirstId on, in slot id - kIdBase; slot 0
  // has no window, and an id outside the range reaches only it. The layout
  // is checked at compile time to hold only ids in the range.
  static constexpr int kIdBase = ids::kFirstId - 1;
  Item items_[ids::kLastId - kIdBase + 1];
  static unsigned Slot(int id) {
    const unsigned slot = static_cast<unsigned>(id - kIdBase);
    return slot < sizeof items_ / sizeof items_[0] ? slot : 0;
  }
  Item& At(int id) { return items_[Slot(id)]; }
  const Item& At(int id) const { return items_[Slot(id)]; }
};

}  // namespace sorvela::win32
