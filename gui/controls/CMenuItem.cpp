#include "gui/controls/CMenuItem.h"

#include <cstdlib>
#include <cstring>

#include "gui/controls/COptionMenu.h"
#include "gui/frame/CBitmap.h"

namespace VSTGUI {

namespace {
// Replaces *target with a copy of source (or none); the copy is made before the old text
// goes, so source may be the old text itself.
void replaceText(char*& target, const char* source) {
  char* copy = nullptr;
  if (source) {
    const size_t length = std::strlen(source);
    copy = static_cast<char*>(std::malloc(length + 1));
    if (copy) std::memcpy(copy, source, length + 1);
  }
  std::free(target);
  target = copy;
}
}  // namespace

CMenuItem::CMenuItem(const char* itemTitle, int32_t itemFlags, const char* keycode, int32_t modifiers,
                     CBitmap* itemIcon)
    : flags(itemFlags) {
  setTitle(itemTitle);
  setKey(keycode, modifiers);
  setIcon(itemIcon);
}

CMenuItem::CMenuItem(const char* itemTitle, COptionMenu* itemSubmenu, CBitmap* itemIcon) {
  setTitle(itemTitle);
  setSubmenu(itemSubmenu);
  setIcon(itemIcon);
}

CMenuItem::~CMenuItem() {
  setSubmenu(nullptr);
  setIcon(nullptr);
  std::free(title);
  std::free(key);
}

void CMenuItem::setTitle(const char* itemTitle) {
  replaceText(title, itemTitle);
}

void CMenuItem::setSubmenu(COptionMenu* menu) {
  if (menu) menu->retain();
  if (submenu) submenu->release();
  submenu = menu;
}

void CMenuItem::setKey(const char* keycode, int32_t modifiers) {
  replaceText(key, keycode);
  keyModifiers = modifiers;
}

void CMenuItem::setFlag(int32_t flag, bool state) {
  if (state)
    flags |= flag;
  else
    flags &= ~flag;
}

void CMenuItem::setEnabled(bool state) {
  setFlag(kDisabled, !state);
}
void CMenuItem::setChecked(bool state) {
  setFlag(kChecked, state);
}
void CMenuItem::setHeading(bool state) {
  setFlag(kTitle, state);
}
void CMenuItem::setSeparator(bool state) {
  setFlag(kSeparator, state);
}

void CMenuItem::setIcon(CBitmap* bitmap) {
  if (bitmap) bitmap->retain();
  if (icon) icon->release();
  icon = bitmap;
}

}  // namespace VSTGUI
