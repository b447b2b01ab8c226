// The Windows program itself: the template as the resource compiler wrote it, the
// real file-open dialog with the editor's structure, and QUORVEL.exe started with
// a file on its command line and closed again.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "editor_driver.h"
#include "editor_state.h"
#include "metrics_format.h"
#include "modal_calls.h"
#include "modal_script.h"
#include "resources/resource.h"
#include "test_files.h"
#include "utf16_text.h"

namespace {

// ---- The template, read field by field from the resource (DLGTEMPLATEEX)

class TemplateReader {
 public:
  explicit TemplateReader(const uint8_t* data) : at_(data) {}
  uint16_t Word() {
    uint16_t value;
    std::memcpy(&value, at_, 2);
    at_ += 2;
    return value;
  }
  uint32_t Dword() { return Word() | (static_cast<uint32_t>(Word()) << 16); }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  uint8_t Byte() { return *at_++; }
  // A string or ordinal: 0 (none), 0xFFFF + ordinal, or a UTF-16 string; as UTF-8.
  std::string NameOrOrdinal() {
    uint16_t first = Word();
    if (first == 0) return "";
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    std::wstring text(1, static_cast<wchar_t>(first));
    for (uint16_t c = Word(); c != 0; c = Word()) text += static_cast<wchar_t>(c);
    char utf8[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
  }
  void AlignToDword(const uint8_t* base) {
    while ((at_ - base) % 4) ++at_;
  }

 private:
  const uint8_t* at_;
};

struct ItemCase {
  int id;
  const char* className;  // compared without case; the resource compiler writes capitals
  const char* text;       // UTF-8
  int x, y, width, height;
  bool tabStop;
};

TEST(DialogTemplate, IsTheExtendedTemplateMain) {
  HRSRC resource = FindResourceExA(nullptr, MAKEINTRESOURCEA(5), "MAIN",
                                   MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(resource, nullptr) << "template MAIN in English-US";
  auto base = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, resource)));
  TemplateReader read(base);
  EXPECT_EQ(read.Word(), 1);       // dlgVer
  EXPECT_EQ(read.Word(), 0xFFFF);  // signature: extended
  read.Dword();                    // helpID
  EXPECT_EQ(read.Dword(), 0u);     // exStyle
  EXPECT_EQ(read.Dword(), static_cast<DWORD>(WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                             DS_CENTER | DS_MODALFRAME | DS_3DLOOK | DS_SETFONT));
  EXPECT_EQ(read.Word(), 27);  // items
  EXPECT_EQ(read.Short(), 10);
  EXPECT_EQ(read.Short(), 10);
  EXPECT_EQ(read.Short(), 186);
  EXPECT_EQ(read.Short(), 150);
  EXPECT_EQ(read.NameOrOrdinal(), "");  // no menu
  EXPECT_EQ(read.NameOrOrdinal(), "");  // no window class
  EXPECT_EQ(read.NameOrOrdinal(), "QUORVEL");
  EXPECT_EQ(read.Word(), 9);  // points
  EXPECT_EQ(read.Word(), 0);  // weight
  EXPECT_EQ(read.Byte(), 0);  // italic
  EXPECT_EQ(read.Byte(), 1);  // DEFAULT_CHARSET
  EXPECT_EQ(read.NameOrOrdinal(), "MS GOTHIC");

