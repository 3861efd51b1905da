// Every text of the settings dialog in its two languages: Japanese where
// that is the user's display language, English everywhere else. The layout
// and the settings file do not change with the language.
#pragma once

#include <string>

#include "forms/form_layer.h"

namespace virelta::settings_dialog {

struct DialogTexts {
  const char* caption;
  const char* tile_title;
  const char* head_action;
  const char* head_height;
  const char* head_width;
  const char* head_random;
  const char* speed;
  const char* turns;
  const char* anti_alias;
  const char* on;
  const char* off;
  const char* set;
  const char* cancel;
  const char* save_failed;  // followed by a line break and the file's path
  // What a screen reader calls the controls that have no caption of their
  // own (the tile's number follows the first four).
  const char* name_action;
  const char* name_height;
  const char* name_width;
  const char* name_random;
  const char* name_anti_off;
  const char* name_anti_on;
  Font font;
};

const DialogTexts& japanese_texts();
const DialogTexts& english_texts();
// The texts for the platform's display language.
const DialogTexts& dialog_texts();

}  // namespace virelta::settings_dialog
