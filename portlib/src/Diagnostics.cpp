#include "Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "LibraryState.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

__attribute__((format(printf, 1, 0))) std::string FormatText(const char* format,
                                                             va_list arguments) {
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (length <= 0) {
    return {};
  }
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, arguments);
  text.resize(static_cast<std::size_t>(length));
  return text;
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
