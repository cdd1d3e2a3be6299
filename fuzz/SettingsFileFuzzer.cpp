// Any bytes as a settings file: every lookup gives a value or nothing, the integer,
// hexadecimal and machine id rules take any value, and a key set into the text reads back as
// set while the other sections keep their keys.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/HexText.h"
#include "settings/ProfileText.h"

namespace {

void ReadEveryWay(std::string_view value) {
  (void)settings::ProfileInteger(value);
  (void)settings::ParseHex4(value);
  (void)settings::ParseMachineId(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ReadEveryWay(text);
  for (const auto& [section, key] : {std::pair{"System", "TimeOut"}, std::pair{"System", "Vid"},
                                     std::pair{"StartJob", "MachineID"}}) {
    if (const auto value = settings::FindProfileValue(text, section, key)) {
      ReadEveryWay(*value);
    }
  }
  const auto otherKeys = settings::ProfileKeys(text, "StartJob");
  const std::string changed = settings::SetProfileValue(text, "System", "Output", "42");
  if (settings::FindProfileValue(changed, "System", "Output") != "42" ||
      settings::ProfileKeys(changed, "StartJob") != otherKeys) {
    std::abort();
  }
  return 0;
}
