#include "channel/SystemSettings.h"

#include <algorithm>
#include <vector>

#include "settings/HexText.h"

namespace channel {
namespace {

constexpr std::size_t kPathLength = 255;
constexpr std::size_t kDevicePathLength = sizeof(PortSettings::usbDevicePath) - 1;

// The delays count status reads per handshake step (about a microsecond each). A negative
// value would reach the library as a count of billions, and any count far above the defaults
// lets one step of a silent printer wait for minutes.
constexpr std::int32_t kMostPolls = 1'000'000;
// The longest write stall in seconds, and the longest pause after a FIFO write in ms.
constexpr std::int32_t kLongestTimeOut = 3600;
constexpr std::int32_t kDefaultTimeOut = 10;
constexpr std::int32_t kLongestRestoreDelay = 10'000;

// A delay key: 0 cannot be configured; it means "missing" and is replaced by the default,
// which is written into the file. A value outside 1 to kMostPolls is replaced the same way.
std::int32_t ReadDelay(const settings::ProfileFile& file, std::string_view key,
                       std::int32_t defaultValue, std::vector<settings::ProfileEntry>& writeBack) {
  const std::int32_t value = file.ReadInt(kSystemSection, key, 0);
  if (value > 0 && value <= kMostPolls) {
    return value;
  }
  writeBack.push_back({std::string(key), std::to_string(defaultValue)});
  return defaultValue;
}

// "Vid" and "Pid": hexadecimal text, written back when it reads as "0000".
std::uint16_t ReadUsbId(const settings::ProfileFile& file, std::string_view key,
                        std::vector<settings::ProfileEntry>& writeBack) {
  const auto text = file.ReadString(kSystemSection, key, "0000", kPathLength);
  if (text == "0000") {
    writeBack.push_back({std::string(key), "0000"});
  }
  return settings::ParseHex4(text);
}

}  // namespace

PanelSettings LoadSystemSettings(const settings::ProfileFile& file, PortSettings& record) {
  PanelSettings panel;
  panel.output = file.ReadInt(kSystemSection, "Output", 1);
  panel.mode = file.ReadInt(kSystemSection, "Mode", 0);
  panel.outputFile = file.ReadString(kSystemSection, "OutputFile", "", kPathLength);
  panel.timeOut = file.ReadInt(kSystemSection, "TimeOut", kDefaultTimeOut);
  if (panel.timeOut < 0 || panel.timeOut > kLongestTimeOut) {
    panel.timeOut = kDefaultTimeOut;
  }
  panel.logFile = file.ReadString(kSystemSection, "LogFile", "", kPathLength);
  panel.enableLog = file.ReadInt(kSystemSection, "EnableLog", 0) != 0 ? 1 : 0;

  record.timeOut = panel.timeOut;
  std::vector<settings::ProfileEntry> writeBack;
  record.ecpNegotiationDelay = ReadDelay(file, "ECPNegotiationDelay", 5000, writeBack);
  record.ecpTerminationDelay = ReadDelay(file, "ECPTerminationDelay", 5000, writeBack);
  record.lptReceptionDelay = ReadDelay(file, "LptReceptionDelay", 30000, writeBack);
  record.lptReceptionTerminationTiming =
      ReadDelay(file, "LptReceptionTerminationTiming", 5000, writeBack);
  record.usbVendorId = ReadUsbId(file, "Vid", writeBack);
  record.usbProductId = ReadUsbId(file, "Pid", writeBack);
  record.restoreDelay = file.ReadInt(kSystemSection, "RestoreDelay", 0);
  if (record.restoreDelay < 0 || record.restoreDelay > kLongestRestoreDelay) {
    record.restoreDelay = 0;
  }
  record.forceVopUsb = file.ReadInt(kSystemSection, "ForceVOPUSB", 0) != 0 ? 1 : 0;
  record.forceUsb11 = file.ReadInt(kSystemSection, "ForceUSB11", 0) != 0 ? 1 : 0;
  const auto devicePath = file.ReadString(kSystemSection, "GUID", "", kDevicePathLength);
  std::fill(std::begin(record.usbDevicePath), std::end(record.usbDevicePath), '\0');
  std::copy(devicePath.begin(), devicePath.end(), std::begin(record.usbDevicePath));
  record.debugLevel = file.ReadInt(kSystemSection, "DebugLevel", -1);
  if (!writeBack.empty()) {
    file.Write(kSystemSection, writeBack);
  }
  return panel;
}

bool SaveToolStartSettings(const settings::ProfileFile& file, const PanelSettings& panel,
                           const PortSettings& record) {
  return file.Write(kSystemSection, {{"Output", std::to_string(panel.output)},
                                     {"Mode", std::to_string(panel.mode)},
                                     {"OutputFile", panel.outputFile},
                                     {"TimeOut", std::to_string(panel.timeOut)},
                                     {"LogFile", panel.logFile},
                                     {"EnableLog", panel.enableLog != 0 ? "1" : "0"},
                                     {"DebugLevel", std::to_string(record.debugLevel)}});
}

}  // namespace channel
