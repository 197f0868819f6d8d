// The objects are held through a plain pointer, never by a static object:
// when a process ends without unloading the library, its other threads are
// gone by the time static objects are destroyed, and releasing Direct2D
// objects then can hang the process.  Only an unload (FreeLibrary) releases
// them, through ReleaseKeptEngineObjects, and leaves one Direct2D factory to
// the process for the next load.
#include "platform/dwrite_kept_objects.h"

#include <windows.h>

#include <array>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "platform/direct2d_process_factory.h"
#include "platform/text_engine.h"

namespace folio::platform::dwrite {
namespace {

const wchar_t* WideText(const std::u16string& text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

bool HasFamily(IDWriteFontCollection& fonts, const std::u16string& family) {
  UINT32 index = 0;
  BOOL exists = FALSE;
  return !family.empty() && SUCCEEDED(fonts.FindFamilyName(WideText(family), &index, &exists)) && exists;
}

std::u16string MessageFontFamily() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
  const wchar_t* name = metrics.lfMessageFont.lfFaceName;
  return std::u16string(name, name + wcsnlen(name, LF_FACESIZE));
}

// A Latin letter and digit, a kana of each kind and a kanji: the scripts of
// the texts folio is read with.
constexpr std::array<UINT32, 5> kProbeCharacters{U'A', U'0', U'\u3042', U'\u30A2', U'\u6F22'};

int ProbeCharactersOf(IDWriteFontFamily& family) {
  ComPtr<IDWriteFont> font;
  if (FAILED(family.GetFirstMatchingFont(DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                         DWRITE_FONT_STYLE_NORMAL, font.GetAddressOf()))) {
    return 0;
  }
  int count = 0;
  for (const UINT32 character : kProbeCharacters) {
    BOOL exists = FALSE;
    if (SUCCEEDED(font->HasCharacter(character, &exists)) && exists) ++count;
  }
  return count;
}

std::u16string FamilyName(IDWriteFontFamily& family) {
  ComPtr<IDWriteLocalizedStrings> names;
  UINT32 length = 0;
  if (FAILED(family.GetFamilyNames(names.GetAddressOf())) || FAILED(names->GetStringLength(0, &length))) return {};
  std::wstring name(length + 1, L'\0');
  if (FAILED(names->GetString(0, name.data(), length + 1))) return {};
  return std::u16string(name.begin(), name.begin() + length);
}

// The first family with the most probe characters, in the collection's order.
std::u16string FamilyWithMostGlyphs(IDWriteFontCollection& fonts) {
  std::u16string best;
  int bestCount = 0;
  for (UINT32 i = 0; i < fonts.GetFontFamilyCount() && bestCount < int{kProbeCharacters.size()}; ++i) {
    ComPtr<IDWriteFontFamily> family;
    if (FAILED(fonts.GetFontFamily(i, family.GetAddressOf()))) continue;
    const int count = ProbeCharactersOf(*family.Get());
    if (count <= bestCount) continue;
    std::u16string name = FamilyName(*family.Get());
    if (name.empty()) continue;
    best = std::move(name);
    bestCount = count;
  }
  return best;
}

class KeptObjects {
 public:
  KeptObjects() { PinSystemLibraries(); }
  KeptObjects(const KeptObjects&) = delete;
  KeptObjects& operator=(const KeptObjects&) = delete;
  // An unload: one idle Direct2D factory, with its device, stays for the next load.
  ~KeptObjects() {
    if (!idleDirect2D_.empty()) LeaveProcessFactory(std::move(idleDirect2D_.back()));
  }

  HRESULT SharedFactory(ComPtr<IDWriteFactory>& factory) {
    const std::lock_guard lock(mutex_);
    if (!systemFonts_) {
      ComPtr<IDWriteFactory> fresh;
      ComPtr<IDWriteFontCollection> freshFonts;
      HRESULT status = DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                           reinterpret_cast<IUnknown**>(fresh.GetAddressOf()));
      if (SUCCEEDED(status)) status = fresh->GetSystemFontCollection(freshFonts.GetAddressOf(), FALSE);
      if (FAILED(status)) return status;
      directWrite_ = std::move(fresh);
      systemFonts_ = std::move(freshFonts);
    }
    factory = directWrite_;
    return S_OK;
  }

