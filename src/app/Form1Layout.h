#pragma once

// Layout values of the main window, in twips (see Twips.h). Positions are relative to the group that
// holds the control. Start-up (Form1Load.cpp) owns the sizes and places it sets itself; this file holds
// what the window is drawn with before start-up runs.

#include <QString>

#include <array>

namespace vrx::layout {

// The eleven rows of both parameter groups, top to bottom. Text1 indices are the target side; the
// former control of a row is the target index plus 6. The index order is not the row order: the reader
// port (index 4) sits in row 4, the server computer address (index 3) in row 5.
// Source texts of the window's translation context: shown through Form1::tr().
inline constexpr std::array<const char *, 11> RowLabels = {
    QT_TRANSLATE_NOOP("vrx::Form1", "读卡器IP"),
    QT_TRANSLATE_NOOP("vrx::Form1", "读卡器子网掩码"),
    QT_TRANSLATE_NOOP("vrx::Form1", "读卡器默认网关"),
    QT_TRANSLATE_NOOP("vrx::Form1", "读卡器端口"),
    QT_TRANSLATE_NOOP("vrx::Form1", "服务器计算机IP"),
    QT_TRANSLATE_NOOP("vrx::Form1", "服务器计算机端口"),
    QT_TRANSLATE_NOOP("vrx::Form1", "MAC"),
    QT_TRANSLATE_NOOP("vrx::Form1", "读卡器协议"),
    QT_TRANSLATE_NOOP("vrx::Form1", "是否需发送心跳"),
    QT_TRANSLATE_NOOP("vrx::Form1", "读卡时蜂鸣器"),
    QT_TRANSLATE_NOOP("vrx::Form1", "密码选择"),
};
// The items of the four lists, by position: the block carries an item's position, never its text, so
// the items may read in any language. Source texts of the window's translation context.
inline constexpr std::array<const char *, 3> ProtocolItems = {QT_TRANSLATE_NOOP("vrx::Form1", "UDP"),
                                                              QT_TRANSLATE_NOOP("vrx::Form1", "TCP服务器"),
                                                              QT_TRANSLATE_NOOP("vrx::Form1", "TCP客户端")};
inline constexpr std::array<const char *, 2> HeartbeatItems = {QT_TRANSLATE_NOOP("vrx::Form1", "不发送"),
                                                               QT_TRANSLATE_NOOP("vrx::Form1", "发送")};
inline constexpr std::array<const char *, 2> BeepItems = {QT_TRANSLATE_NOOP("vrx::Form1", "不发声"),
                                                          QT_TRANSLATE_NOOP("vrx::Form1", "发声")};
inline constexpr std::array<const char *, 2> KeySourceItems = {
    QT_TRANSLATE_NOOP("vrx::Form1", "命令中的密码"), QT_TRANSLATE_NOOP("vrx::Form1", "读卡器内部密码")};

// Target Text1 index shown in rows 1 to 6.
constexpr std::array<int, 6> Text1IndexOfRow = {0, 1, 2, 4, 3, 5};
constexpr int FormerOffset = 6;

constexpr bool IsPortIndex(int text1Index) {
    return text1Index % 6 == 4 || text1Index % 6 == 5;
}

// Operator input limits.
constexpr int AddressLimit = 15;
constexpr int PortLimit = 5;
constexpr int MacLimit = 17;
constexpr int KeyLimit = 12;

// Window client area.
constexpr int FormWidth = 9360;
constexpr int FormHeight = 10380;

// Parameter groups: Frame4(1) on the left (former), Frame4(0) on the right (target).
constexpr int GroupTop = 120;
constexpr int GroupWidth = 4500;
constexpr int GroupHeight = 4770;
constexpr std::array<int, 2> GroupLeft = {4740, 120}; // by side: 0 target, 1 former
constexpr int InnerLeft = 120;
constexpr int InnerTop = 240;
constexpr int InnerWidth = 4260;
constexpr int InnerHeight = 4440;
constexpr int ParameterGridTop = 120;

// Address rows and the two upper buttons.
constexpr int AddressTop = 5010;
constexpr int AddressRowStep = 420;
constexpr int AddressLabelLeft = 240;
constexpr int AddressLabelWidth = 1020;
constexpr int AddressFieldLeft = 1320;
constexpr int AddressFieldWidth = 1800;
constexpr int AddressFieldHeight = 300;
constexpr int ButtonWidth = 1900;
constexpr int ButtonHeight = 600;
constexpr int Command1Left = 3480;
constexpr int Command3Left = GroupLeft[0] + GroupWidth - ButtonWidth;
constexpr int UpperButtonTop = 5070;
// "复制原参数到目标", between the two upper buttons.
constexpr int CopyCommandLeft = Command1Left + ButtonWidth + 60;
constexpr int CopyCommandWidth = Command3Left - CopyCommandLeft - 60;

// Key group.
constexpr int KeyGroupLeft = 120;
constexpr int KeyGroupTop = 5880;
constexpr int KeyGroupWidth = 9120;
constexpr int KeyGroupHeight = 3480;
constexpr int KeyGridLeft = 120;
constexpr int KeyGridTop = 240;
constexpr int KeyGridWidth = 7620;
constexpr int KeyGridHeadingHeight = 285; // the grid's default row height, kept by row 0
constexpr int KeyFieldHeight = 285;
constexpr int KeyFieldWidthLow = 1335;  // sectors 0 to 7
constexpr int KeyFieldWidthHigh = 1215; // sectors 8 to 15

// Note and download button.
constexpr int NoteLeft = 120;
constexpr int NoteTop = 9480;
constexpr int NoteWidth = 6960;
constexpr int NoteHeight = 780;
constexpr int Command5Left = KeyGroupLeft + KeyGroupWidth - ButtonWidth;
constexpr int Command5Top = 9570;

// Row 7 of the target group.
constexpr int MacWidth = 1695;
constexpr int MacHeight = 300;
constexpr int CheckWidth = 735;
constexpr int CheckHeight = 255;

} // namespace vrx::layout
