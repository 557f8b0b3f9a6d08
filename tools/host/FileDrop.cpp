#include "tools/host/FileDrop.h"

#ifdef _WIN32
#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <cstring>

#include "tools/host/TextConversion.h"

namespace {

// One file as CF_HDROP, a fresh copy for each GetData (the receiver frees it).
class DroppedFile : public IDataObject {
 public:
  explicit DroppedFile(std::wstring path) : path_(std::move(path)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject) ? this : nullptr;
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  // Lives on the caller's stack for the whole drop: counting is all there is to do.
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    const size_t bytes = sizeof(DROPFILES) + (path_.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (memory == nullptr) return E_OUTOFMEMORY;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, path_.c_str(), path_.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::wstring path_;
  ULONG refs_ = 1;
};

}  // namespace

std::string dropFile(void* window, int x, int y, const std::string& utf8Path) {
  POINT at = {x, y};
  ClientToScreen(static_cast<HWND>(window), &at);
  HWND target = WindowFromPoint(at);
  IDropTarget* drop = nullptr;
  for (; target != nullptr && drop == nullptr; target = GetParent(target)) {
    drop = static_cast<IDropTarget*>(GetPropW(target, L"OleDropTargetInterface"));
  }
  if (drop == nullptr) return "no drop target";
  // Targets ask the system where the pointer is, as they do during a real drag.
  SetCursorPos(at.x, at.y);
  DroppedFile data(widen(utf8Path));
  const POINTL point = {at.x, at.y};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  drop->DragEnter(&data, MK_LBUTTON, point, &effect);
  if (effect == DROPEFFECT_NONE) {
    drop->DragLeave();
    return "none";
  }
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  drop->DragOver(MK_LBUTTON, point, &effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  drop->Drop(&data, 0, point, &effect);
  return effect == DROPEFFECT_COPY   ? "copy"
         : effect == DROPEFFECT_MOVE ? "move"
         : effect == DROPEFFECT_LINK ? "link"
         : effect == DROPEFFECT_NONE ? "none"
                                     : "several effects";
}
#endif
