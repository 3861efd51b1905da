// The engine's picture-file and colour dialogs as a user meets them: the
// texts the dialogs are given, the names read back from them, loading and
// saving, and the colour dialog's result and custom colours.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "forms/bmp_file.h"
#include "platforms/memory/memory_form_layer.h"
#include "effects/asm_dialogs.h"
#include "effects/cls_asm_pic.h"

using namespace virelta;
using namespace std::string_literals;
using virelta::effects::clsASMpic;

namespace {

// Records which window the colour dialog was given as its owner.
class RecordingPlatform : public MemoryPlatform {
 public:
  std::vector<std::uintptr_t> colour_owners;
  std::optional<std::uint32_t> choose_colour(std::uint32_t (&custom)[16], std::uintptr_t owner) override {
    colour_owners.push_back(owner);
    return MemoryPlatform::choose_colour(custom, owner);
  }
};

// Installed before any control is made, so that every control gets its peer.
struct InstalledPlatform {
  RecordingPlatform machine;
  InstalledPlatform() { set_platform(&machine); }
  ~InstalledPlatform() { set_platform(nullptr); }
};

struct Fixture : InstalledPlatform {
  Window form{"LabForm"};
  Surface box{&form, "Picture1"};
  clsASMpic engine;
  std::filesystem::path folder;

