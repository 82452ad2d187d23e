// Lookup of store names without regard to ASCII case. Stores are copied from
// and shared with Windows machines, where "INDEX.VXF" and "index.vxf" are the
// same file; on Linux they are not. When an exact path is missing, each
// missing component is looked up once in its parent's listing. Names that the
// caller's rule marks as exact (the lock files) are always used as spelled:
// looking one up costs exactly one stat, never a directory listing.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace vexa::platform {

// True for a last component that must be used exactly as spelled, never
// matched ignoring case (the store's lock files: vexafol/store_layout.h).
using ExactNameRule = bool (*)(std::string_view name);

// c with the ASCII letters a-z upper-cased; every other byte as it is.
constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// ASCII-case-insensitive equality ("Fol.007" == "FOL.007"); other bytes compare exactly.
bool EqualsNoCase(const std::string& a, const std::string& b);

// The entry of folder equal to name ignoring ASCII case: the exact one if
// present, else the smallest by bytes (deterministic when several differ only
// in case). Empty when none or the folder cannot be read.
std::string FindEntryNoCase(const std::string& folder, const std::string& name);

// Stats path; when it is missing (ENOENT) and isExact does not hold for its
// last component, resolves the missing components against their parents' listings (each
// parent read once) and stats the result. Returns 0 and fills st on success,
// else -errno of the exact path's stat. When resolved is given it receives the
// path with as many missing components resolved as could be (the input itself
// when it exists exactly or nothing could be resolved).
int StatStoreName(const std::string& path, ExactNameRule isExact, struct stat& st,
                  std::string* resolved = nullptr);

// The path with missing store names matched ignoring ASCII case; the input
// unchanged when it exists exactly, isExact holds for its last component or it
// cannot be resolved.
// A path whose leading part resolves but whose rest is missing comes back with
// the leading part resolved and the rest as given, so that a folder created
// there goes into the existing, differently cased parent instead of a twin.
std::string ResolveStoreName(const std::string& path, ExactNameRule isExact);

}  // namespace vexa::platform