  std::u16string ResolvedFamily(std::u16string_view requested) {
    ComPtr<IDWriteFactory> factory;
    if (FAILED(SharedFactory(factory))) return std::u16string(requested);
    const std::lock_guard lock(mutex_);
    std::u16string family(requested);
    if (HasFamily(*systemFonts_.Get(), family)) return family;
    if (!standIn_) {
      // Decided once: the message font and the collection don't change
      // while the library stays loaded.
      std::u16string message = MessageFontFamily();
      standIn_ =
          HasFamily(*systemFonts_.Get(), message) ? std::move(message) : FamilyWithMostGlyphs(*systemFonts_.Get());
    }
    return standIn_->empty() ? family : *standIn_;
  }

  HRESULT TakeDirect2D(ComPtr<ID2D1Factory>& factory) {
    {
      std::unique_lock lock(mutex_);
      direct2DReturned_.wait(lock, [&] { return lentDirect2D_ < kMostLentDirect2D; });
      ++lentDirect2D_;
      if (!idleDirect2D_.empty()) {
        factory = std::move(idleDirect2D_.back());
        idleDirect2D_.pop_back();
        return S_OK;
      }
    }
    // The one that an unload left, before a new one.
    factory = TakeProcessFactory();
    HRESULT status = S_OK;
    if (!factory)
      status = D2D1CreateFactory(D2D1_FACTORY_TYPE_MULTI_THREADED, __uuidof(ID2D1Factory), nullptr,
                                 reinterpret_cast<void**>(factory.GetAddressOf()));
    if (FAILED(status)) EndLease();
    return status;
  }

  void ReturnDirect2D(ComPtr<ID2D1Factory> factory) noexcept {
    {
      const std::lock_guard lock(mutex_);
      try {
        idleDirect2D_.push_back(std::move(factory));
      } catch (const std::bad_alloc&) {
        // Not kept: released here.
      }
    }
    EndLease();
  }

 private:
  // Under Wine every factory in use holds a Direct3D device of its own, and
  // eight of them at once exhausted a 32-bit process: Direct3D then handed
  // Direct2D a null buffer, which it wrote through.  A viewer draws one page
  // at a time, and a second lets a file manager's thumbnails go on beside
  // it; further drawing calls wait.
  static constexpr int kMostLentDirect2D = 2;

  void EndLease() noexcept {
    {
      const std::lock_guard lock(mutex_);
      --lentDirect2D_;
    }
    direct2DReturned_.notify_one();
  }

  std::mutex mutex_;
  std::condition_variable direct2DReturned_;
  int lentDirect2D_ = 0;
  ComPtr<IDWriteFactory> directWrite_;
  ComPtr<IDWriteFontCollection> systemFonts_;
  std::optional<std::u16string> standIn_;
  std::vector<ComPtr<ID2D1Factory>> idleDirect2D_;  // as many as were ever lent at once
};

std::mutex keptMutex;
KeptObjects* kept = nullptr;

// Made on first use; a host unloads the library only when no call runs.
KeptObjects& Kept() {
  const std::lock_guard lock(keptMutex);
  if (!kept) kept = new KeptObjects;
  return *kept;
}

}  // namespace

HRESULT SharedFactory(ComPtr<IDWriteFactory>& factory) {
  return Kept().SharedFactory(factory);
}

std::u16string ResolvedFamily(std::u16string_view requested) {
  return Kept().ResolvedFamily(requested);
}

Direct2DFactoryLease::~Direct2DFactoryLease() {
  if (factory_) Kept().ReturnDirect2D(std::move(factory_));
}

HRESULT Direct2DFactoryLease::Take() {
  return Kept().TakeDirect2D(factory_);
}

}  // namespace folio::platform::dwrite

namespace folio::platform {

void ReleaseKeptEngineObjects() noexcept {
  const std::lock_guard lock(dwrite::keptMutex);
  delete std::exchange(dwrite::kept, nullptr);
}

}  // namespace folio::platform
