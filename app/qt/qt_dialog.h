// Builds the Qt dialog from the editor's layout table, as the Windows dialog
// manager builds the dialog from its template.
#pragma once

#include <QFont>

#include <cstddef>

#include "dialog_layout.h"
#include "qt_controls.h"

// Dialog base units of a font: its average character width and its height, in pixels.
struct DialogBaseUnits {
  int cx;
  int cy;
};

// The dialog's font: the template's face ("MS GOTHIC") with its stand-ins (kDialogFontStandIns):
// VL Gothic (the closest in metrics) and IPAGothic, at the pixel
// size of its point size on a 96-dpi screen (9 pt -> 12 px).
QFont DialogFont(const DialogFrame& frame);

// Measures a font as Windows does: cx is the mean advance of A-Z and a-z, rounded;
// cy the height of a line.
DialogBaseUnits MeasureDialogBaseUnits(const QFont& font);

// Dialog units to pixels (x * cx / 4, y * cy / 8, rounded as MulDiv rounds).
QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int width, int height);

// Creates the dialog with all its controls in template order (the tab order), not
// yet shown and not yet initialised: a window of its own, or with host a child
// widget of host (a dialog inside the program's window).
QtDialog* BuildQtDialog(const DialogFrame& frame, const DialogControl* controls, size_t count,
                        DLGPROC procedure, QWidget* host);
