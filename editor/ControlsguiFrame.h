// The editor's frame: a CFrame that also takes a file dropped anywhere on the face, over any
// control, as the player's impulse response. Other drags (text) go to the views as before.
// Every entry point runs on the editor window's thread (the drop target's callbacks).
#pragma once

#include <functional>
#include <string>

#include "gui/frame/CFrame.h"

class ControlsguiFrame : public VSTGUI::CFrame {
 public:
  using FileDropped = std::function<void(const std::string& utf8Path)>;

  ControlsguiFrame(const VSTGUI::CArea& bounds, void* parentWindow, VSTGUI::VSTGUIEditorInterface* editor,
                   FileDropped fileDropped);

  // A drag that brings a file is taken (the drop target then answers copy); whether the file can
  // be used is the loader's to say, in the editor's message line.
  bool acceptsDrop(VSTGUI::CDragContainer* drag, VSTGUI::CPos where) override;
  bool onDrop(VSTGUI::CDragContainer* drag, VSTGUI::CPos where) override;

  // The first file a drag brings (UTF-8), or false when it brings none.
  static bool firstFile(VSTGUI::CDragContainer* drag, std::string& utf8Path);

 private:
  FileDropped fileDropped;
};
