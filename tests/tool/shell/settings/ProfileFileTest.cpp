#include "settings/ProfileFile.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "cleanup/RemoveOnSignal.h"
#include "settings/ProfileText.h"
#include "settings/UnsavedSettings.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;
using testing_support::WriteText;

// A file as a person edits it: comments, blanks around names and values, mixed case,
// Windows line endings in places, a key before any section, a duplicate section.
constexpr std::string_view kHandWritten =
    "; Zarnik settings\r\n"
    "stray=1\r\n"
    "\r\n"
    "[ system ]\r\n"
    "  Output =  0  \r\n"
    "# the port\r\n"
    "timeout=25 seconds\r\n"
    "OutputFile = \"/tmp/out put.prn\"\r\n"
    "Empty=\r\n"
    "Word=abc\r\n"
    "Negative= -20\r\n"
    "\r\n"
    "[VopMaker]\r\n"
    "ReadFile=in.bin\r\n"
    "[SYSTEM]\r\n"
    "Output=7\r\n";

class ProfileFileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::filesystem::path path_ = folder_ / "zarnik.INI";
  settings::ProfileFile file_{path_};
};

TEST_F(ProfileFileTest, ReadsIntegersOfAHandWrittenFileAsTheProfileCallDoes) {
  WriteText(path_, kHandWritten);
  EXPECT_EQ(file_.ReadInt("System", "OUTPUT", 1), 0);      // names match in any case
  EXPECT_EQ(file_.ReadInt("system", "TimeOut", 10), 25);   // digits up to a non-digit
  EXPECT_EQ(file_.ReadInt("System", "Word", 5), 0);        // present but no number
  EXPECT_EQ(file_.ReadInt("System", "Empty", 5), 5);       // present but empty
  EXPECT_EQ(file_.ReadInt("System", "Negative", 0), -20);  // sign after blanks
  EXPECT_EQ(file_.ReadInt("System", "Missing", -1), -1);   // missing key
  EXPECT_EQ(file_.ReadInt("Nowhere", "Output", 3), 3);     // missing section
  EXPECT_EQ(file_.ReadInt("System", "stray", 9), 9);       // keys before any section
  EXPECT_EQ(file_.ReadInt("System", "# the port", 9), 9);  // comments are no keys
  EXPECT_EQ(file_.ReadInt("VopMaker", "Output", 4), 4);    // sections do not mix
}

TEST_F(ProfileFileTest, FirstSectionAndFirstKeyWin) {
  WriteText(path_, kHandWritten);
  EXPECT_EQ(file_.ReadInt("System", "Output", 1), 0);
  WriteText(path_, "[A]\nk=1\nK=2\n");
  EXPECT_FALSE(file_.Load());
  EXPECT_EQ(file_.ReadInt("a", "k", 0), 1);
}

TEST_F(ProfileFileTest, ReadsOncePerLoadAndWritesOntoTheFileAsItIsNow) {
  WriteText(path_, "[System]\nOutput=0\n");
  EXPECT_EQ(file_.ReadInt("System", "Output", 1), 0);
  // Another program saves meanwhile: reads keep the text this one loaded...
  WriteText(path_, "[System]\nOutput=1\nMode=2\n");
  EXPECT_EQ(file_.ReadInt("System", "Mode", 0), 0);
  // ...and a write starts from the file as it is now, so the other program's keys stay.
  ASSERT_TRUE(file_.WriteInt("System", "TimeOut", 30));
  EXPECT_EQ(ReadText(path_), "[System]\nOutput=1\nMode=2\nTimeOut=30\n");
  EXPECT_EQ(file_.ReadInt("System", "Mode", 0), 2);
}

