// The control effects the editor's handlers depend on, checked with the same calls
// against the in-memory layer (natively) and against the real controls (in the
// Windows build, under Wine): the model must behave as the controls do.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "window_api.h"

namespace {

std::vector<std::pair<int, int>> g_notifications;  // (id, code) of WM_COMMAND
WPARAM g_initialFocus = 0;                         // wParam of WM_INITDIALOG

INT_PTR CALLBACK RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    g_initialFocus = wParam;
    return TRUE;
  }
  if (message == WM_COMMAND && lParam != 0) {
    g_notifications.emplace_back(LOWORD(wParam), HIWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

class WindowLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
#endif
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), "Main", nullptr, RecordingProc, 0);
    ASSERT_NE(dialog_, nullptr);
    upDown_ = GetDlgItem(dialog_, IDC_UPDOWN);
    number_ = GetDlgItem(dialog_, IDC_NUMBER);
    SendMessageA(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(number_), 0);
    g_notifications.clear();
  }
  void TearDown() override { DestroyWindow(dialog_); }

  std::string Text(int id) {
    char text[64];
    GetDlgItemTextA(dialog_, id, text, sizeof text);
    return text;
  }
  int ChangesOf(int id) {
    int count = 0;
    for (auto& n : g_notifications) count += n.first == id && n.second == EN_CHANGE;
    return count;
  }
  void SetRange(int low, int high) { SendMessageA(upDown_, UDM_SETRANGE32, low, high); }
  void SetPosition(int position) { SendMessageA(upDown_, UDM_SETPOS, 0, MAKELPARAM(position, 0)); }
  LRESULT Position() { return SendMessageA(upDown_, UDM_GETPOS, 0, 0); }

  HWND dialog_ = nullptr;
  HWND upDown_ = nullptr;
  HWND number_ = nullptr;
};

TEST_F(WindowLayerTest, SettingAnEditRaisesChangeEvenWhenEqual) {
  SetDlgItemTextA(dialog_, IDC_WIDTH, "0");
  SetDlgItemTextA(dialog_, IDC_WIDTH, "0");
  EXPECT_EQ(ChangesOf(IDC_WIDTH), 2);
}

TEST_F(WindowLayerTest, LimitsApplyToTypingNotToSetText) {
  SendMessageA(number_, EM_LIMITTEXT, 3, 0);
  SetDlgItemTextA(dialog_, IDC_NUMBER, "12345x");
  EXPECT_EQ(Text(IDC_NUMBER), "12345x");
}

TEST_F(WindowLayerTest, UpDownRewritesItsBuddyOnlyWhenTheTextDiffers) {
  SetRange(0, 255);
  SetPosition(65);
  EXPECT_EQ(Text(IDC_NUMBER), "65");
  EXPECT_EQ(ChangesOf(IDC_NUMBER), 1);
  SetPosition(65);
  EXPECT_EQ(ChangesOf(IDC_NUMBER), 1) << "same number, same text: no notification";
  SetDlgItemTextA(dialog_, IDC_NUMBER, "065");
  SetPosition(65);
  EXPECT_EQ(Text(IDC_NUMBER), "65");
  EXPECT_EQ(ChangesOf(IDC_NUMBER), 3);
}

TEST_F(WindowLayerTest, UpDownClampsToItsRange) {
  SetRange(0, 255);
  SetPosition(300);
  EXPECT_EQ(Text(IDC_NUMBER), "255");
  SetPosition(-5);
  EXPECT_EQ(Text(IDC_NUMBER), "0");
}

// Before a range is set the control runs from 100 down to 0: before the first
// load, typing "z" (122) selects code 100.
TEST_F(WindowLayerTest, UpDownDefaultRangeIsHundredToZero) {
  SetPosition(65);
  EXPECT_EQ(Text(IDC_NUMBER), "65");
  SetPosition(122);
  EXPECT_EQ(Text(IDC_NUMBER), "100");
  SetPosition(-1);
  EXPECT_EQ(Text(IDC_NUMBER), "0");
}

TEST_F(WindowLayerTest, UpDownPositionReadsTheBuddy) {
  struct Case {
    const char* label;
    const char* text;
    LRESULT position;  // low word: position; high word: 1 when the text was refused
  };
  const Case cases[] = {
      {"a number in range", "12", 12},
      {"the top of the range", "255", 255},
      {"above the range: the last position, flagged", "300", MAKELONG(255, 1)},
      {"empty reads as 0", "", 0},
      {"not a number: the last position, flagged", "1a", MAKELONG(0, 1)},
      {"a plus sign", "+12", 12},
      {"a trailing space is refused", "12 ", MAKELONG(12, 1)},
      {"leading white space other than spaces", "\t12", 12},
      {"spaces only are refused, unlike empty", "  ", MAKELONG(12, 1)},
      {"past 32 bits, no wrap into the range", "4294967361", MAKELONG(12, 1)},
  };
  SetRange(0, 255);
  for (const Case& c : cases) {
    SetDlgItemTextA(dialog_, IDC_NUMBER, c.text);
    EXPECT_EQ(Position() & 0xFFFFFFFF, c.position) << c.label;
  }
}

