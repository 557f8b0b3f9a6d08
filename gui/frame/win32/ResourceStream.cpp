#include "gui/frame/win32/ResourceStream.h"

#include <cstring>

namespace VSTGUI {

bool ResourceStream::open(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return false;
  const DWORD bytes = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return false;
  const void* locked = LockResource(loaded);
  if (!locked) return false;
  setData(static_cast<const uint8_t*>(locked), bytes);
  return true;
}

void ResourceStream::setData(const uint8_t* bytes, uint32_t byteCount) {
  data = bytes;
  size = byteCount;
  position = 0;
}

HRESULT ResourceStream::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISequentialStream) ||
      IsEqualIID(iid, IID_IStream)) {
    *out = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG ResourceStream::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&referenceCount));
}

ULONG ResourceStream::Release() {
  const LONG left = InterlockedDecrement(&referenceCount);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ResourceStream::Read(void* buffer, ULONG count, ULONG* read) {
  // Compared in 64 bits so a huge count cannot wrap past the size.
  if (static_cast<uint64_t>(position) + count > size || (count && !buffer)) {
    if (read) *read = 0;
    return S_FALSE;
  }
  if (count) std::memcpy(buffer, data + position, count);
  position += count;
  if (read) *read = count;
  return S_OK;
}

HRESULT ResourceStream::Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* newPosition) {
  int64_t target = 0;
  switch (origin) {
    case STREAM_SEEK_SET:
      target = offset.QuadPart;
      break;
    case STREAM_SEEK_CUR:
      target = static_cast<int64_t>(position) + offset.QuadPart;
      break;
    case STREAM_SEEK_END:
      return S_FALSE;
    default:
      return STG_E_INVALIDFUNCTION;
  }
  if (target < 0 || target >= static_cast<int64_t>(size)) return S_FALSE;
  position = static_cast<uint32_t>(target);
  if (newPosition) newPosition->QuadPart = position;
  return S_OK;
}

HRESULT ResourceStream::Stat(STATSTG* record, DWORD) {
  if (!record) return STG_E_INVALIDPOINTER;
  std::memset(record, 0, sizeof(*record));
  record->cbSize.QuadPart = size;
  return S_OK;
}

HRESULT ResourceStream::Revert() {
  position = 0;
  return S_OK;
}

HRESULT ResourceStream::Write(const void*, ULONG, ULONG*) {
  return E_NOTIMPL;
}
HRESULT ResourceStream::SetSize(ULARGE_INTEGER) {
  return E_NOTIMPL;
}
HRESULT ResourceStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) {
  return E_NOTIMPL;
}
HRESULT ResourceStream::Commit(DWORD) {
  return E_NOTIMPL;
}
HRESULT ResourceStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return E_NOTIMPL;
}
HRESULT ResourceStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return E_NOTIMPL;
}
HRESULT ResourceStream::Clone(IStream**) {
  return E_NOTIMPL;
}

}  // namespace VSTGUI
