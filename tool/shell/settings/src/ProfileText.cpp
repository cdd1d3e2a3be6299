#include "settings/ProfileText.h"

#include <vector>

namespace settings {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

// One line of the file, without its line ending.
struct Line {
  std::string_view text;
  std::size_t begin = 0;  // offset of the line in the whole text
  std::size_t end = 0;    // offset just past the line's ending
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto newline = text.find('\n', pos);
    const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    std::string_view content = text.substr(pos, next - pos);
    if (!content.empty() && content.back() == '\n') {
      content.remove_suffix(1);
    }
    if (!content.empty() && content.back() == '\r') {
      content.remove_suffix(1);
    }
    lines.push_back({content, pos, next});
    pos = next;
  }
  return lines;
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionName(std::string_view line) {
  const auto trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() != '[') {
    return std::nullopt;
  }
  auto name = trimmed.substr(1);
  const auto close = name.find(']');
  if (close != std::string_view::npos) {
    name = name.substr(0, close);
  }
  return Trim(name);
}

bool IsComment(std::string_view line) {
  const auto trimmed = Trim(line);
  return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

std::optional<Entry> EntryOf(std::string_view line) {
  if (IsComment(line) || SectionName(line)) {
    return std::nullopt;
  }
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) {
    return std::nullopt;
  }
  return Entry{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

// Where a section lies: its header line and the lines up to the next header.
struct SectionSpan {
  std::size_t header = 0;
  std::size_t endLine = 0;  // index of the next section's header, or the line count
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].text);
    if (!name || !SameName(*name, section)) {
      continue;
    }
    std::size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end].text)) {
      ++end;
    }
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const SectionSpan& span,
                                   std::string_view key) {
  for (std::size_t i = span.header + 1; i < span.endLine; ++i) {
    const auto entry = EntryOf(lines[i].text);
    if (entry && SameName(entry->key, key)) {
      return i;
    }
  }
  return std::nullopt;
}

std::string_view LineEndingOf(std::string_view text) {
  return text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
}

bool EndsWithNewline(std::string_view text) {
  return !text.empty() && text.back() == '\n';
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
  const auto lines = SplitLines(text);
  const auto span = FindSection(lines, section);
  if (!span) {
    return std::nullopt;
  }
  const auto index = FindKey(lines, *span, key);
  if (!index) {
    return std::nullopt;
  }
  return Unquoted(EntryOf(lines[*index].text)->value);
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const auto lines = SplitLines(text);
  const auto eol = LineEndingOf(text);
  std::string result;
  result.reserve(text.size() + key.size() + value.size() + section.size() + 8);

  const auto span = FindSection(lines, section);
  if (!span) {
    result.append(text);
    if (!text.empty() && !EndsWithNewline(text)) {
      result.append(eol);
    }
    if (!lines.empty() && !Trim(lines.back().text).empty()) {
      result.append(eol);  // a blank line between the last section and the new one
    }
    result.append("[").append(section).append("]").append(eol);
    result.append(key).append("=").append(value).append(eol);
    return result;
  }

  if (const auto index = FindKey(lines, *span, key)) {
    const Line& line = lines[*index];
    const auto entry = EntryOf(line.text);
    result.append(text.substr(0, line.begin));
    result.append(entry->key).append("=").append(value);
    // The rewritten line keeps its own ending (none when it was the last line).
    result.append(
        text.substr(line.begin + line.text.size(), line.end - line.begin - line.text.size()));
    result.append(text.substr(line.end));
    return result;
  }

  // A new key goes after the section's last non-blank line, so blank lines that separate it
  // from the next section stay where they are.
  std::size_t after = span->header;
  for (std::size_t i = span->header + 1; i < span->endLine; ++i) {
    if (!Trim(lines[i].text).empty()) {
      after = i;
    }
  }
  const Line& anchor = lines[after];
  result.append(text.substr(0, anchor.end));
  if (!EndsWithNewline(result)) {
    result.append(eol);
  }
  result.append(key).append("=").append(value).append(eol);
  result.append(text.substr(anchor.end));
  return result;
}

std::int32_t ProfileInteger(std::string_view value) {
  auto rest = value.substr(std::min(value.size(), value.find_first_not_of(kBlanks)));
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  std::uint32_t magnitude = 0;
  for (const char c : rest) {
    if (c < '0' || c > '9') {
      break;
    }
    magnitude = magnitude * 10U + static_cast<std::uint32_t>(c - '0');
  }
  if (negative) {
    magnitude = 0U - magnitude;
  }
  return static_cast<std::int32_t>(magnitude);
}

}  // namespace settings