TEST_F(WindowLayerTest, UpDownNumberPast32BitsSaturates) {
  SetRange(0, 0x7FFFFFFF);
  SetDlgItemTextA(dialog_, IDC_NUMBER, "99999999999");
  EXPECT_EQ(Position() & 0xFFFFFFFF, 0xFFFF) << "0x7FFFFFFF, valid";
}

TEST_F(WindowLayerTest, UpDownWithoutBuddyReadsNothing) {
  SetRange(0, 255);
  SetPosition(7);
  SendMessageA(upDown_, UDM_SETBUDDY, 0, 0);
  EXPECT_EQ(Position() & 0xFFFFFFFF, MAKELONG(7, 1));
  EXPECT_EQ(SendMessageA(upDown_, UDM_SETPOS, 0, 9), 7);
  EXPECT_EQ(Position() & 0xFFFFFFFF, MAKELONG(9, 1));
}

TEST_F(WindowLayerTest, InitialisationNamesTheFirstTabStop) {
  EXPECT_EQ(g_initialFocus, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDC_CHARACTER)));
}

TEST_F(WindowLayerTest, TypingObeysDigitsOnlyAndTheLimit) {
  struct Case {
    const char* label;
    int id;
    const char* text;
    WPARAM limit;
    int selectionStart, selectionEnd;
    char typed;
    const char* result;
  };
  const Case cases[] = {
      {"ES_NUMBER refuses a letter, even over a letter", IDC_NUMBER, "12345x", 3, 5, 6, 'y',
       "12345x"},
      {"above the limit the selection goes, the character does not fit", IDC_WIDTH, "12345x", 3,
       4, 5, '6', "1234x"},
      {"within the limit the character replaces the selection", IDC_WIDTH, "12345", 3, 2, 5, '9',
       "129"},
      {"a limit past the maximum is the maximum", IDC_WIDTH, "12", 0x80000000u, 2, 2, '3', "123"},
  };
  for (const Case& c : cases) {
    HWND edit = GetDlgItem(dialog_, c.id);
    SetDlgItemTextA(dialog_, c.id, c.text);
    SendMessageA(edit, EM_LIMITTEXT, c.limit, 0);
    SendMessageA(edit, EM_SETSEL, c.selectionStart, c.selectionEnd);
    SendMessageA(edit, WM_CHAR, static_cast<BYTE>(c.typed), 0);
    EXPECT_EQ(Text(c.id), c.result) << c.label;
  }
}

TEST_F(WindowLayerTest, ProgramChecksStayOnlyOnCheckBoxesAndRadioButtons) {
  const UINT kIndeterminate = 2;  // BST_INDETERMINATE, which these buttons do not have
  struct Case {
    const char* label;
    int id;
    UINT check;
    UINT read;
  };
  const Case cases[] = {
      {"a check box, indeterminate", IDC_SCOPE_FULLWIDTH, kIndeterminate, BST_CHECKED},
      {"a radio button, indeterminate", IDC_ABSOLUTE, kIndeterminate, BST_CHECKED},
      {"a push button", IDC_CLEAR, BST_CHECKED, BST_UNCHECKED},
      {"an edit", IDC_WIDTH, BST_CHECKED, BST_UNCHECKED},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(CheckDlgButton(dialog_, c.id, c.check)) << c.label;
    EXPECT_EQ(IsDlgButtonChecked(dialog_, c.id), c.read) << c.label;
  }
}

TEST_F(WindowLayerTest, CheckingABoxRaisesNoClick) {
  CheckDlgButton(dialog_, IDC_SCOPE_FULLWIDTH, BST_CHECKED);
  CheckDlgButton(dialog_, IDC_ABSOLUTE, BST_CHECKED);
  EXPECT_TRUE(g_notifications.empty());
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_SCOPE_FULLWIDTH), static_cast<UINT>(BST_CHECKED));
}

TEST_F(WindowLayerTest, LoneLeadByteReadsBackAsAnotherCharacter) {
  struct Case {
    const char* label;
    const char* set;
    const char* read;
  };
  const Case cases[] = {
      {"ASCII", "A", "A"},
      {"half-width katakana", "\xB1", "\xB1"},
      {"a whole double-byte character", "\x83\x41", "\x83\x41"},
      {"a lone lead byte 0x81", "\x81", "\x81\x45"},
      {"a lone lead byte 0xE0", "\xE0", "\x81\x45"},
      {"a lead byte at the end", "A\x81", "A\x81\x45"},
      {"a lead byte before a byte that cannot trail", "\x81\x20", "\x81\x45"},
      {"a pair the code page does not define", "\x85\x40", "\x81\x45"},
  };
  for (const Case& c : cases) {
    SetDlgItemTextA(dialog_, IDC_CHARACTER, c.set);
    EXPECT_EQ(Text(IDC_CHARACTER), c.read) << c.label;
  }
}

TEST_F(WindowLayerTest, DisablingTheBuddyLeavesTheUpDownEnabled) {
  EnableWindow(number_, FALSE);
  EXPECT_FALSE(IsWindowEnabled(number_));
  EXPECT_TRUE(IsWindowEnabled(upDown_));
}

TEST_F(WindowLayerTest, LeadBytesAreThoseOfCodePage932) {
  for (int byte = 0; byte < 256; ++byte) {
    bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    EXPECT_EQ(IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE, lead) << byte;
  }
}

}  // namespace
