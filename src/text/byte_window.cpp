#include "text/byte_window.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace folio::text {
namespace {

constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kLineFeed = 0x0A;
constexpr std::uint8_t kEndOfText = 0x1A;

class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(platform::InputFile& file) : file_(file) {}
  std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override {
    return file_.Read(buffer, size);
  }
  bool Seek(std::uint64_t offset) override { return file_.Seek(offset); }

 private:
  platform::InputFile& file_;
};

class MemoryByteSource final : public ByteSource {
 public:
  MemoryByteSource(std::string bytes, std::size_t largestRead)
      : bytes_(std::move(bytes)), largestRead_(largestRead) {}
  std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, largestRead_, bytes_.size() - position_});
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  bool Seek(std::uint64_t offset) override {
    if (offset > bytes_.size()) return false;
    position_ = static_cast<std::size_t>(offset);
    return true;
  }

 private:
  std::string bytes_;
  std::size_t largestRead_;
  std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<ByteSource> FileBytes(platform::InputFile& file) {
  return std::make_unique<FileByteSource>(file);
}

std::unique_ptr<ByteSource> MemoryBytes(std::string bytes, std::size_t largestRead) {
  return std::make_unique<MemoryByteSource>(std::move(bytes), largestRead);
}

ByteWindow::ByteWindow(std::unique_ptr<ByteSource> source, bool textMode)
    : source_(std::move(source)), buffer_(kChunkBytes), textMode_(textMode) {}

void ByteWindow::Fill(std::size_t minimum) {
  std::memmove(buffer_.data(), data(), size());
  folds_.erase(folds_.begin(), folds_.begin() + static_cast<std::ptrdiff_t>(passedFolds_));
  passedFolds_ = 0;
  for (std::size_t& fold : folds_) fold -= begin_;
  end_ -= begin_;
  begin_ = 0;
  while (!ended_ && size() < minimum) ReadChunk();
}

bool ByteWindow::MoveTo(std::uint64_t offset, bool textMode) {
  begin_ = end_ = 0;
  textMode_ = textMode;
  heldCarriageReturn_ = false;
  offset_ = offset;
  folds_.clear();
  passedFolds_ = 0;
  ended_ = !source_->Seek(offset);
  return !ended_;
}

void ByteWindow::ReadChunk() {
  std::size_t readAt = end_;
  if (std::exchange(heldCarriageReturn_, false)) buffer_[readAt++] = kCarriageReturn;
  const std::optional<std::size_t> count = source_->Read(buffer_.data() + readAt, buffer_.size() - readAt);
  const bool sourceEnded = count.value_or(0) == 0;
  const std::size_t readEnd = readAt + count.value_or(0);
  end_ = textMode_ ? FoldTextMode(end_, readEnd, sourceEnded) : readEnd;
  if (sourceEnded) ended_ = true;
}

// Rewrites the bytes just read, [from, to), in place; returns their new end.
// Runs between CRs move as blocks: most bytes need no look of their own.
std::size_t ByteWindow::FoldTextMode(std::size_t from, std::size_t to, bool sourceEnded) noexcept {
  std::uint8_t* bytes = buffer_.data();
  if (const void* endOfText = std::memchr(bytes + from, kEndOfText, to - from)) {
    to = static_cast<std::size_t>(static_cast<const std::uint8_t*>(endOfText) - bytes);
    ended_ = sourceEnded = true;
  }
  std::size_t out = from;
  std::size_t in = from;
  while (in < to) {
    const void* found = std::memchr(bytes + in, kCarriageReturn, to - in);
    const std::size_t carriageReturn =
        found ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - bytes) : to;
    std::memmove(bytes + out, bytes + in, carriageReturn - in);
    out += carriageReturn - in;
    in = carriageReturn;
    if (in == to) break;
    if (in + 1 == to && !sourceEnded) {
      heldCarriageReturn_ = true;
      break;
    }
    // The CR of a CR LF pair goes; a lone CR stays.
    if (in + 1 == to || bytes[in + 1] != kLineFeed) {
      bytes[out++] = kCarriageReturn;
    } else {
      folds_.push_back(out);
    }
    ++in;
  }
  return out;
}

}  // namespace folio::text
