#include "FlashFile.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <optional>

#include "flashjobs/WriteDataFlashRom.h"
#include "flashtools/DataFileHeader.h"
#include "posix/RegularFileReader.h"
#include "protocol/FrameSum.h"

namespace flashjobs {
namespace {

namespace offset = flashtools::header_offset;
using Refusal = FlashFile::Refusal;

constexpr std::size_t kProbeSize = 20;
constexpr std::uint8_t kDemoPrintData = 0x40;
constexpr std::uint8_t kFirmware = 0x00;
constexpr std::uint8_t kSendWithFlag = 0x80;
constexpr std::uint8_t kFlag = 0x40;
// The transfer size (length + 1) must fit its 32-bit field.
constexpr std::uintmax_t kLongestTransfer = std::numeric_limits<std::uint32_t>::max() - 1U;

std::uint32_t U32At(const std::array<std::uint8_t, kProbeSize>& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  }
  return value;
}

Refusal TestHead(const std::array<std::uint8_t, kProbeSize>& head, int dataType) {
  const std::uint8_t type = head[offset::kTypeFlags];
  if (dataType == kDataTypeDemoPrintData && type != kDemoPrintData) {
    return Refusal::kNotDemoPrintData;
  }
  if (dataType != kDataTypeDemoPrintData && type != kFirmware) {
    return Refusal::kNotFirmware;
  }
  for (std::size_t i = 0; i < 3; ++i) {
    if (head[i] != static_cast<std::uint8_t>(flashtools::kDataFileSignature[i])) {
      return Refusal::kFormat;
    }
  }
  return Refusal::kNone;
}

// The header, the announced payload and the sum byte must all be there, and the sum must
// match; bytes after the sum byte are sent but not checked.
FlashFile::Refusal CheckWhole(FlashFile& file) {
  if (file.length < file.neededLength) {
    return Refusal::kTruncated;
  }
  const auto summed = static_cast<std::size_t>(file.neededLength - 1);
  file.computedSum = protocol::FrameSum(file.stream.get(), summed);
  file.storedSum = file.stream[summed];
  return file.computedSum == file.storedSum ? Refusal::kNone : Refusal::kBadSum;
}

}  // namespace

FlashFile LoadFlashFile(const std::filesystem::path& path, int dataType) {
  FlashFile file;
  // Anything but a regular file (a FIFO, a device, a folder) is no data file.
  RegularFileReader in(path);
  if (!in.IsOpen()) {
    file.refusal = Refusal::kCannotOpen;
    return file;
  }
  std::array<std::uint8_t, kProbeSize> head{};
  const std::uintmax_t probed = in.Read(head);
  file.refusal = TestHead(head, dataType);
  if (file.refusal != Refusal::kNone) {
    return file;
  }

  const std::optional<std::uint64_t> known = in.Length();
  if (!known) {
    file.refusal = Refusal::kCannotOpen;
    return file;
  }
  const std::uintmax_t length = *known;
  const std::uintmax_t limit = ReadsFlashSize(dataType)
                                   ? std::uintmax_t{kLargestFlashMbit} * kBytesPerMbit
                                   : kLongestTransfer;
  if (length > limit) {
    file.refusal = Refusal::kTooLarge;
    return file;
  }
  file.length = static_cast<std::uint32_t>(length);
  file.flag = (head[offset::kOptions] & kSendWithFlag) != 0 ? kFlag : 0;
  file.targetCode = head[offset::kTargetCode];
  file.loadParameter = U32At(head, offset::kLoadParameter);
  file.payloadLength = U32At(head, offset::kPayloadLength);
  file.neededLength = flashtools::DataFileSize(file.payloadLength);

  // Read straight into the buffer that is sent: the data file is held once. The bytes tested
  // above are its first bytes and the rest follows them, so the header the stream carries is
  // the one tested, even if another program rewrites the file meanwhile.
  try {
    file.stream = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t{file.length} + 1);
  } catch (const std::bad_alloc&) {
    file.refusal = Refusal::kNoMemory;
    return file;
  }
  const std::uintmax_t held = std::min(probed, length);
  std::copy_n(head.begin(), held, file.stream.get());
  const std::size_t rest = in.Read({file.stream.get() + held, std::size_t{file.length} - held});
  if (held + rest != length) {
    file.stream.reset();
    file.refusal = Refusal::kShortRead;
    return file;
  }
  file.refusal = CheckWhole(file);
  if (file.refusal != Refusal::kNone) {
    file.stream.reset();
    return file;
  }
  // The byte after the file sums all of it; the check has summed all but the tail already.
  const auto summed = static_cast<std::size_t>(file.neededLength - 1);
  file.stream[file.length] =
      protocol::FrameSum(file.stream.get() + summed, file.length - summed, file.computedSum);
  return file;
}

}  // namespace flashjobs
