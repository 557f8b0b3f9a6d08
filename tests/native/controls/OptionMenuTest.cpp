// The option menu's item logic, the pop-up's entries and identifiers (through a recording
// builder), and the whole choice made through a scripted tracker instead of a screen.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "gui/controls/COptionMenu.h"
#include "gui/controls/PopupMenuBuilder.h"
#include "gui/controls/PopupMenuTracker.h"
#include "tests/support/ControlTestSupport.h"

using namespace VSTGUI;
using controls_test::FrameFixture;

namespace {

// Records what a platform builder would be asked to append, menu by menu.
class RecordingBuilder : public PopupMenuBuilder {
 public:
  void* createMenu() override {
    menus.emplace_back();
    submenus.emplace_back();
    return reinterpret_cast<void*>(menus.size());
  }
  void appendEntry(void* menu, const PopupMenuEntry& entry, void* submenu) override {
    menus[reinterpret_cast<size_t>(menu) - 1].push_back(entry);
    submenus[reinterpret_cast<size_t>(menu) - 1].push_back(submenu);
  }
  std::vector<std::vector<PopupMenuEntry>> menus;
  std::vector<std::vector<void*>> submenus;  // the native sub-menu handed with each entry
};

COptionMenu* makeMenu(CControlListener* listener = nullptr, int32_t style = 0) {
  return new COptionMenu(CArea(20, 30, 120, 50), listener, 6, nullptr, nullptr, style);
}

// A tracker that checks what it is shown and answers a scripted choice.
class ScriptedTracker : public PopupMenuTracker {
 public:
  int32_t track(COptionMenu& menu, CFrame& frame, CPos where, bool right) override {
    ++calls;
    position = where;
    rightButton = right;
    focusDuringTracking = frame.getFocusView();
    int32_t counter = 0;
    menu.setNativeMenu(menu.buildPopupMenu(builder, counter));
    if (duringTracking) duringTracking();
    return choice;
  }
  int32_t choice = -1;
  int calls = 0;
  CPos position;
  bool rightButton = false;
  CView* focusDuringTracking = nullptr;
  RecordingBuilder builder;
  std::function<void()> duringTracking;
};

class InstalledTracker {
 public:
  explicit InstalledTracker(PopupMenuTracker* t) { PopupMenuTracker::install(t); }
  ~InstalledTracker() { PopupMenuTracker::install(nullptr); }
};

// A container that reports the focus-loss message and answers it as told.
class LooseFocusContainer : public CViewContainer {
 public:
  LooseFocusContainer(const CArea& area, controls_test::Log& l, const char* n, int32_t a)
      : CViewContainer(area, nullptr), log(l), name(n), answer(a) {}
  int32_t handleMessage(CBaseObject* sender, const char* message) override {
    if (message == kMsgLooseFocus) {
      log.push_back(std::string("LooseFocus ") + name);
      return answer;
    }
    return CViewContainer::handleMessage(sender, message);
  }
  controls_test::Log& log;
  const char* name;
  int32_t answer;
};

}  // namespace

TEST(OptionMenuItems, SeparatorsCountAsItemsButNotAsChoices) {
  COptionMenu* m = makeMenu();
  m->addItem("Input 1");
  m->addItem("-");
  m->addItem("Input 2");
  m->addSeparatorItem();
  m->addItem("Input 3", 1);  // before the first separator
  ASSERT_EQ(m->getItemCount(), 5);
  EXPECT_STREQ(m->getItem(1)->getTitle(), "Input 3");
  EXPECT_TRUE(m->getItem(2)->isSeparator());
  EXPECT_FALSE(m->setCurrentIndex(2));
  EXPECT_TRUE(m->setCurrentIndex(3));
  EXPECT_EQ(m->getCurrentIndex(true), 3);
  EXPECT_EQ(m->getCurrentIndex(false), 2);
  EXPECT_TRUE(m->setCurrentIndex(2, false));  // the third plain item is "Input 2"
  EXPECT_EQ(m->getCurrentIndex(true), 3);
  EXPECT_FALSE(m->setCurrentIndex(3, false));
  EXPECT_STREQ(m->getItem(-4)->getTitle(), "Input 1");
  EXPECT_EQ(m->getItem(5), nullptr);
  EXPECT_TRUE(m->removeItem(0));
  EXPECT_FALSE(m->removeItem(4));
  EXPECT_EQ(m->getItemCount(), 4);
  m->release();
}

