#include "simulate/PrinterProfile.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

#include "settings/ProfileFile.h"

namespace simulate {
namespace {

constexpr std::size_t kValueLength = 255;
// Stands for a key that is not in the file; no value can hold it.
constexpr std::string_view kMissing = "\n";

std::optional<std::uint32_t> ParseNumber(std::string_view text, int base) {
  std::uint32_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return value;
}

class ProfileReader {
 public:
  explicit ProfileReader(const std::filesystem::path& file) : file_(file) {}

  // Each reader leaves the target as it is when the key is missing and notes the first
  // malformed value.
  void Text(std::string_view key, std::size_t length, std::string& target) {
    const auto value = Value(key);
    if (!value) {
      return;
    }
    if (value->size() != length) {
      Bad(key, "must be " + std::to_string(length) + " characters");
      return;
    }
    target = *value;
  }

  void AnyText(std::string_view key, std::string& target) {
    if (const auto value = Value(key)) {
      target = *value;
    }
  }

  template <typename Target>
  void Number(std::string_view key, int base, std::uint32_t max, Target& target) {
    if (const auto number = Checked(key, base, max)) {
      target = static_cast<Target>(*number);
    }
  }

  void OptionalNumber(std::string_view key, std::uint32_t max,
                      std::optional<std::uint32_t>& target) {
    if (const auto number = Checked(key, 10, max)) {
      target = *number;
    }
  }

  void OptionalHex16(std::string_view key, std::optional<std::uint16_t>& target) {
    if (const auto number = Checked(key, 16, 0xFFFF)) {
      target = static_cast<std::uint16_t>(*number);
    }
  }

  void Flag(std::string_view key, bool& target) {
    std::uint32_t value = target ? 1 : 0;
    Number(key, 10, 1, value);
    target = value != 0;
  }

  const std::string& Error() const { return error_; }

 private:
  std::optional<std::string> Value(std::string_view key) const {
    auto value = file_.ReadString(kPrinterSection, key, kMissing, kValueLength);
    if (value == kMissing) {
      return std::nullopt;
    }
    return value;
  }
  std::optional<std::uint32_t> Checked(std::string_view key, int base, std::uint32_t max) {
    const auto value = Value(key);
    if (!value) {
      return std::nullopt;
    }
    const auto number = ParseNumber(*value, base);
    if (!number || *number > max) {
      Bad(key, base == 16 ? "must be a hexadecimal number up to " + Hex(max)
                          : "must be a number up to " + std::to_string(max));
      return std::nullopt;
    }
    return number;
  }
  static std::string Hex(std::uint32_t value) {
    char digits[9] = {};
    std::to_chars(digits, digits + 8, value, 16);
    return digits;
  }
  void Bad(std::string_view key, const std::string& rule) {
    if (error_.empty()) {
      error_ = std::string(key) + " in section " + kPrinterSection + " of " +
               file_.Path().string() + " " + rule;
    }
  }

  settings::ProfileFile file_;
  std::string error_;
};

}  // namespace

ProfileResult ReadPrinterProfile(const std::filesystem::path& file) {
  ProfileResult result;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    result.error = "cannot read the printer profile " + file.string();
    return result;
  }
  ProfileReader reader(file);
  sim::PrinterConfig& config = result.config;
  reader.Text("ControllerFW", 4, config.controllerFirmware);
  reader.Text("EngineFW", 12, config.engineFirmware);
  reader.Number("FlashSizeCode", 16, 0xFF, config.flashSizeCode);
  reader.Flag("AcceptJob", config.acceptJob);
  reader.Number("FailStatus", 16, 0xFF, config.failStatus);
  reader.Number("ProgressStep", 10, 50, config.progressStep);
  if (config.progressStep == 0) {
    config.progressStep = 1;
  }
  reader.Flag("Stall", config.stall);
  reader.Flag("HostCommError", config.hostCommunicationError);
  reader.OptionalNumber("SilentAfter", 0xFFFFFFFFU, config.readsBeforeSilence);
  reader.AnyText("PrintQueue", result.printQueue);
  reader.OptionalHex16("Vid", result.usbVendorId);
  reader.OptionalHex16("Pid", result.usbProductId);
  result.error = reader.Error();
  return result;
}

}  // namespace simulate