TEST_F(ProfileFileTest, PathsThatAreNoReadableFileAreErrorsNotDefaults) {
  const auto reasonOf = [](const std::filesystem::path& path) {
    const auto failure = settings::ProfileFile(path).Load();
    return failure ? failure->reason : std::string("read");
  };
  std::filesystem::create_directories(folder_ / "folder");
  ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(reasonOf(folder_ / "folder"), "it is a folder");
  EXPECT_EQ(reasonOf(folder_ / "missing" / "zarnik.INI"), "its folder does not exist");
  EXPECT_EQ(reasonOf(folder_ / "fifo"), "it is not a regular file");  // and no wait for a writer
  EXPECT_EQ(reasonOf(path_), "read");  // a first run: no file yet in a folder that exists
  EXPECT_EQ(reasonOf(""), "no file is named");
  std::filesystem::create_symlink("missing/zarnik.INI", folder_ / "link");  // a share not mounted
  EXPECT_EQ(reasonOf(folder_ / "link"), "its folder does not exist");
  WriteText(folder_ / "huge", "");
  std::filesystem::resize_file(folder_ / "huge", (std::uintmax_t{64} << 20U) + 1);
  EXPECT_EQ(reasonOf(folder_ / "huge"), "it is larger than 64 MiB");  // not read whole

  // Nothing replaces what is not a settings file.
  EXPECT_FALSE(settings::ProfileFile(folder_ / "fifo").WriteInt("System", "Output", 0));
  EXPECT_TRUE(std::filesystem::is_fifo(folder_ / "fifo"));
  EXPECT_FALSE(settings::ProfileFile(folder_ / "huge").WriteInt("System", "Output", 0));
  EXPECT_EQ(std::filesystem::file_size(folder_ / "huge"), (std::uintmax_t{64} << 20U) + 1);
}

TEST_F(ProfileFileTest, ProgramsSavingAtOnceKeepEachOthersKeys) {
  constexpr int kWriters = 4;
  constexpr int kKeysEach = 25;
  std::vector<std::thread> writers;
  writers.reserve(kWriters);
  for (int writer = 0; writer < kWriters; ++writer) {
    writers.emplace_back([this, writer] {
      const settings::ProfileFile own(path_);  // each with its own open file, as a program
      for (int key = 0; key < kKeysEach; ++key) {
        own.WriteInt("System", "K" + std::to_string(writer) + "_" + std::to_string(key), key);
      }
    });
  }
  for (auto& writer : writers) {
    writer.join();
  }
  EXPECT_EQ(settings::ProfileKeys(ReadText(path_), "System").size(),
            static_cast<std::size_t>(kWriters * kKeysEach));
}

TEST_F(ProfileFileTest, InterruptedWriteLeavesNoTemporaryFile) {
  WriteText(path_, "[System]\nOutput=0\n");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    cleanup::InstallSignalCleanup();
    // Big enough that the signal below arrives while the temporary file is being written.
    file_.WriteString("System", "Big", std::string(std::size_t{16} << 20U, 'b'));
    ::_exit(0);
  }
  // Signal the child as soon as its temporary file exists.
  bool seen = false;
  for (int poll = 0; poll < 20000 && !seen; ++poll) {
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
      seen = seen || entry.path() != path_;
    }
    if (!seen) {
      ::usleep(500);
    }
  }
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(seen);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the write ended before the signal came";
  std::vector<std::filesystem::path> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
    left.push_back(entry.path().filename());
  }
  EXPECT_EQ(left, std::vector<std::filesystem::path>{"zarnik.INI"});
  EXPECT_EQ(ReadText(path_), "[System]\nOutput=0\n");
}

TEST_F(ProfileFileTest, ReadsTextTrimmedUnquotedAndCut) {
  WriteText(path_, kHandWritten);
  EXPECT_EQ(file_.ReadString("System", "OutputFile", "", 255), "/tmp/out put.prn");
  EXPECT_EQ(file_.ReadString("System", "OutputFile", "", 4), "/tmp");
  EXPECT_EQ(file_.ReadString("System", "Missing", "default", 255), "default");
  EXPECT_EQ(file_.ReadString("System", "Missing", "default", 3), "def");
  EXPECT_EQ(file_.ReadString("System", "Empty", "default", 255), "");
}

TEST_F(ProfileFileTest, MissingFileGivesDefaultsAndIsCreatedByAWrite) {
  EXPECT_EQ(file_.ReadInt("System", "Output", 1), 1);
  EXPECT_EQ(file_.ReadString("System", "LogFile", "", 255), "");
  ASSERT_TRUE(file_.WriteInt("System", "ECPNegotiationDelay", 5000));
  EXPECT_EQ(ReadText(path_), "[System]\nECPNegotiationDelay=5000\n");
}

