#include "measure_session.h"

#include <cmath>
#include <cstdio>

#include "code_rows.h"
#include "metrics_format.h"
#include "shift_jis.h"

namespace {

constexpr int kFallbackSize = 24;

// The one character of a sample field's text; false when it holds none or several.
bool SampleCharacter(const std::string& text, uint32_t* character) {
  size_t length = DecodeUtf8(text.c_str(), character);
  return length != 0 && length == text.size();
}

// Why the choices' sample fields cannot be measured from, or "" when they can.
// Only the fields of the classes measured count.
std::string SampleFailure(const MeasureChoices& choices, MeasureRequest* request) {
  bool fullWidthOne = SampleCharacter(choices.fullWidthSample, &request->fullWidthSample);
  bool halfKanaOne = SampleCharacter(choices.halfKanaSample, &request->halfKanaSample);
  if ((choices.fullWidth && !fullWidthOne) || (choices.halfKana && !halfKanaOne))
    return "A sample field needs exactly one character";
  if (choices.fullWidth &&
      CheckSample(SampleClass::FullWidth, request->fullWidthSample) != SampleStatus::Fits) {
    return "The full-width sample \"" + choices.fullWidthSample +
           "\" is not a full-width character (such as 国)";
  }
  if (choices.halfKana &&
      CheckSample(SampleClass::HalfKana, request->halfKanaSample) != SampleStatus::Fits) {
    return "The half-width katakana sample \"" + choices.halfKanaSample +
           "\" is not a half-width katakana (such as ｱ)";
  }
  return "";
}

void FailMeasure(MeasureSession& session, const std::string& text) {
  session.reportText = text;
  session.report = MeasureReport();
  session.measured = session.original;
  session.applyAllowed = false;
}

}  // namespace

int FirstSize(const uint8_t* image) {
  float height = ReadSingle(image, ValueOffset(kFullWidthSlot, Height));
  bool usable = std::isfinite(height) && height == std::floor(height) &&
                height >= kMinMeasureSize && height <= kMaxMeasureSize;
  return usable ? static_cast<int>(height) : kFallbackSize;
}

void ProposeClassOf(int selectedCode, MeasureChoices* choices) {
  const bool selected = selectedCode >= 0 && selectedCode < kCodeCount;
  const uint8_t code = static_cast<uint8_t>(selectedCode);
  choices->fullWidth = selected && RowInClass(code, ClassFilter::FullWidth);
  choices->halfKana = selected && RowInClass(code, ClassFilter::HalfKana);
  choices->halfAlnum = !choices->fullWidth && !choices->halfKana;
}

MeasureSession StartMeasureSession(const uint8_t* image, const MeasureChoices* remembered,
                                   int selectedCode) {
  MeasureSession session;
  session.original.assign(image, image + kMetricsImageSize);
  session.measured = session.original;
  MeasureChoices& choices = session.choices;
  if (remembered) {
    choices = *remembered;
    return session;
  }
  choices.pixelSize = FirstSize(image);
  ProposeClassOf(selectedCode, &choices);
  choices.fullWidthSample = Utf8OfCharacter(kDefaultFullWidthSample);
  choices.halfKanaSample = Utf8OfCharacter(kDefaultHalfKanaSample);
  return session;
}

void EndMeasureSession(MeasureSession& session) {
  CloseFontFace(&session.face);
  session.openedFont.clear();
}

bool OpenChosenFont(MeasureSession& session, const std::string& font, std::string* failure) {
  if (font == session.openedFont && session.face.data != nullptr) return true;
  CloseFontFace(&session.face);
  session.openedFont = font;
  FontOpenResult opened = OpenFontFace(font, &session.face);
  if (opened.status == FontOpenStatus::Opened) return true;
  *failure = font + ": " + FontOpenFailureReason(opened);
  return false;
}

void RemeasureSession(MeasureSession& session, const MeasureChoices& choices) {
  session.choices = choices;
  std::string failure;
  if (choices.font.empty()) return FailMeasure(session, "No font is installed");
  if (!OpenChosenFont(session, choices.font, &failure)) return FailMeasure(session, failure);
  MeasureRequest request;
  request.pixelSize = choices.pixelSize;
  request.roundEdges = choices.roundEdges;
  request.fullWidth = choices.fullWidth;
  request.halfKana = choices.halfKana;
  request.halfAlnum = choices.halfAlnum;
  failure = SampleFailure(choices, &request);
  if (!failure.empty()) return FailMeasure(session, failure);
  std::vector<uint8_t> image = session.original;
  MeasureReport report;
  if (!MeasureIntoImage(session.face, request, image.data(), &report)) {
    return FailMeasure(session, session.face.file + ": cannot be measured at " +
                                    std::to_string(request.pixelSize) + " px");
  }
  session.measured = image;
  session.reportText = ReportText(report, ReportTense::WillBeSet);
  session.report = report;
  session.applyAllowed = !report.setCodes.empty();
}

std::string ReportText(const MeasureReport& report, ReportTense tense) {
  constexpr size_t kLeftShown = 3;
  std::string text = report.fontFile + ": " + std::to_string(report.setCodes.size()) +
                     (tense == ReportTense::Set ? " codes set" : " codes will be set");
  if (report.left.empty()) return text;
  text += "; " + std::to_string(report.left.size()) + " left as they were: ";
  for (size_t i = 0; i < report.left.size() && i < kLeftShown; ++i) {
    const LeftCode& left = report.left[i];
    char code[8];
    std::snprintf(code, sizeof code, "0x%02x", left.code);
    text += std::string(i == 0 ? "" : ", ") + "code " + code + " (" + LeftCodeReason(left) + ")";
  }
  return report.left.size() > kLeftShown ? text + ", ..." : text;
}
