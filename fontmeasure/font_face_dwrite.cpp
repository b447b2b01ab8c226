// The DirectWrite side of font_face.h: the system font collection finds the
// installed families, DirectWrite opens the font files and gives each glyph's
// design metrics and outline, and design_units.h scales them to the 26.6 values
// FreeType gives, so that a file measures to the same bits on every platform.
// Paths and names are UTF-8 here as everywhere in the program; error codes are
// HRESULTs and Win32 error codes.
#include "font_face.h"

#include <d2d1.h>
#include <dwrite_3.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "design_units.h"
#include "utf16_text.h"

namespace {

// A table DirectWrite keeps mapped until ReleaseFontTable.
struct MappedTable {
  SfntTable table;
  void* context = nullptr;
};

}  // namespace

struct FontFaceData {
  IDWriteFontFace* face = nullptr;
  int unitsPerEm = 0;
  int64_t designAscender = 0;
  bool longLoca = false;
  MappedTable loca, glyf;  // empty for a font without glyf outlines
  MappedTable hhea, hmtx;
  int64_t scale = 0;         // of the size last set (16.16)
  int64_t sizeAscender = 0;  // of the size last set (26.6)
};

namespace {

// Releases a COM object at the end of a scope.
template <typename T>
struct Held {
  T* object = nullptr;
  ~Held() {
    if (object) object->Release();
  }
  T* operator->() const { return object; }
};

// The system's words for a Win32 error or an HRESULT, in English where it has
// them (as the program's own texts are), as UTF-8; empty when it has none.
std::string SystemErrorText(DWORD error) {
  wchar_t text[512];
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  DWORD length = FormatMessageW(flags, nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                text, 512, nullptr);
  if (length == 0) length = FormatMessageW(flags, nullptr, error, 0, text, 512, nullptr);
  while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r' ||
                        text[length - 1] == L'.' || text[length - 1] == L' '))
    --length;
  return Utf16ToUtf8(std::wstring(text, length));
}

// The system's words with a capital first letter lowered, as the FreeType side's
// are ("cannot open: the system cannot find the file specified").
std::string LowerFirst(std::string text) {
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && (text.size() < 2 || text[1] > 'Z'))
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

IDWriteFactory* CreateFactory(HRESULT* result) {
  IUnknown* factory = nullptr;
  *result = DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory), &factory);
  return FAILED(*result) ? nullptr : static_cast<IDWriteFactory*>(factory);
}

