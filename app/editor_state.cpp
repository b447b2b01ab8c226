#include "editor_state.h"

#include <cstring>

#include "editor_events.h"

EditorState g_editor;
MetricsDocument g_document;
EditHistory g_history;
HINSTANCE g_moduleHandle;
char g_textBuffer[kTextBufferSize];
OPENFILENAMEA g_openFileName;
char g_openFileBuffer[kWindowPathSize];
EditorEvents g_editorEvents;

void ResetEditorState() {
  ReleaseMetricsFile(g_document);
  g_document = MetricsDocument{};
  ClearHistory(g_history);
  g_editor = EditorState{};
  g_moduleHandle = nullptr;
  std::memset(g_textBuffer, 0, sizeof g_textBuffer);
  g_openFileName = OPENFILENAMEA{};
  std::memset(g_openFileBuffer, 0, sizeof g_openFileBuffer);
}
