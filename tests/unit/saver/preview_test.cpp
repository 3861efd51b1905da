// The preview's host window: the number from the command line's fourth character on; the preview fills it.
#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "saver/virelta_r.h"

namespace virelta::saver {
namespace {

TEST(PreviewHostHandle, IsTheNumberFromTheFourthCharacterOn) {
  const struct { const char* command; std::optional<std::uintptr_t> handle; } cases[] = {{"/p 1234", 1234}, {"/p 7", 7}, {"/p:1234", 1234}, {"-P 66090 trailing", 66090}, {"/p   42", 42},
               {"/p 77abc", 77}, {"/p 12.5", 12}, {"/p 13.5", 14}, {"/p 2147483647", 2147483647},
               {"/p", {}}, {"/p ", {}}, {"/p 0", {}}, {"/p abc", {}}, {"/p 2147483648", {}}, {"/p 1e30", {}},
               {"/p -1e400", {}}, {"/p:", {}}};
  for (const auto& c : cases) EXPECT_EQ(preview_host_handle(c.command), c.handle) << c.command;
  ScopedMemoryPlatform machine;
  machine->foreign_windows = {{77, Rect{300, 200, 152, 112}}};
  Virelta_R preview;
  preview.start("/p 77");  // the window and its picture cover the host from its top left corner
  EXPECT_TRUE(machine->embedded_host == 77 && preview.form.bounds() == (Rect{0, 0, 152, 112}) &&
              preview.Img_Prev.bounds() == (Rect{0, 0, 152, 112}));
}

}  // namespace
}  // namespace virelta::saver
