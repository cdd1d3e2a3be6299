// The parallel port through the system's parallel-port driver ("\\.\LPTn"), the access
// method of Windows 2000 and XP, and the check whether a print queue already holds LPT1.
#pragma once

#include <cstdint>

namespace vopp2 {

// Opens "\\.\LPTn" (n = dwLptNumber) unless a print queue uses LPT1. 1 open, 0 failed.
std::int32_t OpenLptWithDriver();

// One system write of all bytes; 1 when every byte went, 0 otherwise.
std::int32_t VopP2WriteLptWithDriver(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                     std::uint32_t* lpdwWritten);

// Request 0 or 16: one system read of up to the buffer length. Any other request: the
// device identification string behind a two-byte big-endian length, kept inside the buffer.
std::int32_t VopP2ReadLptWithDriver(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                                    std::uint32_t* lpdwRead, std::uint8_t byRequest);

// Non-zero when a print queue's port is "LPT1:"; reports each such queue by name.
std::int32_t IsLPT1UsedByOtherDriver();

}  // namespace vopp2
