// The Effects Lab's window on the in-memory platform: how it starts, its
// menu of the engine's members, the argument dialog's memory, and errors
// that are shown while the lab goes on.
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

Image striped(int w, int h) {
  Image p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.at(x, y) = (x % 2 ? 0xFF0000u : 0x00FF00u) + static_cast<std::uint32_t>(y);
  return p;
}

struct Fixture {
  ScopedMemoryPlatform machine;
  std::filesystem::path file = std::filesystem::temp_directory_path() / "virelta-lab-test.bmp";
  std::vector<std::string> asked;  // the initial texts the argument dialog showed
  std::deque<std::optional<std::string>> answers;

  Fixture() {
    machine->desktop = Image(1024, 768);
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x) machine->desktop.at(x, y) = static_cast<std::uint32_t>(x * 3 + y * 5000);
  }
  ~Fixture() { std::filesystem::remove(file); }
  void attach(EffectsLab& lab) {
    lab.ask_arguments = [this](const EffectMember&, const std::string& initial) -> std::optional<std::string> {
      asked.push_back(initial);
      if (answers.empty()) return std::nullopt;
      auto a = answers.front();
      answers.pop_front();
      return a;
    };
  }
};

}  // namespace

TEST(LabMenu, OffersEveryPublicMemberOnce) {
  std::vector<Command> commands;
  collect(menu_bar(), commands);
  std::set<Command> unique(commands.begin(), commands.end());
  EXPECT_EQ(unique.size(), commands.size());
  // Every command but None: open, save, colour, exit, six effects, AutoDraw,
  // DrawNow, the two undos and reset.
  EXPECT_EQ(unique.size(), static_cast<std::size_t>(Command::Reset));
  for (const auto& m : effect_members()) {
    EXPECT_EQ(m.signature.rfind(m.member + "(", 0), 0u) << m.member;
    EXPECT_FALSE(m.first_arguments.empty());
  }
}

TEST(LabStart, ShowsThePictureFileOfTheCommandLineInABoxOfItsSize) {
  Fixture f;
  ASSERT_TRUE(write_bmp(f.file.string(), striped(400, 300)));
  EffectsLab lab;
  lab.start(" \"" + f.file.string() + "\" ");
  EXPECT_EQ(lab.form().caption(), "Virelta Effects Lab");
  ASSERT_TRUE(lab.engine().bound());
  EXPECT_EQ(lab.box().width(), 400);
  EXPECT_EQ(lab.box().height(), 300);
  EXPECT_EQ(lab.form().height(), 300 + kStatusHeight);
  EXPECT_EQ(lab.box().image(), striped(400, 300));
  EXPECT_TRUE(f.machine->messages.empty());
}

TEST(LabStart, ASmallPictureGetsTheSmallestBoxAndNoFileGivesTheDesktop) {
  Fixture f;
  ASSERT_TRUE(write_bmp(f.file.string(), striped(10, 5)));
  {
    EffectsLab lab;
    lab.start(f.file.string());
    EXPECT_EQ(lab.box().width(), kMinBoxWidth);
    EXPECT_EQ(lab.box().height(), kMinBoxHeight);
    EXPECT_EQ(lab.box().image().at(9, 4), striped(10, 5).at(9, 4));
    EXPECT_EQ(lab.box().image().at(10, 0), pixel_from_colour(0xF0F0F0));
  }
  for (const std::string& command_line : {std::string(), std::string("no-such-picture.bmp")}) {
    f.machine->messages.clear();
    EffectsLab lab;
    lab.start(command_line);
    EXPECT_EQ(lab.box().width(), 768);
    EXPECT_EQ(lab.box().height(), 576);
    Image expected(768, 576);
    expected.copy_from(f.machine->desktop, 0, 0, 768, 576, 0, 0);
    EXPECT_EQ(lab.box().image(), expected);
    if (command_line.empty()) {
      EXPECT_TRUE(f.machine->messages.empty());
    } else {
      ASSERT_EQ(f.machine->messages.size(), 1u);
      EXPECT_EQ(f.machine->messages[0].title, "Virelta Effects Lab");
      EXPECT_EQ(f.machine->messages[0].text, "Error loading picture file");
    }
  }
}

TEST(LabEffects, TheArgumentDialogRemembersWhatWasTypedForEachMember) {
  Fixture f;
  EffectsLab lab;
  f.attach(lab);
  lab.start("");
  f.answers = {std::string("11"), std::nullopt, std::string("2")};
  lab.run(Command::PalEffects);  // Invert
  Image inverted = lab.box().image();
  EXPECT_EQ(inverted.at(5, 5) & 0xFFFFFFu, ~f.machine->desktop.at(5, 5) & 0xFFFFFFu);
  lab.run(Command::PalEffects);  // cancelled: nothing runs
  EXPECT_EQ(lab.box().image(), inverted);
  lab.run(Command::Rotate);
  EXPECT_EQ(f.asked, (std::vector<std::string>{"11", "11", "45"}));
  EXPECT_EQ(lab.status(), "ASM_Rotate(2)");
  EXPECT_TRUE(f.machine->messages.empty());
}

