// フォントから測定 as plain data: the choices of a front end's measure dialog, the
// font kept open while its choice stays the same, and each measurement into a copy
// of the document's image (see font_measure.h for the model), with the text that
// reports it and whether it may be applied. A front end maps its widgets to the
// choices and shows measured, reportText and applyAllowed after each
// RemeasureSession.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "font_face.h"
#include "font_measure.h"

// What the dialog's fields hold. Texts are UTF-8.
struct MeasureChoices {
  std::string font;  // an installed family or a font file's path; "" when none is installed
  int pixelSize = 0;
  bool fullWidth = false, halfKana = false, halfAlnum = false;
  bool roundEdges = false;
  std::string fullWidthSample, halfKanaSample;  // the sample fields as typed
};

// One dialog's measuring. Close its font with EndMeasureSession.
struct MeasureSession {
  MeasureChoices choices;         // as last measured; at the start, the ones offered first
  std::vector<uint8_t> original;  // the document's image, kMetricsImageSize bytes
  std::vector<uint8_t> measured;  // the last measurement, or the original after a failure
  FontFace face;                  // the font open, kept while the choice stays the same
  std::string openedFont;         // the choice face was opened from
  std::string reportText;         // what was set and left, or why nothing was measured
  bool applyAllowed = false;      // the last measurement stored something
};

// The size offered first: the image's full-width height when it is a whole number
// of pixels that can be measured at (a file is usually made for one size), else 24.
int FirstSize(const uint8_t* image);

// A session over a copy of image (kMetricsImageSize bytes), nothing measured yet.
// The choices offered first: FirstSize, every class, no rounding, the default
// samples (国, ｱ); no font, which the front end picks from its list.
MeasureSession StartMeasureSession(const uint8_t* image);

// Closes the session's font.
void EndMeasureSession(MeasureSession& session);

// Opens the font chosen unless it is the one open already; false with the reason
// ("No Such Family: no installed font family has this name ...") otherwise.
bool OpenChosenFont(MeasureSession& session, const std::string& font, std::string* failure);

// Measures choices into a fresh copy of the original. On a failure (no font, a
// font that cannot be opened, a sample field that is not one fitting character, a
// size the font refuses) reportText says why, measured is the original again and
// applying is not allowed.
void RemeasureSession(MeasureSession& session, const MeasureChoices& choices);

// "VL-Gothic-Regular.ttf: 96 codes set" and what was left, the first three by name:
// "...: 1 codes set; 4 left as they were: code 0x10 (the font has no glyph for
// U+2211), code 0x41 (...), code 0x42 (...), ...".
std::string ReportText(const MeasureReport& report);
