// The editor inside this program (the same libraries the DLL is linked from, the pictures
// compiled in as resources), opened in a real window under Wine: the rectangle, the layout
// its open builds, parameter traffic in both directions, the meter animation, idle pacing,
// the host's wheel request and the resources 200 open/close cycles leave behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "editor/ControlsguiEditor.h"
#include "effect/Controlsgui.h"
#include "gui/controls/CAnimKnob.h"
#include "gui/controls/COnOffButton.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/PopupMenuTracker.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CFontDesc.h"
#include "gui/frame/CFrame.h"
#include "gui/frame/LiveObjectCounts.h"
#include "tests/support/EditorCensus.h"
#include "tests/support/HostWindow.h"
#include "tests/support/TestHost.h"
#include "tools/host/FileDrop.h"
#include "tools/host/TextConversion.h"

using namespace VSTGUI;

namespace {

constexpr VstInt32 kStCA = ('s' << 24) | ('t' << 16) | ('C' << 8) | 'A';
constexpr VstIntPtr kWhee = ('W' << 24) | ('h' << 16) | ('e' << 8) | 'e';

std::wstring scratchFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

// A stereo 24-bit FLAC response: a decaying tone on the left (the channel the cabinet takes).
bool writeFlac(const std::wstring& path, double seconds) {
  SF_INFO info = {};
  info.samplerate = 48000;
  info.channels = 2;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  SNDFILE* file = sf_wchar_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  const long frames = static_cast<long>(seconds * 48000);
  std::vector<float> samples(static_cast<size_t>(frames) * 2, 0.0f);
  for (long n = 0; n < frames; ++n) samples[2 * n] = 0.7f * std::exp(-0.001f * n) * std::cos(0.3f * n);
  const bool written = sf_writef_float(file, samples.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

// Plays the user at a pop-up from a second thread: waits for this process's pop-up menu, presses
// the keys, and presses escape should they not end it, so the test cannot hang.
class PopupKeys {
 public:
  explicit PopupKeys(std::vector<WORD> keys) : keys(std::move(keys)), worker([this] { run(); }) {}
  ~PopupKeys() {
    if (worker.joinable()) worker.join();
  }
  // The pop-up's height in pixels once joined (0 when none showed).
  int height() {
    if (worker.joinable()) worker.join();
    return shownHeight;
  }
  bool sawPopup = false;

 private:
  static HWND popup() { return visibleWindowOfClass(L"#32768"); }
  void press(HWND window, WORD key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    Sleep(60);
  }
  void run() {
    HWND shown = nullptr;
    for (int i = 0; i < 200 && shown == nullptr; ++i) {
      Sleep(25);
      shown = popup();
    }
    if (shown == nullptr) return;
    sawPopup = true;
    RECT r = {};
    GetWindowRect(shown, &r);
    shownHeight = r.bottom - r.top;
    for (WORD key : keys) press(shown, key);
    for (int i = 0; i < 10 && popup() != nullptr; ++i) {
      Sleep(100);
      if (HWND still = popup()) press(still, VK_ESCAPE);
    }
  }
  std::vector<WORD> keys;
  int shownHeight = 0;
  std::thread worker;
};

// Plays the user at the file dialog from a second thread: waits for this process's dialog, types
// the path into its file name box and presses Open.
class DialogUser {
 public:
  explicit DialogUser(std::wstring path) : path(std::move(path)), worker([this] { run(); }) {}
  ~DialogUser() { worker.join(); }
  bool sawDialog = false;

 private:
  void run() {
    for (int i = 0; i < 400 && !sawDialog; ++i) {
      Sleep(25);
      if (HWND dialog = visibleWindowOfClass(L"#32770")) answer(dialog);
    }
  }
  void answer(HWND dialog) {
    sawDialog = true;
    Sleep(200);
    // The file name box: an edit field (edt1) or, in the explorer style, a combo box (cmb13).
    SetDlgItemTextW(dialog, 0x480, path.c_str());
    SetDlgItemTextW(dialog, 0x47C, path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  }
  std::wstring path;
  std::thread worker;
};

// Chooses a pop-up's first entry without showing it, while it lives.
class FirstEntry : public PopupMenuTracker {
 public:
  FirstEntry() { PopupMenuTracker::install(this); }
  ~FirstEntry() override { PopupMenuTracker::install(nullptr); }
  int32_t track(COptionMenu&, CFrame&, CPos, bool) override { return 0; }
};

class EditorRuntime : public ::testing::Test {
 protected:
  void SetUp() override {
    host.answers = {{audioMasterVersion, 2400}, {audioMasterBeginEdit, 1}, {audioMasterEndEdit, 1}};
    effect.reset(new Controlsgui(&RecordingHost::callback));
    parent = makeEditorParent();
    ASSERT_NE(parent, nullptr);
  }
  void TearDown() override {
    effect.reset();
    DestroyWindow(parent);
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect->dispatcher(opcode, index, value, ptr, opt);
  }
  ControlsguiEditor* editor() { return static_cast<ControlsguiEditor*>(effect->getEditor()); }
  CFrame* frame() { return editor()->getFrame(); }
  void open() { ASSERT_EQ(dispatch(effEditOpen, 0, 0, parent), 1); }
  void close() { dispatch(effEditClose); }
  template <typename T>
  T* control(int position) {
    return static_cast<T*>(frame()->getChild(position));
  }
  CAnimKnob* meter(int which) { return control<CAnimKnob>(5 + which); }
  COptionMenu* menu(int tag) { return control<COptionMenu>(tag); }  // tags 7..10 sit at 7..10
  void pumpMessages() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }

  RecordingHost host;
  std::unique_ptr<Controlsgui> effect;
  HWND parent = nullptr;
};

// Instances are many and opened windows few: the rectangle needs no picture decoded.
TEST_F(EditorRuntime, RectangleIsTheFacesSizeWithNoPictureDecoded) {
  EXPECT_EQ(liveCount(kLiveBitmaps), 0);
  EXPECT_TRUE(effect->getAeffect()->flags & effFlagsHasEditor);
  ERect* rect = nullptr;
  ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 734);
  EXPECT_EQ(rect->right, 1191);
  // Closed: idle and keys do nothing.
  dispatch(effEditIdle);
  EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
  EXPECT_EQ(dispatch(effVendorSpecific, kStCA, kWhee, nullptr, 1.0f), 0);
}

// The size comes from the project when the player chose one (offered sizes only: a stored 50
// opens at 75), else from the screen; a new size is asked of the host first. A host that
// refuses keeps the window at its size, the choice kept for the next open; one that agrees
// gets a window of the new size, the controls still where the face has them.
TEST_F(EditorRuntime, SizeComesFromTheProjectOrTheScreenAndTheHostIsAskedFirst) {
  auto rectSize = [this] {
    ERect* rect = nullptr;
    dispatch(effEditGetRect, 0, 0, &rect);
    return rect ? std::make_pair(rect->right - rect->left, rect->bottom - rect->top) : std::make_pair(0, 0);
  };
  auto windowSize = [this] {
    RECT r = {};
    GetClientRect(static_cast<HWND>(frame()->getWindowHandle()), &r);
    return std::make_pair(static_cast<int>(r.right), static_cast<int>(r.bottom));
  };
  EXPECT_EQ(rectSize(), std::make_pair(1191, 734)) << "a 96 dpi screen";
  effect->setEditorScale(50);
  EXPECT_EQ(rectSize(), std::make_pair(893, 551));
  effect->setEditorScale(150);
  EXPECT_EQ(rectSize(), std::make_pair(1787, 1101));
  open();
  EXPECT_EQ(windowSize(), std::make_pair(1787, 1101));
  EXPECT_EQ(frame()->getBounds(), CArea(0, 0, 1191, 734));
  // Refused.
  editor()->chooseSize(200);
  dispatch(effEditIdle);
  ASSERT_NE(host.last(audioMasterSizeWindow), nullptr);
  EXPECT_EQ(host.last(audioMasterSizeWindow)->index, 2382);
  EXPECT_EQ(host.last(audioMasterSizeWindow)->value, 1468);
  EXPECT_EQ(windowSize(), std::make_pair(1787, 1101));
  EXPECT_EQ(editor()->getSizePercent(), 150);
  EXPECT_EQ(effect->getEditorScale(), 200u);
  // Agreed, through the sizes' pop-up on the face (its first entry, 75 %, chosen by a tracker of
  // the test's: keys sent to a real pop-up on a loaded machine can arrive before it tracks). The
  // real pop-up's text is set at the editor's size: at 75 % it is half as tall as at 150 %.
  host.answers[audioMasterSizeWindow] = 1;
  int tall = 0, small = 0;
  {
    PopupKeys user({VK_ESCAPE});
    frame()->onMouseDown(CPos(600, 400), kButtonRight);
    tall = user.height();
  }
  {
    FirstEntry first;
    frame()->onMouseDown(CPos(600, 400), kButtonRight);
  }
  dispatch(effEditIdle);
  EXPECT_EQ(effect->getEditorScale(), 75u);
  EXPECT_EQ(windowSize(), std::make_pair(893, 551));
  EXPECT_EQ(rectSize(), std::make_pair(893, 551));
  EXPECT_EQ(control<CAnimKnob>(0)->getBounds(), CArea(80, 538, 80 + 97, 538 + 101));
  {
    PopupKeys user({VK_ESCAPE});
    frame()->onMouseDown(CPos(600, 400), kButtonRight);
    small = user.height();
  }
  EXPECT_NEAR(static_cast<double>(tall) / small, 2.0, 0.3) << tall << " vs " << small;
  // The window moves to a screen of 192 dpi: a size the player chose stays, one never chosen
  // follows the screen.
  RECT suggested = {};
  SendMessageW(static_cast<HWND>(frame()->getWindowHandle()), 0x02E0 /* WM_DPICHANGED */,
               MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  dispatch(effEditIdle);
  EXPECT_EQ(windowSize(), std::make_pair(893, 551));
  effect->setEditorScale(0);
  SendMessageW(static_cast<HWND>(frame()->getWindowHandle()), 0x02E0, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  dispatch(effEditIdle);
  EXPECT_EQ(windowSize(), std::make_pair(2382, 1468));
  close();
}

// Class, place, size, tag and picture geometry of each view, in the order added.
TEST_F(EditorRuntime, OpenBuildsTheTwelveControlsAndTheMessageLineInOrder) {
  open();
  ASSERT_NE(frame(), nullptr);
  EXPECT_EQ(frame()->getBackground(), editor()->getBackground());
  EXPECT_EQ(frame()->getBounds(), CArea(0, 0, 1191, 734));
  struct Expected {
    const char* className;
    int x, y, width, height, tag, frames;
  } const expected[] = {
      {"CAnimKnob", 80, 538, 97, 101, 0, 261},     {"CAnimKnob", 246, 538, 97, 101, 1, 261},
      {"CAnimKnob", 864, 539, 97, 101, 2, 261},    {"CAnimKnob", 1067, 616, 27, 30, 3, 261},
      {"COnOffButton", 1037, 520, 121, 105, 6, 2}, {"CAnimKnob", 448, 555, 114, 87, 4, 131},
      {"CAnimKnob", 660, 554, 114, 87, 5, 131},    {"COptionMenu", 88, 195, 49, 17, 7, 0},
      {"COptionMenu", 1011, 178, 62, 22, 8, 0},    {"COptionMenu", 1046, 511, 75, 22, 9, 0},
      {"COptionMenu", 334, 95, 190, 22, 10, 0},    {"COptionMenu", 70, 95, 214, 22, 11, 0},
  };
  ASSERT_EQ(frame()->getChildCount(), 13);
  for (int i = 0; i < 12; ++i) {
    const Expected& e = expected[i];
    SCOPED_TRACE(i);
    CView* view = frame()->getChild(i);
    ASSERT_TRUE(view->isTypeOf(e.className));
    EXPECT_EQ(view->getBounds(), CArea(e.x, e.y, e.x + e.width, e.y + e.height));
    auto* c = static_cast<CControl*>(view);
    EXPECT_EQ(c->getTag(), e.tag);
    EXPECT_EQ(c->getListener(), editor());
    if (std::strcmp(e.className, "CAnimKnob") == 0) {
      auto* knob = static_cast<CAnimKnob*>(view);
      EXPECT_EQ(knob->getFrameCount(), e.frames);
      EXPECT_EQ(knob->getFrameHeight(), e.height);
      ASSERT_NE(knob->getBackground(), nullptr);
      EXPECT_EQ(knob->getBackground()->getHeight(), e.height * e.frames);
    }
  }
  const char* const titles[4][2] = {{"Input 1", "Input 2"},
                                    {"Output 1", "Output 2"},
                                    {"Stiff", "Sagging"},
                                    {"Tap to Preamp", "Tap to Stage 2"}};
  for (int tag = 7; tag <= 10; ++tag) {
    COptionMenu* m = menu(tag);
    ASSERT_EQ(m->getItemCount(), 2);
    for (int i = 0; i < 2; ++i) EXPECT_STREQ(m->getItem(i)->getTitle(), titles[tag - 7][i]);
    EXPECT_EQ(m->getFont(), fontText14);
    EXPECT_EQ(m->getStyle() & kStyle3DIn, kStyle3DIn);
    // The pop-up marks the entry in force, and only that one.
    for (int i = 0; i < 2; ++i) {
      PopupMenuEntry entry;
      ASSERT_TRUE(m->describePopupEntry(i, 0, entry));
      EXPECT_EQ(entry.checked, i == m->getCurrentIndex()) << tag << " entry " << i;
    }
    EXPECT_EQ(m->getBackgroundColor(), CRgbaColor(255, 255, 255, 0));
    EXPECT_EQ(m->getOutlineColor(), CRgbaColor(255, 255, 255, 0));
    EXPECT_EQ(m->getTextColor(), tag == 10 ? CRgbaColor(200, 200, 200, 120) : CRgbaColor(0, 0, 0, 200));
  }
  // The cabinet: Off, the built-in four, User (no file yet), a separator and the file dialog; the
  // default 2x12 in force. Then the message line, empty, which takes no clicks.
  COptionMenu* cab = control<COptionMenu>(11);
  const char* const cabinets[] = {"No Cabinet",
                                  "4x12 Closed Back",
                                  "2x12 Open Back",
                                  "1x12 Open Combo",
                                  "1x10 Small Combo",
                                  "User (no file loaded)",
                                  "",
                                  "Load Impulse Response..."};
  ASSERT_EQ(cab->getItemCount(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_STREQ(cab->getItem(i)->getTitle(), cabinets[i]);
  EXPECT_TRUE(cab->getItem(6)->isSeparator());
  EXPECT_EQ(cab->getCurrentIndex(true), 2);
  EXPECT_EQ(cab->getTextColor(), CRgbaColor(200, 200, 200, 120));
  CView* line = frame()->getChild(12);
  ASSERT_TRUE(line->isTypeOf("CTextLabel"));
  EXPECT_EQ(line->getBounds(), CArea(176, 130, 588, 146));
  EXPECT_FALSE(line->isMouseEnabled());
  // Each picture is held by the controls showing it and once by the editor, which keeps it
  // decoded for the next open.
  EXPECT_EQ(control<CAnimKnob>(0)->getBackground()->getNbReference(), 4);
  EXPECT_EQ(control<CAnimKnob>(3)->getBackground()->getNbReference(), 2);
  EXPECT_EQ(control<COnOffButton>(4)->getBackground()->getNbReference(), 2);
  CBitmap* strip = control<CAnimKnob>(0)->getBackground();
  close();
  EXPECT_EQ(editor()->getFrame(), nullptr);
  open();
  EXPECT_EQ(control<CAnimKnob>(0)->getBackground(), strip);  // not decoded again
  close();
}

// A file dropped on the face, over a knob, is loaded on the effect's loading thread: the drop
// answers copy, the cabinet moves to User, the menu shows the file's name; a file that cannot be
// used changes nothing and the message line says why; a long one loads with a notice.
TEST_F(EditorRuntime, AFileDroppedOnTheFaceBecomesTheCabinet) {
  open();
  const std::wstring flac = scratchFile(L"Greenback 4x12 \u00e9.flac");
  const std::wstring hall = scratchFile(L"hall.flac");
  const std::wstring notes = scratchFile(L"notes.wav");
  ASSERT_TRUE(writeFlac(flac, 0.2));
  ASSERT_TRUE(writeFlac(hall, 1.5));
  HANDLE text = CreateFileW(notes.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(text, "words, not audio", 16, &written, nullptr);
  CloseHandle(text);

  COptionMenu* cab = control<COptionMenu>(11);
  // Over the gain knob, as Explorer drops; the editor's idle collects the outcome.
  auto drop = [&](const std::wstring& path) {
    EXPECT_EQ(dropFile(frame()->getWindowHandle(), 128, 588, narrow(path)), "copy");
    for (int i = 0; i < 400 && editor()->getCabinetMessage().rfind("Loading", 0) == 0; ++i) {
      Sleep(10);
      dispatch(effEditIdle);
    }
  };

  drop(flac);
  EXPECT_EQ(editor()->getCabinetMessage(), "");
  EXPECT_EQ(effect->getParameter(kParamCab), 1.0f);
  EXPECT_EQ(cab->getCurrentIndex(true), 5);
  // The entry shows the name's first 16 bytes, cut before the é rather than through it.
  EXPECT_STREQ(cab->getItem(5)->getTitle(), "User: Greenback 4x12 ...");

  drop(notes);
  EXPECT_EQ(editor()->getCabinetMessage(), "notes.wav: not a WAV, AIFF or FLAC audio file");
  EXPECT_EQ(effect->getUserResponseName(), "Greenback 4x12 \xC3\xA9.flac");
  EXPECT_EQ(cab->getCurrentIndex(true), 5);

  drop(hall);
  EXPECT_EQ(editor()->getCabinetMessage(), "hall.flac is longer than 1 s: its first second is used");
  EXPECT_STREQ(cab->getItem(5)->getTitle(), "User: hall.flac");
  close();
  DeleteFileW(flac.c_str());
  DeleteFileW(hall.c_str());
  DeleteFileW(notes.c_str());
}

// The cabinet menu's pop-up, chosen with the keyboard: a built-in cabinet sets the parameter; the
// last entry opens the file dialog, whose file is loaded; the host's value moves the menu.
TEST_F(EditorRuntime, TheCabinetMenuChoosesCabinetsAndOpensTheFileDialog) {
  open();
  COptionMenu* cab = control<COptionMenu>(11);
  const CArea bounds = cab->getBounds();
  const CPos middle((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
  {
    // The fifth entry, 1x10 (the pop-up opens with nothing highlighted).
    PopupKeys user({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    frame()->onMouseDown(middle, kButtonLeft);
  }
  EXPECT_EQ(effect->getParameter(kParamCab), 0.8f);
  EXPECT_EQ(cab->getCurrentIndex(true), 4);

  const std::wstring flac = scratchFile(L"chosen.flac");
  ASSERT_TRUE(writeFlac(flac, 0.1));
  {
    DialogUser chooser(flac);
    PopupKeys user({VK_UP, VK_RETURN});  // up from nothing: the last entry
    frame()->onMouseDown(middle, kButtonLeft);
  }
  EXPECT_EQ(cab->getCurrentIndex(true), 4) << "the dialog's entry never stays chosen";
  for (int i = 0; i < 400 && effect->getParameter(kParamCab) != 1.0f; ++i) {
    Sleep(10);
    dispatch(effEditIdle);
  }
  EXPECT_EQ(effect->getUserResponseName(), "chosen.flac");
  EXPECT_EQ(effect->getParameter(kParamCab), 1.0f);
  EXPECT_EQ(cab->getCurrentIndex(true), 5);

  effect->setParameter(kParamCab, 0.0f);
  EXPECT_EQ(cab->getCurrentIndex(true), 0);
  close();
  DeleteFileW(flac.c_str());
}

TEST_F(EditorRuntime, ReopeningShowsTheValuesCurrentThen) {
  effect->setParameter(0, 0.3f);
  open();
  EXPECT_FLOAT_EQ(control<CAnimKnob>(0)->getValue(), 0.3f);
  close();
  // Changes while closed reach nothing on screen, and are shown by the next open.
  effect->setParameter(0, 0.8f);
  effect->setParameter(6, 0.0f);
  effect->setParameter(8, 0.01f);
  open();
  EXPECT_FLOAT_EQ(control<CAnimKnob>(0)->getValue(), 0.8f);
  EXPECT_EQ(control<COnOffButton>(4)->getValue(), 0.0f);
  EXPECT_EQ(menu(8)->getCurrentIndex(), 1);
  EXPECT_EQ(menu(7)->getCurrentIndex(), 0);
  close();
}

TEST_F(EditorRuntime, ControlChangesSetAndAutomateParameters) {
  open();
  COptionMenu* input = menu(7);
  input->setValue(1.0f);
  editor()->valueChanged(input);
  EXPECT_EQ(effect->getParameter(7), 0.01f);
  ASSERT_FALSE(host.calls.empty());
  EXPECT_EQ(host.calls.back().opcode, audioMasterAutomate);
  EXPECT_EQ(host.calls.back().index, 7);
  EXPECT_EQ(host.calls.back().opt, 0.01f);
  EXPECT_EQ(input->getCurrentIndex(), 1);  // the effect's echo keeps the choice
  // The supply's second entry switches the sag on.
  menu(9)->setValue(1.0f);
  editor()->valueChanged(menu(9));
  EXPECT_EQ(effect->getParameter(9), 0.01f);
  EXPECT_EQ(menu(9)->getCurrentIndex(), 1);

  CAnimKnob* gain = control<CAnimKnob>(0);
  gain->setValue(0.3f);
  editor()->valueChanged(gain);
  EXPECT_FLOAT_EQ(effect->getParameter(0), 0.3f);
  EXPECT_STREQ(editor()->getInfoText(), "Input Gain 30.00");

  // The meters drive no parameter.
  const size_t before = host.calls.size();
  meter(0)->setValue(0.9f);
  editor()->valueChanged(meter(0));
  EXPECT_EQ(host.calls.size(), before);
  EXPECT_EQ(editor()->getLastTag(), 4);
  close();
}

// A menu shows the entry of what the amplifier does with the value: the input transformer and
// the output tap switch in where value x 100 truncates to non-zero, the output transformer and
// the supply sag above 0.
// Every edit a control began is ended by close, whatever the window was doing (a drag, a pop-up
// still tracking); an end arriving after that reaches the host no more.
TEST_F(EditorRuntime, CloseEndsEveryOpenEdit) {
  open();
  CAnimKnob* gain = control<CAnimKnob>(0);
  gain->onMouseDown(CPos(80 + 48, 538 + 50), kButtonLeft);
  gain->onMouseMoved(CPos(80 + 60, 538 + 40), kButtonLeft);
  editor()->beginEdit(9);  // as the supply menu's pop-up does while it tracks
  EXPECT_EQ(host.count(audioMasterBeginEdit), 2);
  EXPECT_EQ(host.count(audioMasterEndEdit), 0);
  close();
  EXPECT_EQ(host.count(audioMasterEndEdit), 2);
  editor()->endEdit(9);  // the pop-up returning after the close
  EXPECT_EQ(host.count(audioMasterEndEdit), 2);
  open();
  close();
  EXPECT_EQ(host.count(audioMasterEndEdit), 2);
}

// The power switch's picture spans the pilot lamp and the mix knob's top rows; only its lever
// takes a click.
TEST_F(EditorRuntime, OnlyTheLeverTogglesThePower) {
  open();
  auto press = [&](int x, int y) {
    frame()->onMouseDown(CPos(x, y), kButtonLeft);
    frame()->onMouseUp(CPos(x, y), kButtonLeft);
  };
  press(1037 + 28, 520 + 56);  // the pilot lamp
  press(1080, 618);            // the mix knob, inside the switch's rectangle
  EXPECT_EQ(effect->getParameter(6), 1.0f);
  ASSERT_EQ(host.count(audioMasterBeginEdit), 1);
  EXPECT_EQ(host.last(audioMasterBeginEdit)->index, 3);  // the press reached the mix knob
  press(1037 + 84, 520 + 30);                            // the lever
  EXPECT_EQ(effect->getParameter(6), 0.0f);
  close();
}

// Control-click returns each control to its parameter's default: the mix to fully wet.
TEST_F(EditorRuntime, ControlClickRestoresTheParametersOwnDefault) {
  effect->setParameter(0, 0.9f);
  effect->setParameter(3, 0.2f);
  open();
  UpdateWindow(parent);  // drawn, as a user sees them before clicking
  pumpMessages();
  control<CAnimKnob>(0)->onMouseDown(CPos(80 + 48, 538 + 50), kButtonLeft | kModControl);
  control<CAnimKnob>(3)->onMouseDown(CPos(1067 + 13, 616 + 20), kButtonLeft | kModControl);
  EXPECT_EQ(effect->getParameter(0), 0.5f);
  EXPECT_EQ(effect->getParameter(3), 1.0f);
  EXPECT_EQ(host.count(audioMasterBeginEdit), host.count(audioMasterEndEdit));
  close();
}

TEST_F(EditorRuntime, HostValuesMoveKnobsMenusAndThePowerSwitch) {
  open();
  const struct {
    int tag;
    float value;
    int entry;
  } cases[] = {{7, 0.01f, 1}, {7, 0.005f, 0},  {7, 0.5f, 1},   {7, 1.0f, 1},   {7, 0.0f, 0},
               {10, 1.0f, 1}, {10, 0.009f, 0}, {10, 0.02f, 1}, {8, 0.001f, 1}, {8, 0.0f, 0},
               {8, 0.7f, 1},  {9, 0.01f, 1},   {9, 0.0f, 0},   {9, 1.0f, 1},   {9, 0.0001f, 1}};
  for (const auto& c : cases) {
    effect->setParameter(c.tag, c.value);
    EXPECT_EQ(menu(c.tag)->getCurrentIndex(), c.entry) << c.tag << " at " << c.value;
  }
  effect->setParameter(1, 0.7f);
  EXPECT_FLOAT_EQ(control<CAnimKnob>(1)->getValue(), 0.7f);
  // Automation of the power switch shows as well, as the amplifier reads it (on above 0.5).
  effect->setParameter(6, 0.0f);
  EXPECT_EQ(control<COnOffButton>(4)->getValue(), 0.0f);
  effect->setParameter(6, 0.7f);
  EXPECT_EQ(control<COnOffButton>(4)->getValue(), 1.0f);
  effect->setParameter(6, 0.5f);
  EXPECT_EQ(control<COnOffButton>(4)->getValue(), 0.0f);
  close();
}

// The needle jumps to a higher level at once and falls by 0.0002 per elapsed millisecond
// (0.2 of full scale a second), never below its target, at most once per 60 ms.
TEST_F(EditorRuntime, MetersJumpUpAndFallAFifthOfFullScaleASecond) {
  *effect->getMeterLevel1() = 0.25f;
  open();
  EXPECT_EQ(meter(0)->getValue(), 0.25f);  // the level playing, not a stored value
  EXPECT_EQ(meter(1)->getValue(), 0.0f);
  auto* level1 = effect->getMeterLevel1();
  auto* level2 = effect->getMeterLevel2();
  *level1 = 0.9f;
  *level2 = 0.4f;
  dispatch(effEditIdle);
  const DWORD updated = GetTickCount();
  EXPECT_EQ(meter(0)->getValue(), 0.9f);
  EXPECT_EQ(meter(1)->getValue(), 0.4f);

  *level1 = 0.0f;
  *level2 = 0.0f;
  dispatch(effEditIdle);  // well within 60 ms of the last pass
  EXPECT_EQ(meter(0)->getValue(), 0.9f);

  Sleep(500);
  const DWORD before = GetTickCount();
  dispatch(effEditIdle);
  const DWORD after = GetTickCount();
  // The pass measured its own elapsed time somewhere between these bounds (tick granularity
  // allowed for on both sides).
  const float fallenLeast = static_cast<float>(before - updated - 16) * 0.0002f;
  const float fallenMost = static_cast<float>(after - updated + 16) * 0.0002f;
  EXPECT_LE(meter(0)->getValue(), 0.9f - fallenLeast);
  EXPECT_GE(meter(0)->getValue(), 0.9f - fallenMost);
  EXPECT_LE(meter(1)->getValue(), 0.4f - fallenLeast);
  EXPECT_GE(meter(1)->getValue(), 0.4f - fallenMost);

  // A target just below: the needle stops on it.
  *level1 = meter(0)->getValue() - 0.01f;
  const float floor = *level1;
  Sleep(200);
  dispatch(effEditIdle);
  EXPECT_EQ(meter(0)->getValue(), floor);

  // Rising again: at once, on the first pass more than 60 ms later.
  *level1 = 1.0f;
  Sleep(70);
  dispatch(effEditIdle);
  EXPECT_EQ(meter(0)->getValue(), 1.0f);
  close();
}

// A needle that stays within one frame of its strip is not repainted.
TEST_F(EditorRuntime, MeterRepaintsOnlyWhenItsFrameChanges) {
  auto* level = effect->getMeterLevel1();
  *level = 0.5f;
  open();
  meter(0)->setDirty(false);  // as drawn
  *level = 0.502f;            // frame 65 still
  dispatch(effEditIdle);
  EXPECT_EQ(meter(0)->getValue(), 0.502f);
  EXPECT_FALSE(meter(0)->isDirty());
  *level = 0.6f;
  Sleep(70);
  dispatch(effEditIdle);
  EXPECT_TRUE(meter(0)->isDirty());
  close();
}

TEST_F(EditorRuntime, IdleWithHostSleepsWhenCalledAgainWithin50Ms) {
  open();
  editor()->idleWithHost();
  EXPECT_EQ(host.count(audioMasterIdle), 1);
  Sleep(10);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  editor()->idleWithHost();
  QueryPerformanceCounter(&end);
  EXPECT_EQ(host.count(audioMasterIdle), 2);
  const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  EXPECT_GE(ms, 3.0);
  close();
}

TEST_F(EditorRuntime, KnobModeIsSharedByEveryEditorOfTheProcess) {
  std::unique_ptr<Controlsgui> second(new Controlsgui(&RecordingHost::callback));
  open();
  EXPECT_EQ(frame()->getKnobMode(), kKnobModeLinear);
  EXPECT_EQ(second->dispatcher(effSetEditKnobMode, 0, kKnobModeRelativeCircular, nullptr, 0.0f), 1);
  EXPECT_EQ(frame()->getKnobMode(), kKnobModeRelativeCircular);
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, kKnobModeLinear), 1);
  close();
}

// The host's wheel request ('stCA' 'Whee') reaches the view under the pointer; other vendor
// requests keep answering 0.
TEST_F(EditorRuntime, HostWheelRequestTurnsTheKnobUnderThePointer) {
  open();
  SetCursorPos(246 + 48, 538 + 50);  // the tone knob's centre
  pumpMessages();
  EXPECT_EQ(dispatch(effVendorSpecific, kStCA, kWhee, nullptr, 1.0f), 1);
  EXPECT_NEAR(effect->getParameter(1), 0.6f, 1e-6f);
  EXPECT_EQ(dispatch(effVendorSpecific, kStCA, 0, nullptr, 1.0f), 0);
  EXPECT_EQ(dispatch(effVendorSpecific, 1, kWhee, nullptr, 1.0f), 0);
  SetCursorPos(20, 20);  // the bare face
  pumpMessages();
  EXPECT_EQ(dispatch(effVendorSpecific, kStCA, kWhee, nullptr, 1.0f), 0);
  close();
}

// A parent that hands its wheel messages back to the editor, as some hosts do.
WNDPROC parentProc = nullptr;
Controlsgui* wheelTarget = nullptr;
int forwardedWheels = 0;
LRESULT CALLBACK forwardingParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEWHEEL && wheelTarget) {
    ++forwardedWheels;
    wheelTarget->dispatcher(effVendorSpecific, kStCA, kWhee, nullptr,
                            static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA);
    return 0;
  }
  return CallWindowProcW(parentProc, hwnd, message, wParam, lParam);
}

// A notch the editor took is not passed on to a parent that would send it back through the
// host's wheel request (a second turn); one it did not take is.
TEST_F(EditorRuntime, EachWheelNotchTurnsOnce) {
  open();
  wheelTarget = effect.get();
  forwardedWheels = 0;
  parentProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&forwardingParent)));
  HWND window = static_cast<HWND>(frame()->getWindowHandle());
  SetCursorPos(246 + 48, 538 + 50);  // the tone knob's centre, for the forwarded request
  pumpMessages();
  auto wheel = [&](int delta, int x, int y) {
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(x, y));
  };
  wheel(120, 246 + 48, 538 + 50);
  EXPECT_NEAR(effect->getParameter(1), 0.6f, 1e-6f);
  EXPECT_EQ(forwardedWheels, 0);
  SetCursorPos(20, 20);
  pumpMessages();
  wheel(120, 20, 20);  // the bare face takes no wheel: the host may scroll with it
  EXPECT_EQ(forwardedWheels, 1);
  SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(parentProc));
  wheelTarget = nullptr;
  close();
}

// Open, paint, idle and close 200 times: the toolkit's counters (Wine's GetGuiResources
// answers 0, so the toolkit counts its own objects and handles), the child windows and the
// process's private memory stay where they were after the first few cycles.
TEST_F(EditorRuntime, TwoHundredOpenCloseCyclesLeaveNothingBehind) {
  auto census = [&] { return takeCensus(parent); };
  auto cycle = [&] {
    open();
    UpdateWindow(parent);
    pumpMessages();
    dispatch(effEditIdle);
    close();
    pumpMessages();
  };
  for (int i = 0; i < 5; ++i) cycle();  // fonts and GDI+ warm up once
  const Census closed = census();
  EXPECT_EQ(closed.windows, 0);
  EXPECT_EQ(closed.counts[kLiveViews], 0) << closed.text();
  EXPECT_EQ(closed.counts[kLiveBitmaps], 6) << closed.text();  // the pictures, kept decoded
  EXPECT_EQ(closed.counts[kLiveDeviceContexts], 0) << closed.text();
  EXPECT_EQ(closed.counts[kLiveDrawContexts], 0) << closed.text();
  open();
  const Census opened = census();
  EXPECT_EQ(opened.counts[kLiveViews], 15) << opened.text();  // frame, 12 controls, 2 labels
  EXPECT_EQ(opened.counts[kLiveWindows], 1);
  close();

  const size_t memoryBefore = privateBytes();
  for (int i = 0; i < 200; ++i) cycle();
  const Census after = census();
  std::printf("after 200 cycles: %s; private memory grew %lld KB\n", after.text().c_str(),
              (static_cast<long long>(privateBytes()) - static_cast<long long>(memoryBefore)) / 1024);
  EXPECT_TRUE(after == closed) << "before: " << closed.text() << "\nafter:  " << after.text();
  const long long grown = static_cast<long long>(privateBytes()) - static_cast<long long>(memoryBefore);
  // A leaked set of control pictures alone would be about 12 MB a cycle.
  EXPECT_LT(grown, 4ll * 1024 * 1024) << grown << " bytes";
  effect.reset();
  EXPECT_EQ(liveCount(kLiveBitmaps), 0);
}

}  // namespace
