// Write Data Flash ROM: checks a data file, sends it inside a job (Start Job, Download
// Firmware with the data stream, Execute Flash Write), follows the printer's erase, write and
// verify progress in the Status Display, and closes the job with End Job.
#pragma once

#include <cstdint>
#include <filesystem>

#include "flashjobs/JobControl.h"
#include "flashjobs/PortTarget.h"
#include "flashjobs/StatusDisplay.h"
#include "flashtools/FileTools.h"
#include "flashtools/UserInterface.h"

namespace flashjobs {

// Data types of the dialog's radio group.
inline constexpr int kDataTypeMaskRomFirmware = 0;
inline constexpr int kDataTypeFirmware = 1;
inline constexpr int kDataTypeDemoPrintData = 2;

// Firmware and demo print data go into the printer's flash, whose size the printer reports
// after the data stream; the largest it can report is 128 Mbit.
constexpr bool ReadsFlashSize(int dataType) {
  return dataType == kDataTypeFirmware || dataType == kDataTypeDemoPrintData;
}
inline constexpr std::uint32_t kLargestFlashMbit = 128;
inline constexpr std::uint32_t kBytesPerMbit = 131072;

struct FlashWriteRequest {
  std::filesystem::path dataFile;
  int dataType = kDataTypeMaskRomFirmware;  // 0, 1 or 2; other values count as 0
  std::uint8_t machineId = 0xFF;
  PortTarget port;
};

// Runs the whole procedure; the caller has stored its settings already. commandNumber is the
// shared command-number byte: set to 0 for Start Job and raised before every later frame.
// The data file is read and checked whole (length, sum, and for firmware and demo print data
// at most 128 Mbit) before anything is sent, and the bytes checked are the bytes sent. Once the
// printer has accepted the job, every stop (a failure, a refused size, a declined
// confirmation, a stop asked through control) closes it with End Job.
// kSucceeded: the printer reported the write complete and the job was closed.
// kFailedKeepOpen: the file was refused before anything was sent (the dialog stays open).
// kFailed: anything else; every failure has been reported through ui (a stop asked through
// control is not: its front end says what it asked for).
flashtools::ToolResult WriteDataFlashRom(const FlashWriteRequest& request,
                                         std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                         StatusDisplay& display, JobControl& control);
// The same without a way to stop it from outside.
flashtools::ToolResult WriteDataFlashRom(const FlashWriteRequest& request,
                                         std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                         StatusDisplay& display);

}  // namespace flashjobs
