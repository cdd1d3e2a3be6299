#include "FileStreams.h"

#include <string>
#include <system_error>

namespace flashtools {
namespace {

const char* AsChars(const std::uint8_t* bytes) {
  return reinterpret_cast<const char*>(bytes);
}

// A name beside path that no file has yet.
std::filesystem::path FreeTemporaryPath(const std::filesystem::path& path) {
  std::error_code error;
  for (int attempt = 0;; ++attempt) {
    std::filesystem::path candidate = path;
    candidate += ".partial" + (attempt == 0 ? std::string() : std::to_string(attempt));
    if (!std::filesystem::exists(candidate, error) || attempt == 1000) {
      return candidate;
    }
  }
}

}  // namespace

FileSource::FileSource(const std::filesystem::path& path)
    : file_(path, std::ios::in | std::ios::binary) {}

std::size_t FileSource::Read(std::span<std::uint8_t> into) {
  if (!file_.is_open() || failed_ || into.empty()) {
    return 0;
  }
  file_.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(into.size()));
  const auto got = static_cast<std::size_t>(file_.gcount());
  if (file_.bad()) {
    failed_ = true;
  }
  return got;
}

PendingOutputFile::PendingOutputFile(const std::filesystem::path& path)
    : path_(path), temporary_(FreeTemporaryPath(path)) {
  std::error_code error;
  if (std::filesystem::is_directory(path_, error)) {
    return;
  }
  file_.open(temporary_, std::ios::out | std::ios::binary | std::ios::trunc);
}

PendingOutputFile::~PendingOutputFile() {
  if (!committed_ && file_.is_open()) {
    file_.close();
    std::error_code error;
    std::filesystem::remove(temporary_, error);
  }
}

bool PendingOutputFile::Write(std::span<const std::uint8_t> bytes) {
  file_.write(AsChars(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  size_ += bytes.size();
  return file_.good();
}

bool PendingOutputFile::WriteAt(std::uint64_t position, std::span<const std::uint8_t> bytes) {
  if (position > size_ || bytes.size() > size_ - position) {
    return false;
  }
  file_.seekp(static_cast<std::streamoff>(position));
  file_.write(AsChars(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file_.seekp(static_cast<std::streamoff>(size_));
  return file_.good();
}

bool PendingOutputFile::Commit() {
  file_.close();
  bool stored = !file_.fail();
  std::error_code error;
  if (stored) {
    std::filesystem::rename(temporary_, path_, error);
    stored = !error;
  }
  if (!stored) {
    std::filesystem::remove(temporary_, error);
  }
  committed_ = true;
  return stored;
}

}  // namespace flashtools