TEST(OptionMenuValue, OutOfRangeIndicesAreIgnored) {
  COptionMenu* m = makeMenu();
  m->addItem("Only");
  m->setDirty(false);
  for (float v : {1.0f, -1.0f, 7.5f, std::numeric_limits<float>::quiet_NaN(),
                  std::numeric_limits<float>::infinity(), -3e9f}) {
    m->setValue(v);
    EXPECT_EQ(m->getValue(), 0.0f) << v;
    EXPECT_EQ(m->getCurrentIndex(true), -1) << v;
  }
  EXPECT_FALSE(m->isDirty());
  m->setValue(0.0f);
  EXPECT_EQ(m->getCurrentIndex(true), 0);
  EXPECT_TRUE(m->isDirty());
  m->release();
}

TEST(OptionMenuChecks, MultipleCheckTogglesAndCheckOnlyItemClearsTheRest) {
  COptionMenu* m = makeMenu(nullptr, kStyleMultipleCheck);
  for (const char* t : {"a", "b", "c"}) m->addItem(t);
  m->setValue(1.0f);
  EXPECT_TRUE(m->isItemChecked(1));
  m->setValue(1.0f);
  EXPECT_FALSE(m->isItemChecked(1));
  m->setItemChecked(0, true);
  m->checkOnlyItem(2);
  EXPECT_FALSE(m->isItemChecked(0));
  EXPECT_TRUE(m->isItemChecked(2));
  EXPECT_FALSE(m->isItemChecked(9));
  m->release();
}

TEST(OptionMenuPopup, IdentifiersRunDepthFirstOverSubMenus) {
  COptionMenu* root = makeMenu();
  COptionMenu* s = makeMenu();
  COptionMenu* t = makeMenu();
  COptionMenu* u = makeMenu();
  t->addItem("T1");
  s->addItem("S1");
  s->addItem("S2");
  s->addItem(t, "T");
  u->addItem("U1");
  root->addItem("A");
  root->addItem("-");
  root->addItem("B");
  root->addItem(s, "S");
  root->addItem("C");
  root->addItem(u, "U");
  for (COptionMenu* sub : {s, t, u}) sub->release();  // the items hold them now

  RecordingBuilder b;
  int32_t counter = 0;
  ASSERT_NE(root->buildPopupMenu(b, counter), nullptr);
  EXPECT_EQ(counter, 11);
  ASSERT_EQ(b.menus.size(), 4u);  // root, S, T, U in build order
  const auto& r = b.menus[0];
  EXPECT_EQ(r[0].id, 0);
  EXPECT_EQ(r[1].kind, PopupMenuEntry::kSeparator);
  EXPECT_EQ(r[2].id, 2);
  EXPECT_EQ(r[3].kind, PopupMenuEntry::kSubmenu);
  EXPECT_EQ(r[3].id, -1);
  EXPECT_EQ(r[4].id, 4);
  EXPECT_EQ(b.menus[1][0].id, 6);  // S1
  EXPECT_EQ(b.menus[1][1].id, 7);
  EXPECT_EQ(b.menus[2][0].id, 9);                           // T1: T takes 9 after S's slots 6-8
  EXPECT_EQ(b.menus[3][0].id, 10);                          // U1
  EXPECT_EQ(b.submenus[0][3], reinterpret_cast<void*>(2));  // S's menu

  int32_t index = -1;
  EXPECT_EQ(root->findMenuForId(4, index), root);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(root->findMenuForId(7, index), s);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(root->findMenuForId(9, index), t);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(root->findMenuForId(10, index), u);
  EXPECT_EQ(root->findMenuForId(11, index), nullptr);
  root->release();
}

