// The numbers a host environment is asked by: the path kinds of
// CEnvironObj::GetPath and GetHomePath, and the host kinds that
// CEnvironObj::GetAppType answers.
#pragma once

namespace vexa {

// Path kinds of the host's fixed folders.
inline constexpr unsigned long kPathExecutables = 0x1010000;  // VEXA.EXE, APPB.EXE
inline constexpr unsigned long kPathForms = 0x2040000;        // print forms
inline constexpr unsigned long kPathSettings = 0x3040000;     // settings such as VXWTDEF.INI
inline constexpr unsigned long kPathHome = 0x3000000;         // GetHomePath only

// Path kinds of the application folders; the application table (senyou.h)
// gives each application id its kind.
inline constexpr unsigned long kPathAppGeneral = 0x3030100;       // 汎用
inline constexpr unsigned long kPathAppLand = 0x3030200;          // 用地
inline constexpr unsigned long kPathAppControlPoint = 0x3030300;  // 基準点
inline constexpr unsigned long kPathAppRoute = 0x3030400;         // 路線
inline constexpr unsigned long kPathAppSection = 0x3030500;       // 縦断 and 横断
inline constexpr unsigned long kPathAppBuilding = 0x3030600;      // 建物
inline constexpr unsigned long kPathAppCalculation = 0x3030700;   // 計算
inline constexpr unsigned long kPathAppCadastre = 0x3030A00;      // 地籍
inline constexpr unsigned long kPathAppCivil = 0x3030B00;         // 土木 and 展開図

// Host kinds run from 0 to 5. Kind 2 is the civil-engineering host: it names
// application 0x4 "土木測量" and opens civil drawings in their own module.
// Drawings opened from kinds 2 and 3 start "APPB.EXE" instead of "VEXA.EXE".
inline constexpr unsigned long kHostKindCivil = 2;
inline constexpr unsigned long kHostKindAppB = 3;
inline constexpr unsigned long kHostKindLast = 5;

}  // namespace vexa
