// Write Data Flash ROM: checks a data file, sends it inside a job (Start Job, Download
// Firmware with the data stream, Execute Flash Write), follows the printer's erase, write and
// verify progress in the Status Display, and closes the job with End Job.
#pragma once

#include <cstdint>
#include <filesystem>

#include "flashjobs/PortTarget.h"
#include "flashjobs/StatusDisplay.h"
#include "flashtools/FileTools.h"
#include "flashtools/UserInterface.h"

namespace flashjobs {

// Data types of the dialog's radio group.
inline constexpr int kDataTypeMaskRomFirmware = 0;
inline constexpr int kDataTypeFirmware = 1;
inline constexpr int kDataTypeDemoPrintData = 2;

struct FlashWriteRequest {
  std::filesystem::path dataFile;
  int dataType = kDataTypeMaskRomFirmware;  // 0, 1 or 2; other values count as 0
  std::uint8_t machineId = 0xFF;
  PortTarget port;
};

// Runs the whole procedure; the caller has stored its settings already. commandNumber is the
// shared command-number byte: set to 0 for Start Job and raised before every later frame.
// kSucceeded: the printer reported the write complete and the job was closed.
// kFailedKeepOpen: the file was refused before anything was sent (the dialog stays open).
// kFailed: anything else; every failure has been reported through ui.
flashtools::ToolResult WriteDataFlashRom(const FlashWriteRequest& request,
                                         std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                         StatusDisplay& display);

}  // namespace flashjobs