TEST_F(ProfileFileTest, WriteKeepsEveryOtherLine) {
  WriteText(path_, kHandWritten);
  ASSERT_TRUE(file_.WriteInt("SYSTEM", "output", -1));
  ASSERT_TRUE(file_.WriteString("System", "LogFile", "log.txt"));
  ASSERT_TRUE(file_.WriteString("BandAdjust", "InputFile", "a b"));
  const std::string expected =
      "; Zarnik settings\r\n"
      "stray=1\r\n"
      "\r\n"
      "[ system ]\r\n"
      "Output=-1\r\n"
      "# the port\r\n"
      "timeout=25 seconds\r\n"
      "OutputFile = \"/tmp/out put.prn\"\r\n"
      "Empty=\r\n"
      "Word=abc\r\n"
      "Negative= -20\r\n"
      "LogFile=log.txt\r\n"
      "\r\n"
      "[VopMaker]\r\n"
      "ReadFile=in.bin\r\n"
      "[SYSTEM]\r\n"
      "Output=7\r\n"
      "\r\n"
      "[BandAdjust]\r\n"
      "InputFile=a b\r\n";
  EXPECT_EQ(ReadText(path_), expected);
  EXPECT_EQ(file_.ReadInt("System", "Output", 1), -1);
}

TEST_F(ProfileFileTest, WriteIntoLastLineWithoutEnding) {
  WriteText(path_, "[System]\nOutput=1");
  ASSERT_TRUE(file_.WriteInt("System", "Output", 0));
  EXPECT_EQ(ReadText(path_), "[System]\nOutput=0");
  ASSERT_TRUE(file_.WriteInt("System", "Mode", 2));
  EXPECT_EQ(ReadText(path_), "[System]\nOutput=0\nMode=2\n");
  WriteText(path_, "[Other]");
  ASSERT_TRUE(file_.WriteInt("Other", "Key", 3));
  EXPECT_EQ(ReadText(path_), "[Other]\nKey=3\n");
}

// Editors that save as UTF-8 may put a byte order mark first; the section after it counts.
TEST_F(ProfileFileTest, AByteOrderMarkBeforeTheFirstSectionIsKeptAndPassedOver) {
  WriteText(path_, "\xEF\xBB\xBF[System]\r\nOutput=0\r\n");
  EXPECT_EQ(file_.ReadInt("System", "Output", 1), 0);
  ASSERT_TRUE(file_.WriteInt("System", "Mode", 2));
  EXPECT_EQ(ReadText(path_), "\xEF\xBB\xBF[System]\r\nOutput=0\r\nMode=2\r\n");
}

TEST_F(ProfileFileTest, RefusesValuesThatWouldBecomeLinesOfTheirOwn) {
  WriteText(path_, "[System]\nOutputFile=a\n");
  EXPECT_FALSE(file_.WriteString("System", "OutputFile", "x\n[System]\nOutput=9"));
  EXPECT_EQ(ReadText(path_), "[System]\nOutputFile=a\n");
}

TEST_F(ProfileFileTest, ValuesTheFileHoldsAlreadyAreNotWrittenAgain) {
  WriteText(path_, "[System]\nVid = 0000\nPid=0000\n");
  const auto inode = [this] {
    struct stat info {};
    ::stat(path_.c_str(), &info);
    return info.st_ino;
  };
  const auto before = inode();
  ASSERT_TRUE(file_.Write("System", {{"Vid", "0000"}, {"Pid", "0000"}}));
  EXPECT_EQ(inode(), before);  // not replaced
  ASSERT_TRUE(file_.Write("System", {{"Vid", "0000"}, {"Mode", "0"}}));
  EXPECT_EQ(ReadText(path_), "[System]\nVid = 0000\nPid=0000\nMode=0\n");
}

