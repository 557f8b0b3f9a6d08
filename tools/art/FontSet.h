// The typefaces the artwork is set in, loaded straight from their TrueType files so that the
// glyph outlines do not depend on the machine's font configuration (no fontconfig
// substitution, no hinting): the same files give the same pixels everywhere.
#ifndef KORVALITE_TOOLS_ART_FONTSET_H
#define KORVALITE_TOOLS_ART_FONTSET_H

#include <cairo.h>

#include <string>

namespace art {

enum class Face { kSans, kSansBold, kNarrowBold, kSerifBoldItalic, kCount };
enum class Align { kLeft, kCenter, kRight };

class FontSet {
 public:
  FontSet() = default;
  ~FontSet();
  FontSet(const FontSet&) = delete;
  FontSet& operator=(const FontSet&) = delete;

  // Loads the Liberation fonts from `folder`; false (with `error` set) when one is missing.
  bool load(const std::string& folder, std::string* error);

  // Selects the face and size (pixels) on `cr` with outline-exact, unhinted metrics.
  void use(cairo_t* cr, Face face, double size) const;

  // Adds `text` as a path with its baseline at y, placed by `align` around x. `tracking`
  // adds that many pixels after every letter (letter-spaced captions). Returns the width.
  double path(cairo_t* cr, Face face, double size, double x, double y, const std::string& text, Align align,
              double tracking = 0) const;
  double width(cairo_t* cr, Face face, double size, const std::string& text, double tracking = 0) const;

 private:
  void* library_ = nullptr;  // FT_Library, kept opaque so callers need no FreeType header
  void* faces_[static_cast<int>(Face::kCount)] = {};
  cairo_font_face_t* cairoFaces_[static_cast<int>(Face::kCount)] = {};
};

}  // namespace art

#endif  // KORVALITE_TOOLS_ART_FONTSET_H
