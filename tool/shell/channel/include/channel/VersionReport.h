// What --version prints: the program's version and the version the port library reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace channel {

// "<program> <version>" and the port library's version on a line of its own; a library that
// reports a version other than the one this program needs says so on that line. No newline
// after the last line.
std::string DescribeVersions(std::string_view program, std::int32_t portLibraryVersion);

// The same, asking the loaded port library for its version.
std::string VersionReport(std::string_view program);

// Whether the loaded port library is the version this program was built for.
bool PortLibraryVersionMatches();

}  // namespace channel
