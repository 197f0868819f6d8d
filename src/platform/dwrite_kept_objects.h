// What the DirectWrite backend keeps from its first call until the library
// is unloaded (Windows only).  Making these costs more than a page's
// layouts, and Wine needs some of them kept:
// - the shared DirectWrite factory with the system font collection: Wine's
//   DirectWrite tears the collection down unsafely when one thread releases
//   the last layout while another makes a new one;
// - idle Direct2D factories, each lent to one call at a time: under Wine the
//   render targets of one factory share a Direct3D device that two threads
//   can't drive at once;
// - the family that stands in for a missing one.
// An unload releases them all but one idle Direct2D factory, which it
// leaves to the process (direct2d_process_factory.h).
#pragma once

#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <string>
#include <string_view>

namespace folio::platform::dwrite {

using Microsoft::WRL::ComPtr;

// The shared factory; a failure is not kept, so the next call tries again.
HRESULT SharedFactory(ComPtr<IDWriteFactory>& factory);

// The family that text in `requested` is laid out in: `requested` when the
// system's font collection has it, else the system's message font, else the
// collection's first family with glyphs for Latin and Japanese text (else
// for most of them).  Measuring and drawing both ask here, so their pages
// agree.
std::u16string ResolvedFamily(std::u16string_view requested);

// A Direct2D factory, given back to the pool when the lease ends.
class Direct2DFactoryLease {
 public:
  Direct2DFactoryLease() = default;
  // Moved only into a measurer; assigning over a lease would drop its factory.
  Direct2DFactoryLease(Direct2DFactoryLease&&) = default;
  ~Direct2DFactoryLease();
  HRESULT Take();
  ID2D1Factory* operator->() const noexcept { return factory_.Get(); }

 private:
  ComPtr<ID2D1Factory> factory_;
};

}  // namespace folio::platform::dwrite
