// Frames, data files and streams built by hand for the printer's tests, so that the printer
// is checked against bytes written down here rather than against the tool's own builder.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "sim/printer/VirtualPrinter.h"

namespace sim::test {

using Bytes = std::vector<std::uint8_t>;

inline std::uint8_t Sum(const Bytes& bytes) {
  unsigned sum = 0;
  for (auto b : bytes) {
    sum += b;
  }
  return static_cast<std::uint8_t>(sum);
}

inline void PutU32(Bytes& bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

inline Bytes Frame(std::uint8_t code, std::uint8_t number, const Bytes& params) {
  Bytes frame;
  frame.reserve(params.size() + 7);
  frame.push_back(0x1B);
  frame.push_back(code);
  frame.push_back(number);
  frame.push_back(static_cast<std::uint8_t>(params.size()));
  frame.push_back(0);
  frame.push_back(static_cast<std::uint8_t>(0xFF - code));
  for (std::uint8_t p : params) {
    frame.push_back(p);
  }
  frame.push_back(Sum(frame));
  return frame;
}

inline Bytes StartJob(std::uint8_t number, std::uint8_t machineId = 0xFF) {
  return Frame(0x40, number, {machineId, 0x10});
}
inline Bytes EndJob(std::uint8_t number) {
  return Frame(0x41, number, {0});
}
inline Bytes RequestStatus(std::uint8_t number, std::uint8_t kind) {
  return Frame(0x60, number, {kind, 0});
}
inline Bytes DownloadFirmware(std::uint8_t number, std::uint32_t transferSize) {
  Bytes params{0x40, 0x82};
  PutU32(params, transferSize);
  PutU32(params, 100);
  params.push_back(0);
  params.push_back(0);
  return Frame(0x70, number, params);
}
inline Bytes ExecuteFlashWrite(std::uint8_t number, std::uint32_t length,
                               std::uint32_t mode = 0x00020400) {
  Bytes params;
  PutU32(params, mode);
  PutU32(params, length);
  params.push_back(0);
  params.push_back(0);
  return Frame(0x73, number, params);
}

// A data file: "VDL1" header with the payload length, the payload, the file sum.
inline Bytes DataFile(const Bytes& payload) {
  Bytes file;
  file.reserve(payload.size() + 257);
  for (std::uint8_t b : {'V', 'D', 'L', '1'}) {
    file.push_back(b);
  }
  file.push_back(0x40);
  file.push_back(0x82);
  PutU32(file, static_cast<std::uint32_t>(payload.size()));
  while (file.size() < 256) {
    file.push_back(0);
  }
  for (std::uint8_t b : payload) {
    file.push_back(b);
  }
  file.push_back(Sum(file));
  return file;
}

inline Bytes Payload(std::size_t size) {
  Bytes payload(size);
  for (std::size_t i = 0; i < size; ++i) {
    payload[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }
  return payload;
}

// The data file and the trailing byte, the sum of every file byte.
inline Bytes Stream(const Bytes& file) {
  Bytes stream = file;
  stream.push_back(Sum(file));
  return stream;
}

inline void Send(VirtualPrinter& printer, const Bytes& bytes) {
  printer.Write(bytes);
}

// One read into a cleared 256-byte buffer, as the tools read.
struct Reply {
  bool ok = false;
  std::uint32_t count = 0;
  Bytes bytes = Bytes(256, 0);
};
inline Reply ReadReply(VirtualPrinter& printer) {
  Reply reply;
  const IoResult result = printer.Read(reply.bytes);
  reply.ok = result.ok;
  reply.count = result.count;
  return reply;
}

}  // namespace sim::test
