// A view that records what the tree sends it, for the routing tests.
#pragma once

#include <string>
#include <vector>

#include "gui/frame/CView.h"

namespace guiframe_test {

using namespace VSTGUI;

struct SpyView : CView {
  explicit SpyView(const CArea& a, CMouseEventResult downAnswer = kMouseHandled)
      : CView(a), down(downAnswer) {}

  CMouseEventResult onMouseDown(CPos where, CButtonState buttons) override {
    log.push_back("down");
    last = where;
    lastButtons = buttons;
    return down;
  }
  CMouseEventResult onMouseMoved(CPos where, CButtonState buttons) override {
    log.push_back("move");
    last = where;
    lastButtons = buttons;
    return moveAnswer;
  }
  CMouseEventResult onMouseUp(CPos where, CButtonState buttons) override {
    log.push_back("up");
    last = where;
    lastButtons = buttons;
    return kMouseIgnored;
  }
  CMouseEventResult onMouseEntered(CPos where, CButtonState) override {
    log.push_back("enter");
    last = where;
    return kMouseHandled;
  }
  CMouseEventResult onMouseExited(CPos where, CButtonState) override {
    log.push_back("exit");
    last = where;
    return kMouseHandled;
  }
  bool onWheel(CPos where, float distance, CButtonState) override {
    log.push_back("wheel");
    last = where;
    wheel = distance;
    return true;
  }
  void trackMouse(CDrawContext*, CPos where, CButtonState) override {
    log.push_back("track");
    last = where;
  }
  void focusLost() override { log.push_back("focusLost"); }
  void focusGained() override { log.push_back("focusGained"); }

  std::string joined() const {
    std::string s;
    for (const auto& e : log) s += (s.empty() ? "" : ",") + e;
    return s;
  }

  CMouseEventResult down;
  CMouseEventResult moveAnswer = kMouseHandled;
  std::vector<std::string> log;
  CPos last;
  CButtonState lastButtons = 0;
  float wheel = 0;
};

}  // namespace guiframe_test
