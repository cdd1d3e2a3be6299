#include "flashjobs/PrinterReplies.h"

#include <algorithm>

#include "MessageText.h"
#include "zarnik/Strings.h"

namespace flashjobs {
namespace {

constexpr std::size_t kJobResultByte = 2;
constexpr std::size_t kFlashSizeByte = 10;
constexpr std::size_t kHostStatusByte = 12;
constexpr std::size_t kFlashStatusByte = 23;
constexpr std::size_t kControllerAt = 2;
constexpr std::size_t kControllerSize = 4;
constexpr std::size_t kEngineAt = 20;
constexpr std::size_t kEngineSize = 12;
constexpr std::uint8_t kHostCommunicationError = 'l';
static_assert(kConfigurationReplyLength == kControllerAt + kControllerSize);
static_assert(kEngineDetailReplyLength == kEngineAt + kEngineSize);
static_assert(kPrinterStatusReplyLength == kHostStatusByte + 1);

}  // namespace

JobAnswer StartJobAnswer(const Reply& reply) {
  if (!reply.Holds(kJobResultByte)) {
    return JobAnswer::kNoAnswer;
  }
  return reply.At(kJobResultByte) == 0 ? JobAnswer::kAccepted : JobAnswer::kRefused;
}

std::uint32_t FlashMbit(const Reply& reply) {
  const unsigned h = reply.At(kFlashSizeByte) >> 4;
  return h >= 1 && h <= 8 ? 1U << (h - 1) : 0U;
}

std::uint8_t FlashStatus(const Reply& reply) {
  return reply.At(kFlashStatusByte);
}

bool FlashStatusMissing(const Reply& reply) {
  return !reply.Holds(kFlashStatusByte);
}

bool ReportsHostCommunicationError(const Reply& reply) {
  return reply.At(kHostStatusByte) == kHostCommunicationError;
}

std::string VersionReport(const Reply& configuration, const Reply& engineDetail) {
  std::array<std::uint8_t, kControllerSize + kEngineSize> characters{};
  for (std::size_t i = 0; i < kControllerSize; ++i) {
    characters[i] = configuration.At(kControllerAt + i);
  }
  // Controller firmware travels last character first, unless it reads "EF".
  if (characters[0] != 'E' || characters[1] != 'F') {
    std::reverse(characters.begin(), characters.begin() + kControllerSize);
  }
  for (std::size_t i = 0; i < kEngineSize; ++i) {
    characters[kControllerSize + i] = engineDetail.At(kEngineAt + i);
  }
  return WithCharacters(zarnik::text::kVersionReportFormat, characters);
}

}  // namespace flashjobs
