#include "startup/virelta_b.h"

#include "forms/form_layer.h"
#include "settings/settings.h"
#include "settings/settings_location.h"

namespace virelta {

namespace {
constexpr unsigned kScreenSaverRunning = 97;  // SPI_SCREENSAVERRUNNING
constexpr int kZoomCaption = 3;               // IDANI_CAPTION
}  // namespace

char mode_switch(const std::string& command_line) {
  if (command_line.size() < 2) return 0;
  unsigned char c = static_cast<unsigned char>(command_line[1]);
  return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

void Main(const ModeWindows& windows) {
  Platform& p = platform();
  // Both lookups are always made.
  bool saver_open = p.find_window(kSaverCaption);
  bool settings_open = p.find_window(kSettingsCaption);
  if (saver_open || settings_open) p.end_program(0);

  const std::string command = p.command_line();
  const char mode = mode_switch(command);
  if (mode == 'P') {
    if (windows.show_preview) windows.show_preview(command);
    return;
  }
  LoadSettings(settings_folder_for_reading());
  if (mode == 'C') {
    if (windows.show_settings) windows.show_settings();
    p.end_program(0);
  }
  if (mode != 'S' && !command.empty()) p.end_program(0);
  if (mode == 'S') {
    p.show_cursor(false);
    AllowSystemKeys(false);
  }
  if (windows.load_saver) windows.load_saver();
}

void AllowSystemKeys(bool allow) {
  // The parameter is Not allow widened to 32 bits: all bits set, or 0.
  platform().system_parameters_info(kScreenSaverRunning, allow ? 0 : -1);
}

bool IsWindowsNT() {
  std::optional<int> id = platform().version_platform_id();
  return id && *id == 2;
}

namespace {
Rect window_rect_or_empty(std::uintptr_t hWnd) {
  std::optional<Rect> r = platform().window_rect(hWnd);
  return r ? *r : Rect{};
}
Rect zoom_point() { return {ZoomOriginX, ZoomOriginY, 0, 0}; }
}  // namespace

void ZoomWindowOpen(std::uintptr_t hWnd) {
  platform().draw_animated_rects(hWnd, kZoomCaption, zoom_point(), window_rect_or_empty(hWnd));
}

void ZoomWindowClose(std::uintptr_t hWnd) {
  platform().draw_animated_rects(hWnd, kZoomCaption, window_rect_or_empty(hWnd), zoom_point());
}

}  // namespace virelta
