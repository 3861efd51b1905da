// The properties a control stores with the form that holds it: named entries
// whose values are texts or fonts. Names match without regard to case; an
// entry equal to its default is not stored, and reading an absent entry gives
// the default the reader names.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "forms/form_layer.h"

namespace virelta {

using PropertyValue = std::variant<std::string, Font>;

struct PropertyEntry {
  std::string name;
  PropertyValue value;
  bool operator==(const PropertyEntry&) const = default;
};

// Names are plain ASCII; letters compare without regard to case.
bool same_property_name(std::string_view a, std::string_view b);

class PropertyBag {
 public:
  PropertyBag() = default;
  // A bag as it was stored (entries taken as they are, defaults or not).
  PropertyBag(std::initializer_list<PropertyEntry> stored);

  // Stores `value` under `name`, or drops the entry when the value equals
  // `default_value`. A stored entry keeps its place.
  void write(std::string_view name, const PropertyValue& value, const PropertyValue& default_value);
  PropertyValue read(std::string_view name, const PropertyValue& default_value) const;
  // Typed reads: an entry of the other kind raises type mismatch (13).
  std::string read_text(std::string_view name, std::string_view default_text) const;
  Font read_font(std::string_view name, const Font& default_font) const;

  const PropertyEntry* find(std::string_view name) const;
  const std::vector<PropertyEntry>& entries() const { return entries_; }
  bool operator==(const PropertyBag&) const = default;

 private:
  std::vector<PropertyEntry> entries_;
};

// A stored Boolean: "True" or "False" in any case, or a number (non-zero is
// True). Anything else raises type mismatch (13).
bool text_to_boolean(std::string_view text);
inline std::string boolean_to_text(bool value) { return value ? "True" : "False"; }

}  // namespace virelta
