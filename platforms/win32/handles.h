// Small owners for the handles the platform takes from the system, so that
// every handle is released in the scope that obtained it.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace virelta::win32 {

struct DeleteDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct FreeModule {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct CloseFileHandle {
  void operator()(HANDLE file) const {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

// A memory device context (CreateCompatibleDC).
using unique_hdc = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDc>;
using unique_hbitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteGdiObject>;
using unique_hfont = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteGdiObject>;
using unique_hbrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, DeleteGdiObject>;
using unique_hpen = std::unique_ptr<std::remove_pointer_t<HPEN>, DeleteGdiObject>;
using unique_hicon = std::unique_ptr<std::remove_pointer_t<HICON>, DestroyIconHandle>;
using unique_hmodule = std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule>;
using unique_file = std::unique_ptr<void, CloseFileHandle>;

// A window's device context (GetDC / ReleaseDC).
class window_dc {
 public:
  explicit window_dc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~window_dc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  window_dc(const window_dc&) = delete;
  window_dc& operator=(const window_dc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class paint_dc {
 public:
  explicit paint_dc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~paint_dc() { EndPaint(window_, &paint_); }
  paint_dc(const paint_dc&) = delete;
  paint_dc& operator=(const paint_dc&) = delete;
  HDC get() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// A change to a device context, undone as Undo(dc, token) when the scope
// ends; the token is what making the change returned.
template <class Token, auto Undo>
class dc_change {
 public:
  dc_change(HDC dc, Token token) : dc_(dc), token_(token) {}
  ~dc_change() { Undo(dc_, token_); }
  dc_change(const dc_change&) = delete;
  dc_change& operator=(const dc_change&) = delete;

 private:
  HDC dc_;
  Token token_;
};

// Selects an object into a context and puts the previous one back.
struct selection : dc_change<HGDIOBJ, SelectObject> {
  selection(HDC dc, HGDIOBJ object) : dc_change(dc, SelectObject(dc, object)) {}
};

// Saves a context's state (viewport, clipping, colours) and restores it.
struct saved_dc : dc_change<int, RestoreDC> {
  explicit saved_dc(HDC dc) : dc_change(dc, SaveDC(dc)) {}
};

// A COM interface pointer.
template <class Interface>
class com_ptr {
 public:
  com_ptr() = default;
  ~com_ptr() { reset(); }
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  Interface** out() {
    reset();
    return &pointer_;
  }
  void reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

// A 32-bit top-down DIB header for a width x height picture (our Image rows).
inline BITMAPINFO top_down_info(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace virelta::win32
