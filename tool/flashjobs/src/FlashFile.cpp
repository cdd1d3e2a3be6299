#include "FlashFile.h"

#include <array>
#include <fstream>
#include <limits>
#include <new>
#include <system_error>

#include "flashtools/DataFileHeader.h"
#include "protocol/FrameSum.h"

namespace flashjobs {
namespace {

namespace offset = flashtools::header_offset;

constexpr std::size_t kProbeSize = 20;
constexpr std::uintmax_t kCountedAsEmpty = 256;
constexpr std::uint8_t kDemoPrintData = 0x40;
constexpr std::uint8_t kFirmware = 0x00;
constexpr std::uint8_t kSendWithFlag = 0x80;
constexpr std::uint8_t kFlag = 0x40;
// The transfer size (length + 1) must fit its 32-bit field.
constexpr std::uintmax_t kLongestFile = std::numeric_limits<std::uint32_t>::max() - 1U;

std::uint32_t U32At(const std::array<std::uint8_t, kProbeSize>& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  }
  return value;
}

std::uintmax_t LengthOf(std::ifstream& in) {
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  in.seekg(0, std::ios::beg);
  return end > 0 ? static_cast<std::uintmax_t>(end) : 0;
}

std::uintmax_t NotedLengthOf(std::uintmax_t length) {
  return length <= kCountedAsEmpty ? 0 : length;
}

}  // namespace

FlashFileFacts ProbeFlashFile(const std::filesystem::path& file, int dataType) {
  using Refusal = FlashFileFacts::Refusal;
  FlashFileFacts facts;
  std::error_code error;
  std::ifstream in(file, std::ios::binary);
  if (!in || std::filesystem::is_directory(file, error)) {
    facts.refusal = Refusal::kCannotOpen;
    return facts;
  }
  std::array<std::uint8_t, kProbeSize> head{};
  in.read(reinterpret_cast<char*>(head.data()), kProbeSize);
  in.clear();
  const std::uint8_t type = head[offset::kTypeFlags];
  if (dataType == 2 && type != kDemoPrintData) {
    facts.refusal = Refusal::kNotDemoPrintData;
  } else if (dataType != 2 && type != kFirmware) {
    facts.refusal = Refusal::kNotFirmware;
  } else if (head[0] != flashtools::kDataFileSignature[0] ||
             head[1] != flashtools::kDataFileSignature[1] ||
             head[2] != flashtools::kDataFileSignature[2]) {
    facts.refusal = Refusal::kFormat;
  }
  if (facts.refusal != Refusal::kNone) {
    return facts;
  }
  const std::uintmax_t length = NotedLengthOf(LengthOf(in));
  if (length > kLongestFile) {
    facts.refusal = Refusal::kTooLarge;
    return facts;
  }
  facts.length = static_cast<std::uint32_t>(length);
  facts.flag = (head[offset::kOptions] & kSendWithFlag) != 0 ? kFlag : 0;
  facts.targetCode = head[offset::kTargetCode];
  facts.loadParameter = U32At(head, offset::kLoadParameter);
  return facts;
}

DataStream ReadDataStream(const std::filesystem::path& file, std::uint32_t notedLength) {
  using Failure = DataStream::Failure;
  DataStream stream;
  std::error_code error;
  std::ifstream in(file, std::ios::binary);
  if (!in || std::filesystem::is_directory(file, error)) {
    stream.failure = Failure::kCannotOpen;
    return stream;
  }
  const std::uintmax_t length = LengthOf(in);
  if (NotedLengthOf(length) != notedLength) {
    stream.failure = Failure::kChanged;
    return stream;
  }
  const auto size = static_cast<std::size_t>(length);
  try {
    stream.bytes.resize(size + 1);
  } catch (const std::bad_alloc&) {
    stream.failure = Failure::kNoMemory;
    return stream;
  }
  in.read(reinterpret_cast<char*>(stream.bytes.data()), static_cast<std::streamsize>(size));
  if (static_cast<std::size_t>(in.gcount()) != size) {
    stream.bytes.clear();
    stream.failure = Failure::kShortRead;
    return stream;
  }
  stream.bytes[size] = protocol::FrameSum(stream.bytes.data(), size);
  return stream;
}

}  // namespace flashjobs