// Wine runs a Windows program on a Unix file system, where the user and the
// programs around give Unix paths ("/usr/share/fonts/..."): Wine's own
// wine_get_dos_file_name converts one to the path Windows calls see ("Z:\usr\...").
// Only a path starting with "/" that names nothing as it stands is converted, and
// only under Wine: on Windows such a path stays as it is.
std::wstring WindowsPathOf(const std::string& path) {
  std::wstring wide = Utf8ToUtf16(path);
  if (path.empty() || path[0] != '/' || GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
    return wide;
  using Convert = WCHAR*(CDECL*)(const char*);
  auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_dos_file_name")));
  WCHAR* converted = convert ? convert(path.c_str()) : nullptr;
  if (converted == nullptr) return wide;
  std::wstring dos = converted;
  HeapFree(GetProcessHeap(), 0, converted);
  return dos;
}

// The path of the file open as handle with links resolved, without the "\\?\"
// prefix the system puts before it; empty when it cannot be had.
std::wstring FinalPathOf(HANDLE handle) {
  wchar_t path[MAX_PATH * 4];
  DWORD length = GetFinalPathNameByHandleW(handle, path, MAX_PATH * 4, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= MAX_PATH * 4) return std::wstring();
  std::wstring final(path, length);
  if (final.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + final.substr(8);
  if (final.compare(0, 4, L"\\\\?\\") == 0) return final.substr(4);
  return final;
}

// Checks that a path names a file before DirectWrite is asked to read it, so that a
// missing file or a directory gets the system's reason rather than DirectWrite's;
// *resolved is then its absolute path with links resolved.
bool CheckFontPath(const std::wstring& path, FontOpenResult* result, std::wstring* resolved) {
  HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    result->status = FontOpenStatus::NoSuchFile;
    result->systemError = static_cast<int>(GetLastError());
    return false;
  }
  BY_HANDLE_FILE_INFORMATION information = {};
  const bool isDisk = GetFileType(handle) == FILE_TYPE_DISK;
  const bool isDirectory = GetFileInformationByHandle(handle, &information) &&
                           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  *resolved = FinalPathOf(handle);
  CloseHandle(handle);
  if (!isDisk || isDirectory) {
    result->status = FontOpenStatus::NotAFile;
    result->systemError = isDirectory ? ERROR_DIRECTORY : 0;
    return false;
  }
  if (resolved->empty()) *resolved = path;
  return true;
}

// A family name in the language asked for (its whole tag, "zh-tw", or its first
// part, "ja", as in DirectWrite's "ja-jp"), else the English one, else the first.
// A font with names in several languages thus shows once, as the user reads it.
std::string FamilyNameFor(IDWriteLocalizedStrings* names, const std::string& language) {
  const std::string primary = language.substr(0, language.find('-'));
  std::wstring first, english;
  const UINT32 count = names->GetCount();
  for (UINT32 i = 0; i < count; ++i) {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    UINT32 length = 0;
    if (FAILED(names->GetLocaleName(i, locale, LOCALE_NAME_MAX_LENGTH)) ||
        FAILED(names->GetStringLength(i, &length)))
      continue;
    std::wstring name(length + 1, L'\0');
    if (FAILED(names->GetString(i, &name[0], length + 1))) continue;
    name.resize(length);
    std::string tag = Utf16ToUtf8(locale);
    std::transform(tag.begin(), tag.end(), tag.begin(), [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    const std::string tagPrimary = tag.substr(0, tag.find('-'));
    if (!language.empty() && (tag == language || tag == primary || tagPrimary == language))
      return Utf16ToUtf8(name);
    if (first.empty()) first = name;
    if (tagPrimary == "en" && english.empty()) english = name;
  }
  return Utf16ToUtf8(english.empty() ? first : english);
}

// Whether one of names is name, case aside.
bool HasName(IDWriteLocalizedStrings* names, const std::wstring& name) {
  const UINT32 count = names->GetCount();
  for (UINT32 i = 0; i < count; ++i) {
    UINT32 length = 0;
    if (FAILED(names->GetStringLength(i, &length))) continue;
    std::wstring candidate(length + 1, L'\0');
    if (FAILED(names->GetString(i, &candidate[0], length + 1))) continue;
    if (CompareStringOrdinal(candidate.c_str(), static_cast<int>(length), name.c_str(),
                             static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
      return true;
  }
  return false;
}

// The names of the collection's family at index; false when it cannot be read.
bool FamilyNamesAt(IDWriteFontCollection* fonts, UINT32 index,
                   Held<IDWriteLocalizedStrings>* names) {
  Held<IDWriteFontFamily> family;
  return SUCCEEDED(fonts->GetFontFamily(index, &family.object)) &&
         SUCCEEDED(family->GetFamilyNames(&names->object));
}

// The family of the system's collection named name: the system's own look-up
// first (it knows its substitutes, such as "MS Gothic" where that is a
// replacement), then every localized name of every family, case aside. Never a
// fallback to another family.
bool FindFamily(IDWriteFontCollection* fonts, const std::wstring& name, UINT32* index) {
  BOOL exists = FALSE;
  if (SUCCEEDED(fonts->FindFamilyName(name.c_str(), index, &exists)) && exists) return true;
  const UINT32 count = fonts->GetFontFamilyCount();
  for (UINT32 i = 0; i < count; ++i) {
    Held<IDWriteLocalizedStrings> names;
    if (!FamilyNamesAt(fonts, i, &names)) continue;
    if (HasName(names.object, name)) {
      *index = i;
      return true;
    }
  }
  return false;
}

// The path of a face's (first) file where it is a local file; empty otherwise.
std::wstring FileOfFace(IDWriteFontFace* face) {
  UINT32 count = 1;
  Held<IDWriteFontFile> file;
  if (FAILED(face->GetFiles(&count, &file.object)) || file.object == nullptr) return std::wstring();
  Held<IDWriteFontFileLoader> loader;
  Held<IDWriteLocalFontFileLoader> local;
  const void* key = nullptr;
  UINT32 keySize = 0, length = 0;
  if (FAILED(file->GetLoader(&loader.object)) ||
      FAILED(loader->QueryInterface(__uuidof(IDWriteLocalFontFileLoader),
                                    reinterpret_cast<void**>(&local.object))) ||
      FAILED(file->GetReferenceKey(&key, &keySize)) ||
      FAILED(local->GetFilePathLengthFromKey(key, keySize, &length)))
    return std::wstring();
  std::wstring path(length + 1, L'\0');
  if (FAILED(local->GetFilePathFromKey(key, keySize, &path[0], length + 1))) return std::wstring();
  path.resize(length);
  return path;
}

// The face of the family's font that the system ranks best for its default style
// (regular, upright), with the family's English name.
HRESULT OpenFamilyFace(IDWriteFontCollection* fonts, UINT32 index, IDWriteFontFace** face,
                       std::string* familyName) {
  Held<IDWriteFontFamily> family;
  Held<IDWriteFont> font;
  Held<IDWriteLocalizedStrings> names;
  HRESULT result = fonts->GetFontFamily(index, &family.object);
  if (SUCCEEDED(result))
    result = family->GetFirstMatchingFont(DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                          DWRITE_FONT_STYLE_NORMAL, &font.object);
  if (SUCCEEDED(result)) result = font->CreateFontFace(face);
  if (SUCCEEDED(family->GetFamilyNames(&names.object)))
    *familyName = FamilyNameFor(names.object, "en");
  return result;
}

// The first face of a font file, and its family's English name where the system
// can give the names of a face (Windows 10 and Wine).
HRESULT OpenFileFace(IDWriteFactory* factory, const std::wstring& path, IDWriteFontFace** face,
                     std::string* familyName) {
  Held<IDWriteFontFile> file;
  HRESULT result = factory->CreateFontFileReference(path.c_str(), nullptr, &file.object);
  BOOL supported = FALSE;
  DWRITE_FONT_FILE_TYPE fileType;
  DWRITE_FONT_FACE_TYPE faceType;
  UINT32 faces = 0;
  if (SUCCEEDED(result)) result = file->Analyze(&supported, &fileType, &faceType, &faces);
  if (SUCCEEDED(result) && (!supported || faces == 0)) result = DWRITE_E_FILEFORMAT;
  if (SUCCEEDED(result))
    result =
        factory->CreateFontFace(faceType, 1, &file.object, 0, DWRITE_FONT_SIMULATIONS_NONE, face);
  Held<IDWriteFontFace3> named;
  Held<IDWriteLocalizedStrings> names;
  if (SUCCEEDED(result) &&
      SUCCEEDED((*face)->QueryInterface(__uuidof(IDWriteFontFace3),
                                        reinterpret_cast<void**>(&named.object))) &&
      SUCCEEDED(named->GetFamilyNames(&names.object)))
    *familyName = FamilyNameFor(names.object, "en");
  return result;
}

// A table of the font, empty where it has none.
MappedTable MapTable(IDWriteFontFace* face, UINT32 tag) {
  MappedTable mapped;
  const void* bytes = nullptr;
  UINT32 size = 0;
  BOOL exists = FALSE;
  if (FAILED(face->TryGetFontTable(tag, &bytes, &size, &mapped.context, &exists)) || !exists)
    return MappedTable();
  mapped.table = SfntTable{static_cast<const uint8_t*>(bytes), size};
  return mapped;
}

void ReleaseTable(IDWriteFontFace* face, MappedTable* mapped) {
  if (mapped->context) face->ReleaseFontTable(mapped->context);
  *mapped = MappedTable();
}

// What the design-unit arithmetic needs of the face; the tables read per glyph
// (glyf, loca, hhea, hmtx) stay mapped while the face is open.
FontFaceData* DataOfFace(IDWriteFontFace* face) {
  FontFaceData* data = new FontFaceData;
  data->face = face;
  DWRITE_FONT_METRICS metrics;
  face->GetMetrics(&metrics);
  data->unitsPerEm = metrics.designUnitsPerEm;
  MappedTable head = MapTable(face, DWRITE_MAKE_OPENTYPE_TAG('h', 'e', 'a', 'd'));
  MappedTable os2 = MapTable(face, DWRITE_MAKE_OPENTYPE_TAG('O', 'S', '/', '2'));
  data->hhea = MapTable(face, DWRITE_MAKE_OPENTYPE_TAG('h', 'h', 'e', 'a'));
  data->longLoca = HasLongLocaOffsets(head.table);
  data->designAscender = DesignAscender(os2.table, data->hhea.table);
  ReleaseTable(face, &head);
  ReleaseTable(face, &os2);
  data->hmtx = MapTable(face, DWRITE_MAKE_OPENTYPE_TAG('h', 'm', 't', 'x'));
  data->loca = MapTable(face, DWRITE_MAKE_OPENTYPE_TAG('l', 'o', 'c', 'a'));
  data->glyf = MapTable(face, DWRITE_MAKE_OPENTYPE_TAG('g', 'l', 'y', 'f'));
  return data;
}

// The glyph's glyf header; false where the font has none for it (no glyf table,
// an empty glyph).
bool ReadGlyfHeaderOf(const FontFaceData& data, UINT16 index, GlyfHeader* header) {
  const size_t entry = size_t{index} * (data.longLoca ? 4 : 2);
  if (data.glyf.table.size == 0 || entry + LocaEntriesSize(data.longLoca) > data.loca.table.size)
    return false;
  const GlyfRange range = GlyfRangeOfLoca(data.loca.table.bytes + entry, data.longLoca);
  if (range.size < kGlyfHeaderSize || range.offset + kGlyfHeaderSize > data.glyf.table.size)
    return false;
  *header = ReadGlyfHeader(data.glyf.table.bytes + range.offset);
  return true;
}

// The glyph of a Unicode character; 0, the font's "missing" glyph, when it has none.
UINT16 GlyphOf(const FontFaceData& data, uint32_t character) {
  UINT32 codePoint = character;
  UINT16 index = 0;
  if (FAILED(data.face->GetGlyphIndices(&codePoint, 1, &index))) return 0;
  return index;
}

// The glyph in design units as the pen places it, y up; its outline shift from
// glyf and hmtx, by which FreeType moves the points.
HRESULT LoadDesignGlyph(const FontFaceData& data, UINT16 index, DesignGlyph* glyph) {
  DWRITE_GLYPH_METRICS metrics;
  HRESULT result = data.face->GetDesignGlyphMetrics(&index, 1, &metrics, FALSE);
  if (FAILED(result)) return result;
  glyph->advance = metrics.advanceWidth;
  glyph->left = metrics.leftSideBearing;
  glyph->right = int64_t{metrics.advanceWidth} - metrics.rightSideBearing;
  glyph->top = int64_t{metrics.verticalOriginY} - metrics.topSideBearing;
  glyph->bottom =
      int64_t{metrics.verticalOriginY} - int64_t{metrics.advanceHeight} + metrics.bottomSideBearing;
  glyph->hasOutline = glyph->right != glyph->left || glyph->top != glyph->bottom;
  GlyfHeader header;
  int64_t bearing = 0;
  if (ReadGlyfHeaderOf(data, index, &header) &&
      ReadLeftSideBearing(data.hhea.table, data.hmtx.table, index, &bearing))
    glyph->outlineShift = header.xMin - bearing;
  return S_OK;
}

// Receives a glyph's outline from GetGlyphRunOutline in design units (y down) and
// appends it as commands in 26.6, y up. A COM interface, so a class; it lives on
// the caller's stack, so its reference count is never used.
class OutlineSink : public IDWriteGeometrySink {
 public:
  OutlineSink(GlyphOutline* outline, int64_t outlineShift, int64_t scale)
      : outline_(outline), shift_(outlineShift), scale_(scale) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == __uuidof(IUnknown) || id == __uuidof(IDWriteGeometrySink)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  void STDMETHODCALLTYPE SetFillMode(D2D1_FILL_MODE mode) override {
    outline_->evenOdd = mode == D2D1_FILL_MODE_ALTERNATE;
  }
  void STDMETHODCALLTYPE SetSegmentFlags(D2D1_PATH_SEGMENT) override {}
  void STDMETHODCALLTYPE BeginFigure(D2D1_POINT_2F start, D2D1_FIGURE_BEGIN) override {
    start_ = last_ = Point(start);
    pen_ = start;
    Add(OutlineVerb::MoveTo, {start_});
  }
  void STDMETHODCALLTYPE AddLines(const D2D1_POINT_2F* points, UINT32 count) override {
    for (UINT32 i = 0; i < count; ++i) {
      Add(OutlineVerb::LineTo, {Point(points[i])});
      pen_ = points[i];
    }
  }
  void STDMETHODCALLTYPE AddBeziers(const D2D1_BEZIER_SEGMENT* curves, UINT32 count) override {
    for (UINT32 i = 0; i < count; ++i) {
      AddCurve(curves[i]);
      pen_ = curves[i].point3;
    }
  }
  // Each contour ends back at its start, as FreeType's decomposition ends it.
  void STDMETHODCALLTYPE EndFigure(D2D1_FIGURE_END) override {
    if (last_.x != start_.x || last_.y != start_.y) Add(OutlineVerb::LineTo, {start_});
  }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }

 private:
  OutlinePoint Point(D2D1_POINT_2F point) const {
    return ScaleDesignPoint(point.x, -static_cast<double>(point.y), shift_, scale_);
  }
  // DirectWrite gives the quadratic curves of a TrueType glyph raised to cubic
  // ones: C1 = P0 + 2/3 (Q - P0), C2 = P3 + 2/3 (Q - P3). Where both control points
  // give the same Q, the curve is added as that quadratic, with the font's own
  // control point (a whole design unit): the outline and its control box are then
  // FreeType's. Any other curve stays cubic.
  void AddCurve(const D2D1_BEZIER_SEGMENT& curve) {
    const double qx1 = (3.0 * curve.point1.x - pen_.x) / 2,
                 qy1 = (3.0 * curve.point1.y - pen_.y) / 2;
    const double qx2 = (3.0 * curve.point2.x - curve.point3.x) / 2;
    const double qy2 = (3.0 * curve.point2.y - curve.point3.y) / 2;
    const double tolerance = 1.0 / 16;  // of a design unit; single precision loses far less
    if (std::fabs(qx1 - qx2) > tolerance || std::fabs(qy1 - qy2) > tolerance) {
      Add(OutlineVerb::CubicTo, {Point(curve.point1), Point(curve.point2), Point(curve.point3)});
      return;
    }
    const double qx = WholeIfClose((qx1 + qx2) / 2), qy = WholeIfClose((qy1 + qy2) / 2);
    Add(OutlineVerb::ConicTo, {ScaleDesignPoint(qx, -qy, shift_, scale_), Point(curve.point3)});
  }
  static double WholeIfClose(double value) {
    const double whole = std::round(value);
    return std::fabs(value - whole) <= 1.0 / 16 ? whole : value;
  }
  void Add(OutlineVerb verb, std::initializer_list<OutlinePoint> points) {
    OutlineCommand command;
    command.verb = verb;
    std::copy(points.begin(), points.end(), command.points);
    last_ = points.end()[-1];
    outline_->commands.push_back(command);
  }

  GlyphOutline* outline_;
  int64_t shift_, scale_;
  OutlinePoint start_, last_;
  D2D1_POINT_2F pen_ = {0, 0};  // the current point, in design units as DirectWrite gives it
};

const char* DirectWriteErrorName(int error) {
  switch (static_cast<HRESULT>(error)) {
    case DWRITE_E_FILEFORMAT: return "unknown file format";
    case DWRITE_E_UNEXPECTED: return "unexpected error";
    case DWRITE_E_NOFONT: return "no font";
    case DWRITE_E_FILENOTFOUND: return "file not found";
    case DWRITE_E_FILEACCESS: return "file cannot be read";
    case DWRITE_E_FONTCOLLECTIONOBSOLETE: return "the list of installed fonts changed";
    default: return nullptr;
  }
}

}  // namespace

bool IsFontPath(const std::string& font) {
  return font.find_first_of("/\\") != std::string::npos ||
         GetFileAttributesW(Utf8ToUtf16(font).c_str()) != INVALID_FILE_ATTRIBUTES;
}

FontOpenResult OpenFontFace(const std::string& font, FontFace* face) {
  FontOpenResult result;
  HRESULT error = S_OK;
  Held<IDWriteFactory> factory;
  factory.object = CreateFactory(&error);
  if (factory.object == nullptr) {
    result.status = FontOpenStatus::LibraryFailed;
    result.libraryError = static_cast<int>(error);
    return result;
  }
  IDWriteFontFace* opened = nullptr;
  std::string familyName;
  if (IsFontPath(font)) {
    std::wstring resolved;
    result.file = font;
    if (!CheckFontPath(WindowsPathOf(font), &result, &resolved)) return result;
    result.file = Utf16ToUtf8(resolved);
    error = OpenFileFace(factory.object, resolved, &opened, &familyName);
  } else {
    Held<IDWriteFontCollection> fonts;
    UINT32 index = 0;
    error = factory->GetSystemFontCollection(&fonts.object, FALSE);
    if (FAILED(error)) {
      result.status = FontOpenStatus::LibraryFailed;
      result.libraryError = static_cast<int>(error);
      return result;
    }
    if (!FindFamily(fonts.object, Utf8ToUtf16(font), &index)) {
      result.status = FontOpenStatus::UnknownFamily;
      return result;
    }
    error = OpenFamilyFace(fonts.object, index, &opened, &familyName);
    if (opened) {
      // The file as FontFace::file has it: absolute, links resolved.
      std::wstring resolved;
      FontOpenResult checked;
      const std::wstring file = FileOfFace(opened);
      result.file = Utf16ToUtf8(CheckFontPath(file, &checked, &resolved) ? resolved : file);
    }
  }
  result.libraryError = static_cast<int>(error);
  if (FAILED(error)) {
    if (opened) opened->Release();
    result.status = FontOpenStatus::NotAFont;
    return result;
  }
  result.status = FontOpenStatus::Opened;
  face->data = DataOfFace(opened);
  face->file = result.file;
  face->family = familyName;
  return result;
}

void CloseFontFace(FontFace* face) {
  if (face->data != nullptr) {
    for (MappedTable* table :
         {&face->data->loca, &face->data->glyf, &face->data->hhea, &face->data->hmtx})
      ReleaseTable(face->data->face, table);
    face->data->face->Release();
    delete face->data;
  }
  *face = FontFace();
}

std::string FontOpenFailureReason(const FontOpenResult& result) {
  switch (result.status) {
    case FontOpenStatus::Opened: return "opened";
    case FontOpenStatus::NoSuchFile:
      return "cannot open: " + LowerFirst(SystemErrorText(static_cast<DWORD>(result.systemError)));
    case FontOpenStatus::NotAFile:
      if (result.systemError == ERROR_DIRECTORY) return "is a directory, not a font file";
      return "not a regular file (a device or a pipe)";
    case FontOpenStatus::UnknownFamily:
      return "no installed font family has this name (the Fonts settings list them)";
    case FontOpenStatus::NotAFont:
      return "not a font DirectWrite can read: " + FontLibraryErrorText(result.libraryError);
    case FontOpenStatus::NoUnicodeMap:
      return "the font has no Unicode character map: " + FontLibraryErrorText(result.libraryError);
    case FontOpenStatus::LibraryFailed:
      return "DirectWrite cannot start: " + FontLibraryErrorText(result.libraryError);
  }
  return "cannot open";
}

std::vector<std::string> InstalledFontFamilies(const std::string& language) {
  std::vector<std::string> families;
  HRESULT error = S_OK;
  Held<IDWriteFactory> factory;
  factory.object = CreateFactory(&error);
  Held<IDWriteFontCollection> fonts;
  if (factory.object == nullptr || FAILED(factory->GetSystemFontCollection(&fonts.object, FALSE)))
    return families;
  const UINT32 count = fonts->GetFontFamilyCount();
  for (UINT32 i = 0; i < count; ++i) {
    Held<IDWriteLocalizedStrings> names;
    if (!FamilyNamesAt(fonts.object, i, &names)) continue;
    std::string name = FamilyNameFor(names.object, language);
    if (!name.empty()) families.push_back(name);
  }
  std::sort(families.begin(), families.end());
  families.erase(std::unique(families.begin(), families.end()), families.end());
  return families;
}

const char kFontLibraryName[] = "DirectWrite";

std::string FontLibraryErrorText(int error) {
  const char* name = DirectWriteErrorName(error);
  if (name != nullptr) return name;
  std::string text = LowerFirst(SystemErrorText(static_cast<DWORD>(error)));
  if (!text.empty()) return text;
  char code[40];
  std::snprintf(code, sizeof code, "DirectWrite error 0x%08X", static_cast<unsigned>(error));
  return code;
}

int InvalidPixelSizeError() { return static_cast<int>(E_INVALIDARG); }

int SetFontPixelSize(const FontFace& face, int pixelSize) {
  if (pixelSize < 1) return InvalidPixelSizeError();
  FontFaceData& data = *face.data;
  data.scale = DesignScale(pixelSize, data.unitsPerEm);
  data.sizeAscender = SizeAscender(data.designAscender, data.scale);
  return 0;
}

GlyphMetrics LoadGlyphMetrics(const FontFace& face, uint32_t character) {
  GlyphMetrics glyph;
  const FontFaceData& data = *face.data;
  const UINT16 index = GlyphOf(data, character);
  if (index == 0) return glyph;
  DesignGlyph design;
  glyph.loadError = static_cast<int>(LoadDesignGlyph(data, index, &design));
  glyph.found = true;
  if (glyph.loadError != 0) return glyph;
  return GlyphMetricsOfDesign(design, data.scale, data.sizeAscender);
}

GlyphOutline LoadGlyphOutline(const FontFace& face, uint32_t character) {
  GlyphOutline outline;
  const FontFaceData& data = *face.data;
  UINT16 index = GlyphOf(data, character);
  if (index == 0) return outline;
  outline.found = true;
  DesignGlyph design;
  outline.loadError = static_cast<int>(LoadDesignGlyph(data, index, &design));
  if (outline.loadError != 0 || !design.hasOutline) return outline;
  OutlineSink sink(&outline, design.outlineShift, data.scale);
  // At an em of the design units, the points come in design units.
  outline.loadError = static_cast<int>(data.face->GetGlyphRunOutline(
      static_cast<FLOAT>(data.unitsPerEm), &index, nullptr, nullptr, 1, FALSE, FALSE, &sink));
  if (outline.loadError != 0) outline.commands.clear();
  return outline;
}
