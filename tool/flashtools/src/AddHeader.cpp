#include <cstdint>
#include <new>
#include <vector>

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

}  // namespace

ToolResult AddHeader(const std::filesystem::path& input, const std::filesystem::path& output,
                     UserInterface& ui) {
  namespace text = zarnik::text;
  FileSource source(input);
  if (!source.IsOpen()) {
    return ShowFailure(ui, WithPath(text::kCannotFindFormat, input));
  }
  std::vector<std::uint8_t> chunk;
  try {
    chunk.resize(kStreamChunkSize);
  } catch (const std::bad_alloc&) {
    return ShowFailure(ui, text::kCannotAllocateMemory);
  }
  // Written beside the output and moved into place at the end: the input has been read
  // completely before the output path changes, so both may be one file.
  PendingOutputFile sink(output);
  if (!sink.IsOpen()) {
    return ShowFailure(ui, WithPath(text::kCannotFindFormat, output));
  }

  // The header goes first with PayloadLength 0 and is rewritten once the payload's length
  // is known from what was actually read.
  bool written = sink.Write(SerialiseDataFileHeader(HeaderForAddedPayload(0)));
  std::uint64_t length = 0;
  std::uint8_t payloadSum = 0;
  for (;;) {
    const std::size_t got = source.Read(chunk);
    if (got == 0) {
      break;
    }
    length += got;
    if (length > UINT32_MAX) {
      return ShowFailure(
          ui, FormatMessage(text::kInputTooLargeFormat, static_cast<unsigned long long>(length)));
    }
    payloadSum = protocol::FrameSum(chunk.data(), got, payloadSum);
    written = sink.Write(std::span(chunk).first(got)) && written;
  }
  if (source.Failed()) {
    return ShowFailure(ui, text::kCannotOpenFileNoStop);
  }
  source.Close();

  const auto header =
      SerialiseDataFileHeader(HeaderForAddedPayload(static_cast<std::uint32_t>(length)));
  const std::uint8_t fileSum = protocol::FrameSum(header.data(), header.size(), payloadSum);
  written = sink.WriteAt(0, header) && written;
  written = sink.Write(std::span(&fileSum, 1)) && written;
  if (!written || !sink.Commit()) {
    return ShowFailure(ui, WithPath(text::kCannotWriteFormat, output));
  }
  ui.ShowMessage(text::kCreatingCompleted, text::kBlankCaption, MessageIcon::kNone);
  return ToolResult::kSucceeded;
}

}  // namespace flashtools
