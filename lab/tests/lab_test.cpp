// The Effects Lab's window on the in-memory platform: how it starts, its menu,
// the argument dialog's memory, and errors shown while the lab goes on.
#include <gtest/gtest.h>

#include <filesystem>

#include "forms/bmp_file.h"
#include "platforms/memory/memory_form_layer.h"
#include "lab/effects_lab.h"

using namespace virelta;
using namespace virelta::lab;

namespace {

// A lab on a 1024 x 768 desktop whose argument dialog records the text it
// shows and gives the queued answers (none: cancelled).
struct LabTest : ::testing::Test {
  LabTest() {
    machine->desktop = Image(1024, 768);
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x) machine->desktop.at(x, y) = static_cast<std::uint32_t>(x * 3 + y * 5000);
    lab.ask_arguments = [this](const EffectMember&, const std::string& initial) {
      asked.push_back(initial);
      std::optional<std::string> a;
      if (!answers.empty()) a = answers.front(), answers.pop_front();
      return a;
    };
  }
  Image corner(int w, int h) {
    Image out(w, h);
    out.copy_from(machine->desktop, 0, 0, w, h, 0, 0);
    return out;
  }
  ScopedMemoryPlatform machine;
  EffectsLab lab;
  std::vector<std::string> asked;
  std::deque<std::optional<std::string>> answers;
};

TEST_F(LabTest, StartsWithThePictureFileInABoxOfItsSizeOrTheDesktop) {
  const std::string file = (std::filesystem::temp_directory_path() / "virelta-lab-test.bmp").string();
  ASSERT_TRUE(write_bmp(file, corner(400, 300)));
  lab.start(" \"" + file + "\" ");
  EXPECT_EQ(lab.form().caption(), "Virelta Effects Lab");
  EXPECT_EQ(lab.box().image(), corner(400, 300));
  EXPECT_EQ(lab.form().height(), 300 + 22);  // and the status line
  std::filesystem::remove(file);
  EffectsLab missing;
  missing.start("no-such-picture.bmp");
  EXPECT_EQ(missing.box().image(), corner(768, 576));  // three quarters of the desktop
  ASSERT_EQ(machine->messages.size(), 1u);
  EXPECT_EQ(machine->messages[0].title + ": " + machine->messages[0].text, "Virelta Effects Lab: Error loading picture file");
}

TEST_F(LabTest, TheArgumentDialogRemembersEachMemberAndErrorsAreShown) {
  lab.start("");
  answers = {"11", std::nullopt, "40000", "1,\"x\"", "", "2"};
  lab.run(Command::PalEffects);  // Invert
  const Image inverted = lab.box().image();
  EXPECT_EQ(inverted.at(5, 5) & 0xFFFFFFu, ~machine->desktop.at(5, 5) & 0xFFFFFFu);
  lab.run(Command::PalEffects);  // cancelled: nothing runs
  lab.run(Command::Rotate);      // 40000 is no Integer
  lab.run(Command::PalEffects);  // "x" is no number
  lab.run(Command::Magnify);     // Factor is required
  EXPECT_EQ(lab.box().image(), inverted);
  lab.run(Command::Rotate);
  EXPECT_EQ(asked, (std::vector<std::string>{"11", "11", "45", "11", "2", "40000"}));
  EXPECT_EQ(lab.status(), "ASM_Rotate(2)");
  ASSERT_EQ(machine->messages.size(), 3u);
  EXPECT_EQ(machine->messages[0].text, "Run-time error 6: Overflow");
  EXPECT_EQ(machine->messages[1].text, "Run-time error 13: Type mismatch");
  EXPECT_EQ(machine->messages[2].text, "ASM_Magnify needs argument 1");
  EXPECT_EQ(machine->messages[2].icon, MessageIcon::Critical);
  machine->key_down(lab.form(), 'Z', 2);  // Ctrl+Z undoes the inversion
  EXPECT_EQ(lab.box().image(), corner(768, 576));
}

}  // namespace
