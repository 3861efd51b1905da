// The six skin pictures of the Command button, drawn from the colour table
// of skin_design.h. The button uses the shared copies of skin_picture(); the
// make_skins tool writes draw_skin()'s pictures to resources/skins/.
#pragma once

#include <array>
#include <string_view>

#include "forms/image.h"

namespace virelta {

enum class SkinName { Normal, HighLight, Pressed, Disable, HighLightSelect, Selected };

inline constexpr std::array<SkinName, 6> kAllSkins{SkinName::Normal,  SkinName::HighLight,
                                                   SkinName::Pressed, SkinName::Disable,
                                                   SkinName::HighLightSelect, SkinName::Selected};

inline constexpr int kSkinWidth = 64;
inline constexpr int kSkinHeight = 25;

// "Normal", "HighLight", ...: the image's name, and the picture file's name
// without ".bmp".
std::string_view skin_name_text(SkinName skin);

// Draws the skin afresh (24-bit colours in a 32-bit picture, fourth byte 0).
Image draw_skin(SkinName skin);

// The skin as the button paints it: drawn once, shared by every button.
const Image& skin_picture(SkinName skin);

}  // namespace virelta
