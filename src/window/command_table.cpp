#include "window/command_table.h"

#include "picture/draw_state.h"
#include "window/tform1.h"

const std::vector<GroupEntry>& toolbarGroups() {
    static const std::vector<GroupEntry> groups{
        // clang-format off
        {"tbSystem", 0,   109},
        {"tbEdit",   109, 169},
        {"tbDraw",   278, 270},
        {"tbPen",    548, 149},
        {"Panel23",  697, 89},
        {"tbConfig", 786, 88},
        // clang-format on
    };
    return groups;
}

const std::vector<ToolbarEntry>& toolbarEntries() {
    using F = TForm1;
    static const std::vector<ToolbarEntry> entries{
        // clang-format off
        {"SpeedButton15", "tbSystem",  "全て消す",                               {},   0, false, true,  &F::SpeedButton15Click},
        {"SpeedButton16", "tbSystem",  "画像を開く",                             {},   0, false, true,  &F::SpeedButton16Click},
        {"SpeedButton17", "tbSystem",  "現在の画像を保存",                       {},   0, false, true,  &F::SpeedButton17Click},
        {"SpeedButton18", "tbSystem",  "ヘルプ",                                 {},   0, false, true,  &F::SpeedButton18Click},
        {"SpeedButton22", "tbSystem",  "複製",                                   {},   0, false, true,  &F::SpeedButton22Click},
        {"SpeedButton23", "tbEdit",    "元に戻す/やり直し",                      {},   0, false, true,  &F::SpeedButton23Click},
        {"SpeedButton32", "tbEdit",    "クリップボードへ切り取り",               {},   0, false, false, &F::SpeedButton32Click},
        {"SpeedButton24", "tbEdit",    "クリップボードへコピー",                 {},   0, false, false, &F::SpeedButton24Click},
        {"SpeedButton25", "tbEdit",    "クリップボードから貼り付け",             {},   0, false, true,  &F::SpeedButton25Click},
        {"SpeedButton34", "tbEdit",    "ファイルへコピー",                       {},   0, false, false, &F::SpeedButton34Click},
        {"SpeedButton33", "tbEdit",    "ファイルから貼り付け",                   {},   0, false, true,  &F::SpeedButton33Click},
        {"SpeedButton29", "tbEdit",    "選択範囲の移動",                         {},   0, false, false, &F::SpeedButton29Click},
        {"SpeedButton30", "tbEdit",    "選択範囲のコピー",                       {},   0, false, false, &F::SpeedButton30Click},
        {"SpeedButton1",  "tbDraw",    "フリーハンド",                           {},   1, true,  true,  &F::SpeedButton1Click},
        {"SpeedButton2",  "tbDraw",    "直線",                                   {},   1, false, true,  &F::SpeedButton2Click},
        {"SpeedButton3",  "tbDraw",    "連続直線",                               {},   1, false, true,  &F::SpeedButton3Click},
        {"SpeedButton4",  "tbDraw",    "矩形(中心と頂点を選択)",                 {},   1, false, true,  &F::SpeedButton4Click},
        {"SpeedButton5",  "tbDraw",    "矩形(向かい合う二頂点を選択)",           {},   1, false, true,  &F::SpeedButton5Click},
        {"SpeedButton6",  "tbDraw",    "楕円(中心と大きさを選択)",               {},   1, false, true,  &F::SpeedButton6Click},
        {"SpeedButton7",  "tbDraw",    "楕円(外接矩形の向かい合う二頂点を選択)", {},   1, false, true,  &F::SpeedButton7Click},
        {"SpeedButton21", "tbDraw",    "塗りつぶし",                             {},   1, false, true,  &F::SpeedButton21Click},
        {"SpeedButton31", "tbDraw",    "スタンプ",                               {},   1, false, true,  &F::SpeedButton31ButtonClick},
        {"SpeedButton28", "tbDraw",    "範囲選択",                               {},   1, false, true,  &F::SpeedButton28Click},
        {"SpeedButton35", "tbDraw",    "テキスト",                               {},   0, false, true,  &F::SpeedButton35Click},
        {"SpeedButton26", "tbDraw",    "拡張ツール",                             {},   0, false, true,  &F::SpeedButton26Click},
        {"SpeedButton36", "tbDraw",    "スポイド",                               {},   1, false, true,  &F::SpeedButton36Click},
        {"SpeedButton8",  "tbPen",     "ペンの太さ 1",                           {},   2, false, true,  &F::SpeedButton8Click},
        {"SpeedButton10", "tbPen",     "ペンの太さ 4",                           {},   2, true,  true,  &F::SpeedButton10Click},
        {"SpeedButton11", "tbPen",     "ペンの太さ 6",                           {},   2, false, true,  &F::SpeedButton11Click},
        {"SpeedButton12", "tbPen",     "ペンの太さ 8",                           {},   2, false, true,  &F::SpeedButton12Click},
        {"SpeedButton13", "tbPen",     "ペンの太さ 12",                          {},   2, false, true,  &F::SpeedButton13Click},
        {"SpeedButton14", "tbPen",     "ペンの太さ 16",                          {},   2, false, true,  &F::SpeedButton14Click},
        {"SpeedButton9",  "tbPen",     "ペンの太さ 32",                          {},   2, false, true,  &F::SpeedButton9Click},
        {"Panel20",       "tbConfig",  "常に最前面に表示",                       "前", 0, false, true,  &F::Panel20Click},
        {"Panel21",       "tbConfig",  "半透明",                                 "透", 0, false, true,  &F::Panel21Click},
        {"Panel22",       "tbConfig",  "ウインドウ枠の表示",                     "枠", 0, true,  true,  &F::Panel22Click},
        {"SpeedButton27", "tbConfig",  "環境設定",                               {},   0, false, true,  &F::SpeedButton27Click},
        {"SpeedButton19", "Panel24",   "ツールバーを隠す",                       "<",  0, false, true,  &F::SpeedButton19Click},
        {"SpeedButton20", "Pn_tatamu", "ツールバーを復元",                       ">",  0, false, true,  &F::SpeedButton20Click},
        // clang-format on
    };
    return entries;
}

