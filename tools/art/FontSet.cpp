#include "tools/art/FontSet.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

namespace art {

namespace {

const char* const kFiles[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                              "LiberationSansNarrow-Bold.ttf", "LiberationSerif-BoldItalic.ttf"};

}  // namespace

namespace {

const cairo_user_data_key_t kFaceKey = {};

void doneFace(void* face) {
  FT_Done_Face(static_cast<FT_Face>(face));
}

}  // namespace

// Cairo keeps fonts in caches beyond our last reference, so each FreeType face is freed by
// Cairo itself when its font face really goes; the FreeType library lives until exit.
FontSet::~FontSet() {
  for (int i = 0; i < static_cast<int>(Face::kCount); ++i) {
    if (cairoFaces_[i]) {
      cairo_font_face_destroy(cairoFaces_[i]);
    } else if (faces_[i]) {
      FT_Done_Face(static_cast<FT_Face>(faces_[i]));
    }
  }
}

bool FontSet::load(const std::string& folder, std::string* error) {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) {
    *error = "FreeType cannot start";
    return false;
  }
  library_ = lib;
  for (int i = 0; i < static_cast<int>(Face::kCount); ++i) {
    std::string file = folder + "/" + kFiles[i];
    FT_Face face = nullptr;
    if (FT_New_Face(lib, file.c_str(), 0, &face) != 0) {
      *error = "cannot load font " + file;
      return false;
    }
    faces_[i] = face;
    cairoFaces_[i] = cairo_ft_font_face_create_for_ft_face(face, FT_LOAD_NO_HINTING);
    if (cairo_font_face_set_user_data(cairoFaces_[i], &kFaceKey, face, doneFace) != CAIRO_STATUS_SUCCESS) {
      cairo_font_face_destroy(cairoFaces_[i]);
      cairoFaces_[i] = nullptr;
      *error = "cannot hand font " + file + " to Cairo";
      return false;
    }
  }
  return true;
}

void FontSet::use(cairo_t* cr, Face face, double size) const {
  cairo_set_font_face(cr, cairoFaces_[static_cast<int>(face)]);
  cairo_set_font_size(cr, size);
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, o);
  cairo_font_options_destroy(o);
}

namespace {

// Splits UTF-8 text into its characters, each a string of one to four bytes.
std::vector<std::string> characters(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = c < 0x80 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

double advance(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

}  // namespace

double FontSet::width(cairo_t* cr, Face face, double size, const std::string& text, double tracking) const {
  use(cr, face, size);
  if (tracking == 0) return advance(cr, text);
  std::vector<std::string> chars = characters(text);
  double w = 0;
  for (const std::string& c : chars) w += advance(cr, c) + tracking;
  return chars.empty() ? 0 : w - tracking;
}

double FontSet::path(cairo_t* cr, Face face, double size, double x, double y, const std::string& text,
                     Align align, double tracking) const {
  double w = width(cr, face, size, text, tracking);
  double pen = align == Align::kLeft ? x : align == Align::kCenter ? x - w / 2 : x - w;
  if (tracking == 0) {
    cairo_move_to(cr, pen, y);
    cairo_text_path(cr, text.c_str());
    return w;
  }
  for (const std::string& c : characters(text)) {
    cairo_move_to(cr, pen, y);
    cairo_text_path(cr, c.c_str());
    pen += advance(cr, c) + tracking;
  }
  return w;
}

}  // namespace art
