// A drawing-list form for tests: the standard form's columns (the nine fields
// of a drawing, repeat kind 32) with three rows a page, so that few drawings
// fill several pages.
#pragma once

namespace vexa::test {

inline const char* const kThreeRowListForm = R"([Form]
Title = 図面一覧表
Paper = A4
Orientation = Landscape
Margins = 10, 10, 10, 10

[Header]
Title = 0, 0, 277, 10, center, 16
[Footer]
Page = 0, 184, 277, 6, center, 9

[Repeat32]
Top = 22
HeadingHeight = 7
RowHeight = 7
RowsPerPage = 3
RuleRows = yes
RuleColumns = yes
Column1 = 256, 0, 14, right, 9, cut, "No."
Column2 = 257, 14, 70, left, 9, shrink, "図面名"
Column3 = 258, 84, 24, left, 9, shrink, "業務"
Column4 = 259, 108, 12, right, 9, cut, "頁数"
Column5 = 260, 120, 26, left, 9, shrink, "作成者"
Column6 = 261, 146, 26, left, 9, shrink, "更新者"
Column7 = 262, 172, 22, center, 9, shrink, "作成日"
Column8 = 263, 194, 22, center, 9, shrink, "更新日"
Column9 = 264, 216, 61, left, 9, cut, "メモ"
)";

}  // namespace vexa::test
