// Texts and name rules of the engine's picture-file dialogs.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace virelta::effects {

const std::vector<std::pair<std::string, std::string>>& open_filter();
const std::vector<std::pair<std::string, std::string>>& save_filter();
// The filter as one text: every piece followed by one NUL character.
std::string filter_text(const std::vector<std::pair<std::string, std::string>>& filter);
// The path the open dialog returned: blanks stripped, ending at its first NUL.
std::string open_dialog_path(const std::string& buffer);
// The name the save dialog returned: blanks and NULs removed, ".bmp" added
// unless the name already ends in it (in any case).
std::string save_dialog_path(const std::string& buffer);

}  // namespace virelta::effects
