// A text's content hash, the part of a page index key that tells one content
// from another whatever its size and time: Hash64 of every byte of the file,
// read through the call's own open file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "index/hash64.h"
#include "platform/files.h"
#include "text/byte_window.h"

namespace folio::index {

// The hash of the file's bytes from its start; none unless it reads exactly
// `size` bytes and then its end.
std::optional<std::uint64_t> HashText(platform::InputFile& file, std::uint64_t size) noexcept;

// The content hash of the very bytes that a reader takes from a text, taken
// as they pass, so that what the reader made of them can be stored under it.
// A reader that goes back to the start (one that detects the encoding first)
// must read the same bytes again.
class HashedReading {
 public:
  // Stands at the file's start.
  explicit HashedReading(platform::InputFile& file) noexcept;
  HashedReading(const HashedReading&) = delete;
  HashedReading& operator=(const HashedReading&) = delete;

  // The file's bytes, for one reader that reads on from the start and goes
  // nowhere but back there; it must be gone before Finish.
  std::unique_ptr<text::ByteSource> Bytes();
  // Reads on to the file's end: the hash of all of its bytes when every
  // read succeeded, every pass from the start read the same bytes as the
  // last, and the file held exactly `size`; none otherwise.
  std::optional<std::uint64_t> Finish(std::uint64_t size) noexcept;

 private:
  class Source;

  bool Seek(std::uint64_t offset) noexcept;
  std::optional<std::size_t> Read(void* buffer, std::size_t size) noexcept;
  void Take(const unsigned char* bytes, std::size_t count) noexcept;

  platform::InputFile& file_;
  // The pass under way, from the file's start.
  Hash64Builder pass_;
  std::uint64_t passBytes_ = 0;
  // The pass before it, by its length and hash, until this one has read as far.
  std::optional<std::pair<std::uint64_t, std::uint64_t>> earlier_;
  bool sound_;
};

}  // namespace folio::index
