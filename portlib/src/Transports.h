// The four transports behind the dispatch of the exports, one file each. Every write and
// read opens its port through VopP2Open when it is not open and closes it again before it
// returns when it opened it; results are 1 for success and 0 for failure.
#pragma once

#include <cstdint>

namespace vopp2 {

// Output file (FileTransport.cpp).
std::int32_t VopP2OpenFile();
std::int32_t VopP2CloseFile();
std::int32_t VopP2WriteFile(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                            std::uint32_t* lpdwWritten);
std::int32_t VopP2ReadFile(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                           std::uint32_t* lpdwRead);

// Parallel port (LptTransport.cpp).
std::int32_t VopP2OpenLpt();
std::int32_t VopP2CloseLpt();
std::int32_t VopP2WriteLpt(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                           std::uint32_t* lpdwWritten);
std::int32_t VopP2ReadLpt(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                          std::uint32_t* lpdwRead, std::uint8_t byRequest);
std::int32_t InitLPTPort();
std::int32_t ECPNegotiateLPTWithVopP2(std::uint8_t byRequest, std::uint8_t byEcr1,
                                      std::uint8_t byEcr2);
std::int32_t ECPTerminateLPTWithVopP2();
// Hands the link back to compatibility mode when the caller left ECP negotiated; false when
// that failed.
bool LeaveNegotiatedEcp();

// Serial port (ComTransport.cpp).
std::int32_t VopP2OpenCom();
std::int32_t VopP2CloseCom();
std::int32_t VopP2WriteCom(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                           std::uint32_t* lpdwWritten);
std::int32_t VopP2ReadCom(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                          std::uint32_t* lpdwRead);

// USB (UsbTransport.cpp).
std::int32_t VopP2OpenUsb();
std::int32_t VopP2CloseUsb();
std::int32_t VopP2WriteUsb(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                           std::uint32_t* lpdwWritten);
std::int32_t VopP2ReadUsb(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                          std::uint32_t* lpdwRead, std::uint8_t byRequest);

// The read request bytes that ask for ordinary reverse data; every other value asks for the
// device identification.
inline bool OrdinaryReverseData(std::uint8_t request) {
  return request == 0 || request == 0x10;
}

// A count argument the caller may have passed as null: the target the transport counts into.
inline std::uint32_t& CountTarget(std::uint32_t* count, std::uint32_t& spare) {
  return count != nullptr ? *count : spare;
}

}  // namespace vopp2
