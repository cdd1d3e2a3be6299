// File-backed sources and sinks. An output is written to a temporary file beside its final
// path and takes that path only when the tool commits it, so a failed run never leaves a
// partial file under the output's name and an input may be replaced by its own result.
#pragma once

#include <filesystem>
#include <fstream>

#include "flashtools/ByteStream.h"

namespace flashtools {

class FileSource final : public ByteSource {
 public:
  explicit FileSource(const std::filesystem::path& path);
  bool IsOpen() const { return file_.is_open(); }
  std::size_t Read(std::span<std::uint8_t> into) override;
  bool Failed() const override { return failed_; }
  void Close() { file_.close(); }

 private:
  std::ifstream file_;
  bool failed_ = false;
};

class PendingOutputFile final : public ByteSink {
 public:
  explicit PendingOutputFile(const std::filesystem::path& path);
  ~PendingOutputFile() override;

  bool IsOpen() const { return file_.is_open(); }
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WriteAt(std::uint64_t position, std::span<const std::uint8_t> bytes) override;
  std::uint64_t Position() const override { return size_; }

  // Closes the file and moves it to the output path, replacing what was there. False, with
  // the temporary file removed, when anything written could not be stored.
  bool Commit();

 private:
  std::filesystem::path path_;
  std::filesystem::path temporary_;
  std::ofstream file_;
  std::uint64_t size_ = 0;
  bool committed_ = false;
};

}  // namespace flashtools
