// The failure reasons of platform/FailureReason.h, noted where the Linux backend learns why
// an open, read or write of a port or of the output file failed.
#pragma once

#include <cstdint>
#include <string>

namespace platform::linux_backend {

// After a failed open, from the last error it set: permission denied, in use, not found.
// Other errors note nothing. detail, when given, adds plain words to the reason.
void NoteOpenFailure(std::uint32_t error, const std::string& device,
                     const std::string& detail = {});

// After a failed read or write: not answering (a stall past its limit), device gone (the
// device failed or went away), permission denied. Other errors note nothing.
void NoteTransferFailure(std::uint32_t error, const std::string& device);

// A read that ended without a byte is no failure of the port, but a caller that needed a
// reply shows this reason: the device did not answer in time.
void NoteNoReply(const std::string& device, const std::string& detail = {});

}  // namespace platform::linux_backend
