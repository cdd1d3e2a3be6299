#include "PrinterLink.h"

#include <algorithm>
#include <chrono>

#include "JobFrames.h"
#include "channel/PortChannel.h"
#include "platform/WriteProgress.h"
#include "protocol/CommandNumber.h"

namespace flashjobs {
namespace {

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// One write; written is what the port library says went, also when it failed.
bool Write(const PortTarget& port, std::span<const std::uint8_t> bytes, std::uint32_t& written) {
  written = 0;
  return channel::PortChannel().Write(port.portKind, port.transferMode, bytes.data(),
                                      static_cast<std::uint32_t>(bytes.size()), &written,
                                      port.outputFile.c_str()) != 0;
}

}  // namespace

bool SendToPrinter(const PortTarget& port, std::span<const std::uint8_t> bytes,
                   JobControl& control) {
  std::uint32_t written = 0;
  const bool sent = Write(port, bytes, written);
  // A failed write that counted bytes may have left the printer with part of the frame, even
  // when all of them were counted: a FIFO write counts what it put in the FIFO.
  if (!sent && written > 0) {
    control.NotePrinterMidMessage();
  }
  return sent;
}

bool ReadFromPrinter(const PortTarget& port, Reply& reply, std::uint8_t readOption) {
  reply = Reply{};
  channel::PortChannel channel;
  std::uint32_t received = 0;
  const bool read =
      channel.Read(port.portKind, port.transferMode, reply.bytes.data(),
                   static_cast<std::uint32_t>(reply.bytes.size()), readOption, &received) != 0;
  reply.size = read ? std::min<std::size_t>(received, reply.bytes.size()) : 0;
  return read;
}

std::string PortLastMessage() {
  channel::PortChannel channel;
  const char* text = channel.LastMessage();
  return text != nullptr ? std::string(text) : std::string();
}

bool SendDataStream(const PortTarget& port, std::span<const std::uint8_t> bytes,
                    JobControl& control) {
  const std::uint64_t base = platform::BytesTakenSinceStart();
  control.BeginStream(bytes.size(), base, NowNs());
  std::uint32_t written = 0;
  const bool sent = Write(port, bytes, written);
  if (!sent) {
    control.NotePrinterMidMessage();
  }
  control.EndStream(std::min<std::uint64_t>(platform::BytesTakenSinceStart() - base, bytes.size()),
                    NowNs());
  return sent;
}

HeldPort::~HeldPort() {
  if (opened_) {
    channel::PortChannel().Close(port_.portKind);
  }
}

bool HeldPort::Open() {
  opened_ = channel::PortChannel().Open(port_.portKind, port_.transferMode,
                                        port_.outputFile.c_str()) != 0;
  return opened_;
}

JobOpening OpenJob(HeldPort& held, const PortTarget& port, std::uint8_t machineId,
                   std::uint8_t& number, JobControl& control, const std::function<void()>& pause) {
  number = 0;
  // Opening the port sends nothing: the stage says Start Job is on its way only once it is.
  if (!held.Open()) {
    control.Enter(JobStage::kNotOpened);
    return JobOpening::kNotSent;
  }
  if (control.StopRequested()) {
    control.Enter(JobStage::kNotOpened);
    return JobOpening::kStopped;
  }
  control.Enter(JobStage::kOpening);
  if (!SendToPrinter(port, BuildStartJob(number, machineId), control)) {
    control.Enter(JobStage::kNotOpened);
    return JobOpening::kNotSent;
  }
  if (pause) {
    pause();
  }
  // A reply that ends before its result byte is no answer: a silent printer has accepted
  // nothing.
  Reply reply;
  const JobAnswer answer =
      ReadFromPrinter(port, reply, 0) ? StartJobAnswer(reply) : JobAnswer::kNoAnswer;
  if (answer != JobAnswer::kAccepted) {
    control.Enter(JobStage::kNotOpened);
    return answer == JobAnswer::kRefused ? JobOpening::kRefused : JobOpening::kNoAnswer;
  }
  control.Enter(JobStage::kTransfer);
  return JobOpening::kAccepted;
}

bool CloseJob(const PortTarget& port, std::uint8_t& number, JobControl& control) {
  // The printer would take End Job as the rest of what was cut short. The port library is not
  // asked, so its last failure is no reason to show for this one.
  if (control.PrinterMidMessage()) {
    channel::ForgetLastCall();
    return false;
  }
  control.Enter(JobStage::kClosing);
  protocol::RaiseCommandNumber(number);
  if (!SendToPrinter(port, BuildEndJob(number), control)) {
    return false;
  }
  control.Enter(JobStage::kClosed);
  return true;
}

bool ChannelReplySource::ReadReply(Reply& reply) {
  return ReadFromPrinter(port_, reply, 0);
}

}  // namespace flashjobs
