#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "FileText.h"
#include "TempFolder.h"
#include "platform/Services.h"
#include "platform/WriteProgress.h"

namespace {

using namespace platform;

using testsupport::FileText;

void Put(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class LinuxFiles : public ::testing::Test {
 protected:
  Services& os = RealMachine();
  testsupport::TempFolder folder;

  Handle Open(const std::string& path, std::uint32_t disposition, std::uint32_t share = 0) {
    return os.CreateFile(path.c_str(), kGenericRead | kGenericWrite, share, disposition,
                         kFileAttributeNormal);
  }
  bool Write(Handle handle, const std::string& text) {
    std::uint32_t written = 0;
    return os.WriteFile(handle, text.data(), static_cast<std::uint32_t>(text.size()), &written) &&
           written == text.size();
  }
};

TEST_F(LinuxFiles, DispositionsCreateKeepOrTruncate) {
  const std::string path = folder.File("out.prn");
  Handle handle = Open(path, kOpenAlways);
  ASSERT_NE(handle, kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorSuccess);  // made new
  EXPECT_TRUE(Write(handle, "abc"));
  EXPECT_TRUE(os.CloseHandle(handle));

  handle = Open(path, kOpenAlways);
  ASSERT_NE(handle, kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorAlreadyExists);
  std::int64_t end = 0;
  EXPECT_TRUE(os.SetFilePointerEx(handle, 0, &end, kFileEnd));
  EXPECT_EQ(end, 3);
  EXPECT_TRUE(Write(handle, "def"));
  EXPECT_TRUE(os.CloseHandle(handle));
  EXPECT_EQ(FileText(path), "abcdef");

  handle = Open(path, kCreateNew);
  EXPECT_EQ(handle, kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorFileExists);

  handle = Open(path, kCreateAlways);
  ASSERT_NE(handle, kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorAlreadyExists);
  EXPECT_TRUE(os.CloseHandle(handle));
  EXPECT_EQ(FileText(path), "");
}

TEST_F(LinuxFiles, MissingFileAndMissingFolderAreTold) {
  EXPECT_EQ(Open(folder.File("none.prn"), kOpenExisting), kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorFileNotFound);
  EXPECT_EQ(Open(folder.File("no/such/folder/out.prn"), kOpenAlways), kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorPathNotFound);
  EXPECT_EQ(Open(R"(\\.\NOSUCHDEVICE)", kOpenExisting), kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorFileNotFound);
}

TEST_F(LinuxFiles, NoSharingKeepsOutASecondOpener) {
  const std::string path = folder.File("held.prn");
  const Handle first = Open(path, kOpenAlways);
  ASSERT_NE(first, kInvalidHandle);
  EXPECT_EQ(Open(path, kOpenAlways), kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorSharingViolation);
  EXPECT_EQ(Open(path, kOpenAlways, kFileShareRead), kInvalidHandle);
  EXPECT_TRUE(os.CloseHandle(first));

  const Handle shared = Open(path, kOpenAlways, kFileShareRead | kFileShareWrite);
  const Handle again = Open(path, kOpenAlways, kFileShareRead | kFileShareWrite);
  EXPECT_NE(shared, kInvalidHandle);
  EXPECT_NE(again, kInvalidHandle);
  os.CloseHandle(shared);
  os.CloseHandle(again);
}

TEST_F(LinuxFiles, ReadsWhatIsThereAndStopsAtTheEnd) {
  const std::string path = folder.File("in.bin");
  Put(path, "hello");
  const Handle handle = Open(path, kOpenExisting);
  ASSERT_NE(handle, kInvalidHandle);
  char buffer[16] = {};
  std::uint32_t read = 99;
  EXPECT_TRUE(os.ReadFile(handle, buffer, sizeof buffer, &read));
  EXPECT_EQ(read, 5U);
  EXPECT_EQ(std::string(buffer, read), "hello");
  EXPECT_TRUE(os.ReadFile(handle, buffer, sizeof buffer, &read));
  EXPECT_EQ(read, 0U);
  os.CloseHandle(handle);
}

// The bytes a write moves are counted as they go, each once, whichever layers report them.
TEST_F(LinuxFiles, WrittenBytesAreCountedOnce) {
  const std::uint64_t before = BytesTakenSinceStart();
  const Handle handle = Open(folder.File("out.bin"), kCreateAlways);
  ASSERT_NE(handle, kInvalidHandle);
  ASSERT_TRUE(Write(handle, "hello"));
  os.CloseHandle(handle);
  EXPECT_EQ(BytesTakenSinceStart() - before, 5U);

  BeginWriteCount();
  CountBytesTaken(3);
  CountBytesTaken(2);  // a layer that knows less adds nothing
  CountBytesTaken(7);
  EXPECT_EQ(BytesTakenSinceStart() - before, 12U);
}

TEST_F(LinuxFiles, CallsOnAClosedHandleFailAsInvalid) {
  const Handle handle = Open(folder.File("x"), kOpenAlways);
  ASSERT_TRUE(os.CloseHandle(handle));
  std::uint32_t count = 7;
  EXPECT_FALSE(os.WriteFile(handle, "a", 1, &count));
  EXPECT_EQ(count, 0U);
  EXPECT_EQ(os.GetLastError(), kErrorInvalidHandle);
  EXPECT_FALSE(os.CloseHandle(handle));
  EXPECT_FALSE(os.SetFilePointerEx(handle, 0, nullptr, kFileEnd));
  CommState state;
  EXPECT_FALSE(os.GetCommState(handle, &state));
  EXPECT_EQ(os.GetLastError(), kErrorInvalidHandle);
}

TEST_F(LinuxFiles, SerialCallsOnAFileAreRefused) {
  const Handle handle = Open(folder.File("plain"), kOpenAlways);
  ASSERT_NE(handle, kInvalidHandle);
  CommState state;
  EXPECT_FALSE(os.GetCommState(handle, &state));
  EXPECT_EQ(os.GetLastError(), kErrorInvalidFunction);
  EXPECT_FALSE(os.SetCommTimeouts(handle, CommTimeouts{}));
  std::uint32_t returned = 0;
  EXPECT_FALSE(
      os.DeviceIoControl(handle, kIoctlParQueryDeviceId, nullptr, 0, nullptr, 0, &returned));
  os.CloseHandle(handle);
}

}  // namespace
