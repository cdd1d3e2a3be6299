#include <new>

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
  // The read buffers are had while the file is read.
  try {
    return RunDataFileCheck(source, ui);
  } catch (const std::bad_alloc&) {
    return ShowFailure(ui, zarnik::text::kCannotAllocateMemory);
  }
}

}  // namespace flashtools
