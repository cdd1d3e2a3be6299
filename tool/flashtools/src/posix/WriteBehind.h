// Writes one buffer at a time into a file on a thread of its own, so that the program can fill
// the next buffer meanwhile: copying into the file cache and copying out of it then go on
// side by side.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>

namespace flashtools {

class WriteBehind {
 public:
  WriteBehind() = default;
  // Waits for the write in flight, then ends the thread.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // Starts writing all of bytes at position into descriptor; bytes must stay as they are until
  // Wait returns. Only when nothing is in flight. False, with nothing started, when no thread
  // could be had: the caller then writes them itself.
  bool Start(int descriptor, std::span<const std::uint8_t> bytes, std::uint64_t position);
  // Waits for the write in flight, if any; whether every write started so far went whole into
  // the file.
  bool Wait();

 private:
  bool StartThread();
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  int descriptor_ = -1;
  std::span<const std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
  bool busy_ = false;
  bool stopping_ = false;
  bool failed_ = false;
  std::thread thread_;
};

}  // namespace flashtools
