// The Direct2D factory that outlives the library's unloads (Windows only).
#if defined(_WIN32)
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/direct2d_process_factory.h"

namespace folio::platform::dwrite {
namespace {

using Microsoft::WRL::ComPtr;

ComPtr<ID2D1Factory> NewFactory() {
  ComPtr<ID2D1Factory> factory;
  D2D1CreateFactory(D2D1_FACTORY_TYPE_MULTI_THREADED, __uuidof(ID2D1Factory), nullptr,
                    reinterpret_cast<void**>(factory.GetAddressOf()));
  return factory;
}

// The references to `factory` besides the caller's own.
ULONG OtherReferences(ID2D1Factory& factory) {
  factory.AddRef();
  return factory.Release() - 1;
}

DWORD HandlesHeld() {
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  return handles;
}

TEST(ProcessDirect2DFactoryTest, WhatOneLoadLeavesTheNextTakesOnceAndNothingPilesUp) {
  const ComPtr<ID2D1Factory> first = NewFactory();
  const ComPtr<ID2D1Factory> second = NewFactory();
  ASSERT_TRUE(first && second);
  TakeProcessFactory();  // whatever an earlier test left

  LeaveProcessFactory(first);
  EXPECT_EQ(TakeProcessFactory().Get(), first.Get());
  EXPECT_EQ(TakeProcessFactory(), nullptr);

  // One left beside another: the process keeps one and releases the other.
  LeaveProcessFactory(first);
  LeaveProcessFactory(second);
  EXPECT_EQ(OtherReferences(*first.Get()), 0u);
  EXPECT_EQ(OtherReferences(*second.Get()), 1u);

  // Every load opens the slot; only the first keeps it open.
  const DWORD handles = HandlesHeld();
  for (int load = 0; load < 20; ++load) LeaveProcessFactory(TakeProcessFactory());
  EXPECT_EQ(HandlesHeld(), handles);
  TakeProcessFactory();
}

}  // namespace
}  // namespace folio::platform::dwrite
#endif
