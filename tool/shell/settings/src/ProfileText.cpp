#include "settings/ProfileText.h"

namespace settings {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

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

// The line starting at offset begin (begin < text.size()). The text is walked line by line
// in place, so a lookup costs no copy of the file, whatever its size.
Line LineAt(std::string_view text, std::size_t begin) {
  // A file saved as UTF-8 by some editors starts with a byte order mark. It belongs to no
  // line: the first line starts after it, and a rewrite keeps it where it is.
  if (begin == 0 && text.starts_with(kUtf8ByteOrderMark)) {
    begin = kUtf8ByteOrderMark.size();
  }
  const auto newline = text.find('\n', begin);
  const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
  std::string_view content = text.substr(begin, next - begin);
  if (!content.empty() && content.back() == '\n') {
    content.remove_suffix(1);
  }
  if (!content.empty() && content.back() == '\r') {
    content.remove_suffix(1);
  }
  return {content, begin, next};
}

// The text's last line, or nothing for an empty text.
std::optional<Line> LastLine(std::string_view text) {
  if (text.empty()) {
    return std::nullopt;
  }
  const std::size_t contentEnd = text.back() == '\n' ? text.size() - 1 : text.size();
  const auto previous = contentEnd == 0 ? std::string_view::npos : text.rfind('\n', contentEnd - 1);
  return LineAt(text, previous == std::string_view::npos ? 0 : previous + 1);
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

// Where a section lies: its header line, the offset where its lines end (the next header or
// the end of the text), and its last non-blank line, after which a new key goes.
struct SectionSpan {
  Line header;
  std::size_t end = 0;
  Line lastFilled;
};

// The first section of that name at or after offset from.
std::optional<SectionSpan> FindSection(std::string_view text, std::string_view section,
                                       std::size_t from = 0) {
  for (std::size_t pos = from; pos < text.size();) {
    const Line line = LineAt(text, pos);
    pos = line.end;
    const auto name = SectionName(line.text);
    if (!name || !SameName(*name, section)) {
      continue;
    }
    SectionSpan span{line, text.size(), line};
    while (pos < text.size()) {
      const Line inner = LineAt(text, pos);
      if (SectionName(inner.text)) {
        span.end = inner.begin;
        break;
      }
      if (!Trim(inner.text).empty()) {
        span.lastFilled = inner;
      }
      pos = inner.end;
    }
    return span;
  }
  return std::nullopt;
}

// The section's first key line for which visit(entry) is true; visit sees every key line
// up to that one.
template <typename Visit>
std::optional<Line> FindEntry(std::string_view text, const SectionSpan& span, Visit visit) {
  for (std::size_t pos = span.header.end; pos < span.end;) {
    const Line line = LineAt(text, pos);
    pos = line.end;
    const auto entry = EntryOf(line.text);
    if (entry && visit(*entry)) {
      return line;
    }
  }
  return std::nullopt;
}

std::optional<Line> FindKey(std::string_view text, const SectionSpan& span, std::string_view key) {
  return FindEntry(text, span, [key](const Entry& entry) { return SameName(entry.key, key); });
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
  const auto span = FindSection(text, section);
  if (!span) {
    return std::nullopt;
  }
  const auto line = FindKey(text, *span, key);
  if (!line) {
    return std::nullopt;
  }
  return Unquoted(EntryOf(line->text)->value);
}

std::vector<std::string> ProfileKeys(std::string_view text, std::string_view section) {
  std::vector<std::string> keys;
  for (auto span = FindSection(text, section); span; span = FindSection(text, section, span->end)) {
    FindEntry(text, *span, [&keys](const Entry& entry) {
      keys.emplace_back(entry.key);
      return false;
    });
  }
  return keys;
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const auto eol = LineEndingOf(text);
  std::string result;
  result.reserve(text.size() + key.size() + value.size() + section.size() + 8);

  const auto span = FindSection(text, section);
  if (!span) {
    result.append(text);
    if (!text.empty() && !EndsWithNewline(text)) {
      result.append(eol);
    }
    if (const auto last = LastLine(text); last && !Trim(last->text).empty()) {
      result.append(eol);  // a blank line between the last section and the new one
    }
    result.append("[").append(section).append("]").append(eol);
    result.append(key).append("=").append(value).append(eol);
    return result;
  }

  if (const auto line = FindKey(text, *span, key)) {
    const auto entry = EntryOf(line->text);
    result.append(text.substr(0, line->begin));
    result.append(entry->key).append("=").append(value);
    // The rewritten line keeps its own ending (none when it was the last line).
    result.append(
        text.substr(line->begin + line->text.size(), line->end - line->begin - line->text.size()));
    result.append(text.substr(line->end));
    return result;
  }

  // A new key goes after the section's last non-blank line, so blank lines that separate it
  // from the next section stay where they are.
  const Line& anchor = span->lastFilled;
  result.append(text.substr(0, anchor.end));
  if (!EndsWithNewline(result)) {
    result.append(eol);
  }
  result.append(key).append("=").append(value).append(eol);
  result.append(text.substr(anchor.end));
  return result;
}

bool SameProfileName(std::string_view a, std::string_view b) {
  return SameName(a, b);
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
