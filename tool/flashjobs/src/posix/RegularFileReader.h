// A data file opened for reading as the regular file it must be. The open never waits on what
// stands at the path: a FIFO or a device put there after any earlier look at the path is
// refused by the open itself, instead of holding it until a writer comes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace flashjobs {

class RegularFileReader {
 public:
  explicit RegularFileReader(const std::filesystem::path& path);
  ~RegularFileReader();
  RegularFileReader(const RegularFileReader&) = delete;
  RegularFileReader& operator=(const RegularFileReader&) = delete;

  // Open, readable, and a regular file.
  bool IsOpen() const { return descriptor_ >= 0; }
  // The file's length now; nothing when the system cannot tell it.
  std::optional<std::uint64_t> Length() const;
  // Fills into from the read position until it is full, the file ends or a read fails; the
  // number of bytes read.
  std::size_t Read(std::span<std::uint8_t> into);

 private:
  int descriptor_ = -1;
};

}  // namespace flashjobs
