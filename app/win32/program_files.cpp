#include "program_files.h"

#include <shellapi.h>

#include <vector>

#include "editor_dialog.h"
#include "editor_state.h"
#include "wide_text.h"

ProgramSettings g_programSettings;

void RememberLoadedFile() {
  if (IsDocumentLoaded(g_document))
    RememberRecentFile(g_programSettings.recent, g_document.filePath);
}

void OpenRecentFile(const std::string& path) {
  if (OpenDocument(path.c_str()) && IsDocumentLoaded(g_document)) return;
  ForgetRecentFile(g_programSettings.recent, path);
}

void OpenDroppedFile(HDROP drop) {
  constexpr UINT kFileCount = 0xFFFFFFFF;  // asks DragQueryFileW for the count
  if (DragQueryFileW(drop, kFileCount, nullptr, 0) > 0) {
    std::vector<wchar_t> name(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
    DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size()));
    OpenDocument(DocumentPathFromWide(name.data()).c_str());
  }
  DragFinish(drop);
}
