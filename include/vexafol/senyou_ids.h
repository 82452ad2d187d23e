// The ids of the specialised applications (senyou.h), one bit each, in the
// order of their lock slots. An application mask is a union of them.
#pragma once

namespace vexa {

inline constexpr int kAppGeneral = 0x1;         // 汎用
inline constexpr int kAppControlPoint = 0x2;    // 基準点
inline constexpr int kAppLand = 0x4;            // 用地
inline constexpr int kAppRoute = 0x8;           // 路線
inline constexpr int kAppProfile = 0x10;        // 縦断
inline constexpr int kAppCrossSection = 0x20;   // 横断
inline constexpr int kAppBuilding = 0x40;       // 建物
inline constexpr int kAppCalculation = 0x80;    // 計算
inline constexpr int kAppCadastre = 0x100;      // 地籍
inline constexpr int kAppCivil = 0x1000;        // 土木
inline constexpr int kAppDevelopment = 0x2000;  // 展開図
inline constexpr int kAppAll = -1;              // every application (filters, the "全て" row)

}  // namespace vexa
