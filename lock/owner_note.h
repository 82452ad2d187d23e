// The owner note of a lock: a few lines of UTF-8 text in the folder
// "LOCKNOTE" beside the lock files, one file per held byte:
//
//   VEXAFOL-LOCK-NOTE 1
//   login=yamada
//   name=山田太郎
//   computer=PC-12
//   program=cadapp
//   pid=4711
//   since=2026-12-06T01:03:00Z
//
// "D007.NOTE" names the holder of drawing 7's lock (byte 7 of CADAPP.LOC),
// "P007-3.NOTE" the holder of page 3 of drawing 7 (byte 3 of FOL007.LOC). The
// writer keeps byte kNoteLiveByte of its note locked while it holds the lock
// and drops the note before it releases the lock, so a note whose byte nobody
// locks tells nothing. Readers take only the first line's version, bound the
// file and every value, escape control characters and bad UTF-8 and ignore
// keys they do not know.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "vexafol/lock_holder.h"

namespace vexa::lock {

inline constexpr const char* kNoteFolder = "LOCKNOTE";
inline constexpr std::string_view kNoteHeader = "VEXAFOL-LOCK-NOTE 1";
// A larger file is no note of ours.
inline constexpr size_t kMaxNoteSize = 1024;
// Longest value kept, in bytes of its escaped text.
inline constexpr size_t kMaxNoteValue = 96;
// The byte of a note file that its writer holds while the note is true; no
// text reaches it.
inline constexpr uint64_t kNoteLiveByte = 0x40000000;

std::string DrawingNoteName(int folderNo);
std::string PageNoteName(int folderNo, int page);
// The names of every page note of the drawing start with this.
std::string PageNotePrefix(int folderNo);
// True for a name DrawingNoteName or PageNoteName gives.
bool IsNoteName(const std::string& name);

// text with every control character, backslash and byte that is not part of
// valid UTF-8 written as "\xNN", cut at a character boundary to at most limit
// bytes.
std::string EscapeNoteText(std::string_view text, size_t limit);

std::string FormatNote(const LockHolder& holder);
// Fills the named fields of holder from text; false when text is no note of
// this version (or larger than kMaxNoteSize).
bool ParseNote(std::string_view text, LockHolder& holder);

// This process as a holder, taking a lock now.
LockHolder ThisProcessAsHolder();

}  // namespace vexa::lock
