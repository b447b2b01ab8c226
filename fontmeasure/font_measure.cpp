#include "font_measure.h"

#include <algorithm>
#include <cstdio>

#include "metrics_format.h"
#include "shift_jis.h"
#include "value_edit.h"

namespace {

// One glyph's edges in 26.6 fixed point: x from the pen, y from the line top,
// growing downward. The five values are their differences.
struct GlyphEdges {
  int64_t left = 0, right = 0, advance = 0, top = 0, bottom = 0;
};

// Rounds a 26.6 value to whole pixels, ties to even: 32 -> 0, 96 -> 128, -32 -> 0,
// -96 -> -128. Integer arithmetic, so no floating-point mode can change it.
int64_t RoundToPixel(int64_t x) {
  int64_t whole = x >= 0 ? x / 64 : -((63 - x) / 64);  // floor(x / 64)
  int64_t rest = x - whole * 64;                       // 0-63
  if (rest > 32 || (rest == 32 && whole % 2 != 0)) ++whole;
  return whole * 64;
}

// A glyph without an outline (the space) has nothing to place: its box is
// meaningless, only its advance counts.
GlyphEdges EdgesOfGlyph(const GlyphMetrics& metrics) {
  GlyphEdges edges;
  edges.advance = metrics.advance;
  if (!metrics.hasOutline) return edges;
  edges.left = metrics.bearingX;
  edges.right = metrics.bearingX + metrics.width;
  edges.top = metrics.ascender - metrics.bearingY;
  edges.bottom = edges.top + metrics.height;
  return edges;
}

GlyphEdges RoundedEdges(const GlyphEdges& edges) {
  return GlyphEdges{RoundToPixel(edges.left), RoundToPixel(edges.right),
                    RoundToPixel(edges.advance), RoundToPixel(edges.top),
                    RoundToPixel(edges.bottom)};
}

// Pixels from 26.6: exact in single precision below 2^24 / 64 = 262144 pixels.
float Pixels(int64_t value) { return static_cast<float>(static_cast<double>(value) / 64.0); }

GlyphValues ValuesOfEdges(const GlyphEdges& edges) {
  GlyphValues values;
  values.width = Pixels(edges.right - edges.left);
  values.height = Pixels(edges.bottom - edges.top);
  values.spacingLeft = Pixels(edges.left);
  values.spacingRight = Pixels(edges.advance - edges.right);
  values.offsetY = Pixels(edges.top);
  return values;
}

// An absolute edit that stores the five values bit for bit.
RecordEdit ExactEdit(const GlyphValues& glyph) {
  const float values[kEditedValueCount] = {glyph.width, glyph.height, glyph.spacingLeft,
                                           glyph.spacingRight, glyph.offsetY};
  static_assert(Width + 1 == Height && Height + 1 == SpacingLeft &&
                    SpacingLeft + 1 == SpacingRight && SpacingRight + 1 == OffsetY,
                "the edit's values are in record order");
  RecordEdit edit;
  edit.mode = ValueMode::Absolute;
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    edit.values[i].present = true;
    edit.values[i].value = static_cast<double>(values[i]);
    edit.values[i].exact = true;
    edit.values[i].exactValue = values[i];
  }
  return edit;
}

// What became of each code asked for, in rising precedence: a record written by
// one part of the request is written, whatever another part found.
enum class CodeOutcome : uint8_t { NotAsked, Skipped, Left, Set };

struct MeasureRun {
  const FontFace& face;
  bool roundEdges;
  uint8_t* image;
  CodeOutcome outcome[kCodeCount] = {};
  std::vector<LeftCode> left;
};

void Mark(MeasureRun& run, uint8_t code, CodeOutcome outcome) {
  run.outcome[code] = std::max(run.outcome[code], outcome);
}

// Measures sample for a class whose first slot is slot; false after noting it as
// left.
bool MeasureSample(MeasureRun& run, uint8_t slot, uint32_t sample, GlyphValues* values) {
  GlyphMeasure measure = MeasureCharacter(run.face, sample, run.roundEdges);
  if (measure.status == GlyphStatus::Measured) {
    *values = measure.values;
    return true;
  }
  run.left.push_back(LeftCode{slot, true, sample, measure.status, measure.libraryError});
  return false;
}

void MeasureCode(MeasureRun& run, uint8_t code) {
  int32_t character = VisibleCharacterOfCode(code);
  if (character < 0) {
    Mark(run, code, CodeOutcome::Skipped);
    return;
  }
  GlyphMeasure measure =
      MeasureCharacter(run.face, static_cast<uint32_t>(character), run.roundEdges);
  if (measure.status != GlyphStatus::Measured) {
    if (run.outcome[code] < CodeOutcome::Left) {
      run.left.push_back(LeftCode{code, false, static_cast<uint32_t>(character), measure.status,
                                  measure.libraryError});
    }
    Mark(run, code, CodeOutcome::Left);
    return;
  }
  StoreRecordValues(run.image, code, ExactEdit(measure.values));
  Mark(run, code, CodeOutcome::Set);
}

// Through the change command's full-width edit, so that its companion slots follow
// its rules: 16 and 21 stored, 17 and 22 cleared, 19 and 24 half the width.
void MeasureFullWidth(MeasureRun& run, uint32_t sample) {
  GlyphValues values;
  if (!MeasureSample(run, kFullWidthSlot, sample, &values)) return;
  ApplyRecordEdit(run.image, ExactEdit(values), EditScope::FullWidth, kFullWidthSlot);
  for (uint8_t slot : {kFullWidthSlot, kFullWidthTwinSlot, kFullWidthClearedSlot,
                       kFullWidthClearedTwinSlot, kHalfWidthSlot, kHalfWidthTwinSlot}) {
    Mark(run, slot, CodeOutcome::Set);
  }
}