TEST_F(ProfileFileTest, WriteReplacesTheFileInOneStep) {
  WriteText(path_, "[System]\nOutput=1\n");
  const auto before = std::filesystem::status(path_).permissions();
  ASSERT_TRUE(file_.WriteInt("System", "Output", 0));
  // Nothing but the settings file is left in the folder, and it keeps its permissions.
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1U);
  EXPECT_EQ(std::filesystem::status(path_).permissions(), before);
}

TEST_F(ProfileFileTest, FailedWriteLeavesTheFileAsItWas) {
  // A folder in the file's place cannot be replaced by a file.
  const settings::ProfileFile blocked(folder_ / "sub");
  std::filesystem::create_directories(folder_ / "sub" / "inner");
  EXPECT_FALSE(blocked.WriteInt("System", "Output", 0));
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "sub" / "inner"));
  // A file in a folder that does not exist cannot be written at all.
  const settings::ProfileFile nowhere(folder_ / "missing" / "zarnik.INI");
  EXPECT_FALSE(nowhere.WriteInt("System", "Output", 0));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

TEST_F(ProfileFileTest, WriteThroughASymbolicLinkKeepsTheLink) {
  WriteText(folder_ / "real.INI", "[System]\nOutput=1\n");
  std::filesystem::create_symlink("real.INI", path_);
  ASSERT_TRUE(file_.WriteInt("System", "Output", 0));
  EXPECT_TRUE(std::filesystem::is_symlink(path_));
  EXPECT_EQ(ReadText(folder_ / "real.INI"), "[System]\nOutput=0\n");

  // A link to a file not made yet: the file is made where the link points, beside its link.
  std::filesystem::create_directories(folder_ / "sub");
  std::filesystem::create_symlink("sub/new.INI", folder_ / "first.INI");
  ASSERT_TRUE(settings::ProfileFile(folder_ / "first.INI").WriteInt("System", "Output", 1));
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "first.INI"));
  EXPECT_EQ(ReadText(folder_ / "sub" / "new.INI"), "[System]\nOutput=1\n");
}

TEST(ProfileTextTest, KeysOfEverySectionOfThatName) {
  EXPECT_EQ(settings::ProfileKeys("[Printer]\nA=1\n; B=2\n[Other]\nC=3\n[printer]\n d = 4\nnone\n",
                                  "PRINTER"),
            (std::vector<std::string>{"A", "d"}));
}

TEST(UnsavedSettingsTest, EachFileIsToldOnceWithItsPathAndReason) {
  while (settings::TakeUntoldUnsavedSettings()) {
  }
  settings::NoteUnsavedSettings({"/ro/a.INI", "permission denied"});
  settings::NoteUnsavedSettings({"/ro/b.INI", "read-only file system"});  // one waits already
  const auto first = settings::TakeUntoldUnsavedSettings();
  ASSERT_TRUE(first);
  EXPECT_EQ(settings::DescribeUnsavedSettings(*first),
            "The settings cannot be saved to /ro/a.INI (permission denied). Changes made in "
            "this run are lost when the program ends.");
  EXPECT_FALSE(settings::TakeUntoldUnsavedSettings());
  settings::NoteUnsavedSettings({"/ro/a.INI", "permission denied"});  // told before
  EXPECT_FALSE(settings::TakeUntoldUnsavedSettings());
  settings::NoteUnsavedSettings({"/ro/b.INI", "read-only file system"});
  EXPECT_EQ(settings::TakeUntoldUnsavedSettings()->path, "/ro/b.INI");
}

TEST(ProfileIntegerTest, ReadsLikeTheProfileCall) {
  EXPECT_EQ(settings::ProfileInteger("  42"), 42);
  EXPECT_EQ(settings::ProfileInteger("+7"), 7);
  EXPECT_EQ(settings::ProfileInteger("-1"), -1);
  EXPECT_EQ(settings::ProfileInteger("102abc"), 102);
  EXPECT_EQ(settings::ProfileInteger("abc"), 0);
  EXPECT_EQ(settings::ProfileInteger("-"), 0);
  EXPECT_EQ(settings::ProfileInteger("0x10"), 0);
  EXPECT_EQ(settings::ProfileInteger("4294967295"), -1);  // wraps at 32 bits
}

}  // namespace
