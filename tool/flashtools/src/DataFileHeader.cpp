#include "flashtools/DataFileHeader.h"

#include <algorithm>

#include "protocol/Frame.h"

namespace flashtools {

DataFileHeader ParseDataFileHeader(std::span<const std::uint8_t, DataFileHeader::kSize> bytes) {
  namespace at = header_offset;
  DataFileHeader header;
  std::copy_n(bytes.begin() + at::kSignature, header.Signature.size(), header.Signature.begin());
  header.TypeFlags = bytes[at::kTypeFlags];
  header.TargetCode = bytes[at::kTargetCode];
  header.PayloadLength = protocol::LoadU32(&bytes[at::kPayloadLength]);
  header.LoadParameter = protocol::LoadU32(&bytes[at::kLoadParameter]);
  header.Ident1 = bytes[at::kIdent1];
  header.Ident2 = bytes[at::kIdent2];
  header.Options = bytes[at::kOptions];
  return header;
}

std::array<std::uint8_t, DataFileHeader::kSize> SerialiseDataFileHeader(
    const DataFileHeader& header) {
  namespace at = header_offset;
  std::array<std::uint8_t, DataFileHeader::kSize> bytes{};
  std::copy(header.Signature.begin(), header.Signature.end(), bytes.begin() + at::kSignature);
  bytes[at::kTypeFlags] = header.TypeFlags;
  bytes[at::kTargetCode] = header.TargetCode;
  protocol::StoreU32(&bytes[at::kPayloadLength], header.PayloadLength);
  protocol::StoreU32(&bytes[at::kLoadParameter], header.LoadParameter);
  bytes[at::kIdent1] = header.Ident1;
  bytes[at::kIdent2] = header.Ident2;
  bytes[at::kOptions] = header.Options;
  return bytes;
}

DataFileHeader HeaderForAddedPayload(std::uint32_t payloadLength) {
  DataFileHeader header;
  header.Signature = kDataFileSignature;
  header.TypeFlags = kDemoPrintDataBit;
  header.TargetCode = 0x82;
  header.PayloadLength = payloadLength;
  header.LoadParameter = 100;
  header.Ident1 = 0x20;
  header.Ident2 = 0x02;
  header.Options = 0x91;
  return header;
}

}  // namespace flashtools
