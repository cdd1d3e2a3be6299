#include <cstring>

#include "FileText.h"
#include "TempFolder.h"
#include "VopP2Fixture.h"

namespace {

class FilePort : public VopP2Test {
 protected:
  void UseOutputFile(const std::string& path) {
    std::snprintf(param().szOutputFile, sizeof param().szOutputFile, "%s", path.c_str());
  }
  std::int32_t Write(const std::string& text, std::uint32_t* written) {
    return VopP2Write(PORT_FILE, reinterpret_cast<const std::uint8_t*>(text.data()),
                      static_cast<std::uint32_t>(text.size()), written);
  }
  testsupport::TempFolder folder;
};

TEST_F(FilePort, WritesAppendToWhatEarlierRunsLeft) {
  const std::string path = folder.File("OUTPUT.PRN");
  {
    std::FILE* earlier = std::fopen(path.c_str(), "wb");
    std::fputs("run1;", earlier);
    std::fclose(earlier);
  }
  UseOutputFile(path);
  std::uint32_t written = 0;
  EXPECT_EQ(Write("AB", &written), 1);
  EXPECT_EQ(written, 2U);
  EXPECT_EQ(Write("CDE", &written), 1);
  EXPECT_EQ(written, 3U);
  EXPECT_EQ(testsupport::FileText(path), "run1;ABCDE");
  EXPECT_EQ(machine.OpenHandleCount(), 0U);  // each write opened and closed the file

  EXPECT_EQ(VopP2Open(PORT_FILE), 1);
  EXPECT_EQ(VopP2Open(PORT_FILE), 1);
  EXPECT_EQ(Write("F", &written), 1);
  EXPECT_EQ(machine.OpenHandleCount(), 1U);  // the caller's open stays
  VopP2Close(PORT_FILE);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
  EXPECT_EQ(testsupport::FileText(path), "run1;ABCDEF");
  EXPECT_EQ(message(), messageAtStart);  // no failure reported
}

TEST_F(FilePort, AFolderThatDoesNotExistFailsWithTheCreateFileText) {
  UseOutputFile(folder.File("no/such/folder/OUTPUT.PRN"));
  std::uint32_t written = 77;
  EXPECT_EQ(Write("AB", &written), 0);
  EXPECT_EQ(written, 0U);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_FILE) : failure\n");
}

TEST_F(FilePort, ANameThatFillsTheWholeFieldEndsAtTheFieldsEnd) {
  const std::size_t field = sizeof param().szOutputFile;
  std::string path = folder.File("");
  while (path.size() + 1 < field) {
    path += (field - path.size()) % 2 == 0 ? "/" : "./";
  }
  path += "o";
  ASSERT_EQ(path.size(), field);
  std::memcpy(param().szOutputFile, path.data(), field);  // no terminator
  std::uint32_t written = 0;
  EXPECT_EQ(Write("AB", &written), 1);
  EXPECT_EQ(testsupport::FileText(folder.File("o")), "AB");
}

TEST_F(FilePort, ReadsNeverDeliverAnything) {
  UseOutputFile(folder.File("OUTPUT.PRN"));
  std::uint8_t buffer[8];
  std::uint32_t read = 9;
  EXPECT_EQ(VopP2Read(PORT_FILE, buffer, sizeof buffer, &read, 0), 0);
  EXPECT_EQ(read, 0U);
}

TEST_F(FilePort, TransferLineAtFifty) {
  UseOutputFile(folder.File("OUTPUT.PRN"));
  VopP2SetDebugLevel(50);
  std::uint32_t written = 0;
  Write("XYZ", &written);
  EXPECT_TRUE(Logged(
      "VopP2WriteFile:WriteFile(FILE) = dwDataLength:00000003h dwWrittenLength:00000003h\n"));
}

}  // namespace
