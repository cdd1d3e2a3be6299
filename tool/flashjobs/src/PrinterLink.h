// Sending a frame and reading a reply through the port channel, one channel per call.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>

#include "flashjobs/JobControl.h"
#include "flashjobs/PortTarget.h"
#include "flashjobs/PrinterReplies.h"
#include "flashjobs/StatusPoller.h"

namespace flashjobs {

// One write of all bytes; true when the port library reports success. A write that failed
// after part of the bytes went is noted in the control (PrinterMidMessage).
bool SendToPrinter(const PortTarget& port, std::span<const std::uint8_t> bytes,
                   JobControl& control);
// Clears the reply and reads one of up to 256 bytes with the read option; the reply's size
// is the number of bytes the port library says came. False when the read failed.
bool ReadFromPrinter(const PortTarget& port, Reply& reply, std::uint8_t readOption);
// The port library's text for its last failure.
std::string PortLastMessage();

// The data stream in one write, marked in the control while it goes (DataStreamProgress.h).
// Any failure short of all its bytes leaves the printer waiting for the rest.
bool SendDataStream(const PortTarget& port, std::span<const std::uint8_t> bytes,
                    JobControl& control);

// The port a job holds from before its Start Job until after its last frame, so that no other
// program can put its bytes between two frames of the job. Closed when it goes out of scope.
class HeldPort {
 public:
  explicit HeldPort(const PortTarget& port) : port_(port) {}
  ~HeldPort();
  HeldPort(const HeldPort&) = delete;
  HeldPort& operator=(const HeldPort&) = delete;

  // False when the port cannot be had (its failure is the library's last message).
  bool Open();

 private:
  const PortTarget& port_;
  bool opened_ = false;
};

// Opening a job: the port taken, number 0, Start Job, then (after pause, when given) its
// reply. The control's stage follows: kTransfer stands for "open" and is left for the caller
// to refine. A port that cannot be had is a Start Job not sent; a stop asked for while the port
// was being opened sends nothing (kStopped).
enum class JobOpening { kNotSent, kStopped, kNoAnswer, kRefused, kAccepted };
JobOpening OpenJob(HeldPort& held, const PortTarget& port, std::uint8_t machineId,
                   std::uint8_t& number, JobControl& control, const std::function<void()>& pause);

// Raises the command number and sends End Job, the control's stage following. False when the
// frame did not go, and when it is not sent because the printer is in the middle of a message.
bool CloseJob(const PortTarget& port, std::uint8_t& number, JobControl& control);

// The Status Display's replies: read option 0, through the port channel.
class ChannelReplySource : public ReplySource {
 public:
  explicit ChannelReplySource(PortTarget port) : port_(std::move(port)) {}
  bool ReadReply(Reply& reply) override;

 private:
  PortTarget port_;
};

}  // namespace flashjobs
