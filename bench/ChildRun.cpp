#include "ChildRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>

extern char** environ;

namespace bench {

ChildMeasurement RunChild(const std::vector<std::string>& arguments,
                          const std::string& standardOutput) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, standardOutput.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);

  ChildMeasurement measurement;
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return measurement;
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  measurement.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  measurement.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  measurement.peakResidentBytes = static_cast<std::uint64_t>(usage.ru_maxrss) * 1024U;
  return measurement;
}

}  // namespace bench