  Fixture() {
    form.set_caption("Virelta Effects Lab");
    form.move(0, 0, 300, 300);
    box.move(0, 0, 4, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) box.image().at(x, y) = 0x102030u + 0x010000u * x + 0x000100u * y;
    engine.PictureBox(box);
    folder = std::filesystem::temp_directory_path() /
             ("virelta-dialogs-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(folder);
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string path(const std::string& name) const { return (folder / name).string(); }
  std::vector<std::uint8_t> store() const {
    const auto& s = engine.pixel_store();
    return {s.layer(1), s.layer(1) + 3 * s.layer_bytes()};
  }
};

Image picture(int w, int h, std::uint32_t seed) {
  Image p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.at(x, y) = seed + 0x010101u * static_cast<std::uint32_t>(x + 7 * y);
  return p;
}

}  // namespace

TEST(FilterTexts, EveryPieceIsFollowedByOneNul) {
  EXPECT_EQ(effects::filter_text(effects::open_filter()),
            "Pictures (*.bmp *.gif *.jpg *.wmf *.ico *.cur)\0*.bmp;*.gif;*.jpg;*.ico;*.cur\0"
            "All Files (*.*)\0*.*\0"s);
  EXPECT_EQ(effects::filter_text(effects::save_filter()), "Pictures (*.bmp)\0*.bmp\0"s);
}

TEST(NameRules, TheOpenPathIsStrippedAndEndsAtTheFirstNul) {
  EXPECT_EQ(effects::open_dialog_path("  C:\\pics\\a b.gif\0rest  "s), "C:\\pics\\a b.gif");
  EXPECT_EQ(effects::open_dialog_path("C:\\x.bmp\0" + std::string(200, ' ')), "C:\\x.bmp");
  EXPECT_EQ(effects::open_dialog_path("C:\\絵.jpg"), "C:\\絵.jpg");
  EXPECT_EQ(effects::open_dialog_path(std::string(254, ' ')), "");
}

TEST(NameRules, TheSaveNameGetsBmpUnlessItEndsInItInAnyCase) {
  EXPECT_EQ(effects::save_dialog_path("pic"), "pic.bmp");
  EXPECT_EQ(effects::save_dialog_path("PIC.BMP"), "PIC.BMP");
  EXPECT_EQ(effects::save_dialog_path("x.Bmp"), "x.Bmp");
  EXPECT_EQ(effects::save_dialog_path("a.bmp.txt"), "a.bmp.txt.bmp");
  EXPECT_EQ(effects::save_dialog_path("bmp"), "bmp.bmp");
  // Blanks around the name and every NUL go; a blank before the NUL is
  // stripped before ".bmp" is added.
  EXPECT_EQ(effects::save_dialog_path("  C:\\d\\pic\0    "s), "C:\\d\\pic.bmp");
  EXPECT_EQ(effects::save_dialog_path("pi\0c \0"s), "pic.bmp");
  EXPECT_EQ(effects::save_dialog_path("C:\\my pics\\b"), "C:\\my pics\\b.bmp");
  EXPECT_EQ(effects::save_dialog_path("C:\\写真\\b"), "C:\\写真\\b.bmp");
}

TEST(OpenDialog, AsksWithTheTitleFiltersAndOwnerAndCancelChangesNothing) {
  Fixture f;
  auto before = f.store();
  Image shown = f.box.image();
  f.engine.dialogShowOpen();
  f.engine.dialogShowOpen("");
  f.engine.dialogShowOpen("Pick one");
  ASSERT_EQ(f.machine.file_dialog_requests.size(), 3u);
  for (const auto& request : f.machine.file_dialog_requests) {
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.owner, f.form.handle());
    EXPECT_EQ(request.filters, effects::open_filter());
  }
  EXPECT_EQ(f.machine.file_dialog_requests[0].title, "Load a Picture file");
  EXPECT_EQ(f.machine.file_dialog_requests[1].title, "Load a Picture file");
  EXPECT_EQ(f.machine.file_dialog_requests[2].title, "Pick one");
  EXPECT_TRUE(f.machine.messages.empty());
  EXPECT_EQ(f.store(), before);
  EXPECT_EQ(f.box.image(), shown);
  EXPECT_TRUE(f.box.visible());
}

TEST(OpenDialog, LoadsTheFileIntoTheBoxWhichKeepsItsSize) {
  Fixture f;
  f.box.set_back_color(0x0000FF);  // red: what the box shows beyond a small picture
  Image small = picture(2, 2, 0x400000);
  ASSERT_TRUE(write_bmp(f.path("small pic.bmp"), small));
  f.machine.file_dialog_answers.push_back("  " + f.path("small pic.bmp") + "\0   "s);
  // The hourglass is up while the box is read again and drawn.
  std::vector<int> pointers_at_draws;
  f.machine.on_refresh = [&](const Surface& s, const Rect*) {
    if (&s == &f.box) pointers_at_draws.push_back(f.machine.mouse_pointer);
  };
  f.engine.dialogShowOpen();
  f.machine.on_refresh = nullptr;
  EXPECT_EQ(pointers_at_draws, std::vector<int>{kHourglassPointer});
  EXPECT_TRUE(f.machine.messages.empty());
  EXPECT_TRUE(f.box.visible());
  EXPECT_EQ(f.engine.width(), 4);
  EXPECT_EQ(f.engine.height(), 3);
  EXPECT_EQ(f.machine.mouse_pointer, kDefaultPointer);
  Image expected(4, 3, 0xFF0000);
  expected.copy_from(small, 0, 0, 2, 2, 0, 0);
  EXPECT_EQ(f.box.image(), expected);
  // All three layers hold the new picture: the top-left pixel is column 1 of row H.
  for (int layer = 1; layer <= 3; ++layer) {
    const std::uint8_t* top_left = f.engine.pixel_store().layer(layer) + (2 * 4 + 0) * 4;
    EXPECT_EQ(top_left[0], 0x00);
    EXPECT_EQ(top_left[2], 0x40);
  }

  // A larger picture is cut to the box.
  Image large = picture(6, 5, 0x000080);
  ASSERT_TRUE(write_bmp(f.path("large.bmp"), large));
  f.machine.file_dialog_answers.push_back(f.path("large.bmp"));
  f.engine.dialogShowOpen();
  Image cut(4, 3);
  cut.copy_from(large, 0, 0, 4, 3, 0, 0);
  EXPECT_EQ(f.box.image(), cut);
}

TEST(OpenDialog, AFileThatIsNotAPictureLeavesPictureAndLayersAndSaysSo) {
  Fixture f;
  f.engine.ASM_PalEffects(1);  // layers 2 and 3 now differ from layer 1
  auto before = f.store();
  Image shown = f.box.image();
  FILE* text = std::fopen(f.path("notes.txt").c_str(), "wb");
  ASSERT_TRUE(text);
  std::fputs("not a picture", text);
  std::fclose(text);
  for (const std::string& name : {f.path("notes.txt"), f.path("missing.bmp")}) {
    f.machine.messages.clear();
    f.machine.file_dialog_answers.push_back(name);
    f.engine.dialogShowOpen("Open");
    ASSERT_EQ(f.machine.messages.size(), 1u) << name;
    EXPECT_EQ(f.machine.messages[0].title, "Virelta Effects Lab");
    EXPECT_EQ(f.machine.messages[0].text, "Error loading picture file");
    EXPECT_EQ(f.machine.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(f.box.visible());
    EXPECT_EQ(f.store(), before);
    EXPECT_EQ(f.box.image(), shown);
    EXPECT_TRUE(f.engine.bound());
  }
}

TEST(SaveDialog, WritesWhatTheBoxShowsUnderTheRuledName) {
  Fixture f;
  // With AutoDraw off the box keeps showing the old picture while layer 2 changes.
  f.engine.AutoDraw(false);
  f.engine.ASM_PalEffects(1);
  Image shown = f.box.image();
  f.machine.file_dialog_answers.push_back(f.path("pic") + "\0"s + std::string(20, ' '));
  f.machine.file_dialog_answers.push_back(f.path("PIC2.BMP"));
  f.machine.file_dialog_answers.push_back(f.path("a.bmp.txt"));
  for (int i = 0; i < 3; ++i) f.engine.dialogShowSave(i == 1 ? "Keep it" : "");
  ASSERT_EQ(f.machine.file_dialog_requests.size(), 3u);
  EXPECT_TRUE(f.machine.file_dialog_requests[0].save);
  EXPECT_EQ(f.machine.file_dialog_requests[0].title, "Save Picture file");
  EXPECT_EQ(f.machine.file_dialog_requests[1].title, "Keep it");
  EXPECT_EQ(f.machine.file_dialog_requests[0].filters, effects::save_filter());
  EXPECT_EQ(f.machine.file_dialog_requests[0].owner, f.form.handle());
  EXPECT_TRUE(f.machine.messages.empty());
  for (const char* name : {"pic.bmp", "PIC2.BMP", "a.bmp.txt.bmp"}) {
    Image saved;
    ASSERT_TRUE(read_bmp(f.path(name), saved)) << name;
    EXPECT_EQ(saved, shown) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(f.path("a.bmp.txt")));
  EXPECT_FALSE(std::filesystem::exists(f.path("PIC2.BMP.bmp")));

  // Cancel writes nothing and says nothing; a folder that does not exist is an error.
  f.engine.dialogShowSave();
  f.machine.file_dialog_answers.push_back(f.path("no such folder/x"));
  f.engine.dialogShowSave();
  ASSERT_EQ(f.machine.messages.size(), 1u);
  EXPECT_EQ(f.machine.messages[0].title, "Virelta Effects Lab");
  EXPECT_EQ(f.machine.messages[0].text, "Error saving picture file");
  EXPECT_EQ(f.machine.messages[0].icon, MessageIcon::Critical);
}

TEST(ColourDialog, ReturnsTheColourAndKeepsCustomColoursOnlyWhenConfirmed) {
  Fixture f;
  std::vector<std::array<std::uint32_t, 16>> seen;
  f.machine.colour_dialog_edits = [&](std::uint32_t (&custom)[16]) {
    seen.push_back({});
    std::copy(custom, custom + 16, seen.back().begin());
    custom[0] = 0x00112233u + static_cast<std::uint32_t>(seen.size());
    custom[15] = 0x00FFFFFFu;
  };
  f.machine.colour_answers.push_back(0x004080FFu);
  EXPECT_EQ(f.engine.dialogChoseColor(), 0x004080FF);
  f.machine.colour_answers.push_back(std::nullopt);
  EXPECT_EQ(f.engine.dialogChoseColor(), -1);
  f.machine.colour_answers.push_back(0u);
  EXPECT_EQ(f.engine.dialogChoseColor(), 0);
  ASSERT_EQ(seen.size(), 3u);
  // All 0 before the first confirmed dialog.
  for (std::uint32_t c : seen[0]) EXPECT_EQ(c, 0u);
  // The second call starts from what the first left; the cancelled second
  // call's changes are dropped, so the third sees the first's again.
  EXPECT_EQ(seen[1][0], 0x00112234u);
  EXPECT_EQ(seen[1][15], 0x00FFFFFFu);
  EXPECT_EQ(seen[2][0], 0x00112234u);
  const auto& kept = f.engine.custom_colours();
  EXPECT_EQ(kept[0], 0x36);  // 0x00112236: the third call's, byte by byte
  EXPECT_EQ(kept[1], 0x22);
  EXPECT_EQ(kept[2], 0x11);
  EXPECT_EQ(kept[3], 0x00);
  EXPECT_EQ(kept[60], 0xFF);
  for (std::uintptr_t owner : f.machine.colour_owners) EXPECT_EQ(owner, f.form.handle());
  EXPECT_TRUE(f.machine.messages.empty());
}

TEST(ColourDialog, CustomColoursBelongToOneInstance) {
  Fixture f;
  f.machine.colour_dialog_edits = [](std::uint32_t (&custom)[16]) { custom[3] = 0x00ABCDEFu; };
  f.machine.colour_answers.push_back(0x00000080u);
  EXPECT_EQ(f.engine.dialogChoseColor(), 0x80);

  clsASMpic other;
  f.machine.colour_dialog_edits = nullptr;
  other.PictureBox(f.box);
  std::uint32_t first = 1;
  f.machine.colour_dialog_edits = [&](std::uint32_t (&custom)[16]) { first = custom[3]; };
  EXPECT_EQ(other.dialogChoseColor(), -1);
  EXPECT_EQ(first, 0u);
}
