#include "index/text_content_hash.h"

#include <new>

namespace folio::index {
namespace {

// Large enough that the system's per-call cost vanishes, small enough that a
// block is still in the core's cache when the hash reads it.
constexpr std::size_t kReadBlockBytes = 256 * 1024;

}  // namespace

class HashedReading::Source final : public text::ByteSource {
 public:
  explicit Source(HashedReading& reading) : reading_(reading) {}
  std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override {
    return reading_.Read(buffer, size);
  }
  bool Seek(std::uint64_t offset) override { return reading_.Seek(offset); }

 private:
  HashedReading& reading_;
};

HashedReading::HashedReading(platform::InputFile& file) noexcept : file_(file), sound_(file.Seek(0)) {}

std::unique_ptr<text::ByteSource> HashedReading::Bytes() {
  return std::make_unique<Source>(*this);
}

bool HashedReading::Seek(std::uint64_t offset) noexcept {
  // Only a pass from the start is hashed, and only one that has read as far
  // as the pass before it can vouch for it.
  if (offset != 0 || earlier_) sound_ = false;
  if (passBytes_ > 0) earlier_.emplace(passBytes_, pass_.Value());
  pass_ = Hash64Builder();
  passBytes_ = 0;
  const bool moved = file_.Seek(offset);
  if (!moved) sound_ = false;
  return moved;
}

std::optional<std::size_t> HashedReading::Read(void* buffer, std::size_t size) noexcept {
  const std::optional<std::size_t> count = file_.Read(buffer, size);
  if (count) {
    Take(static_cast<const unsigned char*>(buffer), *count);
  } else {
    sound_ = false;  // the reader takes an error for the end of its text
  }
  return count;
}

void HashedReading::Take(const unsigned char* bytes, std::size_t count) noexcept {
  if (earlier_ && earlier_->first - passBytes_ <= count) {
    const auto shared = static_cast<std::size_t>(earlier_->first - passBytes_);
    pass_.Add(bytes, shared);
    passBytes_ += shared;
    if (pass_.Value() != earlier_->second) sound_ = false;
    earlier_.reset();
    bytes += shared;
    count -= shared;
  }
  pass_.Add(bytes, count);
  passBytes_ += count;
}

std::optional<std::uint64_t> HashedReading::Finish(std::uint64_t size) noexcept {
  const std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[kReadBlockBytes]);
  if (!block) return std::nullopt;
  // A file that grows meanwhile is read no further than shows it.
  while (sound_ && passBytes_ <= size) {
    const std::optional<std::size_t> count = Read(block.get(), kReadBlockBytes);
    if (!count || *count == 0) break;
  }
  if (!sound_ || earlier_ || passBytes_ != size) return std::nullopt;
  return pass_.Value();
}

std::optional<std::uint64_t> HashText(platform::InputFile& file, std::uint64_t size) noexcept {
  return HashedReading(file).Finish(size);
}

}  // namespace folio::index
