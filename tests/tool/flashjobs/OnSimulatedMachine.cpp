#include "OnSimulatedMachine.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "VopP2.h"
#include "flashtools/DataFileHeader.h"
#include "protocol/FrameSum.h"
#include "sim/VersionRecords.h"

namespace flashjobs::test {

sim::IoResult HookedLptDevice::Write(std::span<const std::uint8_t> data) {
  if (++writes_ == failWrite) {
    return sim::IoResult::Failed(platform::kErrorIoDevice);
  }
  if (writes_ == cutWrite) {
    return device_.Write(data.first(data.size() / 2));
  }
  if (writes_ == cutCountedWrite) {
    device_.Write(data.first(data.size() / 2));
    return {false, static_cast<std::uint32_t>(data.size()), platform::kErrorSemTimeout};
  }
  const sim::IoResult result = device_.Write(data);
  if (writes_ == hookAfterWrite && hook) {
    hook();
  }
  return result;
}

sim::IoResult HookedLptDevice::Read(std::span<std::uint8_t> buffer) {
  if (answeredReads >= 0 && reads_ >= answeredReads) {
    return sim::IoResult::Done(0);
  }
  ++reads_;
  return device_.Read(buffer.first(std::min(buffer.size(), replyLimit)));
}

void ImmediateDisplay::Run(StatusPoller& poller) {
  ++runs;
  end = RunPollingLoop(poller, [](std::chrono::milliseconds) {});
  ticks = poller.Ticks();
  if (end.state == PollState::kWaitingForCancel) {
    poller.Cancel();
  }
}

void OnSimulatedMachine::SetUp() {
  machine_.SetVersion(sim::WindowsXp());
  previous_ = platform::Install(&machine_);
  const char* root = std::getenv("ZARNIK_TEST_TMP");
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  folder_ = std::filesystem::path(root != nullptr ? root : "/tmp") / "flashjobs" /
            (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(folder_);
  std::filesystem::create_directories(folder_);
}

void OnSimulatedMachine::TearDown() {
  VopP2Close(PORT_LPT);
  platform::Install(previous_);
}

void OnSimulatedMachine::AttachPrinter(sim::PrinterConfig config) {
  printer = std::make_shared<sim::VirtualPrinter>(std::move(config));
  device = std::make_shared<HookedLptDevice>(printer);
  machine_.AttachDevice(R"(\\.\LPT1)", device);
}

void OverLptDriver::SetUp() {
  OnSimulatedMachine::SetUp();
  AttachPrinter();
}

std::filesystem::path OnSimulatedMachine::WriteFile(const std::string& name,
                                                    const Bytes& bytes) const {
  auto path = FilePath(name);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path;
}

Bytes MakeDataFile(std::uint8_t typeFlags, const Bytes& payload, std::uint8_t options) {
  flashtools::DataFileHeader header =
      flashtools::HeaderForAddedPayload(static_cast<std::uint32_t>(payload.size()));
  header.TypeFlags = typeFlags;
  header.Options = options;
  const auto stored = flashtools::SerialiseDataFileHeader(header);
  Bytes file;
  file.reserve(stored.size() + payload.size() + 1);
  for (const auto& part :
       {std::span<const std::uint8_t>(stored), std::span<const std::uint8_t>(payload)}) {
    for (std::uint8_t b : part) {
      file.push_back(b);
    }
  }
  file.push_back(protocol::FrameSum(file.data(), file.size()));
  return file;
}

Bytes Hex(std::string_view text) {
  Bytes bytes;
  for (std::size_t at = 0; at + 1 < text.size(); at += 3) {
    bytes.push_back(
        static_cast<std::uint8_t>(std::stoul(std::string(text.substr(at, 2)), nullptr, 16)));
  }
  return bytes;
}

Bytes CountingPayload(std::size_t size) {
  Bytes payload(size);
  for (std::size_t i = 0; i < size; ++i) {
    payload[i] = static_cast<std::uint8_t>(i * 13 + 5);
  }
  return payload;
}

}  // namespace flashjobs::test
