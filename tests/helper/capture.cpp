#include "commands.h"
#include "output.h"

#include <memory>

namespace vtest {

namespace {

struct DcReleaser {
  void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
struct FileCloser {
  void operator()(HANDLE file) const { CloseHandle(file); }
};

}  // namespace

// Copies what the screen shows inside the window's client area: the test sees
// the pixels a user would see, including anything drawn over the window.
int capture_client(HWND window, const std::wstring& bmp_path) {
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0) {
    print_error("capture: the window has an empty client area\n");
    return 1;
  }

  std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser> screen(GetDC(nullptr));
  std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as the file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter> bitmap(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) {
    print_error("capture: cannot create the bitmap\n");
    return 1;
  }
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, width, height, screen.get(), origin.x, origin.y, SRCCOPY);
  SelectObject(memory.get(), previous);
  GdiFlush();

  const DWORD row_bytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD image_bytes = row_bytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file_header{};
  file_header.bfType = 0x4D42;  // "BM"
  file_header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file_header.bfSize = file_header.bfOffBits + image_bytes;
  info.bmiHeader.biSizeImage = image_bytes;

  std::unique_ptr<void, FileCloser> file(
      CreateFileW(bmp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    print_error("capture: cannot create " + to_utf8(bmp_path) + "\n");
    return 1;
  }
  DWORD written = 0;
  const bool ok = WriteFile(file.get(), &file_header, sizeof file_header, &written, nullptr) &&
                  WriteFile(file.get(), &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
                  WriteFile(file.get(), bits, image_bytes, &written, nullptr) && written == image_bytes;
  if (!ok) {
    print_error("capture: cannot write " + to_utf8(bmp_path) + "\n");
    return 1;
  }
  return 0;
}

}  // namespace vtest
