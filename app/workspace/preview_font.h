// The font the preview and quorvel-cli render draw characters with, and each
// character's glyph as the drawing rule takes it (MapInkToBox in preview_plan.h):
// the font's own outline and its ink box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "font_face.h"
#include "preview_plan.h"

// The pixel size outlines are loaded at when the size the values were measured at
// is not known. The ink is stretched to its box at any size; a large one keeps
// the outline's grid of 1/64 pixel finer than any box shows it.
constexpr int kOutlineSize = 256;

// The dialog's font families in the order the dialog takes them: the template's
// face, then its stand-ins ("MS GOTHIC", "VL Gothic", "IPAGothic").
std::vector<std::string> DialogFontFamilies();

// Opens the first of DialogFontFamilies that is installed; false, with *face left
// as it was, when none is.
bool OpenDialogFontFace(FontFace* face);

// A character's glyph at the size set: its outline and the ink box of it (the
// outline's control box, in its 26.6 units).
struct PreviewGlyph {
  bool drawable = false;  // the font has an outline with area for the character
  GlyphOutline outline;
  InkBox ink;
};

PreviewGlyph LoadPreviewGlyph(const FontFace& face, uint32_t character);
