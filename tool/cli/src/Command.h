// How the commands of zarnik-cli plug into its parser. Each command lives in a file of its
// own and registers a subcommand; when that subcommand is chosen, its registration stores
// the work to run in the invocation, and main runs it after parsing.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "flashtools/FileTools.h"

namespace cli {

inline constexpr int kExitSucceeded = 0;
inline constexpr int kExitToolFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;
inline constexpr const char* kExitStatusNote =
    "Exit status: 0 when the command succeeded, 1 when it reported a failure, 2 for a usage "
    "error, 130 when a printer job was interrupted (Ctrl-C, SIGTERM, SIGHUP).";

// The options that come before the command and apply to every command.
struct GlobalOptions {
  std::optional<std::string> settingsFile;  // --settings FILE
  std::optional<std::string> port;          // --port lpt|usb, for this run only
  bool simulate = false;                    // --simulate
  std::optional<std::string> simConfig;     // --sim-config FILE
  std::optional<std::string> simTrace;      // --sim-trace FILE
};

// What the parsed command line asks for.
struct Invocation {
  std::function<int()> run;
  GlobalOptions global;
  // Whether the standard output is the command's result (a report, a listing) rather than
  // progress beside a job whose outcome is the printer's.
  bool outputIsResult = true;
  std::vector<std::filesystem::path> files;  // the files the command reads or writes
};

using CommandRegistration = void (*)(CLI::App& app, Invocation& invocation);

void RegisterCheckCommand(CLI::App& app, Invocation& invocation);
void RegisterAddHeaderCommand(CLI::App& app, Invocation& invocation);
void RegisterArrangeBandsCommand(CLI::App& app, Invocation& invocation);
void RegisterFlashCommand(CLI::App& app, Invocation& invocation);
void RegisterVersionCommand(CLI::App& app, Invocation& invocation);
void RegisterListCommand(CLI::App& app, Invocation& invocation);

inline int ExitStatusOf(flashtools::ToolResult result) {
  return result == flashtools::ToolResult::kSucceeded ? kExitSucceeded : kExitToolFailed;
}

}  // namespace cli
