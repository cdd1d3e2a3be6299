// Hexadecimal texts of the settings file and the command number edit.
#pragma once

#include <cstdint>
#include <string_view>

namespace settings {

class ProfileFile;

// At most the first 4 characters; 0-9, A-F and a-f add a digit, the first other character
// ends the conversion. An empty text gives 0. Used for "Vid", "Pid" and the command number.
std::uint16_t ParseHex4(std::string_view text);

// The machine id of a Start Job frame: at most the first 8 hexadecimal digits, up to the
// first other character, with the low 8 bits kept ("FF" 0xFF, "1234" 0x34, "2G" 0x02).
std::uint8_t ParseMachineId(std::string_view text);

// The machine id Start Job carries: "MachineID" of section "StartJob", "FF" when missing.
std::uint8_t ReadMachineId(const ProfileFile& file);

}  // namespace settings
