#include "InputGenerator.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <vector>

#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace bench {
namespace {

constexpr std::uint16_t kBandsPerPage = 32;
constexpr std::uint32_t kBandBytes = 64 * 1024;

class FrameWriter {
 public:
  explicit FrameWriter(std::ofstream& out) : out_(out) {}

  void Frame(std::uint8_t code, std::span<const std::uint8_t> parameters, bool startsJob = false) {
    std::array<std::uint8_t, 64> frame{};
    if (startsJob) {
      number_ = 0;
    }
    const std::size_t size = protocol::WriteFrame(frame.data(), code, number_++, parameters);
    Bytes({frame.data(), size});
  }

  void Bytes(std::span<const std::uint8_t> bytes) {
    out_.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    written_ += bytes.size();
  }

  std::uint64_t written() const { return written_; }

 private:
  std::ofstream& out_;
  std::uint8_t number_ = 0;
  std::uint64_t written_ = 0;
};

void FillPseudoRandom(std::vector<std::uint8_t>& bytes, std::uint32_t& state) {
  for (std::uint8_t& byte : bytes) {
    state = state * 1664525U + 1013904223U;
    byte = static_cast<std::uint8_t>(state >> 24U);
  }
}

}  // namespace

std::uint64_t WritePrintDataStream(const std::filesystem::path& path, std::uint64_t minimumBytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  FrameWriter writer(out);
  std::vector<std::uint8_t> band(kBandBytes);
  std::uint32_t state = 1;
  FillPseudoRandom(band, state);

  writer.Frame(protocol::code::kStartJob, std::array<std::uint8_t, 2>{0xFF, 0x10}, true);
  writer.Frame(protocol::code::kSetJobInformation, std::array<std::uint8_t, 8>{});
  while (writer.written() < minimumBytes) {
    std::array<std::uint8_t, 28> page{};
    page[0] = 0xF0;
    protocol::StoreU16(&page[10], kBandsPerPage);
    writer.Frame(protocol::code::kSetPageInformation, page);
    for (std::uint16_t index = 0; index < kBandsPerPage; ++index) {
      std::array<std::uint8_t, 8> header{};
      protocol::StoreU32(&header[0], kBandBytes);
      header[4] = static_cast<std::uint8_t>(index / (kBandsPerPage / 4));
      protocol::StoreU16(&header[6], 64);
      writer.Frame(protocol::code::kSendBand, header);
      writer.Bytes(band);
    }
    writer.Frame(protocol::code::kEndPrintData, std::array<std::uint8_t, 1>{});
  }
  writer.Frame(protocol::code::kEndJob, std::array<std::uint8_t, 1>{});
  return writer.written();
}

void WritePayload(const std::filesystem::path& path, std::uint64_t bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::vector<std::uint8_t> block(std::size_t{1} << 20);
  std::uint32_t state = 7;
  for (std::uint64_t written = 0; written < bytes;) {
    FillPseudoRandom(block, state);
    const std::uint64_t count = std::min<std::uint64_t>(block.size(), bytes - written);
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(count));
    written += count;
  }
}

}  // namespace bench
