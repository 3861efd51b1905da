// Frame pacing for the saver's animation: at most one step per displayed
// frame, with the processor idle in between.
#include <algorithm>

#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
constexpr double kFrameSeconds = 1.0 / 60;
// DwmFlush waits for the compositor's next frame. Where it comes back early
// (nothing to compose, a display faster than 60 Hz, or a system whose flush
// waits for nothing in particular, as Wine's does, which returns after a
// millisecond or two), the rest of the frame is slept: a step never follows
// the last one by less than a frame, give or take this much jitter.
constexpr double kFrameJitterSeconds = 0.002;
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

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
  const auto jitter = static_cast<std::int64_t>(kFrameJitterSeconds * static_cast<double>(frequency));
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
      if (now - last_frame_ >= frame - jitter) {
        last_frame_ = now;
        return;
      }
    }
  }

  // The cheapest wait is a plain Sleep, which asks nothing of the window
  // system; it serves where it keeps to the millisecond. Where the system
  // rounds it up to its clock tick (15.6 ms on many Windows), a
  // high-resolution waitable timer waits instead. Input waits meanwhile, a
  // frame at the most: the step's own event pump handles it.
  if (sleep_kind_ == SleepKind::Unknown) {
    std::int64_t shortest = frequency;
    for (int i = 0; i < 3; ++i) {
      const std::int64_t before = ticks_now();
      Sleep(1);
      shortest = std::min(shortest, ticks_now() - before);
    }
    sleep_kind_ = shortest <= 2 * frequency / 1000 ? SleepKind::Precise : SleepKind::Coarse;
  }
  if (sleep_kind_ == SleepKind::Coarse && !frame_timer_) {
    frame_timer_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (!frame_timer_) frame_timer_ = CreateWaitableTimerW(nullptr, FALSE, nullptr);
  }
  const std::int64_t deadline = last_frame_ + frame;
  for (std::int64_t now = ticks_now(); deadline - now > jitter / 2; now = ticks_now()) {
    const std::int64_t remaining = deadline - now;
    if (sleep_kind_ == SleepKind::Coarse && frame_timer_) {
      LARGE_INTEGER due;
      due.QuadPart = -(remaining * 10'000'000 / frequency);  // relative, in 100 ns
      SetWaitableTimer(frame_timer_, &due, 0, nullptr, nullptr, FALSE);
      WaitForSingleObject(frame_timer_, INFINITE);
    } else {
      Sleep(static_cast<DWORD>(remaining * 1000 / frequency));
    }
  }
  last_frame_ = ticks_now();
}

}  // namespace virelta::win32
