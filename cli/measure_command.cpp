// measure FILE... --font FONT --size PX [targets] [--round] [--dry-run]: values
// measured from a font's glyphs with FreeType, stored as the change command stores
// typed values, and saved as every change is saved.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "backup.h"
#include "code_text.h"
#include "commands.h"
#include "font_face.h"
#include "font_measure.h"
#include "image_diff.h"
#include "message_text.h"
#include "report.h"
#include "shift_jis.h"
#include "value_names.h"

namespace {

constexpr char kMeasureHelp[] =
    R"(Measures glyphs of a font with FreeType and stores their values into each FILE
in turn, saved as set saves them (see quorvel-cli set --help).

FONT is a font file's path (anything with a "/", or a file that exists) or the
family name of an installed font, case aside ("VL Gothic"; fc-list : family lists
them). A path that names no font, or a family that is not installed, is an error:
no other font stands in for it. The font is opened once, before any file is read.

Targets, as many as needed, in any mix:
  --scope S   fullwidth  slots 16 and 21 from the full-width sample (国); slots
                         17 and 22 are cleared and slots 19 and 24 get Width =
                         half the full width, as the change command does
              halfkana   the codes 0xA1-0xDF, each from its own character, and
                         slots 18 and 23 from the katakana sample (ｱ)
              halfalnum  the codes 0x20-0x7F, each from its own character
  --code N    one code, from its own character (65 or 0x41)
  --char C    one code, by its single-byte Shift-JIS character (A, ｱ)
--sample C replaces a class's sample: a full-width character for fullwidth, a
half-width katakana for halfkana. The line spacing is never changed.

Each glyph is loaded at PX pixels (1-1000), unhinted. In pixels:
  spacing_left = horiBearingX, width = width,
  spacing_right = horiAdvance - horiBearingX - width,
  height = height, offset_y = the size's ascender - horiBearingY,
so that text laid out with the file (render) places each glyph where the font
does. A glyph without an outline (the space) has only spacing_right, its advance.
With --round the glyph's left and right edges, its advance, and its top and bottom
below the ascender are each rounded to whole pixels (ties to even), and the values
are their differences: the advance stays the font's, rounded.

Codes without a character (control codes such as 0x7F, lead bytes) are skipped.
A character the font lacks leaves its code as it was. Standard error names the
font file, then per file how many codes were set and each code left, with why.

Exit status: 0 when every character asked for was set, 1 when the font lacked
some (the rest were written), 2 on an error: bad arguments, a font that cannot be
opened or measured at PX, a file that cannot be read or written.)";

// The same line form as an error's, for what was done: "quorvel-cli: subject: text".
void ReportNote(const std::string& subject, const std::string& text) { ReportError(subject, text); }

bool ResolveSize(const MeasureOptions& options) {
  if (options.pixelSize >= kMinMeasureSize && options.pixelSize <= kMaxMeasureSize) return true;
  ReportError("measure", "--size " + std::to_string(options.pixelSize) + ": pixel sizes are " +
                             std::to_string(kMinMeasureSize) + "-" +
                             std::to_string(kMaxMeasureSize));
  return false;
}

// The codes of --code and --char, in the order given; reports the first bad one.
bool ResolveCodes(MeasureOptions& options) {
  for (const std::string& text : options.codeTexts) {
    uint8_t code = 0;
    CodeTextStatus status = ParseCodeText(text, &code);
    if (status != CodeTextStatus::Ok) {
      ReportError("measure --code", CodeTextError(text, status));
      return false;
    }
    options.request.codes.push_back(code);
  }
  for (const std::string& text : options.characters) {
    uint8_t code = 0;
    CharacterStatus status = CodeFromCharacter(text, &code);
    if (status != CharacterStatus::Ok) {
      ReportError("measure --char", CharacterError(text, status));
      return false;
    }
    options.request.codes.push_back(code);
  }
  return true;
}

bool ResolveScopes(MeasureOptions& options) {
  MeasureRequest& request = options.request;
  for (const std::string& name : options.scopeNames) {
    request.fullWidth |= name == kScopeNames[0];
    request.halfKana |= name == kScopeNames[1];
    request.halfAlnum |= name == kScopeNames[2];
  }
  if (request.fullWidth || request.halfKana || request.halfAlnum || !request.codes.empty()) {
    return true;
  }
  ReportError("measure", "nothing to measure: give --scope, --code or --char");
  return false;
}

// A sample belongs to the class its character is of (CheckSample): a full-width
// character to the full width, a half-width katakana to the half-width katakana.
// It must be that class's only sample, and the class must be measured.
bool ResolveSample(const std::string& text, MeasureOptions& options, bool* fullWidthGiven,
                   bool* halfKanaGiven) {
  uint32_t character = 0;
  size_t length = DecodeUtf8(text.c_str(), &character);
  SampleStatus asFullWidth = CheckSample(SampleClass::FullWidth, character);
  bool fullWidth = asFullWidth == SampleStatus::Fits;
  std::string subject = "measure --sample \"" + EscapedText(text, kQuotedTextCut) + "\"";
  if (length == 0 || length != text.size() || asFullWidth == SampleStatus::NotASample) {
    ReportError(subject,
                "a sample is one full-width character (国) or one half-width "
                "katakana (ｱ)");
    return false;
  }
  bool* given = fullWidth ? fullWidthGiven : halfKanaGiven;
  bool measured = fullWidth ? options.request.fullWidth : options.request.halfKana;
  const char* scope = fullWidth ? kScopeNames[0] : kScopeNames[1];
  if (*given || !measured) {
    ReportError(subject, std::string(*given ? "a second sample for " : "a sample for ") +
                             "--scope " + scope + (*given ? "" : ", which is not measured"));
    return false;
  }
  *given = true;
  (fullWidth ? options.request.fullWidthSample : options.request.halfKanaSample) = character;
  return true;
}

