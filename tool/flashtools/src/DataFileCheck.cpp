#include "flashtools/DataFileCheck.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "MessageFormat.h"
#include "ShowFailure.h"
#include "flashtools/DataFileHeader.h"
#include "protocol/FrameSum.h"
#include "zarnik/Strings.h"

namespace flashtools {
namespace {

std::string Report(const DataFileHeader& header) {
  namespace text = zarnik::text;
  std::string report((header.TypeFlags & kDemoPrintDataBit) != 0 ? text::kDemoPrintDataCheck
                                                                 : text::kFirmwareDataCheck);
  report +=
      FormatMessage(text::kCheckDetailFormat, unsigned{header.TargetCode}, unsigned{header.Ident1},
                    unsigned{header.Ident2}, unsigned{header.PayloadLength},
                    static_cast<int>(static_cast<std::int32_t>(header.LoadParameter)));
  report += text::kSumCheckOk;
  return report;
}

}  // namespace

ToolResult RunDataFileCheck(ByteSource& source, UserInterface& ui) {
  namespace text = zarnik::text;
  std::array<std::uint8_t, DataFileHeader::kSize> stored{};
  const std::size_t headerBytes = ReadFully(source, stored);
  if (source.Failed()) {
    return ShowFailure(ui, text::kCheckCannotOpenFile);
  }
  if (headerBytes < stored.size()) {
    return ShowFailure(ui, FormatMessage(text::kCheckShorterThanHeaderFormat,
                                         static_cast<unsigned long long>(headerBytes)));
  }
  if (!std::equal(kDataFileSignature.begin(), kDataFileSignature.end(), stored.begin())) {
    return ShowFailure(ui, text::kFileFormatError);
  }
  const DataFileHeader header = ParseDataFileHeader(stored);
  std::uint8_t sum = protocol::FrameSum(stored.data(), stored.size());

  // The payload, then the one sum byte; anything after that is not read.
  const std::uint64_t payloadLeft =
      header.PayloadLength - source.SumNext(header.PayloadLength, sum);
  std::array<std::uint8_t, 1> fileSum{};
  const std::size_t got = payloadLeft == 0 ? ReadFully(source, fileSum) : 0;
  if (source.Failed()) {
    return ShowFailure(ui, text::kCheckCannotOpenFile);
  }
  if (got == 0) {
    const std::uint64_t held = DataFileHeader::kSize + header.PayloadLength - payloadLeft;
    return ShowFailure(
        ui, FormatMessage(text::kCheckShorterThanPayloadFormat,
                          static_cast<unsigned long long>(header.PayloadLength),
                          static_cast<unsigned long long>(DataFileSize(header.PayloadLength)),
                          static_cast<unsigned long long>(held)));
  }
  if (fileSum[0] != sum) {
    return ShowFailure(ui, FormatMessage(text::kSumErrorFormat, unsigned{sum}));
  }
  ui.ShowMessage(Report(header), text::kResult, MessageIcon::kNone);
  return ToolResult::kSucceeded;
}

}  // namespace flashtools
