// PORT_LPT by direct register access (OS kinds 1 to 3): the write modes chosen by dwLptMode
// and the two reverse-channel reads. None of them opens the port or uses its handle.
#pragma once

#include <cstdint>

namespace vopp2 {

// dwLptMode values with a mode of their own; any other value is Standard.
inline constexpr std::uint32_t kLptModeParallelPortFifo = 2;
inline constexpr std::uint32_t kLptModeEcpFifo = 3;

// dwLptMode 2: ParallelPortFIFO; 3: the ECP sequence (negotiate unless dwEcpState is 1,
// ECPFIFO write, terminate); any other value: Standard.
std::int32_t WriteLptDirect(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                            std::uint32_t& written);

std::int32_t VopP2WriteLptStandard(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                   std::uint32_t& written);
std::int32_t VopP2WriteLptParallelPortFIFO(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                           std::uint32_t& written);
std::int32_t VopP2WriteLptECPFIFO(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                  std::uint32_t& written);

// Reverse data (nibble mode, or ECP mode when dwLptMode is 3) into at most length bytes of
// buffer; bytes the peripheral offers beyond that are left with it.
std::int32_t GetRevData(std::uint8_t* lpBuffer, std::uint32_t length, std::uint32_t& read,
                        std::uint8_t byRequest);
std::int32_t ECPGetRevData(std::uint8_t* lpBuffer, std::uint32_t length, std::uint32_t& read,
                           std::uint8_t byRequest);

}  // namespace vopp2