const std::vector<MenuEntry>& menuEntries() {
    using F = TForm1;
    static const std::vector<MenuEntry> entries{
        // clang-format off
        {"File1",  "",      "ファイル(&F)",                   0,               0, false, false, true,  nullptr},
        {"E2",     "File1", "全消去(&A)",                     VK_F2,           0, false, false, true,  &F::SpeedButton15Click},
        {"Open1",  "File1", "開く(&O)",                       kAlt + 'O',      0, false, false, true,  &F::SpeedButton16Click},
        {"Save1",  "File1", "保存(&S)",                       kAlt + 'S',      0, false, false, true,  &F::SpeedButton17Click},
        {"Edit1",  "",      "編集(&E)",                       0,               0, false, false, true,  nullptr},
        {"Undo1",  "Edit1", "元に戻す(&U)",                   kAlt + 'Z',      0, false, false, true,  &F::SpeedButton23Click},
        {"X1",     "Edit1", "クリップボードへ切り取り(&X)",   kAlt + 'X',      0, false, false, false, &F::SpeedButton32Click},
        {"Copy1",  "Edit1", "クリップボードへコピー(&C)",     kAlt + 'C',      0, false, false, false, &F::SpeedButton24Click},
        {"Paste1", "Edit1", "クリップボードから貼り付け(&V)", kAlt + 'V',      0, false, false, true,  &F::SpeedButton25Click},
        {"B2",     "Edit1", "ファイルへコピー(&B)",           kAlt + 'B',      0, false, false, false, &F::SpeedButton34Click},
        {"N1",     "Edit1", "ファイルから貼り付け(&N)",       kAlt + 'N',      0, false, false, true,  &F::SpeedButton33Click},
        {"M3",     "Edit1", "選択範囲を移動(&M)",             kAlt + 'M',      0, false, false, false, &F::SpeedButton29Click},
        {"N2",     "Edit1", "選択範囲をコピー(&,)",           kAlt + VK_COMMA, 0, false, false, false, &F::SpeedButton30Click},
        {"D1",     "Edit1", "複製(&D)",                       0,               0, false, false, true,  &F::SpeedButton22Click},
        {"M1",     "",      "描画モード(&M)",                 0,               0, false, false, true,  nullptr},
        {"F1",     "M1",    "フリーハンド(&F)",               0,               1, true,  true,  true,  &F::SpeedButton1Click},
        {"L1",     "M1",    "直線(&L)",                       0,               1, true,  false, true,  &F::SpeedButton2Click},
        {"P1",     "M1",    "連続直線(&P)",                   0,               1, true,  false, true,  &F::SpeedButton3Click},
        {"R1",     "M1",    "矩形 中心-頂点(&R)",             0,               1, true,  false, true,  &F::SpeedButton4Click},
        {"S1",     "M1",    "矩形 頂点-対頂点(&S)",           0,               1, true,  false, true,  &F::SpeedButton5Click},
        {"E1",     "M1",    "楕円 中心-大きさ(&E)",           0,               1, true,  false, true,  &F::SpeedButton6Click},
        {"G1",     "M1",    "楕円 外接矩形(&G)",              0,               1, true,  false, true,  &F::SpeedButton7Click},
        {"O1",     "M1",    "塗りつぶし(&O)",                 0,               1, true,  false, true,  &F::SpeedButton21Click},
        {"T2",     "M1",    "スタンプ(&U)",                   0,               1, true,  false, true,  &F::T2Click},
        {"A1",     "M1",    "範囲選択(&A)",                   0,               1, true,  false, true,  &F::SpeedButton28Click},
        {"T3",     "M1",    "テキスト(&T)",                   0,               0, false, false, true,  &F::SpeedButton35Click},
        {"X2",     "M1",    "拡張ツール(&X)",                 kAlt + 'E',      0, false, false, true,  &F::SpeedButton26Click},
        {"i1",     "M1",    "スポイド(&i)",                   0,               1, true,  false, true,  &F::SpeedButton36Click},
        {"W1",     "",      "ペン太さ(&W)",                   0,               0, false, false, true,  nullptr},
        {"N11",    "W1",    "&1",                             0,               2, true,  false, true,  &F::SpeedButton8Click},
        {"N41",    "W1",    "&4",                             0,               2, true,  true,  true,  &F::SpeedButton10Click},
        {"N61",    "W1",    "&6",                             0,               2, true,  false, true,  &F::SpeedButton11Click},
        {"N81",    "W1",    "&8",                             0,               2, true,  false, true,  &F::SpeedButton12Click},
        {"N12b1",  "W1",    "12(&A)",                         0,               2, true,  false, true,  &F::SpeedButton13Click},
        {"N16B1",  "W1",    "16(&B)",                         0,               2, true,  false, true,  &F::SpeedButton14Click},
        {"N32C1",  "W1",    "32(&C)",                         0,               2, true,  false, true,  &F::SpeedButton9Click},
        {"C2",     "",      "描画色(&C)",                     0,               0, false, false, true,  nullptr},
        {"C1",     "C2",    "色選択(&C)",                     0,               0, false, false, true,  &F::C1Click},
        {"E3",     "C2",    "消しペン(&E)",                   0,               0, false, false, true,  &F::E3Click},
        {"S2",     "",      "設定(&S)",                       0,               0, false, false, true,  nullptr},
        {"M2",     "S2",    "最前面(&M)",                     0,               0, true,  false, true,  &F::Panel20Click},
        {"T1",     "S2",    "透過(&T)",                       0,               0, true,  false, true,  &F::Panel21Click},
        {"F3",     "S2",    "枠(&F)",                         0,               0, true,  true,  true,  &F::Panel22Click},
        {"B1",     "S2",    "ツールバー(&B)",                 0,               0, true,  true,  true,  &F::B1Click},
        {"C3",     "S2",    "環境設定(&C)",                   0,               0, false, false, true,  &F::SpeedButton27Click},
        {"Help1",  "",      "ヘルプ(&H)",                     VK_F1,           0, false, false, true,  &F::SpeedButton18Click},
        {"Exit1",  "",      "終了(&Q)",                       0,               0, false, false, true,  &F::Exit1Click},
        // clang-format on
    };
    return entries;
}

