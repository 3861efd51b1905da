// The settings dialog's layout as data: every control with its place and
// size in twips, its text and its look, in the order the dialog creates them.
// Hold it against the documented layout line by line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forms/form_layer.h"

namespace virelta::settings_dialog {

enum class Where { Window, TilePanel, GlobalPanel };
enum class What { Panel, Label, Mark, Spin, Shape, Line, Button, MarkStore };

struct LayoutEntry {
  std::string name;  // control (array) name
  int index = -1;    // element of the control array, -1 for a single control
  What what = What::Label;
  Where where = Where::Window;
  int left = 0, top = 0, width = 0, height = 0;  // twips; a line runs from (left, top) to (width, height)
  std::string text;
  Alignment alignment = Alignment::Left;
  std::uint32_t colour = 0x80000008;  // text or line colour; the system's window-text colour by default
  bool underline = false;
  int spin_min = 0, spin_max = 0, spin_value = 0;
};

// Window: client area and caption.
inline constexpr int kClientWidthTwips = 6780;
inline constexpr int kClientHeightTwips = 3660;
inline constexpr std::uint32_t kSeparatorColour = 0x800080;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;

// Texts of the dialog.
inline constexpr const char* kOn = "有効";
inline constexpr const char* kOff = "無効";

const std::vector<LayoutEntry>& settings_layout();

// The credit line and the home-page address shown by lbl_URL.
std::string credit_text();
std::string home_page_address();

}  // namespace virelta::settings_dialog
