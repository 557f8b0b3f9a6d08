// The DAW's plug-in window for the editor command: a top-level window sized from
// effEditGetRect holding the plug-in's editor, idled about 30 times a second, passing the wheel
// and keys on as DAWs do; and the window thread's side of the script's actions. Every member
// runs on the window's thread except runOnWindowThread, which the script thread calls.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <string>

#include "plugin/VstInterface.h"
#include "tools/host/EditorScript.h"

class AudioFeeder;
class PluginInstance;

// Starts the clock the log's times count from.
void startEditorClock();
// One line on stderr with the milliseconds since the clock started.
void editorLog(const std::string& text);

class EditorHost {
 public:
  EditorHost(PluginInstance& plugin, AudioFeeder& audio) : plugin_(plugin), audio_(audio) {}

  AEffect* effect() const;
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  HWND window() const { return window_; }

  // Creates the window, opens the editor in it and starts the idle timer.
  void open();

  // Runs an action that needs the window's thread (parameters, screenshots) there.
  void runOnWindowThread(const EditorAction& action);

  // Until the window is closed (the script thread closes it at the end).
  void messageLoop();

  // The plug-in asked for another editor size (on the window's thread): the window's client
  // area becomes width x height. False when refused (refuseResize).
  bool resizeTo(int width, int height);
  void refuseResize(bool refuse) { refuseResize_ = refuse; }

  // Logs every parameter's value, each line starting with label.
  void printParameters(const char* label = "parameter");

  // Lets the editor draw what changed, then saves the window's client area as PNG.
  void screenshot(const std::string& path);

  static std::string formatValue(float v);

 private:
  static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  void runAction(const EditorAction& a);
  void reopen(int cycles);
  void measure(int milliseconds);

  // The published VST 2.4 key record: ASCII character, virtual key, modifier bits.
  static VstKeyCode keyCodeFor(UINT virtualKey);

  PluginInstance& plugin_;
  AudioFeeder& audio_;
  HWND window_ = nullptr;
  HWND dispatchedWindow_ = nullptr;  // the window the message loop is delivering to
  bool refuseResize_ = false;
};
#endif
