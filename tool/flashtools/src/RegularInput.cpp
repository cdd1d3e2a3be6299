#include <system_error>

#include "MessageFormat.h"
#include "ShowFailure.h"
#include "flashtools/FileTools.h"

namespace flashtools {

bool RegularInputOrRefused(const std::filesystem::path& input, UserInterface& ui) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(input, error);
  if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) {
    return true;
  }
  ShowFailure(ui, FormatMessage(zarnik::text::kNotRegularInputFormat, input.string().c_str()));
  return false;
}

}  // namespace flashtools