TEST(LabEffects, ErrorsAreShownAndTheLabGoesOn) {
  Fixture f;
  EffectsLab lab;
  f.attach(lab);
  lab.start("");
  Image before = lab.box().image();
  f.answers = {std::string("40000"), std::string("1,\"x\""), std::string("")};
  lab.run(Command::Rotate);       // 40000 is no Integer
  lab.run(Command::PalEffects);   // "x" is no number
  lab.run(Command::Magnify);      // Factor is required
  ASSERT_EQ(f.machine->messages.size(), 3u);
  EXPECT_EQ(f.machine->messages[0].text, "Run-time error 6: Overflow");
  EXPECT_EQ(f.machine->messages[1].text, "Run-time error 13: Type mismatch");
  EXPECT_EQ(f.machine->messages[2].text, "ASM_Magnify needs argument 1");
  for (const auto& m : f.machine->messages) {
    EXPECT_EQ(m.title, "Virelta Effects Lab");
    EXPECT_EQ(m.icon, MessageIcon::Critical);
  }
  EXPECT_EQ(lab.box().image(), before);
  EXPECT_TRUE(lab.run_call("ASM_PalEffects(11)"));
  EXPECT_NE(lab.box().image(), before);
}

TEST(LabDraw, AutoDrawIsACheckedItemAndUndoResetAndDrawNowWork) {
  Fixture f;
  EffectsLab lab;
  lab.start("");
  Image original = lab.box().image();
  EXPECT_TRUE(lab.checked(Command::AutoDraw));
  lab.run(Command::AutoDraw);
  EXPECT_FALSE(lab.checked(Command::AutoDraw));
  EXPECT_FALSE(lab.checked(Command::DrawNow));
  ASSERT_TRUE(lab.run_call("ASM_PalEffects(11)"));
  EXPECT_EQ(lab.box().image(), original);  // not drawn yet
  lab.run(Command::DrawNow);
  Image inverted = lab.box().image();
  EXPECT_NE(inverted, original);
  lab.run(Command::UndoDontDraw);
  EXPECT_EQ(lab.box().image(), inverted);
  lab.run(Command::Undo);
  EXPECT_EQ(lab.box().image(), original);
  lab.run(Command::AutoDraw);
  EXPECT_TRUE(lab.checked(Command::AutoDraw));
  lab.run_call("ASM_PalEffects(11)");
  lab.run(Command::Reset);
  EXPECT_EQ(lab.box().image(), original);
  EXPECT_TRUE(f.machine->messages.empty());
}

TEST(LabDialogs, TheChosenColourShowsInTheStatusLine) {
  Fixture f;
  EffectsLab lab;
  lab.start("");
  int changes = 0;
  lab.on_status = [&] { ++changes; };
  f.machine->colour_answers = {0x004080FFu, std::nullopt};
  lab.run(Command::ChooseColour);
  EXPECT_EQ(lab.status(), "dialogChoseColor = 4227327 (&H004080FF&)");
  lab.run(Command::ChooseColour);
  EXPECT_EQ(lab.status(), "dialogChoseColor = -1");
  EXPECT_EQ(changes, 2);
  // The open and save dialogs are the engine's, owned by the lab's window.
  lab.run(Command::Open);
  lab.run(Command::Save);
  ASSERT_EQ(f.machine->file_dialog_requests.size(), 2u);
  EXPECT_EQ(f.machine->file_dialog_requests[0].title, "Load a Picture file");
  EXPECT_EQ(f.machine->file_dialog_requests[1].title, "Save Picture file");
  EXPECT_EQ(f.machine->file_dialog_requests[1].owner, lab.form().handle());
  lab.run(Command::Exit);
  EXPECT_FALSE(lab.form().loaded());
}

TEST(LabKeys, ControlShortcutsRunTheirCommands) {
  Fixture f;
  EffectsLab lab;
  lab.start("");
  Image original = lab.box().image();
  f.machine->colour_answers = {0x123456u};
  f.machine->key_down(lab.form(), 'K', 2);
  EXPECT_EQ(lab.status(), "dialogChoseColor = 1193046 (&H00123456&)");
  f.machine->key_down(lab.form(), 'O', 2);
  f.machine->key_down(lab.form(), 'S', 2);
  f.machine->key_down(lab.form(), 'O', 0);  // a plain letter does nothing
  ASSERT_EQ(f.machine->file_dialog_requests.size(), 2u);
  EXPECT_FALSE(f.machine->file_dialog_requests[0].save);
  EXPECT_TRUE(f.machine->file_dialog_requests[1].save);
  lab.run_call("ASM_PalEffects(11)");
  f.machine->key_down(lab.form(), 'Z', 2);
  EXPECT_EQ(lab.box().image(), original);
}
