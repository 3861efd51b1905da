// The preview's host window: the number from the command line's fourth character on.
#include <gtest/gtest.h>

#include "saver/virelta_r.h"

namespace virelta::saver {
namespace {

TEST(PreviewHostHandle, IsTheNumberFromTheFourthCharacterOn) {
  const struct { const char* command; std::optional<std::uintptr_t> handle; } cases[] = {{"/p 1234", 1234}, {"/p:1234", 1234}, {"-P 66090 trailing", 66090}, {"/p   42", 42},
               {"/p 77abc", 77}, {"/p 12.5", 12}, {"/p 13.5", 14}, {"/p 2147483647", 2147483647},
               {"/p", {}}, {"/p ", {}}, {"/p 0", {}}, {"/p abc", {}}, {"/p 2147483648", {}}, {"/p 1e30", {}},
               {"/p -1e400", {}}, {"/p:", {}}};
  for (const auto& c : cases) EXPECT_EQ(preview_host_handle(c.command), c.handle) << c.command;
}

}  // namespace
}  // namespace virelta::saver