  const ItemCase items[] = {
      {IDC_CHARACTER, "Edit", "", 56, 6, 34, 14, true},
      {IDC_NUMBER, "Edit", "", 56, 24, 44, 14, true},
      {IDC_UPDOWN, "msctls_updown32", "", 79, 7, 11, 14, false},
      {IDC_WIDTH, "Edit", "0", 56, 41, 34, 14, true},
      {IDC_HEIGHT, "Edit", "0", 56, 58, 34, 14, true},
      {IDC_SPACING_LEFT, "Edit", "0", 56, 75, 34, 14, true},
      {IDC_SPACING_RIGHT, "Edit", "0", 56, 92, 34, 14, true},
      {IDC_OFFSET_Y, "Edit", "0", 56, 109, 34, 14, true},
      {IDC_LINE_SPACING, "Edit", "0", 56, 131, 34, 14, true},
      {IDC_OPEN, "Button", "開く", 100, 5, 77, 15, true},
      {IDC_CHANGE, "Button", "変更", 100, 23, 77, 15, true},
      {IDC_CLEAR, "Button", "クリア", 100, 42, 77, 15, true},
      {IDC_SCOPE_GROUP, "Button", "変更範囲", 101, 61, 75, 46, false},
      {IDC_SCOPE_FULLWIDTH, "Button", "全角", 107, 72, 66, 10, true},
      {IDC_SCOPE_HALFKANA, "Button", "半角カナ", 107, 82, 66, 11, true},
      {IDC_SCOPE_HALFALNUM, "Button", "半角英数", 107, 93, 66, 10, true},
      {IDC_VALUE_GROUP, "Button", "値", 101, 111, 76, 35, false},
      {IDC_ABSOLUTE, "Button", "絶対値", 107, 122, 67, 9, true},
      {IDC_RELATIVE, "Button", "相対値", 107, 133, 67, 10, true},
      {1300, "Static", "キャラクタ", 5, 9, 45, 10, false},
      {1301, "Static", "番号", 5, 27, 45, 10, false},
      {1302, "Static", "幅", 5, 44, 45, 10, false},
      {1303, "Static", "高さ", 5, 61, 45, 10, false},
      {1305, "Static", "字間(左)", 5, 78, 45, 10, false},
      {1304, "Static", "字間(右)", 5, 95, 45, 10, false},
      {1306, "Static", "Y座標", 5, 112, 45, 10, false},
      {1311, "Static", "行間", 5, 134, 45, 9, false},
  };
  for (const ItemCase& item : items) {
    SCOPED_TRACE(item.id);
    read.AlignToDword(base);
    read.Dword();  // helpID
    uint32_t exStyle = read.Dword();
    uint32_t style = read.Dword();
    EXPECT_EQ(read.Short(), item.x);
    EXPECT_EQ(read.Short(), item.y);
    EXPECT_EQ(read.Short(), item.width);
    EXPECT_EQ(read.Short(), item.height);
    EXPECT_EQ(read.Dword(), static_cast<DWORD>(item.id));
    std::string className = read.NameOrOrdinal();
    EXPECT_EQ(_stricmp(className.c_str(), item.className), 0) << className;
    EXPECT_EQ(read.NameOrOrdinal(), item.text);
    read.Word();  // creation data
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(style & WS_GROUP, 0u);
    EXPECT_EQ(exStyle == WS_EX_CLIENTEDGE, std::string(item.className) == "Edit");
    EXPECT_EQ((style & WS_TABSTOP) != 0, item.tabStop);
  }
}

// ---- The real file-open dialog

// Waits for a top-level window with this (Shift-JIS) caption, up to a few seconds.
HWND WaitForWindow(const char* caption) {
  for (int i = 0; i < 500; ++i) {
    if (HWND window = FindWindowW(nullptr, WideFromShiftJis(caption).c_str())) return window;
    Sleep(10);
  }
  return nullptr;
}

