// The Command button's public properties and how they are stored with the
// form that holds the button.
#include <string>

#include "controls/command.h"

namespace virelta {

namespace {
// Texts of the stored form's defaults. The caption reads and writes with
// the same default, so a caption of "Command1" is left out and comes back.
constexpr char kDefaultEnabled[] = "True";
constexpr char kDefaultCaption[] = "Command1";
constexpr char kDefaultFirstRun[] = "1";
constexpr char kDefaultFontColour[] = "0";
constexpr char kDefaultVisible[] = "1";
}  // namespace

bool Command::Enabled() {
  if (first_run_ == 0) {
    on_error_resume_next([&] { RefreshLook(); });
    first_run_ = 1;
    enabled_value_ = true;
  }
  const bool value = enabled_value_;
  on_error_resume_next([&] { ApplyEnabled(); });
  return value;
}

void Command::Enabled(bool value) {
  enabled_value_ = value;
  on_error_resume_next([&] { ApplyEnabled(); });
  PropertyChanged("Enabled");
}

std::string Command::Caption() const { return lbl_msg_->caption(); }

void Command::Caption(const std::string& text) {
  on_error_resume_next([&] { lbl_msg_->set_caption(text); });
  accessible_name = text;
  PropertyChanged("Caption");
}

const virelta::Font& Command::Font() const { return lbl_msg_->font; }

void Command::Font(const virelta::Font& font) {
  on_error_resume_next([&] {
    lbl_msg_->font = font;
    lbl_msg_->changed();
  });
  PropertyChanged("Font");
}

std::uint32_t Command::FontColour() {
  const std::uint32_t colour = lbl_msg_->fore_color;
  RefreshLook();
  return colour;
}

void Command::FontColour(std::uint32_t colour) {
  if (!on_error_resume_next([&] {
        lbl_msg_->fore_color = colour;
        lbl_msg_->changed();
      })) {
    RefreshLook();
    return;
  }
  RefreshLook();
  PropertyChanged("FontColour");
}

bool Command::Visible() {
  if (back_style_ == 0) return false;
  on_error_resume_next([&] { RefreshLook(); });
  return true;
}

void Command::Visible(bool value) {
  back_style_ = value ? 1 : 0;
  if (value) on_error_resume_next([&] { RefreshLook(); });
  PropertyChanged("Visible");
}

void Command::ReadProperties(const PropertyBag& bag) {
  on_error_resume_next([&] { enabled_value_ = text_to_boolean(bag.read_text("Enabled", kDefaultEnabled)); });
  on_error_resume_next([&] { lbl_msg_->set_caption(bag.read_text("Caption", kDefaultCaption)); });
  on_error_resume_next([&] {
    lbl_msg_->font = bag.read_font("Font", ambient_font);
    lbl_msg_->changed();
  });
  on_error_resume_next([&] {
    first_run_ = narrow_byte(to_long(text_to_number(bag.read_text("FirstRun", kDefaultFirstRun))));
  });
  on_error_resume_next([&] {
    lbl_msg_->fore_color =
        static_cast<std::uint32_t>(to_long(text_to_number(bag.read_text("FontColour", kDefaultFontColour))));
    lbl_msg_->changed();
  });
  on_error_resume_next([&] {
    // The background style is 0 (transparent) or 1 (opaque); anything else
    // leaves it as it was.
    const Integer style = to_integer(text_to_number(bag.read_text("Visible", kDefaultVisible)));
    if (style != 0 && style != 1) raise(ErrorNumber::InvalidPropertyValue);
    back_style_ = style;
  });
  RefreshLook();
}

void Command::WriteProperties(PropertyBag& bag) {
  on_error_resume_next([&] { bag.write("Enabled", boolean_to_text(enabled_value_), kDefaultEnabled); });
  on_error_resume_next([&] { bag.write("Caption", lbl_msg_->caption(), kDefaultCaption); });
  on_error_resume_next([&] { bag.write("FirstRun", std::to_string(first_run_), kDefaultFirstRun); });
  on_error_resume_next([&] { bag.write("Font", lbl_msg_->font, ambient_font); });
  on_error_resume_next([&] {
    bag.write("FontColour", std::to_string(static_cast<Long>(lbl_msg_->fore_color)), kDefaultFontColour);
  });
  on_error_resume_next([&] { bag.write("Visible", std::to_string(back_style_), kDefaultVisible); });
  RefreshLook();
}

}  // namespace virelta