TEST(OptionMenuPopup, NumberPrefixesColumnsChecksAndStates) {
  COptionMenu* m = makeMenu(nullptr, kStyleCheck);
  const char* titles[] = {"a", "b", "c", "d", "e", "f", "Seventh", "h", "i", "j"};
  for (const char* t : titles) m->addItem(t);
  m->setItemsPerColumn(4);
  m->setNumberPrefix(3);
  m->setNumberPrefix(9);  // ignored
  m->getItem(1)->setEnabled(false);
  m->getItem(2)->setHeading(true);
  m->setItemChecked(3, true);
  m->setItemChecked(4, true);
  m->setValue(4.0f);

  RecordingBuilder b;
  int32_t counter = 0;
  m->buildPopupMenu(b, counter);
  const auto& e = b.menus[0];
  EXPECT_EQ(e[6].text, "07 Seventh");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(e[i].columnBreak, i == 4 || i == 8) << i;
  EXPECT_TRUE(e[1].grayed);
  EXPECT_TRUE(e[2].disabled && !e[2].grayed);
  EXPECT_FALSE(e[3].checked) << "checked but not current";
  EXPECT_TRUE(e[4].checked);

  m->setNumberPrefix(2);
  m->setNumberPrefix(1);  // shows titles unchanged
  PopupMenuEntry entry;
  m->describePopupEntry(6, 0, entry);
  EXPECT_EQ(entry.text, "Seventh");
  m->setNumberPrefix(4);
  m->describePopupEntry(6, 0, entry);
  EXPECT_EQ(entry.text, "007 Seventh");
  m->setNumberPrefix(2);
  m->describePopupEntry(6, 0, entry);
  EXPECT_EQ(entry.text, "7 Seventh");

  // 160 items or more: a single column.
  for (int i = 10; i < 160; ++i) m->addItem("x");
  m->describePopupEntry(4, 0, entry);
  EXPECT_FALSE(entry.columnBreak);
  m->release();
}

TEST(OptionMenuPopup, AMenuInsideItselfStopsAtTheDepthLimit) {
  COptionMenu* m = makeMenu();
  m->addItem("a");
  m->addItem(m, "again");
  RecordingBuilder b;
  int32_t counter = 0;
  m->buildPopupMenu(b, counter);
  EXPECT_EQ(b.menus.size(), size_t(COptionMenu::kMaxSubmenuDepth) + 1);
  int32_t index = -1;
  EXPECT_EQ(m->findMenuForId(counter - 2, index), m);
  EXPECT_EQ(m->findMenuForId(counter, index), nullptr);
  m->removeAllItems();  // breaks the reference cycle
  m->release();
}

class OptionMenuChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    container = new LooseFocusContainer(CArea(100, 200, 300, 280), f.log, "inner", 0);
    f.frame->addView(container);
    menu = makeMenu(&f.listener);
    menu->addItem("Input 1");
    menu->addItem("Input 2");
    container->addView(menu);
  }
  FrameFixture f;
  ScriptedTracker tracker;
  InstalledTracker installed{&tracker};
  LooseFocusContainer* container = nullptr;
  COptionMenu* menu = nullptr;
};

TEST_F(OptionMenuChoice, ChoosingSetsTheValueAndTellsTheListenerOnceInsideTheEdit) {
  tracker.choice = 1;
  EXPECT_EQ(f.frame->onMouseDown(CPos(150, 240), kButtonLeft), kMouseHandledNoTracking);
  EXPECT_EQ(tracker.calls, 1);
  EXPECT_EQ(tracker.position, CPos(120, 250)) << "left and bottom edge, moved by the container";
  EXPECT_FALSE(tracker.rightButton);
  EXPECT_EQ(tracker.focusDuringTracking, menu);
  EXPECT_EQ(menu->getValue(), 1.0f);
  EXPECT_EQ(menu->getCurrentIndex(), 1);
  EXPECT_EQ(f.log, (controls_test::Log{"listener begin", "host begin 6", "changed 6", "host end 6",
                                       "listener end"}));
  EXPECT_EQ(f.frame->getFocusView(), nullptr);
  EXPECT_EQ(menu->getNativeMenu(), nullptr);
}

