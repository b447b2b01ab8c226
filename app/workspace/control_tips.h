// The tooltips of the editor dialog's controls and of the workspace's, in Japanese,
// each saying what the control does. One table for every front end: the Qt program
// sets them on its widgets, the Windows program can hand them to a tooltip control.
// The dialog's controls stay as the template makes them; only a tip is added.
#pragma once

// The tip of the editor dialog's control id (IDC_WIDTH, IDC_CHANGE, ...); null for
// the labels and the group boxes, which do nothing.
const char* DialogControlTip(int id);

// The controls around the dialog: 一覧, プレビュー and フォントから測定.
enum class WorkspaceControl {
  TableTab,
  PreviewTab,
  Table,
  ClassFilter,
  SampleText,
  Outlines,
  Grid,
  Zoom,
  PreviewFont,
  PreviewFontFile,
  MeasureFont,
  MeasureFontFile,
  MeasureSize,
  MeasureFullWidth,
  MeasureHalfKana,
  MeasureHalfAlnum,
  MeasureRound,
  MeasureFullWidthSample,
  MeasureHalfKanaSample,
  MeasureApply,
  MeasureCancel,
};

const char* WorkspaceControlTip(WorkspaceControl control);
