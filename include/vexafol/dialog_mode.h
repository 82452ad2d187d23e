// The mode word of the dialog functions (dialogs.h): which selection dialog
// opens, and flags for choosing pages. The core's deletion refusal and the
// page dialog read it too, so it has a header of its own.
//
//   mode & kModeKindMask      kind: kModeOpen, kModeWrite, kModeDelete, or
//                             kModeNoDialog (the call fails at once)
//   mode & kModeKindWordMask  kind word, handed on to the page dialog
//   mode & kModeFlagWordMask  flag word
//
// The flags are tested in two ways, and both are part of the contract:
// - the selection dialog tests the bit kModePageOnly of the flag word (only a
//   page file may be chosen, through the page list), whatever else is set;
// - the page dialog compares whole words: it only views (nothing can be
//   chosen) when the flag word is exactly kModeViewOnly, so 0xC0 (page only
//   and view only) lets a page be chosen; it hides the draw button when the
//   flag word is exactly kModeViewOnly or the kind word is exactly kModeDelete
//   (0x06 does not hide it, though its kind is the delete kind).
#pragma once

namespace vexa {

inline constexpr int kModeKindMask = 0x03;
inline constexpr int kModeKindWordMask = 0x0f;
inline constexpr int kModeFlagWordMask = 0xf0;

// Kinds.
inline constexpr int kModeOpen = 0;      // choose drawings to open
inline constexpr int kModeWrite = 1;     // choose a number to write to
inline constexpr int kModeDelete = 2;    // delete drawings
inline constexpr int kModeNoDialog = 3;  // no dialog: the call fails

// Flags.
inline constexpr int kModeViewOnly = 0x40;  // the whole flag word: the page list only views
inline constexpr int kModePageOnly = 0x80;  // a bit: only a page file may be chosen

}  // namespace vexa
