// The message for a file a tool could not open or replace: the tool's own text, unless the
// system gave a reason the user can act on.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "FileStreams.h"
#include "MessageFormat.h"
#include "zarnik/Strings.h"

namespace flashtools {

enum class FileRole { kInput, kOutput };

inline std::string DescribeFileFailure(FileProblem problem, FileRole role,
                                       const std::filesystem::path& path,
                                       std::string_view toolText) {
  namespace text = zarnik::text;
  switch (problem) {
    case FileProblem::kPermissionDenied:
      return FormatMessage(role == FileRole::kInput ? text::kReadPermissionDeniedFormat
                                                    : text::kWritePermissionDeniedFormat,
                           path.string().c_str());
    case FileProblem::kNotRegularFile:
      return FormatMessage(text::kNotRegularOutputFormat, path.string().c_str());
    case FileProblem::kFolder:
      return FormatMessage(text::kInputIsFolderFormat, path.string().c_str());
    case FileProblem::kNone:
    case FileProblem::kCannotOpen:
      break;
  }
  return std::string(toolText);
}

}  // namespace flashtools
