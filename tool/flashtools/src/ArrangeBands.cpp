#include <new>

#include "FileFailure.h"
#include "FileStreams.h"
#include "flashtools/BandArranger.h"
#include "flashtools/FileTools.h"
#include "zarnik/Strings.h"

namespace flashtools {

ToolResult ArrangeBands(const std::filesystem::path& input, const std::filesystem::path& output,
                        UserInterface& ui) {
  namespace text = zarnik::text;
  FileSource source(input);
  if (!source.IsOpen()) {
    ui.ShowMessage(
        DescribeFileFailure(source.Problem(), FileRole::kInput, input, text::kCannotOpenInputFile),
        text::kError, MessageIcon::kExclamation);
    return ToolResult::kFailedKeepOpen;
  }
  // The result goes to a file beside the output and replaces it only when complete, so the
  // input may be the output and a refused stream leaves the output as it was.
  PendingOutputFile sink(output);
  if (!sink.IsOpen()) {
    ui.ShowMessage(DescribeFileFailure(sink.Problem(), FileRole::kOutput, output,
                                       text::kCannotOutputOutputFile),
                   text::kError, MessageIcon::kExclamation);
    return ToolResult::kFailedKeepOpen;
  }

  ArrangeOutcome outcome;
  try {
    outcome = BandArranger().Run(source, sink);
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(text::kCannotAllocateMemory, text::kError, MessageIcon::kNone);
    return ToolResult::kFailed;
  }
  source.Close();
  if (outcome.Succeeded() && !sink.Commit()) {
    outcome.kind = ArrangeOutcome::Kind::kWriteFailed;
  }
  if (!outcome.Succeeded()) {
    const MessageIcon icon = outcome.kind == ArrangeOutcome::Kind::kWriteFailed
                                 ? MessageIcon::kExclamation
                                 : MessageIcon::kNone;
    ui.ShowMessage(DescribeArrangeFailure(outcome), text::kError, icon);
    return ToolResult::kFailed;
  }
  ui.ShowMessage(text::kCreatingCompleted, text::kBlankCaption, MessageIcon::kNone);
  return ToolResult::kSucceeded;
}

}  // namespace flashtools
