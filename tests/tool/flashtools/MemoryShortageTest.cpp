// What the file tools do when memory for their file buffers runs short: they say so and leave
// no unfinished output, and a thread reading beside the program that gets no buffer leaves its
// share of the file to the others.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "TestSupport.h"
#include "flashtools/FileTools.h"

namespace {

// The file buffers are the program's only page-aligned allocations. While a shortage is on,
// those fail: on every thread, or on every thread but the test's own.
enum class Shortage { kNone, kEverywhere, kOtherThreads };
std::atomic<Shortage> shortage{Shortage::kNone};
std::thread::id testThread;

}  // namespace

void* operator new(std::size_t size, std::align_val_t alignment) {
  const Shortage now = shortage.load();
  if (now == Shortage::kEverywhere ||
      (now == Shortage::kOtherThreads && std::this_thread::get_id() != testThread)) {
    throw std::bad_alloc();
  }
  void* memory = nullptr;
  const std::size_t align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
  if (::posix_memalign(&memory, align, std::max<std::size_t>(size, 1)) != 0) {
    throw std::bad_alloc();
  }
  return memory;
}

void operator delete(void* memory, std::align_val_t /*alignment*/) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
  std::free(memory);
}

namespace flashtools::test {
namespace {

class ShortageFor {
 public:
  explicit ShortageFor(Shortage kind) {
    testThread = std::this_thread::get_id();
    shortage.store(kind);
  }
  ~ShortageFor() { shortage.store(Shortage::kNone); }
  ShortageFor(const ShortageFor&) = delete;
  ShortageFor& operator=(const ShortageFor&) = delete;
};

TEST(MemoryShortageTest, ToolsSayMemoryRanShortAndReadersWithoutBuffersLeaveTheirShare) {
  TempDir dir;
  // Long enough to be read in parts side by side, and still in the file cache when read.
  WriteFile(dir / "in", Bytes((std::size_t{3} << 20) + 5, 0xA7));
  RecordingUserInterface made;
  ASSERT_EQ(AddHeader(dir / "in", dir / "made.vop", made), ToolResult::kSucceeded);

  {
    const ShortageFor everywhere(Shortage::kEverywhere);
    RecordingUserInterface ui;
    EXPECT_EQ(AddHeader(dir / "in", dir / "out.vop", ui), ToolResult::kFailed);
    EXPECT_EQ(CheckFileFormat(dir / "made.vop", ui), ToolResult::kFailed);
    ASSERT_EQ(ui.messages.size(), 2U);
    for (const Message& message : ui.messages) {
      EXPECT_EQ(message.text, "Cannot allocate memory.");
      EXPECT_EQ(message.caption, "Error");
    }
  }
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in", "made.vop"}));

  const ShortageFor otherThreads(Shortage::kOtherThreads);
  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "in", dir / "out.vop", ui), ToolResult::kSucceeded);
  EXPECT_EQ(ReadFile(dir / "out.vop"), ReadFile(dir / "made.vop"));
  EXPECT_EQ(CheckFileFormat(dir / "out.vop", ui), ToolResult::kSucceeded);
}

}  // namespace
}  // namespace flashtools::test
