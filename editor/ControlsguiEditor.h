// Korvalite's editor: the amplifier face (one background picture, 1191 x 734 at 100 %) with
// four film-strip knobs, two VU meters, the power switch and five option menus laid over it, the
// mapping of those controls to the effect's parameters, the meter animation, and the editor's
// size (75 to 200 %: the one the player chose, kept with the project, else the one that suits
// the screen).
//
// Sizes: the controls keep the face's coordinates at every size; the frame's window and its
// pictures are made for the size. A change of size asks the host to resize its window
// (audioMasterSizeWindow) and, when it agrees, builds the window again at the next idle.
//
// Threads: the constructor and destructor run where the effect is created and destroyed;
// open, close, idle, valueChanged and the key requests on the host's user-interface thread;
// setParameter on whichever thread changes a parameter: on the window's thread it stores the
// value into its control at once; from any other thread (host automation, often the audio
// thread) it only marks the parameter, and the next idle brings the control up to date, so no
// other thread ever touches a control the window thread may be destroying.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "gui/controls/CControlListener.h"
#include "gui/frame/CPos.h"
#include "plugin/AEffGUIEditor.h"
#include "plugin/Relaxed.h"

class Controlsgui;

namespace VSTGUI {
class CAnimKnob;
class CBitmap;
class CFrame;
class COnOffButton;
class COptionMenu;
class CTextLabel;
}  // namespace VSTGUI

class ControlsguiEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
 public:
  // Takes the face's size as the editor's rectangle and makes plain knob drags linear for the
  // whole process; the pictures are decoded by the first open.
  explicit ControlsguiEditor(Controlsgui* effect);
  ~ControlsguiEditor() override;

  // Builds the frame in `parentWindow` (an HWND) and the controls showing the current values.
  bool open(void* parentWindow) override;
  // Destroys the frame with every control; the editor can be opened again.
  void close() override;
  // Repaints what changed and, at most every 60 ms, moves the meters toward the effect's
  // published levels.
  void idle() override;
  // A parameter changed (host, program or this editor): the matching control follows, at once
  // on the window's thread, at the next idle from any other.
  void setParameter(VstInt32 index, float value) override;

  // A control changed by the user: the parameter is set and reported to the host. The cabinet
  // menu's last entry instead opens the file dialog (chooseResponseFile).
  void valueChanged(VSTGUI::CControl* control) override;

  // Window thread: hands a file the player chose or dropped to the effect's loading thread; its
  // outcome shows at a later idle. Returns at once.
  void loadResponseFile(const std::string& utf8Path);
  // Window thread: the player picks a file in the Windows file dialog, which is then loaded.
  virtual void chooseResponseFile();

  // The size the host is told of (effEditGetRect): the size in force while open, else the one
  // the next open will take.
  bool getRect(ERect** rect) override;
  // Inside the frame's own loops (a drag, a pop-up) nothing is rebuilt.
  void idleWithHost() override;
  // The editor's size in percent (one of editorlayout::kSizes).
  int32_t getSizePercent() const { return sizePercent; }
  // Window thread: the player chose a size; it is kept with the project and asked of the host at
  // the next idle.
  void chooseSize(int32_t percent);

  // The cabinet's menu and message line (null while closed), and the line's text.
  VSTGUI::COptionMenu* getCabinetMenu() const { return cabMenu; }
  const std::string& getCabinetMessage() const { return cabMessageText; }

  VSTGUI::CBitmap* getBackground() const { return background; }
  const char* getInfoText() const { return infoText; }
  int32_t getLastTag() const { return lastTag; }

  static constexpr int32_t kInfoTextSize = 260;

 private:
  // The size the player chose, kept with the project; else the one that suits the screen `window`
  // (an HWND) is on, or the system's screen for none.
  int32_t wantedSize(void* window) const;
  void setRectFor(int32_t percent);
  void showSizeMenu(VSTGUI::CPos where);
  void followScreen(uint32_t dpi);
  // At an idle outside the frame's own messages: a size asked for since, granted by the host.
  void applyPendingSize();
  void releasePictures();
  void buildStripControls(VSTGUI::CFrame* built);
  void buildMenus(VSTGUI::CFrame* built);
  void buildCabinet(VSTGUI::CFrame* built);
  void showUserResponseName();
  void showCabinetMessage(const std::string& text);
  void collectFileOutcome();
  void cabinetChosen();
  float liveMeterLevel(int32_t tag) const;
  VSTGUI::CBitmap* picture(int32_t resource);
  void moveMeter(VSTGUI::CAnimKnob* meter, const Relaxed<float>* level, float elapsedMs);
  void describeChange(VSTGUI::CControl* control);
  void showParameter(VstInt32 index);

  Controlsgui* controlsgui;
  int32_t lastTag = 0;
  int32_t sizePercent = 100;
  int32_t pendingSize = 0;  // 0: none
  bool insideFrameIdle = false;
  // The decoded pictures at the size in force, one per resource: the background and the five
  // film strips.
  struct Picture {
    int32_t resource = 0;
    VSTGUI::CBitmap* bitmap = nullptr;
  };
  Picture pictures[6];
  VSTGUI::CBitmap* background = nullptr;  // one of the pictures, once opened
  char infoText[kInfoTextSize] = "---";
  VSTGUI::CTextLabel* infoLabel = nullptr;
  VSTGUI::CAnimKnob* knobs[4] = {};
  VSTGUI::CAnimKnob* meters[2] = {};
  VSTGUI::COptionMenu* menus[4] = {};  // tags 7 to 10
  VSTGUI::COnOffButton* powerSwitch = nullptr;
  VSTGUI::COptionMenu* cabMenu = nullptr;
  VSTGUI::CTextLabel* cabMessage = nullptr;
  std::string cabMessageText;  // kept across a close, shown again by the next open
  uint32_t shownResponseChanges = 0;
  uint32_t lastMeterTime = 0;
  // The thread that opened the window, and the parameters other threads changed since the last
  // idle (bit i for parameter i).
  std::atomic<std::thread::id> windowThread{};
  std::atomic<uint32_t> pendingParameters{0};
};
