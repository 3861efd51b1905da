// Frame pacing for the saver's animation: at most one step per displayed
// frame, with the processor idle in between and input handled meanwhile.
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
constexpr double kFrameSeconds = 1.0 / 60;
// DwmFlush waits for the compositor's next frame. Where it comes back early
// (nothing to compose, a display faster than 60 Hz, or a system whose flush
// waits for nothing in particular, as Wine's does, which returns after a
// millisecond or two), the timer tops the frame up: a step never follows the
// last one by less than a frame, give or take this much jitter.
constexpr double kFrameJitterSeconds = 0.002;
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
// What ends the wait early: input and sent or posted messages, not timers.
// The saver's own 1 ms timer is due all through a cycle and starts nothing
// inside one; waking for it would turn the idle wait into a busy one.
constexpr DWORD kWakeFor = QS_ALLINPUT & ~QS_TIMER;

std::int64_t ticks_now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

std::int64_t ticks_per_second() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}
}  // namespace

void Win32Platform::wait_for_frame() {
  const std::int64_t frequency = ticks_per_second();
  const auto frame = static_cast<std::int64_t>(kFrameSeconds * static_cast<double>(frequency));
  if (!dwm_) dwm_.reset(LoadLibraryW(L"dwmapi.dll"));
  if (dwm_) {
    using IsEnabled = HRESULT(WINAPI*)(BOOL*);
    using Flush = HRESULT(WINAPI*)();
    auto is_enabled =
        reinterpret_cast<IsEnabled>(reinterpret_cast<void*>(GetProcAddress(dwm_.get(), "DwmIsCompositionEnabled")));
    auto flush = reinterpret_cast<Flush>(reinterpret_cast<void*>(GetProcAddress(dwm_.get(), "DwmFlush")));
    BOOL enabled = FALSE;
    if (is_enabled && flush && SUCCEEDED(is_enabled(&enabled)) && enabled && SUCCEEDED(flush())) {
      const std::int64_t now = ticks_now();
      const auto jitter = static_cast<std::int64_t>(kFrameJitterSeconds * static_cast<double>(frequency));
      if (now - last_frame_ >= frame - jitter) {
        last_frame_ = now;
        return;
      }
    }
  }
  if (!frame_timer_) {
    frame_timer_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (!frame_timer_) frame_timer_ = CreateWaitableTimerW(nullptr, TRUE, nullptr);
  }
  const std::int64_t deadline = last_frame_ + frame;
  for (std::int64_t now = ticks_now(); now < deadline; now = ticks_now()) {
    const std::int64_t remaining = deadline - now;
    DWORD result;
    if (frame_timer_) {
      LARGE_INTEGER due;
      due.QuadPart = -(remaining * 10'000'000 / frequency);  // relative, in 100 ns
      if (due.QuadPart == 0) break;
      SetWaitableTimer(frame_timer_, &due, 0, nullptr, nullptr, FALSE);
      result = MsgWaitForMultipleObjects(1, &frame_timer_, FALSE, INFINITE, kWakeFor);
    } else {
      result = MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(remaining * 1000 / frequency),
                                         kWakeFor);
    }
    // Input that arrives while waiting is handled now; it may end the program.
    if (result == WAIT_OBJECT_0 + (frame_timer_ ? 1 : 0)) do_events();
  }
  last_frame_ = ticks_now();
}

}  // namespace virelta::win32
