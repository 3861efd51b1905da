// The engine's picture-file and colour dialogs on the in-memory platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "effects/asm_dialogs.h"
#include "forms/bmp_file.h"
#include "unit/engine_host.h"

using namespace virelta;
using namespace std::string_literals;

namespace {

struct Fixture : virelta::testing::EngineHost {
  std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                 ("virelta-dialogs-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  Fixture() : EngineHost(4, 3, 0x102030) { form.set_caption("Lab"), std::filesystem::create_directories(folder); }
  ~Fixture() { std::filesystem::remove_all(folder); }
  std::string path(const std::string& name) const { return (folder / name).string(); }
  std::string said() const { return machine->messages.empty() ? "" : machine->messages.back().title + ": " + machine->messages.back().text; }
};

}  // namespace

TEST(NameRules, FiltersOpenPathsAndSaveNames) {
  EXPECT_EQ(effects::filter_text(effects::open_filter()),
            "Pictures (*.bmp *.gif *.jpg *.wmf *.ico *.cur)\0*.bmp;*.gif;*.jpg;*.ico;*.cur\0All Files (*.*)\0*.*\0"s);
  EXPECT_EQ(effects::filter_text(effects::save_filter()), "Pictures (*.bmp)\0*.bmp\0"s);
  EXPECT_EQ(effects::open_dialog_path("  C:\\pics\\a b.gif\0rest  "s), "C:\\pics\\a b.gif");  // ends at the first NUL
  EXPECT_EQ(effects::open_dialog_path(std::string(254, ' ')), "");
  // Blanks and NULs go; ".bmp" is added unless the name ends in it, in any case.
  const std::pair<std::string, std::string> saves[] = {
      {"pic", "pic.bmp"}, {"PIC.BMP", "PIC.BMP"}, {"x.Bmp", "x.Bmp"}, {"a.bmp.txt", "a.bmp.txt.bmp"},
      {"bmp", "bmp.bmp"}, {"  C:\\d\\pic\0    "s, "C:\\d\\pic.bmp"}, {"pi\0c \0"s, "pic.bmp"}};
  for (const auto& [typed, saved] : saves) EXPECT_EQ(effects::save_dialog_path(typed), saved) << typed;
}

TEST(OpenDialog, APictureGoesIntoTheBoxAndABadFileIsReportedLeavingEverything) {
  Fixture f;
  f.box.set_back_color(0x0000FF);  // red: what the box shows beyond a small picture
  f.engine.dialogShowOpen("Pick one");  // cancelled
  EXPECT_EQ(f.machine->file_dialog_requests.at(0).title, "Pick one");
  EXPECT_TRUE(f.machine->file_dialog_requests[0].owner == f.form.handle() && f.draws() == 1);
  Image small(2, 2, 0x400000);
  ASSERT_TRUE(write_bmp(f.path("small.bmp"), small));
  f.machine->file_dialog_answers.push_back("  " + f.path("small.bmp") + "\0   "s);
  int pointer = -1;  // the hourglass is up while the box is read again and drawn
  f.machine->on_refresh = [&](const Surface& s, const Rect*) { pointer = &s == &f.box ? f.machine->mouse_pointer : pointer; };
  f.engine.dialogShowOpen();
  EXPECT_EQ(pointer, kHourglassPointer);
  EXPECT_TRUE(f.machine->file_dialog_requests[1].title == "Load a Picture file" &&
              f.machine->file_dialog_requests[1].filters == effects::open_filter());
  Image expected(4, 3, 0xFF0000);
  expected.copy_from(small, 0, 0, 2, 2, 0, 0);
  EXPECT_EQ(f.box.image(), expected);
  EXPECT_EQ(f.layer(3)[2 * 16 + 2], 0x40);  // the top-left pixel is column 1 of row 3, in every layer
  EXPECT_EQ(f.said(), "");
  f.engine.ASM_PalEffects(1);  // layers 2 and 3 now differ from layer 1
  const std::vector<std::vector<std::uint8_t>> layers{f.layer(1), f.layer(2), f.layer(3)};
  const Image shown = f.box.image();
  std::ofstream(f.path("notes.bmp")) << "not a picture";
  for (const std::string& name : {f.path("notes.bmp"), f.path("missing.bmp")}) {
    f.machine->file_dialog_answers.push_back(name);
    f.engine.dialogShowOpen();
    EXPECT_EQ(f.said(), "Lab: Error loading picture file");
    EXPECT_TRUE(f.box.visible() && f.box.image() == shown);
    EXPECT_EQ((std::vector{f.layer(1), f.layer(2), f.layer(3)}), layers);
  }
}

TEST(SaveDialog, WritesWhatTheBoxShowsOrReportsTheFailure) {
  Fixture f;
  f.engine.AutoDraw(false), f.engine.ASM_PalEffects(1);  // the box keeps showing the old picture
  f.machine->file_dialog_answers = {f.path("pic") + "\0  "s, f.path("no such folder/x")};
  f.engine.dialogShowSave(), f.engine.dialogShowSave();
  Image saved;
  EXPECT_TRUE(read_bmp(f.path("pic.bmp"), saved) && saved == f.box.image());
  EXPECT_EQ(f.said(), "Lab: Error saving picture file");
}

TEST(ColourDialog, ReturnsTheColourAndKeepsCustomColoursPerInstanceOnlyWhenConfirmed) {
  Fixture f;
  std::vector<std::uint32_t> seen;
  f.machine->colour_dialog_edits = [&](std::uint32_t (&custom)[16]) { seen.push_back(custom[0]), custom[0] = 0x112230 + seen.size(); };
  f.machine->colour_answers = {0x004080FFu, std::nullopt, 0u};
  EXPECT_EQ(f.engine.dialogChoseColor(), 0x004080FF);
  EXPECT_EQ(f.engine.dialogChoseColor(), -1);  // cancelled: its change is dropped
  EXPECT_EQ(f.engine.dialogChoseColor(), 0);
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{0, 0x112231, 0x112231}));
  EXPECT_TRUE(f.engine.custom_colours()[0] == 0x33 && f.engine.custom_colours()[2] == 0x11);  // 0x00112233 by bytes
  effects::clsASMpic other;  // another instance starts from its own
  other.PictureBox(f.box);
  EXPECT_EQ(other.dialogChoseColor(), -1);
  EXPECT_EQ(seen.back(), 0u);
}
