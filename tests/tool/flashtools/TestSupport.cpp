#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "protocol/FrameSum.h"

namespace flashtools::test {

TempDir::TempDir() {
  const char* root = std::getenv("ZARNIK_TEST_TMP");
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  std::replace(name.begin(), name.end(), '/', '_');
  path_ = std::filesystem::path(root != nullptr ? root : std::filesystem::temp_directory_path()) /
          "flashtools" / name;
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::vector<std::string> TempDir::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

StreamBuilder& StreamBuilder::StartJob(std::uint8_t number) {
  number_ = number;
  Bytes frame(protocol::FrameSize(2));
  protocol::WriteFrame(frame.data(), protocol::code::kStartJob, number_++, Bytes{0xFF, 0x10});
  return Raw(frame);
}

StreamBuilder& StreamBuilder::SetJobInformation() {
  return Frame(protocol::code::kSetJobInformation, Bytes(8, 0x01));
}

StreamBuilder& StreamBuilder::SetPageInformation(std::uint8_t planeBits, std::uint16_t bands) {
  Bytes parameters(28, 0x00);
  parameters[0] = planeBits;
  protocol::StoreU16(&parameters[10], bands);   // frame bytes 16-17
  protocol::StoreU16(&parameters[12], 0x7777);  // frame bytes 18-19
  parameters[27] = 0x5A;
  return Frame(protocol::code::kSetPageInformation, parameters);
}

StreamBuilder& StreamBuilder::SendBand(std::uint8_t planeCode, std::uint32_t size,
                                       std::uint16_t lines, std::uint8_t fill) {
  Bytes parameters(8, 0x00);
  protocol::StoreU32(&parameters[0], size);
  parameters[4] = planeCode;
  parameters[5] = 0x99;
  protocol::StoreU16(&parameters[6], lines);
  Frame(protocol::code::kSendBand, parameters);
  return Raw(Bytes(size, fill));
}

StreamBuilder& StreamBuilder::EndPrintData() {
  return Frame(protocol::code::kEndPrintData, {0});
}

StreamBuilder& StreamBuilder::EndJob() {
  return Frame(protocol::code::kEndJob, {0});
}

StreamBuilder& StreamBuilder::Frame(std::uint8_t code, const Bytes& parameters) {
  Bytes frame(protocol::FrameSize(parameters.size()));
  protocol::WriteFrame(frame.data(), code, number_++, parameters);
  return Raw(frame);
}

StreamBuilder& StreamBuilder::Raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

std::vector<ReadFrame> SplitFrames(const Bytes& stream) {
  std::vector<ReadFrame> frames;
  std::size_t at = 0;
  while (at + protocol::kHeadSize <= stream.size()) {
    const std::size_t count = protocol::LoadU16(&stream[at + protocol::kLengthOffset]);
    const std::size_t size = protocol::FrameSize(count);
    if (at + size > stream.size()) {
      break;
    }
    ReadFrame frame{stream[at + protocol::kCodeOffset],
                    stream[at + protocol::kNumberOffset],
                    Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at + protocol::kHeadSize),
                          stream.begin() + static_cast<std::ptrdiff_t>(at + size - 1)),
                    {},
                    protocol::FrameSum(&stream[at], size - 1) == stream[at + size - 1]};
    at += size;
    if (frame.code == protocol::code::kSendBand && frame.parameters.size() >= 4) {
      const std::size_t data = protocol::LoadU32(frame.parameters.data());
      const std::size_t end = std::min(stream.size(), at + data);
      frame.bandData.assign(stream.begin() + static_cast<std::ptrdiff_t>(at),
                            stream.begin() + static_cast<std::ptrdiff_t>(end));
      at = end;
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

}  // namespace flashtools::test
