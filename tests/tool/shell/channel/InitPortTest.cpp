// "&Init Port" through the port channel on the simulated machine with direct register access:
// the port library's reset sequence reaches the printer's interface.
#include <gtest/gtest.h>

#include <cstdlib>

#include "channel/PortChannel.h"
#include "simulate/Simulation.h"

namespace {

TEST(InitPort, ResetsThePrinterOnThePortRegisters) {
  std::string error;
  ::setenv("ZARNIK_LPT_ACCESS", "direct", 1);
  const auto simulation = simulate::Simulation::Start({}, error);
  ::unsetenv("ZARNIK_LPT_ACCESS");
  ASSERT_NE(simulation, nullptr) << error;
  ASSERT_NE(simulation->RegisterInterface(), nullptr);
  channel::PortChannel().InitLptPort();
  EXPECT_EQ(simulation->RegisterInterface()->Journal(), std::vector<std::string>{"reset"});
}

}  // namespace