TEST_F(OptionMenuChoice, NoChoiceLeavesTheValueButStillEndsTheEdit) {
  tracker.choice = -1;
  menu->setValue(0.0f);
  f.frame->onMouseDown(CPos(150, 240), kButtonRight);  // offered to the listener first
  EXPECT_TRUE(tracker.rightButton);
  EXPECT_EQ(menu->getValue(), 0.0f);
  EXPECT_EQ(f.log, (controls_test::Log{"modifierClick", "listener begin", "host begin 6", "host end 6",
                                       "listener end"}));
  f.log.clear();
  EXPECT_EQ(menu->onMouseDown(CPos(150, 240), kButtonMiddle), kMouseIgnored);
  EXPECT_TRUE(f.log.empty());
  EXPECT_EQ(tracker.calls, 1);
}

TEST_F(OptionMenuChoice, ASubMenuChoiceSetsTheSubMenuAndOpensAtTheTopWhenAsked) {
  COptionMenu* sub = makeMenu();
  sub->setTag(8);
  sub->addItem("x");
  sub->addItem("y");
  menu->addItem(sub, "more");
  sub->release();
  menu->setStyle(kStylePopupAtTop);
  tracker.choice = 4;  // root takes 0-2, the sub-menu 3-4
  f.frame->onMouseDown(CPos(150, 240), kButtonLeft);
  EXPECT_EQ(tracker.position, CPos(120, 230));
  EXPECT_EQ(sub->getValue(), 1.0f);
  EXPECT_EQ(menu->getValue(), 0.0f);
  EXPECT_EQ(f.listener.lastChanged, sub);
  EXPECT_EQ(f.count("changed 8"), 1u);
}

TEST_F(OptionMenuChoice, EditBracketsBalanceWhateverOpensThePopup) {
  tracker.choice = 0;
  container->focusGained();  // a container forwards focus to every child
  EXPECT_EQ(tracker.calls, 1);
  EXPECT_EQ(f.log, (controls_test::Log{"listener begin", "host begin 6", "changed 6", "host end 6",
                                       "listener end"}));
  // A menu without a frame cannot open its pop-up, but its press still ends its edit.
  f.log.clear();
  COptionMenu* loose = makeMenu(&f.listener);
  loose->addItem("a");
  EXPECT_EQ(loose->onMouseDown(CPos(30, 40), kButtonLeft), kMouseHandledNoTracking);
  EXPECT_EQ(f.log, (controls_test::Log{"listener begin", "listener end"}));
  EXPECT_EQ(tracker.calls, 1);
  loose->release();
}

TEST_F(OptionMenuChoice, LosingFocusWhileOpenSendsLooseFocusOutward) {
  auto* outer = new LooseFocusContainer(CArea(0, 0, 400, 300), f.log, "outer", 1);
  auto* middle = new LooseFocusContainer(CArea(0, 0, 400, 300), f.log, "middle", 1);
  f.frame->removeView(container, false);
  f.frame->addView(outer);
  outer->addView(middle);
  middle->addView(container);
  auto* other = new COptionMenu(CArea(0, 0, 5, 5), nullptr, 0);
  f.frame->addView(other);
  tracker.duringTracking = [&] { f.frame->setFocusView(other); };
  f.frame->onMouseDown(CPos(150, 240), kButtonLeft);
  EXPECT_EQ(f.count("LooseFocus inner"), 1u);
  EXPECT_EQ(f.count("LooseFocus middle"), 1u);
  EXPECT_EQ(f.count("LooseFocus outer"), 0u) << "the middle container answered 1";
  // Without an open pop-up, losing focus sends nothing.
  f.log.clear();
  menu->focusLost();
  EXPECT_TRUE(f.log.empty());
}

TEST(OptionMenuClone, SharesTheItems) {
  COptionMenu* m = makeMenu();
  CMenuItem* item = m->addItem("a");
  CView* copy = m->clone();
  EXPECT_EQ(static_cast<COptionMenu*>(copy)->getItem(0), item);
  EXPECT_EQ(item->getNbReference(), 2);
  EXPECT_TRUE(copy->isTypeOf("COptionMenu") && copy->isTypeOf("CParamDisplay") && copy->isTypeOf("CControl"));
  copy->release();
  EXPECT_EQ(item->getNbReference(), 1);
  m->release();
}
