#include "lab/lab_menu.h"

namespace virelta::lab {

const std::vector<EffectMember>& effect_members() {
  static const std::vector<EffectMember> members{
      {Command::Rotate, "ASM_Rotate",
       "ASM_Rotate(Angle As Integer, [AntiAlias As Boolean = False], [SourcePic As Boolean = True], "
       "[colorX As Long = -1], [centerX], [centerY])",
       "Degrees clockwise; the centre in pixels, centerY from the top.", "45"},
      {Command::PalEffects, "ASM_PalEffects", "ASM_PalEffects(OpCode As Long, [Amount As Integer = 1], [colorX As Long = -1])",
       "0/1 red up/down, 2/3 green, 4/5 blue, 6 brighter, 7 darker, 8/9 shift, 10 noise, 11 invert, 12 grey, "
       "13 dark to black, 14 light to white, 15 black to white, 16 white to black, 17/18 keep white/black, "
       "19 threshold.",
       "11"},
      {Command::PixelEffects, "ASM_PixelEffects", "ASM_PixelEffects(OpCode As Long, [Amount As Integer = 1], [colorX As Long = -1])",
       "0 blur (Amount 1, 2, 4, 8), 1 edges, 2 relief, 3 wave, 4 emboss, 5 twirl.", "0,1"},
      {Command::IncrementalPalEffects, "ASM_IncrementalPalEffects",
       "ASM_IncrementalPalEffects(OpCode As Long, [Amount As Integer = 1])", "The palette op codes, from the saved picture.",
       "6,20"},
      {Command::ColorXEffects, "ASM_ColorXEffects",
       "ASM_ColorXEffects(OpCode As Long, colorX As Long, [Amount As Integer = 1], [centerX], [centerY])",
       "0 dots, 1 row lines, 2 column lines, 3 grid dots, 4 bleed, 5-8 streaks up/down/left/right, 9 burst.",
       "3,&HFFFFFF,8"},
      {Command::Magnify, "ASM_Magnify",
       "ASM_Magnify(Factor As Single, [centerX], [centerY], [AntiAlias As Boolean = False], [colorX As Long = -1])",
       "Factor above 1 enlarges; the centre in pixels.", "2"},
  };
  return members;
}

const EffectMember* effect_member(Command command) {
  for (const auto& m : effect_members())
    if (m.command == command) return &m;
  return nullptr;
}

const std::vector<MenuItem>& menu_bar() {
  static const std::vector<MenuItem> bar{
      {"&File",
       Command::None,
       {{"&Open picture... (dialogShowOpen)\tCtrl+O", Command::Open, {}},
        {"&Save picture... (dialogShowSave)\tCtrl+S", Command::Save, {}},
        {"Choose &colour... (dialogChoseColor)\tCtrl+K", Command::ChooseColour, {}},
        {"", Command::None, {}},
        {"E&xit", Command::Exit, {}}}},
      {"&Effects",
       Command::None,
       {{"&Rotate... (ASM_Rotate)", Command::Rotate, {}},
        {"&Palette... (ASM_PalEffects)", Command::PalEffects, {}},
        {"P&ixels... (ASM_PixelEffects)", Command::PixelEffects, {}},
        {"I&ncremental palette... (ASM_IncrementalPalEffects)", Command::IncrementalPalEffects, {}},
        {"&Colour exchange... (ASM_ColorXEffects)", Command::ColorXEffects, {}},
        {"&Magnify... (ASM_Magnify)", Command::Magnify, {}}}},
      {"&Draw",
       Command::None,
       {{"&AutoDraw", Command::AutoDraw, {}},
        {"Draw &now (DrawNow)\tF5", Command::DrawNow, {}},
        {"", Command::None, {}},
        {"&Undo (UndoLast)\tCtrl+Z", Command::Undo, {}},
        {"Undo &without drawing (UndoLastDontDraw)", Command::UndoDontDraw, {}},
        {"&Reset (ResetPic)\tCtrl+R", Command::Reset, {}}}},
  };
  return bar;
}

}  // namespace virelta::lab
