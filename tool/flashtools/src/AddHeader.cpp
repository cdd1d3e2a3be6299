#include <cstdint>
#include <new>

#include "FileFailure.h"
#include "FileStreams.h"
#include "MessageFormat.h"
#include "ShowFailure.h"
#include "flashtools/DataFileHeader.h"
#include "flashtools/FileTools.h"
#include "protocol/FrameSum.h"
#include "zarnik/Strings.h"

namespace flashtools {
namespace {

std::string WithPath(std::string_view format, const std::filesystem::path& path) {
  return FormatMessage(format, path.string().c_str());
}

ToolResult TooLarge(UserInterface& ui, std::uint64_t length) {
  return ShowFailure(ui, FormatMessage(zarnik::text::kInputTooLargeFormat,
                                       static_cast<unsigned long long>(length)));
}

ToolResult Wrap(const std::filesystem::path& input, const std::filesystem::path& output,
                UserInterface& ui) {
  namespace text = zarnik::text;
  FileSource source(input);
  if (!source.IsOpen()) {
    return ShowFailure(ui, DescribeFileFailure(source.Problem(), FileRole::kInput, input,
                                               WithPath(text::kCannotFindFormat, input)));
  }
  // A size known before reading is checked before anything is written.
  if (const auto known = source.KnownRemaining(); known && *known > UINT32_MAX) {
    return TooLarge(ui, *known);
  }
  // Written beside the output and moved into place at the end: the input has been read
  // completely before the output path changes, so both may be one file.
  PendingOutputFile sink(output);
  if (!sink.IsOpen()) {
    return ShowFailure(ui, DescribeFileFailure(sink.Problem(), FileRole::kOutput, output,
                                               WithPath(text::kCannotFindFormat, output)));
  }

  // The header goes first with PayloadLength 0 and is rewritten once the payload's length
  // is known from what was actually read.
  const std::string cannotWrite = WithPath(text::kCannotWriteFormat, output);
  if (!sink.Write(SerialiseDataFileHeader(HeaderForAddedPayload(0)))) {
    return ShowFailure(ui, cannotWrite);
  }
  // At most one byte more than PayloadLength can count, to tell an input that grew too large.
  std::uint8_t payloadSum = 0;
  const CopyResult copied = sink.CopyAndSum(source, std::uint64_t{UINT32_MAX} + 1, payloadSum);
  if (!copied.written) {
    return ShowFailure(ui, cannotWrite);
  }
  if (copied.bytes > UINT32_MAX) {
    return TooLarge(ui, copied.bytes);
  }
  const std::uint64_t length = copied.bytes;
  if (source.Failed()) {
    return ShowFailure(ui, text::kCannotOpenFileNoStop);
  }
  source.Close();

  const auto header =
      SerialiseDataFileHeader(HeaderForAddedPayload(static_cast<std::uint32_t>(length)));
  const std::uint8_t fileSum = protocol::FrameSum(header.data(), header.size(), payloadSum);
  if (!sink.WriteAt(0, header) || !sink.Write(std::span(&fileSum, 1)) || !sink.Commit()) {
    return ShowFailure(ui, cannotWrite);
  }
  ui.ShowMessage(text::kCreatingCompleted, text::kBlankCaption, MessageIcon::kNone);
  return ToolResult::kSucceeded;
}

}  // namespace

ToolResult AddHeader(const std::filesystem::path& input, const std::filesystem::path& output,
                     UserInterface& ui) {
  // The buffers are had while the file is read; the unfinished output goes with the failure.
  try {
    return Wrap(input, output, ui);
  } catch (const std::bad_alloc&) {
    return ShowFailure(ui, zarnik::text::kCannotAllocateMemory);
  }
}

}  // namespace flashtools
