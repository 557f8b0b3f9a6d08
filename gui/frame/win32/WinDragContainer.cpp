#include "gui/frame/win32/WinDragContainer.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <cwchar>

namespace VSTGUI {

namespace {

constexpr UINT kPathCharacters = 2048;
// No dialog, any match, and a 500 ms time-out for the search, which goes in the high word.
const DWORD kResolveFlags = MAKELONG(SLR_NO_UI | SLR_ANY_MATCH, 500);

FORMATETC textFormat() {
  return FORMATETC{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}
FORMATETC fileFormat() {
  return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool fetch(IDataObject* data, FORMATETC format, STGMEDIUM& medium) {
  medium = STGMEDIUM{};
  return data && SUCCEEDED(data->GetData(&format, &medium));
}

// A heap copy of count UTF-16 characters as UTF-8 with terminator; size gets its length.
char* toUtf8(const wchar_t* text, int count, int32_t& size) {
  const int bytes =
      count > 0 ? WideCharToMultiByte(CP_UTF8, 0, text, count, nullptr, 0, nullptr, nullptr) : 0;
  if (count > 0 && bytes <= 0) return nullptr;
  auto* out = static_cast<char*>(std::malloc(static_cast<size_t>(bytes) + 1));
  if (!out) return nullptr;
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, count, out, bytes, nullptr, nullptr);
  out[bytes] = 0;
  size = bytes;
  return out;
}

}  // namespace

WinDragContainer::WinDragContainer(IDataObject* data) : dataObject(data) {
  if (!dataObject) return;
  STGMEDIUM medium;
  if (fetch(dataObject, textFormat(), medium)) {
    itemCount = 1;
    ReleaseStgMedium(&medium);
  } else if (fetch(dataObject, fileFormat(), medium)) {
    itemCount =
        static_cast<int32_t>(DragQueryFileW(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0));
    ReleaseStgMedium(&medium);
  }
}

WinDragContainer::~WinDragContainer() {
  freeItem();
}

void WinDragContainer::freeItem() {
  std::free(itemBuffer);
  itemBuffer = nullptr;
}

void* WinDragContainer::firstItem(int32_t& size, int32_t& type) {
  iterationIndex = 0;
  return nextItem(size, type);
}

void* WinDragContainer::nextItem(int32_t& size, int32_t& type) {
  if (!dataObject) {
    type = kDragItemError;
    return nullptr;
  }
  freeItem();
  size = 0;
  type = kDragItemUnknown;
  STGMEDIUM medium;
  if (fetch(dataObject, textFormat(), medium)) {
    const int32_t index = iterationIndex++;
    if (index == 0) {
      const void* locked = GlobalLock(medium.hGlobal);
      const SIZE_T bytes = GlobalSize(medium.hGlobal);
      if (locked && bytes) {
        // Bounded by the block: text without a terminator is not read past its end.
        const auto* text = static_cast<const wchar_t*>(locked);
        const int length = static_cast<int>(wcsnlen(text, bytes / sizeof(wchar_t)));
        itemBuffer = toUtf8(text, length, size);
        if (itemBuffer) type = kDragItemUtf8Text;
      }
      if (locked) GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return itemBuffer;
  }
  if (fetch(dataObject, fileFormat(), medium)) {
    const UINT index = static_cast<UINT>(iterationIndex++);
    wchar_t path[kPathCharacters] = {};
    if (DragQueryFileW(static_cast<HDROP>(medium.hGlobal), index, path, kPathCharacters) != 0) {
      resolveShortcut(path);
      itemBuffer = toUtf8(path, static_cast<int>(wcsnlen(path, kPathCharacters)), size);
      if (itemBuffer) type = kDragItemFile;
    }
    ReleaseStgMedium(&medium);
    return itemBuffer;
  }
  return nullptr;
}

int32_t WinDragContainer::getItemType(int32_t) {
  if (!dataObject) return kDragItemError;
  FORMATETC format = textFormat();
  return dataObject->QueryGetData(&format) == S_OK ? kDragItemText : kDragItemFile;
}

int32_t WinDragContainer::getItemCount() {
  return itemCount;
}

bool WinDragContainer::resolveShortcut(wchar_t* path) {
  const wchar_t* dot = std::wcschr(path, L'.');
  if (!dot || _wcsicmp(dot, L".lnk") != 0) return false;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))) ||
      !link)
    return false;
  bool resolved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) && file) {
    WIN32_FIND_DATAW found = {};
    resolved = SUCCEEDED(file->Load(path, STGM_READ)) && SUCCEEDED(link->Resolve(nullptr, kResolveFlags)) &&
               SUCCEEDED(link->GetPath(path, kPathCharacters, &found, SLGP_SHORTPATH));
    file->Release();
  }
  link->Release();
  return resolved;
}

}  // namespace VSTGUI
