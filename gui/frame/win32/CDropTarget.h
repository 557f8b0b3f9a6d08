// The frame window's OLE drop target: wraps each drag's data object in a WinDragContainer
// and feeds enter, move, leave and drop into the view tree. The system calls it on the
// thread that registered it (the editor window's thread).
#pragma once

#include <windows.h>

#include <ole2.h>

namespace VSTGUI {

class CFrame;
class CDragContainer;

class CDropTarget : public IDropTarget {
 public:
  explicit CDropTarget(CFrame* frame);
  virtual ~CDropTarget() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

  // Copy wins over move, move over link; anything else is left as offered.
  static DWORD reduceEffect(DWORD offered);
  // Called when the frame revokes the registration: a drag loop that still holds this
  // object must not reach a frame that is going away.
  void forgetFrame();
  // The drag in progress, or null.
  static CDragContainer* getCurrentDrag();

 private:
  LONG referenceCount = 0;  // the system's registration takes the first reference
  CFrame* frame = nullptr;
};

}  // namespace VSTGUI
