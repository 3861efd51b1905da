// Pictures: the screen as the user sees it, picture files through the
// system's OLE picture loader (bitmap, GIF, JPEG, icon, cursor), and our own
// bitmap writer for saving, which replaces a file only once the new one is whole.
#include <windows.h>

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <vector>

#include "forms/bmp_file.h"
#include "settings/profile_file_io.h"
#include "platforms/win32/peers.h"
#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {

// The fourth byte of a pixel is unused; it is kept 0 whatever the driver left.
void clear_unused_bytes(Image& picture) {
  std::uint32_t* p = picture.data();
  for (std::size_t i = 0, n = static_cast<std::size_t>(picture.width()) * picture.height(); i < n; ++i)
    p[i] &= 0x00FFFFFFu;
}

bool read_file(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
  unique_file file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 512LL * 1024 * 1024) return false;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  return bytes.empty() || (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                           read == bytes.size());
}

bool ole_picture(const std::vector<std::uint8_t>& bytes, com_ptr<IPicture>& picture) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return false;
  if (void* p = GlobalLock(memory)) {
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(memory);
  }
  com_ptr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.out()))) {
    GlobalFree(memory);
    return false;
  }
  HRESULT result = OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(picture.out()));
  return SUCCEEDED(result) && picture;
}

// A cursor file is an icon file with hot spots where the icon keeps planes
// and bit counts; the loader of some systems takes only icons.
std::vector<std::uint8_t> cursor_as_icon(std::vector<std::uint8_t> bytes) {
  if (bytes.size() < 6) return bytes;
  bytes[2] = 1;
  int count = bytes[4] | (bytes[5] << 8);
  for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(bytes.size()); ++i) {
    std::uint8_t* entry = &bytes[6 + 16 * i];
    entry[4] = entry[5] = entry[6] = entry[7] = 0;
  }
  return bytes;
}

bool is_cursor_file(const std::vector<std::uint8_t>& b) {
  return b.size() >= 6 && b[0] == 0 && b[1] == 0 && b[2] == 2 && b[3] == 0;
}

bool bitmap_pixels(HBITMAP bitmap, Image& out) {
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  Image picture(info.bmWidth, info.bmHeight, 0);
  BITMAPINFO request = top_down_info(info.bmWidth, info.bmHeight);
  window_dc screen(nullptr);
  if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), picture.data(), &request,
                DIB_RGB_COLORS) != info.bmHeight)
    return false;
  out = std::move(picture);
  return true;
}

// Icons, cursors and metafiles are drawn onto the face colour.
bool rendered_pixels(IPicture* picture, int dpi_x, int dpi_y, Image& out) {
  OLE_XSIZE_HIMETRIC himetric_width = 0;
  OLE_YSIZE_HIMETRIC himetric_height = 0;
  picture->get_Width(&himetric_width);
  picture->get_Height(&himetric_height);
  int width = MulDiv(himetric_width, dpi_x, 2540), height = MulDiv(himetric_height, dpi_y, 2540);
  if (width <= 0 || height <= 0) return false;
  window_dc screen(nullptr);
  BITMAPINFO info = top_down_info(width, height);
  void* bits = nullptr;
  unique_hbitmap canvas(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  unique_hdc memory(CreateCompatibleDC(screen.get()));
  if (!canvas || !memory || !bits) return false;
  {
    selection selected(memory.get(), canvas.get());
    RECT all{0, 0, width, height};
    unique_hbrush face(CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0)));
    FillRect(memory.get(), &all, face.get());
    if (FAILED(picture->Render(memory.get(), 0, 0, width, height, 0, himetric_height, himetric_width,
                               -himetric_height, nullptr)))
      return false;
    GdiFlush();
  }
  Image result(width, height, 0);
  std::memcpy(result.data(), bits, static_cast<std::size_t>(width) * height * 4);
  out = std::move(result);
  return true;
}

}  // namespace

bool Win32Platform::capture_screen(Image& target, const Rect& area, int target_x, int target_y) {
  if (area.empty()) return false;
  if (on_saver_desktop()) {
    // Only a plain colour to copy there: the wallpaper stands in for it.
    const ScreenInfo info = screen();
    target.copy_from(saver_desktop_picture(), area.left - info.left, area.top - info.top, area.width, area.height,
                     target_x, target_y);
    return true;
  }
  // The desktop's drawing context has the primary monitor's corner at (0, 0):
  // other monitors may lie at negative coordinates.
  HWND desktop = GetDesktopWindow();
  window_dc screen(desktop);
  if (!screen) return false;
  BITMAPINFO info = top_down_info(area.width, area.height);
  void* bits = nullptr;
  unique_hbitmap copy(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  unique_hdc memory(CreateCompatibleDC(screen.get()));
  if (!copy || !memory || !bits) return false;
  BOOL copied;
  {
    selection selected(memory.get(), copy.get());
    copied = BitBlt(memory.get(), 0, 0, area.width, area.height, screen.get(), area.left, area.top, SRCCOPY);
    GdiFlush();
  }
  if (!copied) return false;
  Image piece(area.width, area.height, 0);
  std::memcpy(piece.data(), bits, static_cast<std::size_t>(area.width) * area.height * 4);
  clear_unused_bytes(piece);
  target.copy_from(piece, 0, 0, area.width, area.height, target_x, target_y);
  return true;
}

bool Win32Platform::load_picture(const std::string& path, Image& picture) {
  std::vector<std::uint8_t> bytes;
  if (!read_file(widen(path), bytes) || bytes.empty()) return false;
  com_ptr<IPicture> loaded;
  if (!ole_picture(bytes, loaded) && is_cursor_file(bytes)) ole_picture(cursor_as_icon(bytes), loaded);
  if (loaded) {
    SHORT type = PICTYPE_UNINITIALIZED;
    loaded->get_Type(&type);
    Image result;
    bool ok = false;
    if (type == PICTYPE_BITMAP) {
      OLE_HANDLE handle = 0;
      if (SUCCEEDED(loaded->get_Handle(&handle)))
        ok = bitmap_pixels(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), result);
    }
    if (!ok) ok = rendered_pixels(loaded.get(), dpi_x_, dpi_y_, result);
    if (ok) {
      clear_unused_bytes(result);
      picture = std::move(result);
      return true;
    }
  }
  // Bitmaps the system's loader refused may still be ones we read.
  return decode_bmp(bytes, picture);
}

bool Win32Platform::save_picture(const Image& picture, const std::string& path) {
  if (picture.empty()) return false;
  std::vector<std::uint8_t> bytes = encode_bmp(picture);
  return replace_file_bytes(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace virelta::win32
