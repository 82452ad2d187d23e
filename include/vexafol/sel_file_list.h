// CSelFileList: the host's folder listing. It collects the entries (files and
// folders) of folders that a filter admits, with a display string each, and
// tells which entry carries a given extension.
#pragma once

#include <string>
#include <vector>

#include "vexafol/environ.h"
#include "vexafol/export.h"

namespace vexa {

class VEXA_CORE_API CSelFileList {
 public:
  // Called once per admitted entry with the entry's full path (the folder
  // joined with the entry name) and its display string, preset to the entry
  // name; may change the display. Non-zero keeps the entry, 0 drops it.
  using Callback = int (*)(const CEnvironObj& env, std::string& display, const std::string& path,
                           void* data);

  // Appends the entries of folder that filter admits, ordered by name without
  // regard to ASCII case (ties by bytes). filter is "description|pattern"
  // (several pairs may follow, each pattern may hold several patterns
  // separated by ";"): Windows wildcards, "*" any run, "?" exactly one
  // character, ASCII case ignored, ".EXT" meaning "*.EXT", "*.*" every entry;
  // empty filter text: every entry. ext (null: none) is the extension that
  // GetSelect looks for from now on. flag is accepted for compatibility:
  // files and folders are always listed. Returns the number of entries
  // appended; an unreadable folder appends nothing.
  int AddFileList(const CEnvironObj& env, const std::string& folder, const std::string& filter,
                  const char* ext, int flag, Callback cb, void* data);

  // Number of entries collected.
  int GetCnt() const;
  // Entry name / display string of entry i; empty when i is out of range.
  std::string GetFileName(int i) const;
  std::string GetDispStr(int i) const;
  // Index of the first entry whose extension equals (ASCII case ignored) the
  // extension text of the last AddFileList; -1 when none or no text was given.
  int GetSelect() const;

 private:
  struct Entry {
    std::string name;
    std::string display;
  };
  std::vector<Entry> entries_;
  std::string selectExt_;
};

}  // namespace vexa
