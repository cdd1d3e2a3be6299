// How the virtual printer behaves: what it reports about itself, how fast its flash work runs,
// and the ways it can be told to fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace sim {

struct PrinterConfig {
  // Controller firmware: the four characters of the configuration status reply, bytes 2-5, as
  // they travel (the tool shows them reversed unless they begin with "EF").
  std::string controllerFirmware = "EF12";
  // Engine firmware: the twelve characters of the engine detail status reply, bytes 20-31.
  std::string engineFirmware = "010203040506";
  // Byte 10 of the reply that follows a data stream; its high four bits h give a flash of
  // 2^(h-1) Mbit for h = 1..8 and no usable flash otherwise. 0x40 is 8 Mbit.
  std::uint8_t flashSizeCode = 0x40;
  // Whether Start Job is accepted (reply byte 2 = 0) or refused (reply byte 2 = 1).
  bool acceptJob = true;
  // A status code reported on every status read once the erase has finished, instead of
  // writing (0 = none). The erased flash is left erased.
  std::uint8_t failStatus = 0;
  // Progress speed: how far erase, write and verify each move per status read, in units of
  // the status byte's six-bit progress field (50 units = 100 %). At least 1.
  std::uint32_t progressStep = 5;
  // Report a host communication error: printer status reply byte 12 is "l".
  bool hostCommunicationError = false;
  // Stall: the erase stops halfway; from then on every status read reports 0x00 and nothing
  // is erased or written.
  bool stall = false;
  // Not answering: the number of reads that succeed before every further read fails
  // (0 = the printer never answers; none = it always answers).
  std::optional<std::uint32_t> readsBeforeSilence = std::nullopt;
  // A link that breaks: the number of writes taken before every further write fails
  // (none = writes never fail).
  std::optional<std::uint32_t> writesBeforeFailure = std::nullopt;
  // The IEEE 1284 device identification string, without its length bytes.
  std::string deviceId =
      "MFG:Zarnik;CMD:VDL;MDL:Virtual Printer;CLS:PRINTER;DES:Zarnik simulated printer;";
  // How many of the bytes received are kept in order for Received(); the rest are counted.
  std::size_t receivedRecordLimit = std::size_t{1} << 20;
};

// Bytes of flash a flash size code stands for (0 when the code names no flash).
std::uint32_t FlashBytesForCode(std::uint8_t flashSizeCode);

}  // namespace sim
