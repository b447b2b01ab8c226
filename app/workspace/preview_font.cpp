#include "preview_font.h"

#include "dialog_layout.h"
#include "font_measure.h"

std::vector<std::string> DialogFontFamilies() {
  std::vector<std::string> families = {kMainDialogFrame.fontName};
  families.insert(families.end(), kDialogFontStandIns,
                  kDialogFontStandIns + kDialogFontStandInCount);
  return families;
}

bool OpenDialogFontFace(FontFace* face) {
  for (const std::string& family : DialogFontFamilies()) {
    if (OpenFontFace(family, face).status == FontOpenStatus::Opened) return true;
  }
  return false;
}

PreviewGlyph LoadPreviewGlyph(const FontFace& face, uint32_t character) {
  PreviewGlyph glyph;
  glyph.outline = LoadGlyphOutline(face, character);
  const OutlineBox box = ControlBoxOfOutline(glyph.outline);
  glyph.ink = InkBox{static_cast<double>(box.left), static_cast<double>(box.bottom),
                     static_cast<double>(box.right), static_cast<double>(box.top)};
  glyph.drawable = box.right > box.left && box.top > box.bottom;
  return glyph;
}
