#include "platform/direct2d_process_factory.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

namespace folio::platform::dwrite {
namespace {

// Exchanges `value` with the process's slot: a pointer's worth of memory
// that every load of the library in this process finds by name.  The name
// holds the process id and the address of the process's heap, which no other
// process can read, so none can plant a slot (and a pointer) for this one.
// The handle that made the slot stays open, so the slot lives as long as the
// process; without a slot `value` comes back.
void* ExchangeProcessSlot(void* value) noexcept {
  wchar_t name[80];
  std::swprintf(name, std::size(name), L"Local\\folio-direct2d-factory-%lu-%p", GetCurrentProcessId(),
                static_cast<void*>(GetProcessHeap()));
  SetLastError(ERROR_SUCCESS);
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof value, name);
  if (!mapping) return value;
  const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
  void* before = value;
  if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof value)) {
    before = InterlockedExchangePointer(static_cast<void* volatile*>(view), value);
    UnmapViewOfFile(view);
  }
  if (!made) CloseHandle(mapping);
  return before;
}

// The factory whose reference `pointer` holds, taken over: MinGW's
// ComPtr::Attach would add a reference of its own.
Microsoft::WRL::ComPtr<ID2D1Factory> TakenOver(void* pointer) noexcept {
  Microsoft::WRL::ComPtr<ID2D1Factory> factory;
  *factory.GetAddressOf() = static_cast<ID2D1Factory*>(pointer);
  return factory;
}

}  // namespace

void PinSystemLibraries() noexcept {
  for (const wchar_t* name : {L"d2d1.dll", L"dwrite.dll"}) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, name, &module);
  }
}

Microsoft::WRL::ComPtr<ID2D1Factory> TakeProcessFactory() noexcept {
  return TakenOver(ExchangeProcessSlot(nullptr));
}

void LeaveProcessFactory(Microsoft::WRL::ComPtr<ID2D1Factory> factory) noexcept {
  // Whatever the slot gives back (a factory left there already, or this one) is released.
  TakenOver(ExchangeProcessSlot(factory.Detach()));
}

}  // namespace folio::platform::dwrite
