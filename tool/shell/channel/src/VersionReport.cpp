#include "channel/VersionReport.h"

#include "VopP2.h"

namespace channel {

std::string DescribeVersions(std::string_view program, std::int32_t portLibraryVersion) {
  // The port library answers only the last part of its four-part version.
  const std::string libraryVersion = "1.0.0." + std::to_string(portLibraryVersion);
  std::string report =
      std::string(program) + " " + ZARNIK_VERSION + "\nport library VopP2 " + libraryVersion;
  if (portLibraryVersion != VOPP2_INTERFACE_VERSION) {
    report += " (this program needs 1.0.0." + std::to_string(VOPP2_INTERFACE_VERSION) + ")";
  }
  return report;
}

std::string VersionReport(std::string_view program) {
  return DescribeVersions(program, VopP2GetVersion());
}

bool PortLibraryVersionMatches() {
  return VopP2GetVersion() == VOPP2_INTERFACE_VERSION;
}

}  // namespace channel
