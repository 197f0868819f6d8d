// A text's bytes, read in large chunks through a small window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace folio::text {

// Where a text's bytes come from: a file, or bytes in memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes; 0 at the end, nullopt on a read error.
  virtual std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) = 0;
  // To the byte at `offset`; false when that can't be done.
  virtual bool Seek(std::uint64_t offset) = 0;
};

// Reads `file`, which must outlive the source.
std::unique_ptr<ByteSource> FileBytes(platform::InputFile& file);
// Each read hands out at most `largestRead` bytes, as a slow source might.
std::unique_ptr<ByteSource> MemoryBytes(std::string bytes, std::size_t largestRead = SIZE_MAX);

// The bytes from the reading position on, a chunk at a time, so that memory
// stays bounded whatever the text's size.  In text mode the window holds what
// a text-mode read delivers: every CR LF pair folded into LF (a lone CR
// stays), and nothing from the first 0x1A byte on.  A read error ends the data.
class ByteWindow {
 public:
  static constexpr std::size_t kChunkBytes = 64 * 1024;

  ByteWindow(std::unique_ptr<ByteSource> source, bool textMode);

  const std::uint8_t* data() const noexcept { return buffer_.data() + begin_; }
  std::size_t size() const noexcept { return end_ - begin_; }
  // True when no byte follows the window's.
  bool ended() const noexcept { return ended_; }
  // The source's offset of the window's first byte.  Reading from there in
  // the same mode delivers the same bytes; at a folded LF it is the offset
  // of the CR that went.
  std::uint64_t offset() const noexcept { return offset_; }
  void Consume(std::size_t count) noexcept {
    begin_ += count;
    offset_ += count;
    for (; passedFolds_ < folds_.size() && folds_[passedFolds_] < begin_; ++passedFolds_) ++offset_;
  }

  // Reads until the window holds at least `minimum` bytes (a few, far less
  // than a chunk) or the data has ended.
  void Fill(std::size_t minimum);
  // To the source's byte at `offset`, reading in the given mode from there;
  // false when the source can't go there.
  bool MoveTo(std::uint64_t offset, bool textMode);

 private:
  void ReadChunk();
  std::size_t FoldTextMode(std::size_t from, std::size_t to, bool sourceEnded) noexcept;

  std::unique_ptr<ByteSource> source_;
  std::vector<std::uint8_t> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool textMode_;
  bool ended_ = false;
  // A CR at the end of a chunk waits until the next byte shows whether it
  // begins a CR LF pair.
  bool heldCarriageReturn_ = false;
  std::uint64_t offset_ = 0;
  // Buffer positions of the LFs whose CR was folded away, ascending; those
  // before passedFolds_ lie before the window.
  std::vector<std::size_t> folds_;
  std::size_t passedFolds_ = 0;
};

}  // namespace folio::text
