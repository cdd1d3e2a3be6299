// Shared pieces of the file tool tests: a user interface that records, temporary files, and
// print-data streams composed frame by frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "flashtools/UserInterface.h"

namespace flashtools::test {

using Bytes = std::vector<std::uint8_t>;

struct Message {
  std::string text;
  std::string caption;
  MessageIcon icon;
};

class RecordingUserInterface final : public UserInterface {
 public:
  void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override {
    messages.push_back({std::string(text), std::string(caption), icon});
  }
  bool Confirm(std::string_view text, std::string_view caption, MessageIcon icon) override {
    ShowMessage(text, caption, icon);
    return true;
  }
  std::vector<Message> messages;
};

// A fresh folder for one test, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // The names of the files in the folder, sorted.
  std::vector<std::string> Names() const;

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadFile(const std::filesystem::path& path);

// Composes a print-data stream; frames after a Start Job are numbered on from it.
class StreamBuilder {
 public:
  StreamBuilder& StartJob(std::uint8_t number = 0);
  StreamBuilder& SetJobInformation();
  StreamBuilder& SetPageInformation(std::uint8_t planeBits, std::uint16_t bands);
  // A Send Band followed by size bytes of band data, each fill.
  StreamBuilder& SendBand(std::uint8_t planeCode, std::uint32_t size, std::uint16_t lines,
                          std::uint8_t fill);
  StreamBuilder& EndPrintData();
  StreamBuilder& EndJob();
  StreamBuilder& Frame(std::uint8_t code, const Bytes& parameters);
  StreamBuilder& Raw(const Bytes& bytes);
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  std::uint8_t number_ = 0;
};

// A frame read back from an arranged stream, with the band data after a Send Band.
struct ReadFrame {
  std::uint8_t code;
  std::uint8_t number;
  Bytes parameters;
  Bytes bandData;
  bool sumOk;
};

// Splits a stream into frames by their lengths alone (no numbering rules), so tests can look
// at every frame the arrangement wrote.
std::vector<ReadFrame> SplitFrames(const Bytes& stream);

}  // namespace flashtools::test
