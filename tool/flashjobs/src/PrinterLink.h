// Sending a frame and reading a reply through the port channel, one channel per call.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "flashjobs/PortTarget.h"
#include "flashjobs/StatusPoller.h"

namespace flashjobs {

// One write of all bytes; true when the port library reports success.
bool SendToPrinter(const PortTarget& port, std::span<const std::uint8_t> bytes);
// Clears the buffer and reads one reply of up to 256 bytes with the read option.
bool ReadFromPrinter(const PortTarget& port, ReplyBuffer& buffer, std::uint8_t readOption);
// The port library's text for its last failure.
std::string PortLastMessage();

// The Status Display's replies: read option 0, through the port channel.
class ChannelReplySource : public ReplySource {
 public:
  explicit ChannelReplySource(PortTarget port) : port_(std::move(port)) {}
  bool ReadReply(ReplyBuffer& buffer) override;

 private:
  PortTarget port_;
};

}  // namespace flashjobs
