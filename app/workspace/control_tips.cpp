#include "control_tips.h"

#include "resources/resource.h"

namespace {

struct DialogTip {
  int id;
  const char* tip;
};

// The literals are in the host's encoding: code page 932 in the Windows build.
constexpr DialogTip kDialogTips[] = {
    {IDC_CHARACTER, "文字を入力すると、そのコードを選んで値を表示します"},
    {IDC_NUMBER, "コード番号 (0-255) を入力すると、そのコードを選んで値を表示します"},
    {IDC_UPDOWN, "前後のコードを選びます"},
    {IDC_WIDTH, "文字の幅"},
    {IDC_HEIGHT, "文字の高さ"},
    {IDC_SPACING_LEFT, "文字の左の間隔"},
    {IDC_SPACING_RIGHT, "文字の右の間隔"},
    {IDC_OFFSET_Y, "文字の縦の位置 (Y座標のずれ)"},
    {IDC_LINE_SPACING, "行と行の間隔 (ファイル全体で一つ)"},
    {IDC_OPEN, "メトリクスファイル (.fnt) を開きます"},
    {IDC_CHANGE, "入力した値をファイルに書き込みます"},
    {IDC_CLEAR, "値の欄をすべて 0 にします (ファイルは変わりません)"},
    {IDC_SCOPE_FULLWIDTH, "チェックすると、変更で全角の寸法をまとめて書き込みます"},
    {IDC_SCOPE_HALFKANA, "チェックすると、変更で半角カナすべてに書き込みます"},
    {IDC_SCOPE_HALFALNUM, "チェックすると、変更で半角英数すべてに書き込みます"},
    {IDC_ABSOLUTE, "入力した値をそのまま書き込みます"},
    {IDC_RELATIVE, "入力した値を今の値に足して書き込みます"},
};

// By the enum's order.
constexpr const char* kWorkspaceTips[] = {
    "全コードの値を一覧で見ます",
    "見本の文をファイルの値で並べて見ます",
    "全コードの値の一覧: 行を選ぶと、ダイアログでそのコードを選びます",
    "一覧に出すコードの分類を選びます",
    "プレビューに並べる見本の文",
    "各文字の枠を描きます",
    "行の基準線を描きます",
    "プレビューの拡大率",
    "プレビューで文字を描くフォント: 各文字の形を値の枠に合わせて描きます",
    "プレビューで文字を描くフォントのファイルを選びます",
    "測定するフォント (インストールされているファミリー)",
    "フォントファイルを選んで測定します",
    "測定する文字の大きさ (ピクセル)",
    "全角の寸法をフォントから測ります",
    "半角カナをフォントから測ります",
    "半角英数をフォントから測ります",
    "測った文字の端を整数のピクセルに丸めます",
    "全角の寸法を測る見本の文字",
    "半角カナの寸法を測る見本の文字",
    "測った値をファイルに書き込みます (元に戻すで戻せます)",
    "何も書き込まずに閉じます",
};
static_assert(sizeof kWorkspaceTips / sizeof kWorkspaceTips[0] ==
                  static_cast<int>(WorkspaceControl::MeasureCancel) + 1,
              "one tip for each workspace control");

}  // namespace

const char* DialogControlTip(int id) {
  for (const DialogTip& entry : kDialogTips) {
    if (entry.id == id) return entry.tip;
  }
  return nullptr;
}

const char* WorkspaceControlTip(WorkspaceControl control) {
  return kWorkspaceTips[static_cast<int>(control)];
}
