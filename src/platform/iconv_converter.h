// One iconv conversion descriptor, owned.  POSIX backends only.
#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>

namespace folio::platform {

class IconvConverter {
 public:
  IconvConverter(const char* toCode, const char* fromCode) noexcept : handle_(iconv_open(toCode, fromCode)) {}
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;
  ~IconvConverter() {
    if (valid()) iconv_close(handle_);
  }

  bool valid() const noexcept { return handle_ != reinterpret_cast<iconv_t>(-1); }

  enum class Status { Done, Invalid, Incomplete };
  // Converts as much of [in, in + inLeft) as it can into out; advances both.
  Status Convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) const noexcept;
  void Reset() const noexcept { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t handle_;
};

// The codeset of the calling thread's current C locale ("C" gives ASCII).
std::string CurrentLocaleCodeset();

}  // namespace folio::platform
