// The Effects Lab's window on the in-memory platform: how it starts, its menu
// of the engine's members, the argument dialog's memory, and errors that are
// shown while the lab goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "forms/bmp_file.h"
#include "platforms/memory/memory_form_layer.h"
#include "lab/effects_lab.h"

using namespace virelta;
using namespace virelta::lab;

namespace {

void collect(const std::vector<MenuItem>& items, std::vector<Command>& out) {
  for (const auto& item : items) {
    if (item.command != Command::None) out.push_back(item.command);
    collect(item.children, out);
  }
}

// A lab started on the 1024 x 768 desktop (no file), whose argument dialog
// remembers what it was shown and gives the queued answers.
struct LabTest : ::testing::Test {
  LabTest() {
    machine->desktop = Image(1024, 768);
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x) machine->desktop.at(x, y) = static_cast<std::uint32_t>(x * 3 + y * 5000);
    lab.ask_arguments = [this](const EffectMember&, const std::string& initial) -> std::optional<std::string> {
      asked.push_back(initial);
      if (answers.empty()) return std::nullopt;
      auto a = answers.front();
      answers.pop_front();
      return a;
    };
  }
  ~LabTest() override { std::filesystem::remove(file); }
  ScopedMemoryPlatform machine;
  EffectsLab lab;
  std::filesystem::path file = std::filesystem::temp_directory_path() / "virelta-lab-test.bmp";
  std::vector<std::string> asked;
  std::deque<std::optional<std::string>> answers;
};

TEST_F(LabTest, TheMenuOffersEveryCommandOnce) {
  std::vector<Command> commands;
  collect(menu_bar(), commands);
  // Open, save, colour, exit, six effects, AutoDraw, DrawNow, two undos, reset.
  EXPECT_EQ(std::set<Command>(commands.begin(), commands.end()).size(), commands.size());
  EXPECT_EQ(commands.size(), static_cast<std::size_t>(Command::Reset));
}

TEST_F(LabTest, StartsWithThePictureFileInABoxOfItsSizeOrTheDesktop) {
  Image striped(400, 300);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) striped.at(x, y) = (x % 2 ? 0xFF0000u : 0x00FF00u) + static_cast<std::uint32_t>(y);
  ASSERT_TRUE(write_bmp(file.string(), striped));
  lab.start(" \"" + file.string() + "\" ");
  EXPECT_EQ(lab.form().caption(), "Virelta Effects Lab");
  EXPECT_EQ(lab.box().image(), striped);
  EXPECT_EQ(lab.form().height(), 300 + 22);
  ASSERT_TRUE(write_bmp(file.string(), Image(10, 5, 0x123456)));
  EffectsLab small;
  small.start(file.string());
  EXPECT_EQ(small.box().width() * 1000 + small.box().height(), 320120);  // the smallest box
  EXPECT_EQ(small.box().image().at(9, 4), 0x123456u);
  EXPECT_EQ(small.box().image().at(10, 0), pixel_from_colour(0xF0F0F0));
  EXPECT_TRUE(machine->messages.empty());
  EffectsLab missing;
  missing.start("no-such-picture.bmp");
  Image expected(768, 576);  // three quarters of the desktop
  expected.copy_from(machine->desktop, 0, 0, 768, 576, 0, 0);
  EXPECT_EQ(missing.box().image(), expected);
  ASSERT_EQ(machine->messages.size(), 1u);
  EXPECT_EQ(machine->messages[0].title, "Virelta Effects Lab");
  EXPECT_EQ(machine->messages[0].text, "Error loading picture file");
}

TEST_F(LabTest, TheArgumentDialogRemembersEachMemberAndErrorsAreShown) {
  lab.start("");
  const Image original = lab.box().image();
  answers = {std::string("11"), std::nullopt, std::string("40000"), std::string("1,\"x\""), std::string(""),
             std::string("2")};
  lab.run(Command::PalEffects);  // Invert
  const Image inverted = lab.box().image();
  EXPECT_EQ(inverted.at(5, 5) & 0xFFFFFFu, ~original.at(5, 5) & 0xFFFFFFu);
  lab.run(Command::PalEffects);  // cancelled: nothing runs
  lab.run(Command::Rotate);      // 40000 is no Integer
  lab.run(Command::PalEffects);  // "x" is no number
  lab.run(Command::Magnify);     // Factor is required
  EXPECT_EQ(lab.box().image(), inverted);
  lab.run(Command::Rotate);
  EXPECT_EQ(asked, (std::vector<std::string>{"11", "11", "45", "11", "1.5", "40000"}));
  EXPECT_EQ(lab.status(), "ASM_Rotate(2)");
  ASSERT_EQ(machine->messages.size(), 3u);
  EXPECT_EQ(machine->messages[0].text, "Run-time error 6: Overflow");
  EXPECT_EQ(machine->messages[1].text, "Run-time error 13: Type mismatch");
  EXPECT_EQ(machine->messages[2].text, "ASM_Magnify needs argument 1");
  EXPECT_EQ(machine->messages[2].title, "Virelta Effects Lab");
  EXPECT_EQ(machine->messages[2].icon, MessageIcon::Critical);
}

TEST_F(LabTest, AutoDrawUndoResetAndDrawNow) {
  lab.start("");
  const Image original = lab.box().image();
  EXPECT_TRUE(lab.checked(Command::AutoDraw));
  lab.run(Command::AutoDraw);
  EXPECT_FALSE(lab.checked(Command::AutoDraw));
  ASSERT_TRUE(lab.run_call("ASM_PalEffects(11)"));
  EXPECT_EQ(lab.box().image(), original);  // not drawn yet
  lab.run(Command::DrawNow);
  const Image inverted = lab.box().image();
  EXPECT_NE(inverted, original);
  lab.run(Command::UndoDontDraw);
  EXPECT_EQ(lab.box().image(), inverted);
  lab.run(Command::Undo);
  EXPECT_EQ(lab.box().image(), original);
  lab.run(Command::AutoDraw);
  lab.run_call("ASM_PalEffects(11)");
  lab.run(Command::Reset);
  EXPECT_EQ(lab.box().image(), original);
  lab.run_call("ASM_PalEffects(11)");
  machine->key_down(lab.form(), 'Z', 2);
  EXPECT_EQ(lab.box().image(), original);
}

TEST_F(LabTest, DialogsFromTheMenuAndControlShortcuts) {
  lab.start("");
  machine->colour_answers = {0x004080FFu, std::nullopt};
  machine->key_down(lab.form(), 'K', 2);
  EXPECT_EQ(lab.status(), "dialogChoseColor = 4227327 (&H004080FF&)");
  lab.run(Command::ChooseColour);
  EXPECT_EQ(lab.status(), "dialogChoseColor = -1");
  lab.run(Command::Open);
  machine->key_down(lab.form(), 'S', 2);
  machine->key_down(lab.form(), 'O', 0);  // a plain letter does nothing
  ASSERT_EQ(machine->file_dialog_requests.size(), 2u);
  EXPECT_EQ(machine->file_dialog_requests[0].title, "Load a Picture file");
  EXPECT_EQ(machine->file_dialog_requests[1].title, "Save Picture file");
  EXPECT_EQ(machine->file_dialog_requests[1].owner, lab.form().handle());
  lab.run(Command::Exit);
  EXPECT_FALSE(lab.form().loaded());
}

}  // namespace
