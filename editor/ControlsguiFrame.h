// The editor's frame: a CFrame that also takes a file dropped anywhere on the face, over any
// control, as the player's impulse response (other drags, text, go to the views as before),
// offers the editor's sizes on a right click on the face, and passes on a change of screen
// density.
// Every entry point runs on the editor window's thread (the drop target's callbacks).
#pragma once

#include <functional>
#include <string>

#include "gui/frame/CFrame.h"

class ControlsguiFrame : public VSTGUI::CFrame {
 public:
  using FileDropped = std::function<void(const std::string& utf8Path)>;
  // A right click on the face where no control takes it (the point in the face's units).
  using BackgroundClicked = std::function<void(VSTGUI::CPos where)>;
  using DpiChanged = std::function<void(uint32_t dpi)>;

  struct Handlers {
    FileDropped fileDropped;
    BackgroundClicked backgroundRightClicked;
    DpiChanged dpiChanged;
  };

  ControlsguiFrame(const VSTGUI::CArea& bounds, void* parentWindow, VSTGUI::VSTGUIEditorInterface* editor,
                   Handlers handlers, float scale = 1.0f);

  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPos where, VSTGUI::CButtonState buttons) override;
  void onDpiChanged(uint32_t dpi) override;

  // A drag that brings a file is taken (the drop target then answers copy); whether the file can
  // be used is the loader's to say, in the editor's message line.
  bool acceptsDrop(VSTGUI::CDragContainer* drag, VSTGUI::CPos where) override;
  bool onDrop(VSTGUI::CDragContainer* drag, VSTGUI::CPos where) override;

  // The first file a drag brings (UTF-8), or false when it brings none.
  static bool firstFile(VSTGUI::CDragContainer* drag, std::string& utf8Path);

 private:
  Handlers handlers;
};
