// How the commands of zarnik-cli plug into its parser. Each command lives in a file of its
// own and registers a subcommand; when that subcommand is chosen, its registration stores
// the work to run in the invocation, and main runs it after parsing.
#pragma once

#include <functional>

#include <CLI/CLI.hpp>

#include "flashtools/FileTools.h"

namespace cli {

inline constexpr int kExitSucceeded = 0;
inline constexpr int kExitToolFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr const char* kExitStatusNote =
    "Exit status: 0 when the command succeeded, 1 when it reported a failure, 2 for a usage "
    "error.";

// What the parsed command line asks for.
struct Invocation {
  std::function<int()> run;
};

using CommandRegistration = void (*)(CLI::App& app, Invocation& invocation);

void RegisterCheckCommand(CLI::App& app, Invocation& invocation);
void RegisterAddHeaderCommand(CLI::App& app, Invocation& invocation);
void RegisterArrangeBandsCommand(CLI::App& app, Invocation& invocation);

inline int ExitStatusOf(flashtools::ToolResult result) {
  return result == flashtools::ToolResult::kSucceeded ? kExitSucceeded : kExitToolFailed;
}

}  // namespace cli
