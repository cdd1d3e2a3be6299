// A device in front of another: opens, closes, reads and device controls pass straight
// through to the device behind; a subclass changes what it needs (a write, usually).
#pragma once

#include <memory>
#include <utility>

#include "sim/Device.h"

namespace sim {

class PassThroughDevice : public Device {
 public:
  explicit PassThroughDevice(std::shared_ptr<Device> behind) : behind_(std::move(behind)) {}

  IoResult Open() override { return behind_->Open(); }
  void Close() override { behind_->Close(); }
  IoResult Write(std::span<const std::uint8_t> data) override { return behind_->Write(data); }
  IoResult Read(std::span<std::uint8_t> buffer) override { return behind_->Read(buffer); }
  IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                     std::span<std::uint8_t> out) override {
    return behind_->IoControl(code, in, out);
  }

 protected:
  Device& Behind() { return *behind_; }

 private:
  std::shared_ptr<Device> behind_;
};

}  // namespace sim
