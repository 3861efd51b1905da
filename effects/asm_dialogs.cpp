// The picture-file and colour dialogs of the engine.
#include <algorithm>
#include <cstring>

#include "forms/form_layer.h"
#include "effects/asm_dialogs.h"
#include "effects/cls_asm_pic.h"

namespace virelta::effects {

const std::vector<std::pair<std::string, std::string>>& open_filter() {
  static const std::vector<std::pair<std::string, std::string>> filter{
      {"Pictures (*.bmp *.gif *.jpg *.wmf *.ico *.cur)", "*.bmp;*.gif;*.jpg;*.ico;*.cur"},
      {"All Files (*.*)", "*.*"}};
  return filter;
}

const std::vector<std::pair<std::string, std::string>>& save_filter() {
  static const std::vector<std::pair<std::string, std::string>> filter{{"Pictures (*.bmp)", "*.bmp"}};
  return filter;
}

std::string filter_text(const std::vector<std::pair<std::string, std::string>>& filter) {
  std::string text;
  for (const auto& [description, patterns] : filter) {
    text += description;
    text += '\0';
    text += patterns;
    text += '\0';
  }
  return text;
}

namespace {
std::string strip_spaces(std::string text) {
  auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}
}  // namespace

std::string open_dialog_path(const std::string& buffer) {
  std::string path = strip_spaces(buffer);
  auto nul = path.find('\0');
  if (nul != std::string::npos) path.resize(nul);
  return path;
}

std::string save_dialog_path(const std::string& buffer) {
  std::string name = strip_spaces(buffer);
  name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
  std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : name;
  std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (tail != ".bmp") name = strip_spaces(name) + ".bmp";
  return name;
}

namespace {
Window* parent_form(Surface* box) { return box ? box->form() : nullptr; }

// What the open and save dialogs share: the file dialog, owned by the box's
// form, and a message under the form's caption when using the chosen file
// fails (after `undo`). Cancelling the dialog does nothing.
template <class Use, class Undo>
void with_chosen_file(Surface& box, FileDialogRequest request, const char* failure, Use use, Undo undo) {
  Window* form = parent_form(&box);
  request.owner = form ? form->handle() : 0;
  try {
    auto chosen = platform().file_dialog(request);
    if (chosen) use(*chosen, form);
  } catch (const std::exception&) {
    undo();
    platform().message_box(form ? form->caption() : std::string(), failure, MessageIcon::Critical);
  }
}
}  // namespace

void clsASMpic::dialogShowOpen(const std::string& Caption) {
  if (CheckPicBox()) return;
  Surface& box = *box_;
  FileDialogRequest request{false, Caption.empty() ? "Load a Picture file" : Caption, open_filter()};
  auto load = [&](const std::string& chosen, Window* form) {
    box.set_visible(false);
    Image picture;
    if (!platform().load_picture(open_dialog_path(chosen), picture)) raise(ErrorNumber::InvalidPicture);
    // The picture goes into the box at its top left; the box keeps its size.
    box.clear();
    box.image().copy_from(picture, 0, 0, picture.width(), picture.height(), 0, 0);
    if (form) form->mouse_pointer = kHourglassPointer;
    platform().set_mouse_pointer(kHourglassPointer);
    PictureBox(box);
    if (form) form->refresh();
    if (form) form->mouse_pointer = kDefaultPointer;
    platform().set_mouse_pointer(kDefaultPointer);
  };
  with_chosen_file(box, request, "Error loading picture file", load, [&] {
    box.set_visible(true);
    platform().set_mouse_pointer(kDefaultPointer);
  });
}

void clsASMpic::dialogShowSave(const std::string& Caption) {
  if (CheckPicBox()) return;
  Surface& box = *box_;
  FileDialogRequest request{true, Caption.empty() ? "Save Picture file" : Caption, save_filter()};
  auto save = [&](const std::string& chosen, Window*) {
    if (!platform().save_picture(box.image(), save_dialog_path(chosen))) raise(ErrorNumber::PathNotFound);
  };
  with_chosen_file(box, request, "Error saving picture file", save, [] {});
}

Long clsASMpic::dialogChoseColor() {
  Long result = 0;
  if (CheckPicBox()) return result;
  std::uint32_t custom[16];
  std::memcpy(custom, custom_colours_.data(), sizeof custom);
  Window* form = parent_form(box_);
  auto chosen = platform().choose_colour(custom, form ? form->handle() : 0);
  if (chosen) {
    result = static_cast<Long>(*chosen);
    std::memcpy(custom_colours_.data(), custom, sizeof custom);
  } else {
    result = -1;
  }
  return result;
}

}  // namespace virelta::effects
