#include "tools/host/HostCallback.h"

#include <cstdio>
#include <cstring>

namespace {

HostCallback* active = nullptr;

// The host's version of the VST 2.4 interface, and this host's own version.
constexpr VstIntPtr kHostVstVersion = 2400;
constexpr VstIntPtr kHostVendorVersion = 1000;
constexpr VstIntPtr kLanguageEnglish = 1;

void copyText(void* ptr, const char* text, size_t limit) {
  if (!ptr) return;
  std::strncpy(static_cast<char*>(ptr), text, limit - 1);
  static_cast<char*>(ptr)[limit - 1] = '\0';
}

}  // namespace

HostCallback::HostCallback() {
  active = this;
}

HostCallback::~HostCallback() {
  if (active == this) active = nullptr;
}

VstIntPtr HostCallback::callback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt) {
  // Version requests are answered even without an active host: a plug-in may be probed before
  // anything else exists.
  if (opcode == audioMasterVersion) return kHostVstVersion;
  return active ? active->answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr HostCallback::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case audioMasterAutomate:
      ++automations_;
      std::fprintf(stderr, "korvalite-host: plug-in automates parameter %d = %g\n", index,
                   static_cast<double>(opt));
      return 0;
    case audioMasterBeginEdit:
      std::fprintf(stderr, "korvalite-host: plug-in begins editing parameter %d\n", index);
      return 1;
    case audioMasterEndEdit:
      std::fprintf(stderr, "korvalite-host: plug-in ends editing parameter %d\n", index);
      return 1;
    case audioMasterCurrentId:
      return 0;  // no shell plug-in is being enumerated
    case audioMasterIdle:
      return 0;
    case audioMasterPinConnected:
      // The published sense is inverted: 0 means connected. value 0 asks about an input.
      if (index < 0) return 1;
      return index < (value == 0 ? connectedInputs_ : connectedOutputs_) ? 0 : 1;
    case audioMasterWantMidi:
      return 0;  // this host sends no events
    case audioMasterIOChanged:
      ioChanged_ = true;
      return 1;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(sampleRate_);
    case audioMasterGetBlockSize:
      return blockSize_;
    case audioMasterGetVendorString:
      copyText(ptr, "Korvalite", kVstMaxVendorStrLen);
      return ptr ? 1 : 0;
    case audioMasterGetProductString:
      copyText(ptr, "korvalite-host", kVstMaxProductStrLen);
      return ptr ? 1 : 0;
    case audioMasterGetVendorVersion:
      return kHostVendorVersion;
    case audioMasterSizeWindow:
      return sizeWindow_ && sizeWindow_(index, static_cast<int>(value)) ? 1 : 0;
    case audioMasterCanDo:
      return canDo(static_cast<const char*>(ptr));
    case audioMasterGetLanguage:
      return kLanguageEnglish;
    case audioMasterUpdateDisplay:
      return 1;  // nothing on screen to refresh, but the request is understood
    default:
      // Time info, events, offline, windows, file selectors: not offered, as the interface
      // allows ("0 = not supported"). Plug-ins must cope with a null time info.
      return 0;
  }
}

VstIntPtr HostCallback::canDo(const char* text) {
  if (!text) return 0;
  static const char* const kYes[] = {"acceptIOChanges", "startStopProcess", "sizeWindow"};
  for (const char* yes : kYes)
    if (std::strcmp(text, yes) == 0) return 1;
  return 0;
}
