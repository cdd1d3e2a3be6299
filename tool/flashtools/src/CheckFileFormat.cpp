#include "FileFailure.h"
#include "FileStreams.h"
#include "ShowFailure.h"
#include "flashtools/DataFileCheck.h"
#include "flashtools/FileTools.h"

namespace flashtools {

ToolResult CheckFileFormat(const std::filesystem::path& file, UserInterface& ui) {
  FileSource source(file);
  if (!source.IsOpen()) {
    // Said aloud rather than ending silently, so the person knows nothing was checked.
    return ShowFailure(ui, DescribeFileFailure(source.Problem(), FileRole::kInput, file,
                                               FormatMessage(zarnik::text::kCannotFindFormat,
                                                             file.string().c_str())));
  }
  return RunDataFileCheck(source, ui);
}

}  // namespace flashtools
