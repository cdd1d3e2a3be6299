#include "FileStreams.h"
#include "MessageFormat.h"
#include "flashtools/DataFileCheck.h"
#include "flashtools/FileTools.h"
#include "zarnik/Strings.h"

namespace flashtools {

ToolResult CheckFileFormat(const std::filesystem::path& file, UserInterface& ui) {
  FileSource source(file);
  if (!source.IsOpen()) {
    // Said aloud rather than ending silently, so the person knows nothing was checked.
    ui.ShowMessage(FormatMessage(zarnik::text::kCannotFindFormat, file.string().c_str()),
                   zarnik::text::kError, MessageIcon::kNone);
    return ToolResult::kFailed;
  }
  return RunDataFileCheck(source, ui);
}

}  // namespace flashtools
