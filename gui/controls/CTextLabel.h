// A text display that shows a fixed string instead of its value.
// Every entry point runs on the editor window's thread.
#pragma once

#include <cstdint>

#include "gui/controls/CParamDisplay.h"

namespace VSTGUI {

class CTextLabel : public CParamDisplay {
 public:
  CTextLabel(const CArea& bounds, const char* text = nullptr, CBitmap* background = nullptr,
             int32_t style = 0);
  ~CTextLabel() override;

  void draw(CDrawContext* context) override;
  bool isTypeOf(const char* className) const override;
  CView* clone() const override;

  // Keeps a copy; marks dirty only when the text changes (absent and absent are equal).
  virtual void setText(const char* newText);
  virtual const char* getText() const;

 protected:
  CTextLabel(const CTextLabel& other);

  char* text = nullptr;
};

}  // namespace VSTGUI
