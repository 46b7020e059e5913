// Scoped owners of the system's handles: each gives back what it holds when
// it ends, once. Move-only; get() lends, release() gives up ownership.
//
// Stock objects and the system's colour brushes belong to the system and are
// never owned: a GdiObject takes only the typed handles of the objects this
// program creates, never the bare HGDIOBJ that GetStockObject returns, and a
// GetSysColorBrush result must not be given to one either.
//
// In code built with exceptions, a function that holds owners and calls only
// the system is best noexcept: otherwise each call gets a cleanup path that
// ends the owners, and the stub grows by it.
#pragma once

#include <type_traits>

#include "win32/win32.h"
#include <objbase.h>
#include <shtypes.h>

namespace sorvela::win32 {

// What each kind of handle is closed by, and which values hold nothing.
namespace closers {

struct NullIsNone {
  template <class T>
  static bool Valid(T h) noexcept {
    return h != nullptr;
  }
};

// Both of the values the kernel's calls return for "no handle".
struct Kernel {
  static bool Valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { CloseHandle(h); }
};

struct Gdi : NullIsNone {
  template <class Object>
  static void Close(Object h) noexcept {
    static_assert(std::is_same_v<Object, HFONT> || std::is_same_v<Object, HBRUSH> ||
                      std::is_same_v<Object, HPEN> || std::is_same_v<Object, HBITMAP>,
                  "only the typed handles of objects this program made");
    DeleteObject(h);
  }
};

struct MemoryDc : NullIsNone {
  static void Close(HDC h) noexcept { DeleteDC(h); }
};

struct Com : NullIsNone {
  template <class Interface>
  static void Close(Interface* p) noexcept {
    p->Release();
  }
};

struct RegistryKey : NullIsNone {
  static void Close(HKEY h) noexcept { RegCloseKey(h); }
};

struct TaskMemory : NullIsNone {
  static void Close(void* p) noexcept { CoTaskMemFree(p); }
};

}  // namespace closers

template <class T, class Closer>
class Owned {
 public:
  Owned() noexcept = default;
  explicit Owned(T h) noexcept : h_(h) {}
  ~Owned() {
    if (valid()) Closer::Close(h_);
  }
  Owned(Owned&& other) noexcept : h_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  T get() const noexcept { return h_; }
  bool valid() const noexcept { return Closer::Valid(h_); }
  explicit operator bool() const noexcept { return valid(); }
  T release() noexcept {
    const T h = h_;
    h_ = T();
    return h;
  }
  void reset(T h = T()) noexcept {
    if (valid()) Closer::Close(h_);
    h_ = h;
  }
  // For calls that hand a new handle back through a pointer; closes the old one.
  T* put() noexcept {
    reset();
    return &h_;
  }

 private:
  T h_ = T();
};

// A kernel object: a file, a process token.
using Handle = Owned<HANDLE, closers::Kernel>;

// A font, brush, pen or bitmap made by this program.
template <class Object>
using GdiObject = Owned<Object, closers::Gdi>;

// An open registry key.
using RegistryKey = Owned<HKEY, closers::RegistryKey>;

// A DC of CreateCompatibleDC.
using MemoryDc = Owned<HDC, closers::MemoryDc>;

// Memory the COM task allocator gave out, such as a shell item-id list.
template <class T>
using TaskMemory = Owned<T*, closers::TaskMemory>;
using ItemIdList = TaskMemory<ITEMIDLIST>;

template <class Interface>
class ComPtr : public Owned<Interface*, closers::Com> {
 public:
  using Owned<Interface*, closers::Com>::Owned;
  Interface* operator->() const noexcept { return this->get(); }
};

// A window's DC (of the screen for a null window), released to that window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(WindowDc&& other) noexcept : window_(other.window_), dc_(other.dc_) {
    other.dc_ = nullptr;
  }
  WindowDc& operator=(WindowDc&&) = delete;
  WindowDc(const WindowDc&) = delete;

  HDC get() const noexcept { return dc_; }
  bool valid() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a DC; the one it replaced goes back when this ends,
// before the object itself may be deleted. Not for regions, which SelectObject
// copies.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  // Inlined: a shared copy, with its unwinding entry, costs the stub more.
  __attribute__((always_inline)) ~Selection() {
    if (old_) SelectObject(dc_, old_);
  }
  Selection(Selection&& other) noexcept : dc_(other.dc_), old_(other.old_) { other.old_ = nullptr; }
  Selection& operator=(Selection&&) = delete;
  Selection(const Selection&) = delete;

  // False when the object could not be selected.
  bool valid() const noexcept { return old_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace sorvela::win32
