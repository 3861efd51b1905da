// The profile file as text: splitting it into lines, finding a section and a
// key, and splicing a new value into the bytes.
#include "settings/profile_file.h"

namespace virelta {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_lead_byte(char c) {
  auto b = static_cast<unsigned char>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool is_trail_byte(char c) {
  auto b = static_cast<unsigned char>(c);
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

char fold_case(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::size_t body_start(std::string_view text) { return text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0; }

enum class LineKind { Blank, Section, Key, Other };

struct Line {
  std::size_t begin = 0;
  std::size_t content_end = 0;  // where the line break starts
  std::size_t end = 0;          // after the line break
  LineKind kind = LineKind::Other;
  std::string_view name;        // section or key name, trimmed
  std::size_t value_begin = 0;  // key lines: the byte after '='
};

class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text), pos_(body_start(text)) {}

  bool next(Line& line) {
    if (pos_ >= text_.size()) return false;
    line = Line{};
    line.begin = pos_;
    std::size_t brk = text_.find_first_of("\r\n", pos_);
    if (brk == std::string_view::npos) {
      line.content_end = line.end = text_.size();
    } else {
      line.content_end = brk;
      line.end = brk + 1;
      if (text_[brk] == '\r' && line.end < text_.size() && text_[line.end] == '\n') ++line.end;
    }
    classify(line);
    pos_ = line.end;
    return true;
  }

 private:
  void classify(Line& line) const {
    std::string_view content = text_.substr(line.begin, line.content_end - line.begin);
    std::size_t p = 0;
    while (p < content.size() && is_blank(content[p])) ++p;
    if (p == content.size()) {
      line.kind = LineKind::Blank;
      return;
    }
    if (content[p] == '[') {
      // A ']' that is the second byte of a double-byte character does not close.
      for (std::size_t i = p + 1; i < content.size(); ++i) {
        if (content[i] == ']') {
          line.kind = LineKind::Section;
          line.name = trim(content.substr(p + 1, i - p - 1));
          return;
        }
        if (is_lead_byte(content[i]) && i + 1 < content.size() && is_trail_byte(content[i + 1])) ++i;
      }
    }
    std::size_t equals = content.find('=', p);
    if (equals == std::string_view::npos) {
      line.kind = LineKind::Other;
      return;
    }
    line.kind = LineKind::Key;
    line.name = trim(content.substr(p, equals - p));
    line.value_begin = line.begin + equals + 1;
  }

  std::string_view text_;
  std::size_t pos_;
};

// Where a key is, or where it would go.
struct Place {
  bool section_found = false;
  bool key_found = false;
  std::size_t value_begin = 0;
  std::size_t value_end = 0;
  std::size_t insert_at = 0;           // after the section's last non-blank line
  bool insert_needs_line_break = false;  // that line is the file's unterminated last line
};

Place locate(std::string_view text, std::string_view section, std::string_view key) {
  Place place;
  LineReader reader(text);
  Line line;
  bool inside = false;
  auto extend_section = [&](const Line& l) {
    place.insert_at = l.end;
    place.insert_needs_line_break = l.end == l.content_end;
  };
  while (reader.next(line)) {
    if (line.kind == LineKind::Section) {
      if (inside) break;  // a repeated section later in the file is not read
      if (profile_names_equal(line.name, section)) {
        inside = place.section_found = true;
        extend_section(line);
      }
      continue;
    }
    if (!inside) continue;
    if (line.kind == LineKind::Key && profile_names_equal(line.name, key)) {
      place.key_found = true;
      place.value_begin = line.value_begin;
      place.value_end = line.content_end;
      return place;
    }
    if (line.kind != LineKind::Blank) extend_section(line);
  }
  return place;
}

}  // namespace

std::string profile_value_as_read(std::string_view raw) {
  raw = raw.substr(0, raw.find('\0'));
  raw = trim(raw);
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
    raw = raw.substr(1, raw.size() - 2);
  return std::string(raw.substr(0, kProfileValueLimit));
}

bool profile_names_equal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (is_lead_byte(a[i])) {
      // The pair is compared as it stands: its second byte may look like a letter.
      if (a[i] != b[i]) return false;
      if (i + 1 < a.size() && a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (fold_case(a[i]) != fold_case(b[i])) {
      return false;
    }
  }
  return true;
}

std::optional<std::string> profile_value(std::string_view contents, std::string_view section,
                                         std::string_view key) {
  Place place = locate(contents, section, key);
  if (!place.key_found) return std::nullopt;
  return profile_value_as_read(contents.substr(place.value_begin, place.value_end - place.value_begin));
}

std::string profile_with_value(std::string_view contents, std::string_view section,
                               std::string_view key, std::string_view value) {
  Place place = locate(contents, section, key);
  std::string out;
  out.reserve(contents.size() + section.size() + key.size() + value.size() + 8);
  if (place.key_found) {
    out.append(contents.substr(0, place.value_begin));
    out.append(value);
    out.append(contents.substr(place.value_end));
    return out;
  }
  std::string key_line = std::string(key) + "=" + std::string(value) + "\r\n";
  if (place.section_found) {
    out.append(contents.substr(0, place.insert_at));
    if (place.insert_needs_line_break) out.append("\r\n");
    out.append(key_line);
    out.append(contents.substr(place.insert_at));
    return out;
  }
  out.append(contents);
  if (contents.size() > body_start(contents) && contents.back() != '\n' && contents.back() != '\r')
    out.append("\r\n");
  out.append("[").append(section).append("]\r\n").append(key_line);
  return out;
}

}  // namespace virelta
