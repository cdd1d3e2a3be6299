// Running a file tool as a user who owns none of the test's files, in a folder that user can
// reach: the way to see what a tool does with another user's or a write-protected file.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "flashtools/FileTools.h"
#include "flashtools/UserInterface.h"

namespace flashtools::test {

// A fresh folder under the system's temporary folder that every user may write to.
class SharedDir {
 public:
  SharedDir();
  ~SharedDir();
  SharedDir(const SharedDir&) = delete;
  SharedDir& operator=(const SharedDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

struct OtherUserRun {
  ToolResult result;
  std::string message;  // the first message the tool showed
};

// As root, runs tool in a child process that has become the user "nobody"; otherwise in this
// process, whose user is not root either.
OtherUserRun RunAsOtherUser(const std::function<ToolResult(UserInterface&)>& tool);

bool RunningAsRoot();

}  // namespace flashtools::test
