// Root of every toolkit object: an intrusive reference count and a message hook.
// All toolkit objects live on the editor window's thread; the count is not atomic.
#pragma once

#include <cstdint>

namespace VSTGUI {

// Messages are compared by address, never by text: only these constants carry them.
extern const char kMsgCheckIfViewContainer[];
extern const char kMsgLooseFocus[];
extern const char kMsgNewFocusView[];
extern const char kMsgOldFocusView[];

class CBaseObject {
 public:
  CBaseObject() = default;
  CBaseObject& operator=(const CBaseObject&) = delete;

  virtual ~CBaseObject() = default;
  // Drops one reference; the last one destroys the object through the virtual destructor.
  virtual void release();
  virtual void retain();
  // 1 for a message the object understands, 0 otherwise.
  virtual int32_t handleMessage(CBaseObject* sender, const char* message);

  int32_t getNbReference() const { return referenceCount; }

 protected:
  // A copy is a new object: it starts with its own single reference.
  CBaseObject(const CBaseObject&) {}

 private:
  int32_t referenceCount = 1;
};

}  // namespace VSTGUI
