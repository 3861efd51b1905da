#include "controls/dialog_buttons.h"

namespace virelta {

namespace {
Font dialog_button_font() {
  Font font;
  font.name = "ＭＳ Ｐゴシック";
  font.size = 9.75;
  font.weight = 400;
  font.charset = 128;  // Shift-JIS
  return font;
}
}  // namespace

PropertyBag stored_button_properties(std::string_view control_name) {
  // The layout holds the names in lower case; the button reads them without
  // regard to case.
  if (control_name == "Cmd_Set") return PropertyBag{{"caption", std::string("設定")}, {"font", dialog_button_font()}};
  if (control_name == "Cmd_Can")
    return PropertyBag{{"caption", std::string("ｷｬﾝｾﾙ")}, {"font", dialog_button_font()}};
  return PropertyBag{};
}

}  // namespace virelta
