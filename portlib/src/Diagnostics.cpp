#include "Diagnostics.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "LibraryState.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

// Longest text formatted; the library's texts are far shorter (a failure text is kept to
// 511 characters anyway).
constexpr std::size_t kMaxText = 4096;

// Formatted on the stack: a failure is still told when memory has run out.
using Text = std::array<char, kMaxText>;

__attribute__((format(printf, 2, 0))) std::size_t FormatText(Text& text, const char* format,
                                                             va_list arguments) {
  const int length = std::vsnprintf(text.data(), text.size(), format, arguments);
  const std::size_t kept =
      length <= 0 ? 0 : std::min(static_cast<std::size_t>(length), kMaxText - 1);
  text[kept] = '\0';
  return kept;
}

}  // namespace

void DebugLine(std::int32_t threshold, const char* format, ...) {
  if (Library().nDebugLevel < threshold) {
    return;
  }
  Text text;
  va_list arguments;
  va_start(arguments, format);
  FormatText(text, format, arguments);
  va_end(arguments);
  platform::Current().OutputDebugString(text.data());
}

void ReportFailure(const char* format, ...) {
  LibraryState& library = Library();
  if (library.nDebugLevel < kLevelFailure) {
    return;
  }
  Text text;
  va_list arguments;
  va_start(arguments, format);
  const std::size_t length = FormatText(text, format, arguments);
  va_end(arguments);
  platform::Current().OutputDebugString(text.data());
  const std::size_t kept = std::min(length, kMessageSize - 1);
  std::memcpy(library.szMessage, text.data(), kept);
  library.szMessage[kept] = '\0';
}

}  // namespace vopp2
