// A printer on the far side of a link: it takes the host's bytes, cuts them into command
// frames with its own reader, answers at the reply positions the tools read, takes the data
// stream that follows Download Firmware, checks it, and erases, writes and verifies its flash
// over successive status reads. It knows nothing of the tool's code, so a fault on either
// side shows up as a disagreement between the two.
//
// Like a real printer it has memory of a fixed size, set up when it is built: its flash and a
// receive memory as large, into which the payload of a data stream goes as the stream is
// checked on arrival. What it holds does not grow with what it is sent (beyond a bounded
// record of the bytes received), so the memory of a program driving it is the program's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "sim/Device.h"
#include "sim/printer/PrinterConfig.h"

namespace sim {

// Something the printer found wrong in what it received. Offset counts bytes received.
struct ProtocolFault {
  enum class Kind {
    kStrayBytes,   // bytes outside any frame (a run of them counts once)
    kBadSum,       // a frame whose sum byte does not match
    kOutsideJob,   // a frame other than Start Job while no job is open
    kNumberGap,    // a frame numbered ahead of the expected number: frames were lost
    kStaleNumber,  // a frame numbered behind the expected number: ignored
  };
  Kind kind;
  std::size_t offset;
};

// The flash status byte the printer reports; the values of the host protocol.
namespace flash_status {
inline constexpr std::uint8_t kNoNews = 0x00;
inline constexpr std::uint8_t kFinished = 0x01;
inline constexpr std::uint8_t kHeaderError = 0x02;
inline constexpr std::uint8_t kSizeError = 0x03;
inline constexpr std::uint8_t kSumError = 0x04;
inline constexpr std::uint8_t kSizeOver = 0x06;
inline constexpr std::uint8_t kErasing = 0x80;
inline constexpr std::uint8_t kWriting = 0x40;
inline constexpr std::uint8_t kVerifying = 0xC0;
}  // namespace flash_status

namespace printer {
class FlashWork;
class StreamCheck;
}  // namespace printer

class VirtualPrinter {
 public:
  explicit VirtualPrinter(PrinterConfig config = {});
  ~VirtualPrinter();
  VirtualPrinter(const VirtualPrinter&) = delete;
  VirtualPrinter& operator=(const VirtualPrinter&) = delete;

  // Bytes from the host, in any split. Fails only when the link is told to break.
  IoResult Write(std::span<const std::uint8_t> bytes);
  // One whole reply (cut to the buffer), or 0 bytes when nothing is pending.
  IoResult Read(std::span<std::uint8_t> buffer);

  std::string_view DeviceId() const { return config_.deviceId; }
  const PrinterConfig& Config() const { return config_; }

  // The bytes received, in order, as far as PrinterConfig::receivedRecordLimit; ReceivedCount
  // counts them all.
  std::span<const std::uint8_t> Received() const { return received_; }
  std::uint64_t ReceivedCount() const { return receivedCount_; }
  // Every frame taken, as received (including ignored ones, but not rejected bytes).
  const std::vector<std::vector<std::uint8_t>>& Frames() const { return frames_; }
  std::span<const ProtocolFault> Faults() const { return faults_; }
  // Bytes of the last data stream taken after Download Firmware (0 before any).
  std::size_t LastStreamSize() const { return lastStreamSize_; }
  // The flash image; erased bytes read 0xFF.
  std::span<const std::uint8_t> Flash() const { return flash_; }
  bool JobOpen() const { return jobOpen_; }
  std::uint8_t MachineId() const { return machineId_; }
  // The write mode of the last Execute Flash Write (0 before any).
  std::uint32_t LastWriteMode() const { return lastWriteMode_; }

 private:
  enum class Input { kFrames, kStream, kDiscard };

  void Take(std::span<const std::uint8_t> bytes);
  std::size_t Consume(std::span<const std::uint8_t> bytes);
  void NoteFault(ProtocolFault::Kind kind, std::size_t offset);
  void HandleFrame(std::span<const std::uint8_t> frame, std::size_t offset);
  bool TakeNumber(std::uint8_t number, std::size_t offset);
  void StartJob(std::uint8_t number, std::span<const std::uint8_t> params);
  void EndJob();
  void RequestStatus(std::uint8_t kind);
  void DownloadFirmware(std::span<const std::uint8_t> params);
  void FinishStream();
  void ExecuteFlashWrite(std::span<const std::uint8_t> params);
  void LeaveFlashWork();

  PrinterConfig config_;
  std::vector<std::uint8_t> flash_;
  std::vector<std::uint8_t> receiveMemory_;
  std::vector<std::uint8_t> received_;
  std::uint64_t receivedCount_ = 0;
  std::vector<std::vector<std::uint8_t>> frames_;
  std::vector<ProtocolFault> faults_;

  // The start of a frame that has not fully arrived; taken_ is the offset of its first byte
  // (of the next byte to take when there is none).
  std::vector<std::uint8_t> pending_;
  std::size_t taken_ = 0;
  Input input_ = Input::kFrames;
  bool inStrayRun_ = false;

  bool jobOpen_ = false;
  std::uint8_t expectedNumber_ = 0;
  std::uint8_t machineId_ = 0;

  // The data stream, checked as it arrives.
  std::unique_ptr<printer::StreamCheck> stream_;
  std::size_t lastStreamSize_ = 0;
  bool haveStream_ = false;
  std::uint8_t streamVerdict_ = flash_status::kNoNews;

  std::uint32_t lastWriteMode_ = 0;
  std::unique_ptr<printer::FlashWork> work_;

  std::deque<std::vector<std::uint8_t>> replies_;
  std::uint32_t reads_ = 0;
  std::uint32_t writes_ = 0;
};

}  // namespace sim
