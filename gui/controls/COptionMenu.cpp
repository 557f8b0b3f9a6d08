#include "gui/controls/COptionMenu.h"

#include <cstdio>
#include <cstring>

#include "gui/controls/PopupMenuBuilder.h"
#include "gui/controls/PopupMenuTracker.h"
#include "gui/frame/CBitmap.h"
#include "gui/frame/CFrame.h"

namespace VSTGUI {

COptionMenu::COptionMenu(const CArea& area, CControlListener* menuListener, int32_t menuTag,
                         CBitmap* backgroundBitmap, CBitmap* clickedBitmap, int32_t menuStyle)
    : CParamDisplay(area, backgroundBitmap, menuStyle), backgroundWhenClicked(clickedBitmap) {
  setListener(menuListener);
  setTag(menuTag);
  if (backgroundWhenClicked) backgroundWhenClicked->retain();
}

COptionMenu::COptionMenu(const COptionMenu& other)
    : CParamDisplay(other),
      items(other.items),
      currentIndex(other.currentIndex),
      backgroundWhenClicked(other.backgroundWhenClicked),
      lastButtons(other.lastButtons),
      itemsPerColumn(other.itemsPerColumn),
      numberPrefix(other.numberPrefix) {
  for (CMenuItem* item : items) item->retain();
  if (backgroundWhenClicked) backgroundWhenClicked->retain();
}

COptionMenu::~COptionMenu() {
  removeAllItems();
  if (backgroundWhenClicked) backgroundWhenClicked->release();
  backgroundWhenClicked = nullptr;
}

// ---- items ---------------------------------------------------------------------------------

CMenuItem* COptionMenu::addItem(const char* title, int32_t index, int32_t flags) {
  if (title && std::strcmp(title, "-") == 0) return addItem(new CMenuItem("", kItemSeparator), index);
  return addItem(new CMenuItem(title, flags), index);
}

CMenuItem* COptionMenu::addItem(COptionMenu* submenu, const char* title) {
  return addItem(new CMenuItem(title, submenu), -1);
}

CMenuItem* COptionMenu::addItem(CMenuItem* item, int32_t index) {
  if (!item) return nullptr;
  if (index < 0 || index >= getItemCount())
    items.push_back(item);
  else
    items.insert(items.begin() + index, item);
  return item;
}

CMenuItem* COptionMenu::addSeparatorItem() {
  return addItem(new CMenuItem("", kItemSeparator), -1);
}

CMenuItem* COptionMenu::getCurrentItem() const {
  return getItem(currentIndex);
}

int32_t COptionMenu::getCurrentIndex(bool countSeparators) const {
  if (countSeparators || currentIndex < 0) return currentIndex;
  int32_t separators = 0;
  for (int32_t i = 0; i <= currentIndex && i < getItemCount(); ++i)
    if (items[i]->isSeparator()) ++separators;
  return currentIndex - separators;
}

CMenuItem* COptionMenu::getItem(int32_t index) const {
  if (items.empty() || index >= getItemCount()) return nullptr;
  return items[index < 0 ? 0 : index];
}

int32_t COptionMenu::getItemCount() const {
  return static_cast<int32_t>(items.size());
}

bool COptionMenu::setCurrentIndex(int32_t index, bool countSeparators) {
  if (index < 0 || index >= getItemCount()) return false;
  if (countSeparators) {
    if (items[index]->isSeparator()) return false;
  } else {
    int32_t found = -1;
    for (int32_t i = 0, plain = 0; i < getItemCount(); ++i) {
      if (items[i]->isSeparator()) continue;
      if (plain++ == index) {
        found = i;
        break;
      }
    }
    if (found < 0) return false;
    index = found;
  }
  currentIndex = index;
  if (style & kStyleMultipleCheck) items[index]->setChecked(!items[index]->isChecked());
  setDirty(true);
  return true;
}

bool COptionMenu::removeItem(int32_t index) {
  if (index < 0 || index >= getItemCount()) return false;
  CMenuItem* item = items[index];
  items.erase(items.begin() + index);
  item->release();
  return true;
}

bool COptionMenu::removeAllItems() {
  // Detach the list first: releasing an item may release a sub-menu that refers back here.
  std::vector<CMenuItem*> gone;
  gone.swap(items);
  for (CMenuItem* item : gone) item->release();
  return true;
}

bool COptionMenu::setItemChecked(int32_t index, bool checked) {
  if (index < 0 || index >= getItemCount()) return false;
  items[index]->setChecked(checked);
  return true;
}

bool COptionMenu::checkOnlyItem(int32_t index) {
  if (index < 0 || index >= getItemCount()) return false;
  for (int32_t i = 0; i < getItemCount(); ++i) items[i]->setChecked(i == index);
  return true;
}

bool COptionMenu::isItemChecked(int32_t index) const {
  return index >= 0 && index < getItemCount() && items[index]->isChecked();
}

void COptionMenu::setItemsPerColumn(int32_t count) {
  itemsPerColumn = count;
}
int32_t COptionMenu::getItemsPerColumn() const {
  return itemsPerColumn;
}
void* COptionMenu::getPlatformMenuData() const {
  return platformMenuData;
}
void COptionMenu::setNumberPrefix(int32_t mode) {
  if (mode >= 0 && mode <= 4) numberPrefix = mode;
}

// ---- value and drawing ---------------------------------------------------------------------

void COptionMenu::setValue(float newValue) {
  // Written so that a value that is not a number fails the test too.
  if (!(newValue > -1.0f && newValue < static_cast<float>(getItemCount()))) return;
  const int32_t index = static_cast<int32_t>(newValue);
  currentIndex = index;
  if (style & kStyleMultipleCheck) items[index]->setChecked(!items[index]->isChecked());
  value = newValue;
  setDirty(true);
}

void COptionMenu::draw(CDrawContext* context) {
  const CMenuItem* item = getItem(currentIndex);
  CBitmap* bitmap = parentFrame && parentFrame->getFocusView() == this ? backgroundWhenClicked : nullptr;
  drawText(context, item ? item->getTitle() : nullptr, bitmap);
}

// ---- the pop-up ----------------------------------------------------------------------------

bool COptionMenu::describePopupEntry(int32_t index, int32_t base, PopupMenuEntry& out) const {
  if (index < 0 || index >= getItemCount()) return false;
  const CMenuItem* item = items[index];
  const int32_t position = index + 1;  // 1-based, as the number prefix shows it
  out = PopupMenuEntry();
  out.icon = item->getIcon();
  if (item->isSeparator()) {
    out.kind = PopupMenuEntry::kSeparator;
    return true;
  }
  static const char* const kPrefixFormats[] = {nullptr, nullptr, "%1d %s", "%02d %s", "%03d %s"};
  const char* format = numberPrefix >= 2 && numberPrefix <= 4 ? kPrefixFormats[numberPrefix] : nullptr;
  if (format) {
    const int needed = std::snprintf(nullptr, 0, format, position, item->getTitle());
    if (needed > 0) {
      out.text.resize(static_cast<size_t>(needed) + 1);
      std::snprintf(&out.text[0], out.text.size(), format, position, item->getTitle());
      out.text.resize(static_cast<size_t>(needed));
    }
  } else {
    out.text = item->getTitle();
  }
  out.columnBreak = getItemCount() < kColumnBreakItemLimit && itemsPerColumn > 0 && index != 0 &&
                    index % itemsPerColumn == 0;
  if (item->getSubmenu()) {
    out.kind = PopupMenuEntry::kSubmenu;
    out.submenu = item->getSubmenu();
    return true;
  }
  out.kind = PopupMenuEntry::kCommand;
  out.grayed = (item->getFlags() & kItemDisabled) != 0;
  out.disabled = (item->getFlags() & kItemHeading) != 0;
  out.checked = item->isChecked() &&
                ((style & kStyleMultipleCheck) || ((style & kStyleCheck) && index == currentIndex));
  out.id = base + index;
  return true;
}

void* COptionMenu::buildPopupMenu(PopupMenuBuilder& builder, int32_t& counter) const {
  return buildPopupMenu(builder, counter, 0);
}

void* COptionMenu::buildPopupMenu(PopupMenuBuilder& builder, int32_t& counter, int32_t depth) const {
  void* menu = builder.createMenu();
  if (!menu) {
    // Still take this menu's identifiers (a walk that finds nothing advances the counter
    // exactly as a build would), so that every later identifier keeps its item.
    int32_t unused = -1;
    findMenuForId(-1, unused, counter, depth);
    return nullptr;
  }
  const int32_t base = counter;
  counter += getItemCount();
  for (int32_t index = 0; index < getItemCount(); ++index) {
    PopupMenuEntry entry;
    describePopupEntry(index, base, entry);
    void* submenu = nullptr;
    if (entry.kind == PopupMenuEntry::kSubmenu && depth < kMaxSubmenuDepth)
      submenu = entry.submenu->buildPopupMenu(builder, counter, depth + 1);
    builder.appendEntry(menu, entry, submenu);
  }
  return menu;
}

COptionMenu* COptionMenu::findMenuForId(int32_t id, int32_t& index) const {
  int32_t counter = 0;
  return const_cast<COptionMenu*>(findMenuForId(id, index, counter, 0));
}

const COptionMenu* COptionMenu::findMenuForId(int32_t id, int32_t& index, int32_t& counter,
                                              int32_t depth) const {
  const int32_t base = counter;
  counter += getItemCount();
  if (id >= base && id < counter) {
    index = id - base;
    return this;
  }
  if (depth >= kMaxSubmenuDepth) return nullptr;
  for (const CMenuItem* item : items) {
    if (!item->getSubmenu()) continue;
    if (const COptionMenu* found = item->getSubmenu()->findMenuForId(id, index, counter, depth + 1))
      return found;
  }
  return nullptr;
}

CPos COptionMenu::popupPosition() const {
  CPos where(bounds.left, (style & kStylePopupAtTop) ? bounds.top : bounds.bottom);
  auto* self = const_cast<COptionMenu*>(this);
  for (CView* parent = parentView; parent; parent = parent->getParentView()) {
    if (parent->handleMessage(self, kMsgCheckIfViewContainer) != 1) break;
    where.offset(parent->getBounds().left, parent->getBounds().top);
  }
  return where;
}

CMouseEventResult COptionMenu::onMouseDown(CPos, CButtonState buttons) {
  lastButtons = buttons;
  if (!(buttons & (kButtonLeft | kButtonRight | 0x80))) return kMouseIgnored;
  beginEdit();
  if (backgroundWhenClicked) invalidate();
  editOpenedByPress = true;
  focusGained();
  // Without a frame the pop-up cannot open; the edit this press began still has to end.
  if (editOpenedByPress) {
    editOpenedByPress = false;
    endEdit();
  }
  return kMouseHandledNoTracking;
}

void COptionMenu::focusGained() {
  if (!parentFrame) return;
  // The pop-up always ends an edit. Reached other than from a press (a container forwards
  // focus to its children), it begins that edit itself, so that the host never sees an end
  // without a begin.
  if (!editOpenedByPress) beginEdit();
  editOpenedByPress = false;
  // The listener may remove this menu from its container while it is told of the choice.
  retain();
  const int32_t chosen = PopupMenuTracker::current().track(*this, *parentFrame, popupPosition(),
                                                           (lastButtons & kButtonRight) != 0);
  nativeMenu = nullptr;
  if (backgroundWhenClicked) setDirty(true);
  if (chosen >= 0) {
    int32_t index = -1;
    if (COptionMenu* menu = findMenuForId(chosen, index)) {
      menu->setValue(static_cast<float>(index));
      if (listener) listener->valueChanged(menu);
    }
  }
  if (parentFrame) parentFrame->setFocusView(nullptr);
  endEdit();
  release();
}

void COptionMenu::focusLost() {
  if (!nativeMenu) return;
  nativeMenu = nullptr;
  for (CView* parent = parentView; parent; parent = parent->getParentView())
    if (parent->handleMessage(this, kMsgLooseFocus) == 1) break;
}

bool COptionMenu::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "COptionMenu") == 0 || CParamDisplay::isTypeOf(className));
}

CView* COptionMenu::clone() const {
  return new COptionMenu(*this);
}

// Reached only if onMouseDown answered kMouseFallback, which it never does.
void COptionMenu::trackMouse(CDrawContext*, CPos, CButtonState) {}

}  // namespace VSTGUI
