#include "index/page_index_file.h"

#include <cstring>

#include "index/hash64.h"

namespace folio::index {
namespace {

constexpr std::string_view kMagic = "FOLIOIDX";
// A page start's bytes without its state.
constexpr std::size_t kPageStartBytes = 16;
// The last field of a key.
constexpr std::size_t kContentHashBytes = 8;

class ByteWriter {
 public:
  void Unsigned(std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
  void U8(std::uint8_t value) { Unsigned(value, 1); }
  void U16(std::uint16_t value) { Unsigned(value, 2); }
  void U32(std::uint32_t value) { Unsigned(value, 4); }
  void U64(std::uint64_t value) { Unsigned(value, 8); }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void I64(std::int64_t value) { U64(static_cast<std::uint64_t>(value)); }
  void Units(std::u16string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    for (const char16_t unit : text) U16(unit);
  }
  void Bytes(std::string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    bytes_ += text;
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

// Reads fixed-width fields; past the end it yields zeros and fails for good.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  std::uint64_t Unsigned(std::size_t width) {
    if (!Has(width)) return 0;
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes_[i]);
    bytes_.remove_prefix(width);
    return value;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Unsigned(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
  std::uint64_t U64() { return Unsigned(8); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  std::string_view Take(std::size_t count) {
    if (!Has(count)) return {};
    const std::string_view taken = bytes_.substr(0, count);
    bytes_.remove_prefix(count);
    return taken;
  }
  // Whether `count` items of at least `itemBytes` each can still follow;
  // checked before anything is allocated for them.
  bool CanHold(std::uint64_t count, std::size_t itemBytes) {
    if (count > bytes_.size() / itemBytes) failed_ = true;
    return !failed_;
  }
  bool ok() const { return !failed_; }
  bool atEnd() const { return bytes_.empty(); }

 private:
  bool Has(std::size_t count) {
    if (count > bytes_.size()) failed_ = true;
    return !failed_;
  }

  std::string_view bytes_;
  bool failed_ = false;
};

bool KnownEncoding(std::uint8_t value) {
  return value >= static_cast<std::uint8_t>(text::TextEncoding::Utf16LE) &&
         value <= static_cast<std::uint8_t>(text::TextEncoding::Ansi);
}

// What the header of a file of this format says; none for another file.
struct FileHeader {
  std::uint32_t payloadBytes;
  std::uint64_t checksum;
};

std::optional<FileHeader> HeaderOf(std::string_view file) {
  ByteReader reader(file.substr(0, kFileHeaderBytes));
  if (reader.Take(kMagic.size()) != kMagic || reader.U32() != kPageIndexFormat) return std::nullopt;
  const FileHeader header{reader.U32(), reader.U64()};
  if (!reader.ok()) return std::nullopt;
  return header;
}

}  // namespace

EncodedKey EncodeKey(const PageIndexKey& key, std::uint64_t contentHash) {
  ByteWriter writer;
  writer.U32(key.libraryVersion);
  writer.Units(key.path);
  const PageSettingsPrint& settings = key.settings;
  writer.I32(settings.width);
  writer.I32(settings.height);
  writer.I32(settings.margin);
  writer.I32(settings.fontSize);
  writer.I32(settings.pageLimit);
  writer.Units(settings.fontFamily);
  writer.Bytes(settings.extra);
  const std::size_t identityBytes = writer.bytes().size();
  writer.U64(key.stamp.size);
  writer.I64(key.stamp.lastWriteTime);
  writer.U64(contentHash);
  return {std::move(writer.bytes()), identityBytes};
}

std::u16string FileNameFor(const EncodedKey& key) {
  const std::uint64_t hash = Hash64(std::string_view(key.bytes).substr(0, key.identityBytes));
  std::u16string name;
  for (int shift = 60; shift >= 0; shift -= 4) name += u"0123456789abcdef"[(hash >> shift) & 0xF];
  name += kIndexFileSuffix;
  return name;
}

std::optional<std::string> EncodeFile(const EncodedKey& key, const PageIndex& value) {
  // Refused before a byte is written, however long the lists.
  if (value.pageBreaks.size() > PageIndexStore::kMostFileBytes / 4 ||
      value.pageStarts.size() > PageIndexStore::kMostFileBytes / kPageStartBytes) {
    return std::nullopt;
  }
  ByteWriter payload;
  payload.bytes().reserve(key.bytes.size() + 48 + 4 * value.pageBreaks.size() +
                          kPageStartBytes * value.pageStarts.size());
  payload.bytes() += key.bytes;
  payload.U32(value.pageCount);
  payload.U8(value.limitReached ? 1 : 0);
  payload.U8(static_cast<std::uint8_t>(value.splitting.encoding));
  for (std::size_t group = 0; group < 256; group += 8) {
    std::uint8_t bits = 0;
    for (std::size_t i = 0; i < 8; ++i) bits |= (value.splitting.ansiLeadBytes[group + i] ? 1 : 0) << i;
    payload.U8(bits);
  }
  payload.U32(static_cast<std::uint32_t>(value.pageBreaks.size()));
  for (const std::int32_t pageBreak : value.pageBreaks) payload.I32(pageBreak);
  payload.U32(static_cast<std::uint32_t>(value.pageStarts.size()));
  for (const IndexedPageStart& start : value.pageStarts) {
    if (start.state.size() > PageIndexStore::kMostStateBytes) return std::nullopt;
    payload.I32(start.line);
    payload.U64(start.start.byteOffset);
    payload.U16(start.start.carriedUnit);
    payload.U16(static_cast<std::uint16_t>(start.state.size()));
    payload.bytes() += start.state;
    if (payload.bytes().size() > PageIndexStore::kMostFileBytes) return std::nullopt;
  }
  if (payload.bytes().size() + kFileHeaderBytes > PageIndexStore::kMostFileBytes) return std::nullopt;

  ByteWriter file;
  file.bytes() = kMagic;
  file.U32(kPageIndexFormat);
  file.U32(static_cast<std::uint32_t>(payload.bytes().size()));
  file.U64(Hash64(payload.bytes()));
  file.bytes() += payload.bytes();
  return std::move(file.bytes());
}

bool MayHold(std::string_view file, const EncodedKey& key) {
  const std::string_view keyBeforeHash =
      std::string_view(key.bytes).substr(0, key.bytes.size() - kContentHashBytes);
  return HeaderOf(file) && file.substr(kFileHeaderBytes).starts_with(keyBeforeHash);
}

std::optional<PageIndex> DecodeFile(std::string_view file, const EncodedKey& key) {
  const std::optional<FileHeader> header = HeaderOf(file);
  if (!header || file.size() - kFileHeaderBytes != header->payloadBytes) return std::nullopt;
  const std::string_view payload = file.substr(kFileHeaderBytes);
  // The key comes first, so that another text's or another setting's index
  // is told apart by its bytes before any is trusted.
  if (Hash64(payload) != header->checksum || !payload.starts_with(key.bytes)) return std::nullopt;

  ByteReader reader(payload.substr(key.bytes.size()));
  PageIndex value;
  value.pageCount = reader.U32();
  const std::uint8_t limitReached = reader.U8();
  const std::uint8_t encoding = reader.U8();
  if (limitReached > 1 || !KnownEncoding(encoding)) return std::nullopt;
  value.limitReached = limitReached == 1;
  value.splitting.encoding = static_cast<text::TextEncoding>(encoding);
  for (std::size_t group = 0; group < 256; group += 8) {
    const std::uint8_t bits = reader.U8();
    for (std::size_t i = 0; i < 8; ++i) value.splitting.ansiLeadBytes[group + i] = (bits >> i) & 1;
  }
  const std::uint32_t breakCount = reader.U32();
  if (!reader.CanHold(breakCount, 4)) return std::nullopt;
  value.pageBreaks.resize(breakCount);
  for (std::int32_t& pageBreak : value.pageBreaks) pageBreak = reader.I32();
  const std::uint32_t startCount = reader.U32();
  if (!reader.CanHold(startCount, kPageStartBytes)) return std::nullopt;
  value.pageStarts.resize(startCount);
  for (IndexedPageStart& start : value.pageStarts) {
    start.line = reader.I32();
    start.start.byteOffset = reader.U64();
    start.start.carriedUnit = reader.U16();
    const std::uint16_t stateBytes = reader.U16();
    if (stateBytes > PageIndexStore::kMostStateBytes) return std::nullopt;
    start.state = reader.Take(stateBytes);
  }
  if (!reader.ok() || !reader.atEnd()) return std::nullopt;
  return value;
}

}  // namespace folio::index