bool ResolveSamples(MeasureOptions& options) {
  bool fullWidthGiven = false, halfKanaGiven = false;
  for (const std::string& text : options.samples) {
    if (!ResolveSample(text, options, &fullWidthGiven, &halfKanaGiven)) return false;
  }
  return true;
}

// Opens the font and checks that it takes the size; one error line with the font
// file and the reason otherwise. The font file used is named once.
bool OpenFont(MeasureOptions& options) {
  FontFace face;
  if (!OpenFontOption("measure", options.font, &face)) return false;
  options.face = std::shared_ptr<FontFace>(new FontFace(face), [](FontFace* open) {
    CloseFontFace(open);
    delete open;
  });
  int sizeError = SetMeasureSize(face, options.pixelSize);
  if (sizeError != 0) {
    ReportError(face.file, "cannot be measured at " + std::to_string(options.pixelSize) +
                               " px: " + FontLibraryErrorText(sizeError));
    return false;
  }
  ReportNote("measure", "font " + face.file + " (" + face.family + "), " +
                            std::to_string(options.pixelSize) + " px");
  return true;
}

// "1 code", "95 codes".
std::string Count(size_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string LeftSubject(const LeftCode& left) {
  if (left.fromSample && left.code == kFullWidthSlot) {
    return "slots 16 and 21 (full width, from " + Utf8OfCharacter(left.character) + ")";
  }
  if (left.fromSample)
    return "slots 18 and 23 (half-width katakana, from " + Utf8OfCharacter(left.character) + ")";
  return HexCode(left.code) + " " + DisplayedCharacter(left.code);
}

// Names the codes set and each left; returns the exit code they make: 1 when the
// font lacks a character, 2 when FreeType failed on one.
int ReportMeasured(const std::string& path, const MeasureReport& report) {
  ReportNote(path, Count(report.setCodes.size(), "code") + " set, " +
                       std::to_string(report.left.size()) + " left as they were");
  int exitCode = kExitOk;
  for (const LeftCode& left : report.left) {
    const char* was = left.fromSample ? " left as they were: " : " left as it was: ";
    ReportNote(path, LeftSubject(left) + was + LeftCodeReason(left));
    exitCode = std::max(exitCode, left.reason == GlyphStatus::NoGlyph ? kExitNo : kExitError);
  }
  return exitCode;
}

}  // namespace

bool OpenFontOption(const std::string& command, const std::string& font, FontFace* face) {
  FontOpenResult opened = OpenFontFace(font, face);
  if (opened.status == FontOpenStatus::Opened) return true;
  std::string subject = opened.file.empty() ? command + " --font \"" + font + "\"" : opened.file;
  ReportError(subject, FontOpenFailureReason(opened));
  return false;
}

void DeclareMeasure(CLI::App& app, CommandOptions& all) {
  MeasureOptions& options = all.measure;
  app.description("Sets values of codes or classes in metrics files from a font's glyphs.");
  app.add_option("FILE", all.files, "metrics files to change")->required();
  app.add_option("--font", options.font, "the font file or installed family to measure")
      ->type_name("FONT")
      ->required();
  app.add_option("--size", options.pixelSize, "the pixel size to measure at (1-1000)")
      ->type_name("PX")
      ->required();
  app.add_option("--scope", options.scopeNames, "a class of codes to measure (repeatable)")
      ->type_name("S")
      ->allow_extra_args(false)
      ->check(CLI::IsMember({kScopeNames[0], kScopeNames[1], kScopeNames[2]}));
  app.add_option("--code", options.codeTexts, "a code to measure (65 or 0x41; repeatable)")
      ->type_name("N")
      ->allow_extra_args(false);
  app.add_option("--char", options.characters, "a character to measure (A, ｱ; repeatable)")
      ->type_name("C")
      ->allow_extra_args(false);
  app.add_option("--sample", options.samples, "the character a class is measured from (国, ｱ)")
      ->type_name("C")
      ->allow_extra_args(false);
  app.add_flag("--round", options.roundEdges, "round the glyph's edges to whole pixels");
  app.add_flag("--dry-run", options.dryRun, "print what would change, write nothing");
  DeclareBackupOptions(app, all.backup);
  app.footer(kMeasureHelp);
}

// The request and the font, before any file is read; the first bad one is reported.
bool ResolveMeasure(const CLI::App&, CommandOptions& all) {
  MeasureOptions& options = all.measure;
  all.writesLoadedFiles = !options.dryRun;
  options.request.pixelSize = options.pixelSize;
  options.request.roundEdges = options.roundEdges;
  return ResolveSize(options) && ResolveCodes(options) && ResolveScopes(options) &&
         ResolveSamples(options) && OpenFont(options);
}

// Measures into a copy of one loaded file and writes it back in one guarded save,
// or only prints the changes.
int RunMeasure(const CommandOptions& all, LoadedFiles& loaded) {
  const MeasureOptions& options = all.measure;
  MetricsDocument& doc = loaded.docs[0];
  std::vector<uint8_t> edited(doc.image, doc.image + kMetricsImageSize);
  MeasureReport report;
  if (!MeasureIntoImage(*options.face, options.request, edited.data(), &report)) {
    ReportError(report.fontFile, "cannot be measured at " + std::to_string(options.pixelSize) +
                                     " px: " + FontLibraryErrorText(report.sizeError));
    return kExitError;
  }
  int exitCode = ReportMeasured(loaded.path, report);
  if (options.dryRun) {
    PrintChanges(loaded.path, doc.image, edited.data());
    return exitCode;
  }
  if (!SaveLoadedFile(all.backup, loaded.path, doc, edited.data())) return kExitError;
  return exitCode;
}
