#include "PrinterLink.h"

#include "channel/PortChannel.h"

namespace flashjobs {

bool SendToPrinter(const PortTarget& port, std::span<const std::uint8_t> bytes) {
  channel::PortChannel channel;
  std::uint32_t written = 0;
  return channel.Write(port.portKind, port.transferMode, bytes.data(),
                       static_cast<std::uint32_t>(bytes.size()), &written,
                       port.outputFile.c_str()) != 0;
}

bool ReadFromPrinter(const PortTarget& port, ReplyBuffer& buffer, std::uint8_t readOption) {
  buffer.fill(0);
  channel::PortChannel channel;
  std::uint32_t received = 0;
  return channel.Read(port.portKind, port.transferMode, buffer.data(),
                      static_cast<std::uint32_t>(buffer.size()), readOption, &received) != 0;
}

std::string PortLastMessage() {
  channel::PortChannel channel;
  const char* text = channel.LastMessage();
  return text != nullptr ? std::string(text) : std::string();
}

bool ChannelReplySource::ReadReply(ReplyBuffer& buffer) {
  return ReadFromPrinter(port_, buffer, 0);
}

}  // namespace flashjobs
