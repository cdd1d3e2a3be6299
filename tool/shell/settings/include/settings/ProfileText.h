// The text of a private profile (INI) file: lookup and change of one key, with the rules the
// settings' readers rely on. Section and key names match without regard to ASCII case; the
// first matching section and the first matching key in it count; names and values are read
// without surrounding blanks, and a value in matching single or double quotes loses them.
// Lines starting with ';' or '#', blank lines and lines without '=' are kept as they stand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// The value of key in section, or nothing when the section or the key is missing.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// The keys of every section of that name, in the order of the text, as they are spelled.
std::vector<std::string> ProfileKeys(std::string_view text, std::string_view section);

// The text with key in section set to value. An existing key line is rewritten as
// "key=value" (the key spelled as in the file); a new key goes after the section's last
// entry; a new section goes at the end of the text. Every other line stays byte for byte,
// and new lines take the text's line ending ("\r\n" when it has one, else "\n").
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// Whether two section or key names are the same name (ASCII case does not count).
bool SameProfileName(std::string_view a, std::string_view b);

// An integer value as the profile integer read takes it: optional blanks, an optional sign,
// then decimal digits up to the first other character (wrapping at 32 bits). A text without
// digits gives 0.
std::int32_t ProfileInteger(std::string_view value);

}  // namespace settings
