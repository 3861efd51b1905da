// A profile ("INI") file reader and writer that behaves like the platform's
// profile functions, written once so that the result never depends on the
// system's code page. Files are bytes: names and values are whatever the file
// holds (Shift-JIS for the Japanese key names).
//
// Reading a file:
//  - a line is ended by CR LF, LF or a lone CR; a UTF-8 byte-order mark at
//    the start of the file is skipped;
//  - "[name]" (blanks allowed around the line and inside the brackets) starts
//    a section; the closing bracket is the first ']' that is not the second
//    byte of a double-byte character; bytes after it are ignored;
//  - "key=value" inside a section is a key; blanks (space, tab) around the key
//    and around the value are dropped; a value enclosed in matching quotes
//    (both ' or both ") loses them; lines without '=' and lines before the
//    first section are kept but never read;
//  - section and key names match without regard to ASCII letter case, except
//    the second byte of a double-byte character, which must match exactly;
//  - only the first section of a given name counts, and within it the first
//    key of a given name;
//  - a value ends at its first NUL byte (before trimming and unquoting) and
//    is cut at 255 bytes.
//
// Writing a key changes nothing but the bytes after the '=' of that key's
// line, or adds "key=value" CR LF after the last non-blank line of the
// section, or adds "[section]" CR LF "key=value" CR LF at the end of the file
// (creating it). Section and key names are cut at 128 bytes. A write whose
// result would not read back as written (line breaks in a value, '=' in a
// key, ...) is refused and the file is left alone.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace virelta {

// Longest value a read returns (the reader's buffer holds 256 bytes with the NUL).
inline constexpr std::size_t kProfileValueLimit = 255;
// Longest section or key name a write uses.
inline constexpr std::size_t kProfileNameLimit = 128;

// True when the two names are the same, ignoring ASCII letter case outside
// double-byte characters (Shift-JIS lead bytes 0x81-0x9F and 0xE0-0xFC).
bool profile_names_equal(std::string_view a, std::string_view b);

// What a read returns for the bytes after a key's '=' (up to the first NUL,
// trimmed, unquoted, cut at 255 bytes).
std::string profile_value_as_read(std::string_view raw);

// The value of a key in the text of a profile file, as a read returns it
// (trimmed, unquoted, cut); nothing when the section or key is missing.
std::optional<std::string> profile_value(std::string_view contents, std::string_view section,
                                         std::string_view key);

// The text of a profile file after writing one key. Names are used as given
// (the caller trims and cuts them).
std::string profile_with_value(std::string_view contents, std::string_view section,
                               std::string_view key, std::string_view value);

// The value of a key in a file (file path in UTF-8); empty when the file,
// section or key is missing or the file cannot be read.
std::string read_profile_string(std::string_view section, std::string_view key,
                                const std::string& file);

// Writes a key into a file (file path in UTF-8). Returns false when the file
// could not be read or written or the key could not be stored as given; the
// file then keeps its old bytes.
bool write_profile_string(std::string_view section, std::string_view key, std::string_view value,
                          const std::string& file);

}  // namespace virelta
