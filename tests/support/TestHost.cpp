#include "tests/support/TestHost.h"

int TestEditor::destroyed = 0;
int TestEffect::destroyed = 0;

namespace {
RecordingHost* currentHost = nullptr;
}

RecordingHost::RecordingHost() {
  currentHost = this;
}
RecordingHost::~RecordingHost() {
  currentHost = nullptr;
}

VstIntPtr RecordingHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt) {
  if (currentHost == nullptr) {
    return 0;
  }
  currentHost->calls.push_back({effect, opcode, index, value, ptr, opt});
  auto answer = currentHost->answers.find(opcode);
  return answer != currentHost->answers.end() ? answer->second : 0;
}

int RecordingHost::count(VstInt32 opcode) const {
  int n = 0;
  for (const HostCall& call : calls) {
    n += call.opcode == opcode ? 1 : 0;
  }
  return n;
}

const HostCall* RecordingHost::last(VstInt32 opcode) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
    if (it->opcode == opcode) {
      return &*it;
    }
  }
  return nullptr;
}

void TestEffect::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
  for (VstInt32 c = 0; c < 2; ++c) {
    for (VstInt32 i = 0; i < frames; ++i) {
      outputs[c][i] = 2.0f * inputs[c][i];
    }
  }
}