const std::vector<ToolEntry>& toolEntries() {
    static const std::vector<ToolEntry> tools{
        // clang-format off
        {ToolFreehand,      "SpeedButton1",  "F1"},
        {ToolLine,          "SpeedButton2",  "L1"},
        {ToolPolyline,      "SpeedButton3",  "P1"},
        {ToolRectCentre,    "SpeedButton4",  "R1"},
        {ToolRectCorners,   "SpeedButton5",  "S1"},
        {ToolEllipseCentre, "SpeedButton6",  "E1"},
        {ToolEllipseBox,    "SpeedButton7",  "G1"},
        {ToolFill,          "SpeedButton21", "O1"},
        {ToolEyedropper,    "SpeedButton36", "i1"},
        {ToolSelection,     "SpeedButton28", "A1"},
        {ToolStamp,         "SpeedButton31", "T2"},
        // clang-format on
    };
    return tools;
}

const std::vector<PenWidthEntry>& penWidthEntries() {
    static const std::vector<PenWidthEntry> widths{
        // clang-format off
        {1,  "SpeedButton8",  "N11"},
        {4,  "SpeedButton10", "N41"},
        {6,  "SpeedButton11", "N61"},
        {8,  "SpeedButton12", "N81"},
        {12, "SpeedButton13", "N12b1"},
        {16, "SpeedButton14", "N16B1"},
        {32, "SpeedButton9",  "N32C1"},
        // clang-format on
    };
    return widths;
}

const std::vector<const char*>& selectionCommandControls() {
    static const std::vector<const char*> controls{
        "SpeedButton24",
        "SpeedButton29",
        "SpeedButton30",
        "SpeedButton32",
        "SpeedButton34",
        "X1",
        "Copy1",
        "B2",
        "M3",
        "N2",
    };
    return controls;
}
