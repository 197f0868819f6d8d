// The bytes of one page index file.  All integers are little-endian and of
// fixed width:
//
//   header   8  magic "FOLIOIDX"
//            4  format version (kPageIndexFormat)
//            4  payload length in bytes
//            8  Hash64 of the payload (the checksum)
//   payload  the key (EncodeKey), then the value:
//            4  page count, 1  limit reached (0 or 1), 1  encoding (TextEncoding)
//           32  ANSI lead bytes, one bit per byte value, lowest first
//            4  break count n, then n x 4  page breaks (signed)
//            4  page start count m, then m x
//               { 4 line (signed), 8 byte offset, 2 carried unit, 2 state length k, k state bytes }
//
// The key's text fields are a 4-byte length (UTF-16 units or bytes) and
// their units or bytes; see EncodeKey.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "index/page_index_store.h"

namespace folio::index {

// Raise it with every change to the layout above, or to what a key's fields
// mean: files of another format are ignored, and replaced by the next store.
// 2: the content hash covers every byte of the text, not its two ends.
inline constexpr std::uint32_t kPageIndexFormat = 2;
inline constexpr std::size_t kFileHeaderBytes = 24;

// A key as its file holds it.  Its first `identityBytes` bytes (library
// version, path, settings) name the file; the text's size, time and content
// hash follow, so that a changed text's new index replaces its old one.  The
// content hash comes last, so that a file can be told to be of another size
// or time before the text is read to hash it.
struct EncodedKey {
  std::string bytes;
  std::size_t identityBytes = 0;
};

EncodedKey EncodeKey(const PageIndexKey& key, std::uint64_t contentHash);
// Sixteen hex digits of the identity's hash and ".pages".
std::u16string FileNameFor(const EncodedKey& key);
inline constexpr std::u16string_view kIndexFileSuffix = u".pages";

// The whole file; none when `value` can't be stored (a state blob or the
// file too large).
std::optional<std::string> EncodeFile(const EncodedKey& key, const PageIndex& value);
// Whether `file` may hold an index for `key`: it begins as a file of this
// format whose key is `key` up to the content hash, which is not compared.
// Cheap, and no proof: DecodeFile checks the whole.
bool MayHold(std::string_view file, const EncodedKey& key);
// The value a file holds for `key`; none unless the file is whole, of this
// format, intact, and written for this very key.
std::optional<PageIndex> DecodeFile(std::string_view file, const EncodedKey& key);

}  // namespace folio::index
