#include "controls/property_bag.h"

#include <algorithm>

namespace virelta {

namespace {
char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimmed(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}
}  // namespace

bool same_property_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return fold(x) == fold(y);
         });
}

PropertyBag::PropertyBag(std::initializer_list<PropertyEntry> stored) : entries_(stored) {}

const PropertyEntry* PropertyBag::find(std::string_view name) const {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const PropertyEntry& e) { return same_property_name(e.name, name); });
  return it == entries_.end() ? nullptr : &*it;
}

void PropertyBag::write(std::string_view name, const PropertyValue& value, const PropertyValue& default_value) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const PropertyEntry& e) { return same_property_name(e.name, name); });
  if (value == default_value) {
    if (it != entries_.end()) entries_.erase(it);
    return;
  }
  if (it != entries_.end()) {
    it->value = value;
  } else {
    entries_.push_back({std::string(name), value});
  }
}

PropertyValue PropertyBag::read(std::string_view name, const PropertyValue& default_value) const {
  const PropertyEntry* entry = find(name);
  return entry ? entry->value : default_value;
}

std::string PropertyBag::read_text(std::string_view name, std::string_view default_text) const {
  const PropertyEntry* entry = find(name);
  if (!entry) return std::string(default_text);
  if (const auto* text = std::get_if<std::string>(&entry->value)) return *text;
  raise(ErrorNumber::TypeMismatch);
}

Font PropertyBag::read_font(std::string_view name, const Font& default_font) const {
  const PropertyEntry* entry = find(name);
  if (!entry) return default_font;
  if (const auto* font = std::get_if<Font>(&entry->value)) return *font;
  raise(ErrorNumber::TypeMismatch);
}

bool text_to_boolean(std::string_view text) {
  std::string_view t = trimmed(text);
  if (same_property_name(t, "True")) return true;
  if (same_property_name(t, "False")) return false;
  return text_to_number(t) != 0;
}

}  // namespace virelta
