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
  MeasureReport report;           // the last measurement's codes set and left
  std::string reportText;         // what will be set and left, or why nothing was measured
  bool applyAllowed = false;      // the last measurement stored something
};

// The size offered first: the image's full-width height when it is a whole number
// of pixels that can be measured at (a file is usually made for one size), else 24.
int FirstSize(const uint8_t* image);

// No code is selected in the editor (a scope box is checked).
constexpr int kNoSelectedCode = -1;

// The one class offered when nothing is remembered: the class of selectedCode
// (0x41 'A': 半角英数, 16 and its companions: 全角, 0xB1 'ｱ' and 18: 半角カナ), 半角英数 when no
// code is selected or the code belongs to no class.
void ProposeClassOf(int selectedCode, MeasureChoices* choices);

// A session over a copy of image (kMetricsImageSize bytes), nothing measured yet.
// It offers the choices remembered from the last use when there are any (the
// front end keeps them across runs), else: FirstSize, the class ProposeClassOf
// gives, no rounding, the default samples (国, ｱ), and no font, which the front
// end picks from its list.
MeasureSession StartMeasureSession(const uint8_t* image, const MeasureChoices* remembered,
                                   int selectedCode);

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

// Whether the codes of a report are still only measured or written to the file.
enum class ReportTense { WillBeSet, Set };

// "VL-Gothic-Regular.ttf: 96 codes will be set" (before 適用) or "...: 96 codes
// set" (after) and what was left, the first three by name: "...: 1 codes will be
// set; 4 left as they were: code 0x10 (the font has no glyph for U+2211), code
// 0x41 (...), code 0x42 (...), ...".
std::string ReportText(const MeasureReport& report, ReportTense tense);
