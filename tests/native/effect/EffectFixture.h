// A Controlsgui that counts its filter retunes, an editor that records what reaches it,
// and a fixture that creates the effect with a recording host.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "effect/Controlsgui.h"
#include "tests/support/TestHost.h"

class CountingControlsgui : public Controlsgui {
 public:
  using Controlsgui::Controlsgui;
  void updateCoefficients() override {
    ++retunes;
    Controlsgui::updateCoefficients();
  }
  int retunes = 0;  // counted from the end of construction on
};

class RecordingEditor : public AEffEditor {
 public:
  explicit RecordingEditor(AudioEffect* effect) : AEffEditor(effect) { effect->setEditor(this); }
  ~RecordingEditor() override { ++destroyed; }
  void setParameter(VstInt32 index, float value) override { received.emplace_back(index, value); }
  static int destroyed;
  std::vector<std::pair<VstInt32, float>> received;
};

class EffectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    effect = new CountingControlsgui(RecordingHost::callback);
    record = effect->getAeffect();
  }
  void TearDown() override {
    if (record != nullptr) {
      send(effClose);
    }
  }
  VstIntPtr send(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                 float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }
  std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0) {
    char buffer[256] = {};
    send(opcode, index, value, buffer);
    return buffer;
  }

  RecordingHost host;
  CountingControlsgui* effect = nullptr;
  AEffect* record = nullptr;
};
