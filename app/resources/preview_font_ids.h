// Identifiers of QUORVEL.exe's プレビューのフォント dialog, template PREVIEWFONT. Read
// by the resource compiler too: plain #defines only.
#pragma once

#define IDC_PREVIEW_FONT_LIST 2101
#define IDC_PREVIEW_FONT_FILE 2102
