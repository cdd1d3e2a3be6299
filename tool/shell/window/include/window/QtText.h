// Conversions between the tool's UTF-8 texts and Qt's strings.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace shell {

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToUtf8(const QString& text) {
  return text.toUtf8().toStdString();
}

inline std::filesystem::path ToPath(const QString& text) {
  return std::filesystem::path(ToUtf8(text));
}

}  // namespace shell
