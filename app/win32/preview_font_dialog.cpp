#include "preview_font_dialog.h"

#include "child_windows.h"
#include "font_face.h"
#include "resources/preview_font_ids.h"
#include "utf16_text.h"

namespace {

HWND FontList(HWND dialog) { return GetDlgItem(dialog, IDC_PREVIEW_FONT_LIST); }

// The families, and the font offered among them (a font file's path added).
void FillFonts(HWND dialog, const std::string& offered) {
  const HWND list = FontList(dialog);
  for (const std::string& family : InstalledFontFamilies("en")) ListEntryOf(list, family);
  const int index = offered.empty() ? 0 : ListEntryOf(list, offered);
  SendMessageW(list, CB_SETCURSEL, index, 0);
}

INT_PTR CALLBACK PreviewFontProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* font = reinterpret_cast<std::string*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      FillFonts(dialog, *reinterpret_cast<std::string*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PREVIEW_FONT_FILE: {
          std::string path;
          if (AskForFontFile(dialog, &path))
            SendMessageW(FontList(dialog), CB_SETCURSEL, ListEntryOf(FontList(dialog), path), 0);
          return TRUE;
        }
        case IDOK: *font = ChosenListEntry(FontList(dialog)); [[fallthrough]];
        case IDCANCEL: EndDialog(dialog, LOWORD(wParam)); return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

bool AskForPreviewFont(HWND owner, std::string* font) {
  std::string chosen = *font;
  if (DialogBoxParamW(GetModuleHandleW(nullptr), L"PREVIEWFONT", owner, PreviewFontProc,
                      reinterpret_cast<LPARAM>(&chosen)) != IDOK ||
      chosen.empty())
    return false;
  *font = chosen;
  return true;
}
