#include "OtherUser.h"

#include <grp.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>

#include "TestSupport.h"

namespace flashtools::test {
namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

SharedDir::SharedDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zarnik-shared.XXXXXX").string();
  path_ = ::mkdtemp(pattern.data());
  std::filesystem::permissions(path_, std::filesystem::perms::all);
}

SharedDir::~SharedDir() {
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
  }
  std::filesystem::remove_all(path_, error);
}

bool RunningAsRoot() {
  return ::geteuid() == 0;
}

OtherUserRun RunAsOtherUser(const std::function<ToolResult(UserInterface&)>& tool) {
  if (!RunningAsRoot()) {
    RecordingUserInterface ui;
    const ToolResult result = tool(ui);
    return {result, ui.messages.empty() ? std::string() : ui.messages[0].text};
  }
  std::array<int, 2> pipe{};
  if (::pipe(pipe.data()) != 0) {
    ADD_FAILURE() << "no pipe";
    return {ToolResult::kFailed, {}};
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    int status = 100;
    if (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) {
      RecordingUserInterface ui;
      status = static_cast<int>(tool(ui));
      const std::string message = ui.messages.empty() ? std::string() : ui.messages[0].text;
      const ssize_t written = ::write(pipe[1], message.data(), message.size());
      status = written == static_cast<ssize_t>(message.size()) ? status : 101;
    }
    ::_exit(status);
  }
  ::close(pipe[1]);
  std::string message;
  std::array<char, 512> block{};
  for (ssize_t got = 0; (got = ::read(pipe[0], block.data(), block.size())) > 0;) {
    message.append(block.data(), static_cast<std::size_t>(got));
  }
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 102;
  EXPECT_LE(code, static_cast<int>(ToolResult::kFailedKeepOpen)) << "the child could not run";
  return {static_cast<ToolResult>(code), message};
}

}  // namespace flashtools::test
