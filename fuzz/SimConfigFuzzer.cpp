// Any bytes as a --sim-config printer profile: refused with a reason, or a printer within the
// limits the profile's keys allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "simulate/PrinterProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const simulate::ProfileResult result = simulate::ParsePrinterProfile(text, "fuzz.ini");
  if (result.error.empty() &&
      (result.config.controllerFirmware.size() != 4 || result.config.engineFirmware.size() != 12 ||
       result.config.progressStep < 1 || result.config.progressStep > 50)) {
    std::abort();
  }
  return 0;
}
