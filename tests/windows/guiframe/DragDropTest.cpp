// Drag and drop driven through the IDropTarget that the frame registered on its window,
// with data objects of our own: text, files and shell shortcuts.
#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/frame/CDragContainer.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/win32/CDropTarget.h"
#include "gui/frame/win32/WinDragContainer.h"
#include "tests/support/HostWindow.h"

using namespace VSTGUI;

namespace {

// Offers either one Unicode text or a list of files, each GetData a fresh copy for the
// receiver to free.
class TestDataObject : public IDataObject {
 public:
  static TestDataObject* text(const std::wstring& t) {
    auto* o = new TestDataObject;
    o->textValue = t;
    o->isText = true;
    return o;
  }
  static TestDataObject* files(const std::vector<std::wstring>& paths) {
    auto* o = new TestDataObject;
    o->fileList = paths;
    return o;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs;
    if (!left) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    std::vector<char> bytes;
    if (isText) {
      const char* p = reinterpret_cast<const char*>(textValue.c_str());
      bytes.assign(p, p + (textValue.size() + 1) * sizeof(wchar_t));
    } else {
      DROPFILES header = {};
      header.pFiles = sizeof(DROPFILES);
      header.fWide = TRUE;
      bytes.assign(reinterpret_cast<char*>(&header), reinterpret_cast<char*>(&header) + sizeof(header));
      for (const auto& f : fileList) {
        const char* p = reinterpret_cast<const char*>(f.c_str());
        bytes.insert(bytes.end(), p, p + (f.size() + 1) * sizeof(wchar_t));
      }
      bytes.insert(bytes.end(), sizeof(wchar_t), 0);
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    ++dataRequests;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    const CLIPFORMAT wanted = isText ? CF_UNICODETEXT : CF_HDROP;
    return format && format->cfFormat == wanted && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

  int dataRequests = 0;

 private:
  virtual ~TestDataObject() = default;
  ULONG refs = 1;
  bool isText = false;
  std::wstring textValue;
  std::vector<std::wstring> fileList;
};

struct Item {
  std::string bytes;
  int32_t type;
};

// Records the drag events and, on drop, every item of the drag; takes drops while `takes`.
struct DropView : CView {
  DropView() : CView(CArea(0, 0, 300, 200)) { setHitArea(CArea(-100000, -100000, 100000, 100000)); }
  bool acceptsDrop(CDragContainer*, CPos) override { return takes; }
  void onDragEnter(CDragContainer* drag, CPos) override {
    log += "enter,";
    count = drag->getItemCount();
    typeOfFirst = drag->getItemType(0);
  }
  void onDragMove(CDragContainer*, CPos) override { log += "move,"; }
  void onDragLeave(CDragContainer*, CPos) override { log += "leave,"; }
  bool onDrop(CDragContainer* drag, CPos) override {
    log += "drop,";
    int32_t size = 0, type = 0;
    for (void* p = drag->firstItem(size, type); p; p = drag->nextItem(size, type))
      items.push_back(Item{std::string(static_cast<const char*>(p), static_cast<size_t>(size)), type});
    lastType = type;
    return takes;
  }
  bool takes = true;
  std::string log;
  int32_t count = -1, typeOfFirst = -9, lastType = -9;
  std::vector<Item> items;
};

std::wstring toWide(const std::string& utf8) {
  wchar_t buffer[2048] = {};
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, buffer, 2048);
  return buffer;
}

bool makeShortcut(const std::wstring& linkPath, const std::wstring& target) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* file = nullptr;
  bool ok = SUCCEEDED(link->SetPath(target.c_str())) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
  if (file) file->Release();
  link->Release();
  return ok;
}

HWND hostWindow() {
  static HWND window = makeHostWindow(0, 0, 400, 300, WS_OVERLAPPEDWINDOW);
  return window;
}

struct DragDropTest : ::testing::Test {
  DragDropTest() {
    frame = new CFrame(CArea(0, 0, 300, 200), hostWindow(), nullptr);
    view = new DropView;
    frame->addView(view);
    target = static_cast<IDropTarget*>(
        GetPropW(static_cast<HWND>(frame->getWindowHandle()), L"OleDropTargetInterface"));
  }
  ~DragDropTest() override { delete frame; }
  CFrame* frame;
  DropView* view;
  IDropTarget* target;
  POINTL point = {0, 0};
};

TEST_F(DragDropTest, FrameWindowIsRegisteredOnce) {
  ASSERT_NE(target, nullptr);
  HWND hwnd = static_cast<HWND>(frame->getWindowHandle());
  EXPECT_EQ(RegisterDragDrop(hwnd, target), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_TRUE(frame->setDropActive(false));
  EXPECT_EQ(GetPropW(hwnd, L"OleDropTargetInterface"), nullptr);
  EXPECT_TRUE(frame->setDropActive(true));
  EXPECT_NE(GetPropW(hwnd, L"OleDropTargetInterface"), nullptr);
}

TEST_F(DragDropTest, EffectsAreReducedToOne) {
  ASSERT_NE(target, nullptr);
  TestDataObject* data = TestDataObject::text(L"x");
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target->DragEnter(data, 0, point, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  effect = DROPEFFECT_MOVE | DROPEFFECT_LINK;
  target->DragOver(0, point, &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));
  effect = DROPEFFECT_LINK;
  target->DragOver(0, point, &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_LINK));
  effect = DROPEFFECT_NONE;
  target->DragOver(0, point, &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(target->DragLeave(), S_OK);
  EXPECT_EQ(view->log, "enter,move,move,move,leave,");
  EXPECT_EQ(CDropTarget::getCurrentDrag(), nullptr);
  // Without a data object the drag is refused and nothing is routed.
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragEnter(nullptr, 0, point, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragOver(0, point, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(view->log, "enter,move,move,move,leave,");
  data->Release();
}

// A source that offered a move deletes its data when the drop answers "moved": where no view
// takes the drop, every answer is "none" (the no-drop cursor), the drop itself included.
TEST_F(DragDropTest, NothingTakingTheDropAnswersNone) {
  ASSERT_NE(target, nullptr);
  view->takes = false;
  TestDataObject* data = TestDataObject::files({L"C:\\kvdnd-keep.txt"});
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target->DragEnter(data, 0, point, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  effect = DROPEFFECT_MOVE;
  target->DragOver(0, point, &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  effect = DROPEFFECT_MOVE;
  EXPECT_EQ(target->Drop(data, 0, point, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(view->log, "enter,move,drop,leave,");
  data->Release();
}

TEST_F(DragDropTest, TextArrivesAsOneUtf8Item) {
  ASSERT_NE(target, nullptr);
  TestDataObject* data = TestDataObject::text(L"h\u00e9llo");
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragEnter(data, 0, point, &effect);
  EXPECT_EQ(view->count, 1);
  EXPECT_EQ(view->typeOfFirst, kDragItemText);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target->Drop(data, 0, point, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));  // taken: the one effect it was reduced to
  EXPECT_EQ(view->log, "enter,drop,leave,");
  ASSERT_EQ(view->items.size(), 1u);
  EXPECT_EQ(view->items[0].bytes, "h\xc3\xa9llo");
  EXPECT_EQ(view->items[0].type, kDragItemUtf8Text);
  EXPECT_EQ(CDropTarget::getCurrentDrag(), nullptr);
  data->Release();
}

TEST_F(DragDropTest, FilesResolveShortcutsOnlyOutsideDottedFolders) {
  ASSERT_NE(target, nullptr);
  CreateDirectoryW(L"C:\\kvdnd", nullptr);
  CreateDirectoryW(L"C:\\kvdnd\\plain", nullptr);
  CreateDirectoryW(L"C:\\kvdnd\\dir.with.dot", nullptr);
  const std::wstring targetFile = L"C:\\kvdnd\\target.txt";
  HANDLE h = CreateFileW(targetFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  const std::wstring plainLink = L"C:\\kvdnd\\plain\\shortcut.LNK";
  const std::wstring dottedLink = L"C:\\kvdnd\\dir.with.dot\\shortcut.lnk";
  ASSERT_TRUE(makeShortcut(plainLink, targetFile));
  ASSERT_TRUE(makeShortcut(dottedLink, targetFile));

  TestDataObject* data = TestDataObject::files({targetFile, plainLink, dottedLink});
  DWORD effect = DROPEFFECT_LINK;
  target->DragEnter(data, 0, point, &effect);
  EXPECT_EQ(view->count, 3);
  EXPECT_EQ(view->typeOfFirst, kDragItemFile);
  target->Drop(data, 0, point, &effect);
  ASSERT_EQ(view->items.size(), 3u);
  EXPECT_EQ(view->items[0].bytes, "C:\\kvdnd\\target.txt");
  EXPECT_EQ(view->items[0].type, kDragItemFile);
  // The shortcut became its target (possibly in short form).
  wchar_t longForm[2048] = {};
  GetLongPathNameW(toWide(view->items[1].bytes).c_str(), longForm, 2048);
  EXPECT_EQ(lstrcmpiW(longForm, targetFile.c_str()), 0) << view->items[1].bytes;
  EXPECT_EQ(view->items[2].bytes, "C:\\kvdnd\\dir.with.dot\\shortcut.lnk");
  data->Release();
}

TEST(DragContainer, WithoutDataObjectReportsErrors) {
  auto* drag = new WinDragContainer(nullptr);
  int32_t size = 7, type = 0;
  EXPECT_EQ(drag->firstItem(size, type), nullptr);
  EXPECT_EQ(type, kDragItemError);
  EXPECT_EQ(drag->getItemType(0), kDragItemError);
  EXPECT_EQ(drag->getItemCount(), 0);
  drag->release();
  wchar_t noShortcut[2048] = L"C:\\folder\\file.txt";
  EXPECT_FALSE(WinDragContainer::resolveShortcut(noShortcut));
  EXPECT_STREQ(noShortcut, L"C:\\folder\\file.txt");
}

}  // namespace

namespace {

TEST(DropTargetLifetime, TargetHeldPastTheFrameNoLongerReachesIt) {
  CFrame* frame = new CFrame(CArea(0, 0, 100, 100), hostWindow(), nullptr);
  auto* target = static_cast<IDropTarget*>(
      GetPropW(static_cast<HWND>(frame->getWindowHandle()), L"OleDropTargetInterface"));
  ASSERT_NE(target, nullptr);
  target->AddRef();  // as a drag loop in progress would
  delete frame;
  TestDataObject* data = TestDataObject::text(L"late");
  DWORD effect = DROPEFFECT_COPY;
  POINTL point = {0, 0};
  EXPECT_EQ(target->DragEnter(data, 0, point, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(target->Drop(data, 0, point, &effect), S_OK);
  EXPECT_EQ(target->Release(), 0u);
  data->Release();
}

}  // namespace
