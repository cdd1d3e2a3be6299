// Runs the port library on a fresh simulated machine and leaves the library as it found it:
// parameter block, debug level and ports.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "VopP2.h"
#include "sim/ComLine.h"
#include "sim/Machine.h"

class VopP2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    static const VopP2Param defaults = *VopP2GetParamPtr();
    *VopP2GetParamPtr() = defaults;
    previous_ = platform::Install(&machine);
    VopP2SetDebugLevel(-1);
    messageAtStart = VopP2GetMessage();
  }
  void TearDown() override {
    VopP2SetDebugLevel(-2);
    VopP2Close(PORT_FILE | PORT_COM);
    VopP2SetDebugLevel(-1);
    platform::Install(previous_);
  }

  VopP2Param& param() { return *VopP2GetParamPtr(); }
  std::string message() const { return VopP2GetMessage(); }
  bool Logged(const std::string& line) const {
    const auto lines = machine.DebugLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::shared_ptr<sim::ComLine> AttachCom(const char* path = R"(\\.\COM1)") {
    auto line = std::make_shared<sim::ComLine>();
    machine.AttachDevice(path, line);
    return line;
  }
  // Sets a message no call of the test makes, to see whether later calls replace it.
  void MarkMessage() {
    param().dwComNumber = 99;
    VopP2Open(PORT_COM);  // no \\.\COM99 on the machine
    param().dwComNumber = 1;
  }

  sim::Machine machine;
  // The last message before the test ran ("None" in a fresh process).
  std::string messageAtStart;

 private:
  platform::Services* previous_ = nullptr;
};
