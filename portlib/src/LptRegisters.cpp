#include "LptRegisters.h"

#include "Diagnostics.h"
#include "LibraryState.h"
#include "platform/Services.h"

namespace vopp2 {
namespace {

// The highest register offset; the base must leave room for it below 0x10000.
constexpr std::uint32_t kHighestOffset = kEcr;

// The claimed port: its base, and how many operations share the claim.
std::uint16_t claimedBase = 0;
int claimDepth = 0;

std::uint16_t Address(std::uint16_t offset) {
  return static_cast<std::uint16_t>(claimedBase + offset);
}

}  // namespace

std::uint8_t ReadRegister(std::uint16_t offset) {
  platform::Services& os = platform::Current();
  std::uint8_t value = 0;
  if (!os.PortIn(Address(offset), &value)) {
    throw PortAccessFailure{Address(offset), os.GetLastError()};
  }
  return value;
}

void WriteRegister(std::uint16_t offset, std::uint8_t value) {
  platform::Services& os = platform::Current();
  if (!os.PortOut(Address(offset), value)) {
    throw PortAccessFailure{Address(offset), os.GetLastError()};
  }
}

PortClaim::PortClaim(const char* caller) {
  if (claimDepth > 0) {
    ++claimDepth;
    held_ = true;
    return;
  }
  const std::uint32_t base = Library().param.dwLptBase;
  if (base > 0xFFFFU - kHighestOffset) {
    ReportFailure("%s : failure (dwLptBase = %08Xh is no port address)\n", caller,
                  static_cast<unsigned>(base));
    return;
  }
  platform::Services& os = platform::Current();
  if (!os.ClaimPort(static_cast<std::uint16_t>(base))) {
    ReportFailure("%s : failure (no access to the port at %04Xh, ErrorCode = %08X)\n", caller,
                  static_cast<unsigned>(base), static_cast<unsigned>(os.GetLastError()));
    return;
  }
  claimedBase = static_cast<std::uint16_t>(base);
  claimDepth = 1;
  held_ = true;
}

PortClaim::~PortClaim() {
  if (held_ && --claimDepth == 0) {
    platform::Current().ReleasePort(claimedBase);
  }
}

void ReportPortAccessFailure(const char* caller, const PortAccessFailure& failure) {
  ReportFailure("%s : failure (port access at %04Xh, ErrorCode = %08X)\n", caller,
                static_cast<unsigned>(failure.address), static_cast<unsigned>(failure.error));
}

}  // namespace vopp2
