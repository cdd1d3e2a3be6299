#include "simulate/PrinterProfile.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>

#include "settings/ProfileFile.h"
#include "settings/ProfileText.h"

namespace simulate {
namespace {

std::optional<std::uint32_t> ParseNumber(std::string_view text, int base) {
  std::uint32_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return value;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const auto& name : names) {
    text.append(text.empty() ? "" : ", ").append(name);
  }
  return text;
}

class ProfileReader {
 public:
  ProfileReader(std::string_view text, std::string_view source) : text_(text), source_(source) {}

  // Each reader notes its key as known, leaves the target as it is when the key is missing,
  // and notes the first malformed value.
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

  // After every reader: a key of the section that none of them read is an error.
  void RefuseUnknownKeys() {
    for (const auto& key : settings::ProfileKeys(text_, kPrinterSection)) {
      const bool known = std::any_of(known_.begin(), known_.end(), [&key](const auto& name) {
        return settings::SameProfileName(name, key);
      });
      if (!known) {
        Bad(key, "is not a setting of the virtual printer (known: " + Joined(known_) + ")");
      }
    }
  }

  const std::vector<std::string>& Known() const { return known_; }
  const std::string& Error() const { return error_; }

 private:
  std::optional<std::string> Value(std::string_view key) {
    known_.emplace_back(key);
    return settings::FindProfileValue(text_, kPrinterSection, key);
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
      error_ = std::string(key) + " in section " + kPrinterSection + " of " + std::string(source_) +
               " " + rule;
    }
  }

  std::string_view text_;
  std::string_view source_;
  std::vector<std::string> known_;
  std::string error_;
};

// Every key of the section, in the order it is read: a new setting is one line here.
void ReadKeys(ProfileReader& reader, ProfileResult& result) {
  sim::PrinterConfig& config = result.config;
  reader.Text("ControllerFW", 4, config.controllerFirmware);
  reader.Text("EngineFW", 12, config.engineFirmware);
  reader.Number("FlashSizeCode", 16, 0xFF, config.flashSizeCode);
  reader.Flag("AcceptJob", config.acceptJob);
  reader.Number("FailStatus", 16, 0xFF, config.failStatus);
  reader.Number("ProgressStep", 10, 50, config.progressStep);
  reader.Flag("Stall", config.stall);
  reader.Flag("HostCommError", config.hostCommunicationError);
  reader.OptionalNumber("SilentAfter", 0xFFFFFFFFU, config.readsBeforeSilence);
  reader.OptionalNumber("BrokenAfter", 0xFFFFFFFFU, config.writesBeforeFailure);
  reader.AnyText("PrintQueue", result.printQueue);
  reader.OptionalHex16("Vid", result.usbVendorId);
  reader.OptionalHex16("Pid", result.usbProductId);
  reader.Number("LinkSpeed", 10, 0xFFFFFFFFU, result.linkSpeed);
}

}  // namespace

ProfileResult ParsePrinterProfile(std::string_view text, std::string_view source) {
  ProfileResult result;
  ProfileReader reader(text, source);
  ReadKeys(reader, result);
  if (result.config.progressStep == 0) {
    result.config.progressStep = 1;
  }
  reader.RefuseUnknownKeys();
  result.error = reader.Error();
  return result;
}

ProfileResult ReadPrinterProfile(const std::filesystem::path& file) {
  const settings::ProfileFile profile(file);
  auto failure = profile.Load();
  std::error_code error;
  if (!failure && !std::filesystem::exists(file, error)) {
    failure = settings::ProfileFailure{file, "it does not exist"};
  }
  if (failure) {
    ProfileResult result;
    result.error =
        "cannot read the printer profile " + file.string() + " (" + failure->reason + ")";
    return result;
  }
  return ParsePrinterProfile(profile.Text(), file.string());
}

std::vector<std::string> PrinterProfileKeys() {
  ProfileResult ignored;
  ProfileReader reader({}, {});
  ReadKeys(reader, ignored);
  return reader.Known();
}

}  // namespace simulate