// Each katakana code from its own character; slots 18 and 23, which stand for the
// class as a whole, from the sample.
void MeasureHalfKana(MeasureRun& run, uint32_t sample) {
  GlyphValues values;
  if (MeasureSample(run, kHalfKanaSlot, sample, &values)) {
    RecordEdit edit = ExactEdit(values);
    StoreRecordValues(run.image, kHalfKanaSlot, edit);
    StoreRecordValues(run.image, kHalfKanaTwinSlot, edit);
    Mark(run, kHalfKanaSlot, CodeOutcome::Set);
    Mark(run, kHalfKanaTwinSlot, CodeOutcome::Set);
  }
  for (int code = kHalfKanaFirst; code <= kHalfKanaLast; ++code) {
    MeasureCode(run, static_cast<uint8_t>(code));
  }
}

// The report's lists in code order, from the outcomes.
void FillReport(MeasureRun& run, MeasureReport* report) {
  for (int code = 0; code < kCodeCount; ++code) {
    if (run.outcome[code] == CodeOutcome::Set)
      report->setCodes.push_back(static_cast<uint8_t>(code));
    if (run.outcome[code] == CodeOutcome::Skipped)
      report->skipped.push_back(static_cast<uint8_t>(code));
  }
  for (const LeftCode& left : run.left) {
    if (left.fromSample || run.outcome[left.code] == CodeOutcome::Left)
      report->left.push_back(left);
  }
  std::stable_sort(report->left.begin(), report->left.end(),
                   [](const LeftCode& a, const LeftCode& b) { return a.code < b.code; });
}

}  // namespace

int SetMeasureSize(const FontFace& face, int pixelSize) {
  if (pixelSize < kMinMeasureSize || pixelSize > kMaxMeasureSize) return InvalidPixelSizeError();
  return SetFontPixelSize(face, pixelSize);
}

GlyphMeasure MeasureCharacter(const FontFace& face, uint32_t character, bool roundEdges) {
  GlyphMeasure measure;
  GlyphMetrics metrics = LoadGlyphMetrics(face, character);
  if (!metrics.found) return measure;
  if (metrics.loadError != 0) {
    measure.status = GlyphStatus::LoadFailed;
    measure.libraryError = metrics.loadError;
    return measure;
  }
  GlyphEdges edges = EdgesOfGlyph(metrics);
  measure.status = GlyphStatus::Measured;
  measure.values = ValuesOfEdges(roundEdges ? RoundedEdges(edges) : edges);
  return measure;
}

SampleStatus CheckSample(SampleClass cls, uint32_t character) {
  ShiftJisCharacter shiftJis = ShiftJisOfCharacter(character);
  bool fullWidth = shiftJis.length == 2;
  bool halfKana = shiftJis.length == 1 && shiftJis.bytes[0] >= kHalfKanaFirst &&
                  shiftJis.bytes[0] <= kHalfKanaLast;
  if (!fullWidth && !halfKana) return SampleStatus::NotASample;
  bool fits = cls == SampleClass::FullWidth ? fullWidth : halfKana;
  return fits ? SampleStatus::Fits : SampleStatus::OtherClass;
}

bool MeasureIntoImage(const FontFace& face, const MeasureRequest& request, uint8_t* image,
                      MeasureReport* report) {
  *report = MeasureReport();
  report->fontFile = face.file;
  report->sizeError = SetMeasureSize(face, request.pixelSize);
  if (report->sizeError != 0) return false;

  MeasureRun run{face, request.roundEdges, image, {}, {}};
  if (request.fullWidth) MeasureFullWidth(run, request.fullWidthSample);
  if (request.halfKana) MeasureHalfKana(run, request.halfKanaSample);
  if (request.halfAlnum) {
    for (int code = kHalfAlnumFirst; code <= kHalfAlnumLast; ++code) {
      MeasureCode(run, static_cast<uint8_t>(code));
    }
  }
  for (uint8_t code : request.codes) MeasureCode(run, code);
  FillReport(run, report);
  return true;
}

OutlineBox ControlBoxOfOutline(const GlyphOutline& outline) {
  OutlineBox box;
  bool first = true;
  for (const OutlineCommand& command : outline.commands) {
    const int pointCount = PointsOfVerb(command.verb);
    for (int i = 0; i < pointCount; ++i) {
      const OutlinePoint& p = command.points[i];
      if (first || p.x < box.left) box.left = p.x;
      if (first || p.x > box.right) box.right = p.x;
      if (first || p.y < box.bottom) box.bottom = p.y;
      if (first || p.y > box.top) box.top = p.y;
      first = false;
    }
  }
  return box;
}

std::string LeftCodeReason(const LeftCode& left) {
  char character[16];
  std::snprintf(character, sizeof character, "U+%04X", static_cast<unsigned>(left.character));
  if (left.reason == GlyphStatus::NoGlyph)
    return std::string("the font has no glyph for ") + character;
  return std::string(kFontLibraryName) + " cannot load the glyph of " + character + ": " +
         FontLibraryErrorText(left.libraryError);
}