// 日本語.fnt: the file layer's UTF-8, and the Shift-JIS that the dialog's texts have.
constexpr char kJapaneseName[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.fnt";
constexpr char kJapaneseNameShown[] = "\x93\xFA\x96\x7B\x8C\xEA.fnt";

struct FileNameCase {
  const char* name;         // UTF-8
  const char* captionName;  // Shift-JIS; null where code page 932 lacks a character
};

// Any name opens through the real file dialog and saves: one Japanese, one that
// code page 932 cannot hold (über한.fnt).
TEST(RealFileDialog, AcceptsTheEditorsStructureAndLoadsAndSavesTheChoice) {
  const FileNameCase cases[] = {
      {kJapaneseName, kJapaneseNameShown},
      {"\xC3\xBC"
       "ber\xED\x95\x9C.fnt",
       nullptr},
  };
  for (const FileNameCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    std::string first = folder.Path("first.fnt");
    std::string chosen = folder.Path(c.name);
    WriteWholeFile(first, Bytes(kMetricsFileSize));
    WriteWholeFile(chosen, Bytes(kMetricsFileSize));
    InstallModalScript();
    StartEditor("Q.exe \"" + first + "\"");
    g_openFileDialog = GetOpenFileNameA;  // the real one

    // The file dialog is titled "QUORVEL"; the editor shows "QUORVEL - first.fnt".
    std::atomic<bool> answered{false};
    std::thread user([&] {
      HWND dialog = WaitForWindow("QUORVEL");
      if (!dialog) return;
      SetDlgItemTextW(dialog, cmb13, Utf8ToUtf16(chosen).c_str());  // the file name box
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      answered = true;
    });
    Click(IDC_OPEN);
    user.join();
    ASSERT_TRUE(answered) << "no file dialog appeared";
    EXPECT_STREQ(g_document.path, chosen.c_str());
    if (c.captionName) {
      EXPECT_EQ(Caption(), std::string("QUORVEL - ") + c.captionName);
    }
    EXPECT_EQ(g_openFileName.nFilterIndex, 1u) << "the dialog reports the filter in use";

    TypeInto(IDC_CHARACTER, "A");
    TypeInto(IDC_WIDTH, "40");
    Click(IDC_CHANGE);
    EXPECT_EQ(ReadSingle(ReadWholeFile(chosen).data(), ValueOffset('A', Width)), 40);
    EXPECT_TRUE(MessagesShown().empty());
    StopEditor();
  }
}

// The labels are the template's Japanese on every system: the dialog is a wide one.
TEST(RealDialog, LabelsReadBackAsTheTemplatesJapanese) {
  const struct {
    int id;
    const wchar_t* text;
  } labels[] = {
      {1300, L"キャラクタ"},    {1302, L"幅"},         {1306, L"Y座標"},
      {IDC_OPEN, L"開く"},      {IDC_CHANGE, L"変更"}, {IDC_SCOPE_HALFKANA, L"半角カナ"},
      {IDC_VALUE_GROUP, L"値"},
  };
  StartEditor("Q.exe");
  for (const auto& label : labels) {
    wchar_t text[32] = {};
    GetDlgItemTextW(EditorWindow(), label.id, text, 32);
    EXPECT_STREQ(text, label.text) << label.id;
  }
  StopEditor();
}

// ---- QUORVEL.exe

std::string ProgramPath() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of('\\'));  // ...\tests
  return folder.substr(0, folder.find_last_of('\\')) + "\\QUORVEL.exe";
}

TEST(Program, StartsOnAQuotedJapaneseNameAndExitsWithZeroOnClose) {
  TempFolder folder;
  std::string file = folder.Path(std::string("my ") + kJapaneseName);
  Bytes bytes(kMetricsFileSize);
  WriteSingle(bytes.data(), kLineSpacingOffset, 12);
  WriteWholeFile(file, bytes);

  const std::string commandLine = "\"" + ProgramPath() + "\" \"" + file + "\"";
  std::wstring wideCommandLine = Utf8ToUtf16(commandLine);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &wideCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process))
      << commandLine;
  HWND window = WaitForWindow((std::string("QUORVEL - my ") + kJapaneseNameShown).c_str());
  ASSERT_NE(window, nullptr) << "the window names the file from the command line";
  char text[64] = {};
  GetDlgItemTextA(window, IDC_LINE_SPACING, text, sizeof text);
  EXPECT_STREQ(text, "12");
  GetDlgItemTextA(window, IDC_NUMBER, text, sizeof text);
  EXPECT_STREQ(text, "0");

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
