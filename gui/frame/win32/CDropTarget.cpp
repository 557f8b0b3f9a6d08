#include "gui/frame/win32/CDropTarget.h"

#include "gui/frame/CFrame.h"
#include "gui/frame/win32/WinDragContainer.h"

namespace VSTGUI {

namespace {
// One drag at a time per module.
WinDragContainer* currentDrag = nullptr;
}  // namespace

CDropTarget::CDropTarget(CFrame* frameToServe) : frame(frameToServe) {}

void CDropTarget::forgetFrame() {
  frame = nullptr;
  if (currentDrag) currentDrag->release();
  currentDrag = nullptr;
}

CDragContainer* CDropTarget::getCurrentDrag() {
  return currentDrag;
}

HRESULT CDropTarget::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *out = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG CDropTarget::AddRef() {
  return static_cast<ULONG>(++referenceCount);
}

ULONG CDropTarget::Release() {
  const LONG left = --referenceCount;
  if (left == 0) {
    delete this;
    return 0;
  }
  return static_cast<ULONG>(left);
}

DWORD CDropTarget::reduceEffect(DWORD offered) {
  if (offered & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (offered & DROPEFFECT_MOVE) return DROPEFFECT_MOVE;
  if (offered & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  return offered;
}

HRESULT CDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (!data || !frame) {
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  // A drag that never sent leave or drop must not leak its container.
  if (currentDrag) currentDrag->release();
  currentDrag = new WinDragContainer(data);
  CPos where;
  frame->getCurrentMouseLocation(where);
  frame->onDragEnter(currentDrag, where);
  if (effect) *effect = frame->acceptsDrop(currentDrag, where) ? reduceEffect(*effect) : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (!currentDrag || !frame) {
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  CPos where;
  frame->getCurrentMouseLocation(where);
  frame->onDragMove(currentDrag, where);
  if (effect) *effect = frame->acceptsDrop(currentDrag, where) ? reduceEffect(*effect) : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CDropTarget::DragLeave() {
  if (!currentDrag || !frame) return S_OK;
  CPos where;
  frame->getCurrentMouseLocation(where);
  frame->onDragLeave(currentDrag, where);
  currentDrag->release();
  currentDrag = nullptr;
  return S_OK;
}

HRESULT CDropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
  if (!currentDrag || !frame) {
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  CPos where;
  frame->getCurrentMouseLocation(where);
  // The source acts on this answer: a move it believes done deletes the original.
  const bool accepted = frame->onDrop(currentDrag, where);
  if (effect) *effect = accepted ? reduceEffect(*effect) : DROPEFFECT_NONE;
  currentDrag->release();
  currentDrag = nullptr;
  return S_OK;
}

}  // namespace VSTGUI
