// A text display showing the title of its current item; a click opens a native pop-up of its
// items, and choosing one makes it current and tells the listener. The value is the index of
// the current item. Items may open sub-menus (other option menus); identifiers are counted
// from 0 over the menu's items, then over each sub-menu's in depth-first item order.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/controls/CMenuItem.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/controls/PopupMenuEntry.h"

namespace VSTGUI {

class PopupMenuBuilder;

// Style bits the menu reads besides those of the text display.
enum : int32_t {
  kStyleMultipleCheck = 0x01,  // every checked item shows its mark; making an item current toggles it
  kStylePopupAtTop = 0x200,    // the pop-up opens at the top edge instead of the bottom edge
  kStyleCheck = 0x400,         // the current item shows its mark when it is checked
};

class COptionMenu : public CParamDisplay {
 public:
  COptionMenu(const CArea& bounds, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
              CBitmap* backgroundWhenClicked = nullptr, int32_t style = 0);
  ~COptionMenu() override;

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPos where, CButtonState buttons) override;
  // Ignores an index outside the items (and a value that is not a number).
  void setValue(float newValue) override;
  // Opens the pop-up and handles the whole choice.
  void focusGained() override;
  void focusLost() override;
  bool isTypeOf(const char* className) const override;
  // The copy shares the items, each retained once more.
  CView* clone() const override;
  void trackMouse(CDrawContext* context, CPos where, CButtonState buttons) override;

  // A title of exactly "-" adds a separator. The new item, or null.
  virtual CMenuItem* addItem(const char* title, int32_t index = -1, int32_t flags = 0);
  virtual CMenuItem* addItem(COptionMenu* submenu, const char* title);
  // Takes over the caller's reference; -1 (or a position past the end) appends.
  virtual CMenuItem* addItem(CMenuItem* item, int32_t index = -1);
  virtual CMenuItem* addSeparatorItem();
  virtual CMenuItem* getCurrentItem() const;
  virtual int32_t getCurrentIndex(bool countSeparators = false) const;
  // Null when empty or past the end; a negative index gives the first item.
  virtual CMenuItem* getItem(int32_t index) const;
  virtual int32_t getItemCount() const;
  virtual bool setCurrentIndex(int32_t index, bool countSeparators = true);
  virtual bool removeItem(int32_t index);
  virtual bool removeAllItems();
  virtual bool setItemChecked(int32_t index, bool checked);
  virtual bool checkOnlyItem(int32_t index);
  virtual bool isItemChecked(int32_t index) const;
  virtual void setItemsPerColumn(int32_t count);
  virtual int32_t getItemsPerColumn() const;
  virtual void* getPlatformMenuData() const;
  // 0 none, 2 "%1d %s", 3 "%02d %s", 4 "%03d %s" (1 shows titles unchanged); others ignored.
  virtual void setNumberPrefix(int32_t mode);

  int32_t getNumberPrefix() const { return numberPrefix; }
  CButtonState getLastButtons() const { return lastButtons; }
  CBitmap* getBackgroundWhenClicked() const { return backgroundWhenClicked; }

  // The pop-up's entry for the item at index when the menu's identifiers start at base.
  bool describePopupEntry(int32_t index, int32_t base, PopupMenuEntry& out) const;
  // Builds the native menu through builder, with identifiers from counter on; counter ends
  // past the last identifier this menu and its sub-menus use. The root native menu, or null.
  void* buildPopupMenu(PopupMenuBuilder& builder, int32_t& counter) const;
  // The (sub-)menu whose identifiers hold id and the item's index in it; null if none.
  COptionMenu* findMenuForId(int32_t id, int32_t& index) const;
  // The pop-up's position relative to the frame window: the control's left edge and bottom
  // (or top) edge, moved by every enclosing container.
  CPos popupPosition() const;
  // The native menu while the pop-up is open; the tracker records it for focusLost.
  void setNativeMenu(void* menu) { nativeMenu = menu; }
  void* getNativeMenu() const { return nativeMenu; }

  // Sub-menus nested deeper than this are not shown; a menu that contains itself would
  // otherwise recurse without end.
  static constexpr int32_t kMaxSubmenuDepth = 16;
  // Menus with this many items or more get no column breaks.
  static constexpr int32_t kColumnBreakItemLimit = 160;

 protected:
  COptionMenu(const COptionMenu& other);

  void* buildPopupMenu(PopupMenuBuilder& builder, int32_t& counter, int32_t depth) const;
  const COptionMenu* findMenuForId(int32_t id, int32_t& index, int32_t& counter, int32_t depth) const;

  void* nativeMenu = nullptr;
  std::vector<CMenuItem*> items;
  int32_t currentIndex = -1;
  CBitmap* backgroundWhenClicked = nullptr;
  CButtonState lastButtons = kButtonRight;
  int32_t itemsPerColumn = -1;
  int32_t numberPrefix = 0;
  void* platformMenuData = nullptr;
  bool editOpenedByPress = false;  // the press has begun the edit the pop-up ends
};

}  // namespace VSTGUI
