#include "PartReader.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "FileCacheProbe.h"
#include "FileIo.h"
#include "PageBuffer.h"
#include "protocol/FrameSum.h"

namespace flashtools {
namespace {

constexpr unsigned kMostThreads = 4;
// Each thread's share comes in about four pieces, so one that gets little processor time
// leaves most of its share to the others, while each piece is long enough for the system to
// read ahead of it from the disk.
constexpr std::uint64_t kPiecesPerThread = 4;
constexpr std::uint64_t kSmallestPiece = std::uint64_t{2} << 20;

// Each piece starts where a read of the readSize before it would end, so every read begins
// at the same place within a page and within the processor's cache lines as the file's
// start: the system copies out of the file cache far slower from a place that lies
// otherwise than the buffer it copies into.
std::uint64_t PieceSize(std::uint64_t count, unsigned threads, std::uint64_t readSize) {
  const std::uint64_t share = std::max(kSmallestPiece, count / (threads * kPiecesPerThread) + 1);
  return (share + readSize - 1) / readSize * readSize;
}

class Pieces {
 public:
  Pieces(int input, std::uint64_t from, std::uint64_t count, int output, std::uint64_t outputAt,
         unsigned threads)
      : input_(input),
        from_(from),
        count_(count),
        output_(output),
        outputAt_(outputAt),
        readSize_(output >= 0 ? kCopyReadSize : kSumReadSize),
        pieceSize_(PieceSize(count, threads, readSize_)),
        pieces_((count + pieceSize_ - 1) / pieceSize_) {}

  std::size_t ReadSize() const { return readSize_; }

  // Takes pieces until none is left or one went wrong; buffer holds ReadSize() bytes.
  void Work(std::uint8_t* buffer) {
    for (std::size_t index = next_++; index < pieces_.size() && !stop_; index = next_++) {
      Read(index, buffer);
    }
  }

  // A helper thread's work. Without memory for a buffer of its own it leaves the pieces to the
  // others: the calling thread takes every piece nobody else does.
  void Help() {
    PageBuffer buffer;
    try {
      buffer = MakePageBuffer(readSize_);
    } catch (const std::bad_alloc&) {
      return;
    }
    Work(buffer.get());
  }

  // The pieces in order, up to the first that came short.
  SideBySide Result() const {
    SideBySide result;
    for (std::size_t index = 0; index < pieces_.size(); ++index) {
      const SideBySide& piece = pieces_[index];
      result.bytes += piece.bytes;
      result.sum = static_cast<std::uint8_t>(result.sum + piece.sum);
      result.readFailed = piece.readFailed;
      result.writeFailed = piece.writeFailed;
      if (piece.bytes < Length(index)) {
        break;
      }
    }
    return result;
  }

 private:
  std::uint64_t Length(std::size_t index) const {
    return std::min(pieceSize_, count_ - index * pieceSize_);
  }

  void Read(std::size_t index, std::uint8_t* buffer) {
    SideBySide& piece = pieces_[index];
    const std::uint64_t start = index * pieceSize_;
    const std::uint64_t length = Length(index);
    while (piece.bytes < length) {
      const auto want =
          static_cast<std::size_t>(std::min<std::uint64_t>(readSize_, length - piece.bytes));
      const long got = ReadAt(input_, buffer, want, from_ + start + piece.bytes, true);
      if (got <= 0) {
        piece.readFailed = got < 0;
        stop_ = true;
        return;
      }
      const std::span<const std::uint8_t> bytes(buffer, static_cast<std::size_t>(got));
      piece.sum = protocol::FrameSum(bytes.data(), bytes.size(), piece.sum);
      if (output_ >= 0 && !WriteAllAt(output_, bytes, outputAt_ + start + piece.bytes)) {
        piece.writeFailed = true;
        stop_ = true;
        return;
      }
      piece.bytes += bytes.size();
    }
  }

  int input_;
  std::uint64_t from_;
  std::uint64_t count_;
  int output_;
  std::uint64_t outputAt_;
  std::size_t readSize_;
  std::uint64_t pieceSize_;
  std::vector<SideBySide> pieces_;  // what each piece gave
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> stop_{false};
};

}  // namespace

SideBySide ReadInParts(int input, std::uint64_t from, std::uint64_t count, int output,
                       std::uint64_t outputAt) {
  // From the disk one sequential stream is fastest: the system reads ahead of it, while
  // streams side by side break the disk's sequence and share one read-ahead.
  const unsigned threads = StretchIsCached(input, from, count)
                               ? std::clamp(std::thread::hardware_concurrency(), 1U, kMostThreads)
                               : 1U;
  Pieces pieces(input, from, count, output, outputAt, threads);
  // Whatever memory runs short before a helper starts fails the read here, with no thread to
  // join; a helper that cannot be had, for want of a thread or of memory, is done without.
  const PageBuffer buffer = MakePageBuffer(pieces.ReadSize());
  std::vector<std::thread> helpers;
  helpers.reserve(threads - 1);
  for (unsigned started = 1; started < threads; ++started) {
    try {
      helpers.emplace_back(&Pieces::Help, &pieces);
    } catch (const std::system_error&) {
      break;
    } catch (const std::bad_alloc&) {
      break;
    }
  }
  pieces.Work(buffer.get());
  for (std::thread& helper : helpers) {
    helper.join();
  }
  return pieces.Result();
}

}  // namespace flashtools
