#include "gui/controls/CTextLabel.h"

#include <cstdlib>
#include <cstring>

namespace VSTGUI {

namespace {
char* copyText(const char* source) {
  if (!source) return nullptr;
  const size_t length = std::strlen(source);
  char* copy = static_cast<char*>(std::malloc(length + 1));
  if (copy) std::memcpy(copy, source, length + 1);
  return copy;
}
}  // namespace

CTextLabel::CTextLabel(const CArea& area, const char* labelText, CBitmap* backgroundBitmap,
                       int32_t labelStyle)
    : CParamDisplay(area, backgroundBitmap, labelStyle), text(copyText(labelText)) {}

CTextLabel::CTextLabel(const CTextLabel& other) : CParamDisplay(other), text(copyText(other.text)) {}

CTextLabel::~CTextLabel() {
  std::free(text);
  text = nullptr;
}

void CTextLabel::setText(const char* newText) {
  if (!text && !newText) return;
  if (text && newText && std::strcmp(text, newText) == 0) return;
  // Copy before freeing: the new text may point into the old one.
  char* copy = copyText(newText);
  std::free(text);
  text = copy;
  setDirty(true);
}

const char* CTextLabel::getText() const {
  return text;
}

void CTextLabel::draw(CDrawContext* context) {
  drawText(context, text, nullptr);
  setDirty(false);
}

bool CTextLabel::isTypeOf(const char* className) const {
  return className && (std::strcmp(className, "CTextLabel") == 0 || CParamDisplay::isTypeOf(className));
}

CView* CTextLabel::clone() const {
  return new CTextLabel(*this);
}

}  // namespace VSTGUI
