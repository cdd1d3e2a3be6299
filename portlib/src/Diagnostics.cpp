#include "Diagnostics.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "LibraryState.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

// Longest text formatted; the library's texts are far shorter (a failure text is kept to
// 511 characters anyway).
constexpr std::size_t kMaxText = 4096;

__attribute__((format(printf, 1, 0))) std::string FormatText(const char* format,
                                                             va_list arguments) {
  std::array<char, kMaxText> text{};
  const int length = std::vsnprintf(text.data(), text.size(), format, arguments);
  if (length <= 0) {
    return {};
  }
  return {text.data(), std::min(static_cast<std::size_t>(length), kMaxText - 1)};
}

}  // namespace

void DebugLine(std::int32_t threshold, const char* format, ...) {
  if (Library().nDebugLevel < threshold) {
    return;
  }
  va_list arguments;
  va_start(arguments, format);
  const std::string text = FormatText(format, arguments);
  va_end(arguments);
  platform::Current().OutputDebugString(text.c_str());
}

void ReportFailure(const char* format, ...) {
  LibraryState& library = Library();
  if (library.nDebugLevel < kLevelFailure) {
    return;
  }
  va_list arguments;
  va_start(arguments, format);
  const std::string text = FormatText(format, arguments);
  va_end(arguments);
  platform::Current().OutputDebugString(text.c_str());
  const std::size_t kept = text.copy(library.szMessage, kMessageSize - 1);
  library.szMessage[kept] = '\0';
}

}  // namespace vopp2
