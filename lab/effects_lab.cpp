#include "lab/effects_lab.h"

#include <algorithm>
#include <cstdio>

#include "runtime/runtime.h"
#include "tools/support/fx_calls.h"

namespace virelta::lab {

namespace {
constexpr int kControlMask = 2;
}  // namespace

std::string error_text(const std::exception& error) {
  if (auto* runtime = dynamic_cast<const RuntimeError*>(&error))
    return "Run-time error " + std::to_string(runtime->number()) + ": " + error_description(runtime->code());
  return error.what();
}

std::string picture_argument(const std::string& command_line) {
  std::string text = command_line;
  auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  return text;
}

EffectsLab::EffectsLab() : form_("VireltaLab"), box_(&form_, "Pic_Lab") {
  form_.set_caption(kLabCaption);
  form_.border = BorderStyle::FixedSingle;
  form_.max_button = false;
  // The shortcuts the menus show: Ctrl with O, S, K, Z, R; F5 draws.
  form_.key_preview = true;
  form_.on_key_down = [this](int key, int shift) {
    if (key == 0x74 && shift == 0) return run(Command::DrawNow);
    if (shift != kControlMask) return;
    for (auto [letter, command] : {std::pair{'O', Command::Open}, {'S', Command::Save}, {'K', Command::ChooseColour},
                                   {'Z', Command::Undo}, {'R', Command::Reset}})
      if (key == letter) return run(command);
  };
}

void EffectsLab::place(int box_width, int box_height) {
  box_.move(0, 0, box_width, box_height);
  form_.move(8, 8, box_width, box_height + kStatusHeight);
}

void EffectsLab::start(const std::string& command_line) {
  ScreenInfo screen = platform().screen();
  const int max_width = std::max(kMinBoxWidth, screen.width - 40);
  const int max_height = std::max(kMinBoxHeight, screen.height - 120);
  Image picture;
  std::string path = picture_argument(command_line);
  bool from_file = !path.empty() && platform().load_picture(path, picture);
  if (!path.empty() && !from_file)
    platform().message_box(kLabCaption, "Error loading picture file", MessageIcon::Critical);
  if (from_file) {
    place(std::clamp(picture.width(), kMinBoxWidth, max_width), std::clamp(picture.height(), kMinBoxHeight, max_height));
    box_.clear();
    box_.image().copy_from(picture, 0, 0, picture.width(), picture.height(), 0, 0);
  } else {
    // Three quarters of the screen, from its top left corner.
    int w = std::clamp(screen.width * 3 / 4, kMinBoxWidth, max_width);
    int h = std::clamp(screen.height * 3 / 4, kMinBoxHeight, max_height);
    place(w, h);
    box_.clear();
    platform().capture_screen(box_.image(), Rect{screen.left, screen.top, w, h}, 0, 0);
  }
  form_.load();
  form_.show();
  engine_.PictureBox(box_);
  set_status(from_file ? "Loaded " + path : "The desktop");
}

std::string EffectsLab::last_arguments(const EffectMember& member) const {
  auto it = typed_.find(member.member);
  return it == typed_.end() ? member.first_arguments : it->second;
}

bool EffectsLab::run_call(const std::string& text) {
  try {
    fx::run_call(engine_, fx::parse_call(text));
    set_status(text);
    return true;
  } catch (const std::exception& error) {
    platform().message_box(form_.caption(), error_text(error), MessageIcon::Critical);
    return false;
  }
}

void EffectsLab::ask_and_run(const EffectMember& member) {
  if (!ask_arguments) return;
  auto typed = ask_arguments(member, last_arguments(member));
  if (!typed) return;
  typed_[member.member] = *typed;
  run_call(member.member + "(" + *typed + ")");
}

namespace {

// The engine call a menu command makes when it takes no arguments.
const char* call_without_arguments(Command command) {
  switch (command) {
    case Command::DrawNow: return "DrawNow";
    case Command::Undo: return "UndoLast";
    case Command::UndoDontDraw: return "UndoLastDontDraw";
    case Command::Reset: return "ResetPic";
    default: return nullptr;
  }
}

}  // namespace

bool EffectsLab::checked(Command command) const { return command == Command::AutoDraw && engine_.AutoDraw(); }

void EffectsLab::run(Command command) {
  if (const EffectMember* member = effect_member(command)) {
    ask_and_run(*member);
    return;
  }
  switch (command) {
    case Command::Open:
      engine_.dialogShowOpen();
      break;
    case Command::Save:
      engine_.dialogShowSave();
      break;
    case Command::ChooseColour: {
      Long colour = engine_.dialogChoseColor();
      char hex[16];
      std::snprintf(hex, sizeof hex, "&H%08X&", static_cast<unsigned>(colour));
      set_status("dialogChoseColor = " + std::to_string(colour) + (colour >= 0 ? std::string(" (") + hex + ")" : ""));
      break;
    }
    case Command::Exit:
      form_.unload();
      break;
    case Command::AutoDraw:
      run_call(engine_.AutoDraw() ? "AutoDraw=False" : "AutoDraw=True");
      break;
    default:
      if (const char* call = call_without_arguments(command)) run_call(call);
      break;
  }
}

void EffectsLab::set_status(const std::string& text) {
  status_ = text;
  if (on_status) on_status();
}

}  // namespace virelta::lab
