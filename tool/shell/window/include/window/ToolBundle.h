// The settings bundle the command panel hands to every tool dialog.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace shell {

struct ToolBundle {
  std::filesystem::path settingsFile;
  std::int32_t portKind = 0;      // 0 file, 1 parallel port, 2 both, 3 USB; 255 none
  std::int32_t transferMode = 0;  // 0 Standard, 1 Parallel Port FIFO, 2 ECP FIFO
  std::string outputFile;
  std::uint8_t* commandNumber = nullptr;  // the panel's running command number
  std::string text;                       // always empty
  std::int32_t timeOut = 10;
  std::int32_t enableLog = 0;
  std::string logFile;
  std::int32_t* ecpNegotiated = nullptr;  // the panel's ECP-negotiated flag
};

}  // namespace shell
