// A module resource presented as a read-only COM IStream, for GDI+'s own decoders.
// GDI+ may hold and release it from its own calls, so the count is interlocked.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstdint>

namespace VSTGUI {

class ResourceStream : public IStream {
 public:
  ResourceStream() = default;
  virtual ~ResourceStream() = default;

  // Finds and locks the resource; false when it does not exist.
  bool open(HMODULE module, LPCSTR name, LPCSTR type);
  // Streams over caller memory that outlives the stream (resources and tests).
  void setData(const uint8_t* bytes, uint32_t byteCount);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override;
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* position) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override;
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override;
  HRESULT STDMETHODCALLTYPE Revert() override;
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* record, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override;

  uint32_t getPosition() const { return position; }

 private:
  const uint8_t* data = nullptr;
  uint32_t position = 0;
  uint32_t size = 0;
  LONG referenceCount = 1;
};

}  // namespace VSTGUI
