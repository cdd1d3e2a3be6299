// Runs the built zarnik-cli in a folder of its own and collects what it printed.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace cli_test {

namespace fs = std::filesystem;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline std::string Slurp(const fs::path& path) {
  std::string bytes(fs::file_size(path), '\0');
  std::ifstream(path, std::ios::binary)
      .read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// In a child process: runs zarnik-cli with the arguments in the folder. Never returns.
[[noreturn]] inline void ExecCli(const fs::path& folder, std::vector<std::string> arguments) {
  std::vector<char*> argv{const_cast<char*>(ZARNIK_CLI)};
  for (std::string& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  if (::chdir(folder.c_str()) == 0) {
    ::execv(ZARNIK_CLI, argv.data());
  }
  ::_exit(127);
}

class CliTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("ZARNIK_TEST_TMP");
    dir_ = fs::path(root != nullptr ? root : fs::temp_directory_path()) / "cli" /
           testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Path(const std::string& name) const { return dir_ / name; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

  // Runs zarnik-cli with arguments (already quoted where needed) in the test's folder, behind
  // a runner command when one is given.
  CliRun Cli(const std::string& arguments, const std::string& runner = "") const {
    const std::string command = "cd '" + dir_.string() + "' && " + runner + " '" ZARNIK_CLI "' " +
                                arguments + " >stdout.txt 2>stderr.txt </dev/null";
    const int raw = std::system(command.c_str());
    CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(Path("stdout.txt")),
               Slurp(Path("stderr.txt"))};
    fs::remove(Path("stdout.txt"));
    fs::remove(Path("stderr.txt"));
    return run;
  }

  fs::path dir_;
};

// For the printer commands: a settings file naming the parallel port, and a demo print data
// file made by add-header.
class PrinterCliTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    Write("s.ini", "[System]\nOutput=0\n");
    Write("payload.bin", std::string(3000, 'p'));
    ASSERT_EQ(Cli("add-header payload.bin demo.vop").status, 0);
  }
};

}  // namespace cli_test
