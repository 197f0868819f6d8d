// What the DirectWrite backend leaves to the process when the library is
// unloaded (Windows only), so that a host that loads the library for every
// call doesn't make them again for every call:
// - d2d1.dll and dwrite.dll stay loaded from the first use on, and with them
//   the shared DirectWrite factory and its system font collection, which
//   live in dwrite.dll;
// - one Direct2D factory, with the Direct3D device that Direct2D makes for
//   it: under Wine making a device costs more than drawing a page.
// Nothing of the library's own code or data is in them.
#pragma once

#include <d2d1.h>
#include <wrl/client.h>

namespace folio::platform::dwrite {

// Keeps d2d1.dll and dwrite.dll loaded for the rest of the process.
void PinSystemLibraries() noexcept;

// The factory that an unload left to the process, or null.
Microsoft::WRL::ComPtr<ID2D1Factory> TakeProcessFactory() noexcept;

// Leaves `factory` to the process, for a later load, in place of the one it
// held (released); released itself when the process has no place for it.
void LeaveProcessFactory(Microsoft::WRL::ComPtr<ID2D1Factory> factory) noexcept;

}  // namespace folio::platform::dwrite
