// One entry of an option menu: a title, an optional key, sub-menu and icon, and flags.
// Reference counted; created with one reference, which the menu that adds it takes over.
#pragma once

#include <cstdint>

#include "gui/frame/CBaseObject.h"

namespace VSTGUI {

class CBitmap;
class COptionMenu;

class CMenuItem : public CBaseObject {
 public:
  enum Flags : int32_t {
    kNoFlags = 0,
    kDisabled = 0x01,
    kTitle = 0x02,  // a heading: shown, not choosable
    kChecked = 0x04,
    kSeparator = 0x08,
  };

  explicit CMenuItem(const char* title, int32_t flags = kNoFlags, const char* keycode = nullptr,
                     int32_t keyModifiers = 0, CBitmap* icon = nullptr);
  CMenuItem(const char* title, COptionMenu* submenu, CBitmap* icon = nullptr);
  ~CMenuItem() override;

  virtual void setTitle(const char* title);
  // The item holds one reference to its sub-menu and to its icon.
  virtual void setSubmenu(COptionMenu* submenu);
  virtual void setKey(const char* keycode, int32_t keyModifiers = 0);
  virtual void setEnabled(bool state = true);
  virtual void setChecked(bool state = true);
  virtual void setHeading(bool state = true);
  virtual void setSeparator(bool state = true);
  virtual void setIcon(CBitmap* icon);

  const char* getTitle() const { return title ? title : ""; }
  const char* getKey() const { return key; }
  int32_t getKeyModifiers() const { return keyModifiers; }
  COptionMenu* getSubmenu() const { return submenu; }
  CBitmap* getIcon() const { return icon; }
  int32_t getFlags() const { return flags; }
  bool isEnabled() const { return !(flags & kDisabled); }
  bool isChecked() const { return (flags & kChecked) != 0; }
  bool isHeading() const { return (flags & kTitle) != 0; }
  bool isSeparator() const { return (flags & kSeparator) != 0; }

 private:
  void setFlag(int32_t flag, bool state);

  char* title = nullptr;
  char* key = nullptr;
  int32_t keyModifiers = 0;
  COptionMenu* submenu = nullptr;
  CBitmap* icon = nullptr;
  int32_t flags = kNoFlags;
};

// The item flag names the rest of the toolkit uses.
enum : int32_t {
  kItemDisabled = CMenuItem::kDisabled,
  kItemHeading = CMenuItem::kTitle,
  kItemChecked = CMenuItem::kChecked,
  kItemSeparator = CMenuItem::kSeparator,
};

}  // namespace VSTGUI
