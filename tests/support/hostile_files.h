// What any member of a shared store can leave under a file name the library
// uses instead of a regular file: links to files inside and outside the
// store, a dangling link, a folder, a FIFO. Header-only.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

#include "tests/support/temp_dir.h"

namespace vexa::test {

// Permission bits of path itself (a link is not followed); 0 when it is gone.
inline mode_t ModeOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

inline bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

enum class Hostile { LinkInside, LinkOutside, DanglingLink, Folder, Fifo };

inline constexpr Hostile kHostiles[] = {Hostile::LinkInside, Hostile::LinkOutside,
                                        Hostile::DanglingLink, Hostile::Folder, Hostile::Fifo};

inline const char* NameOf(Hostile kind) {
  switch (kind) {
    case Hostile::LinkInside:
      return "link to a store file";
    case Hostile::LinkOutside:
      return "link to a file outside";
    case Hostile::DanglingLink:
      return "dangling link";
    case Hostile::Folder:
      return "folder";
    case Hostile::Fifo:
      return "FIFO";
  }
  return "";
}

// The errno with which vexa::File refuses to open it.
inline int RefusalOf(Hostile kind) {
  return kind == Hostile::Folder ? EISDIR : kind == Hostile::Fifo ? ENXIO : ELOOP;
}

// Two victims with known content: one inside the store, one outside it.
class Victims {
 public:
  static constexpr const char* kContent = "victim content that must stay as it is\n";

  explicit Victims(const std::string& insideStore)
      : inside_(insideStore), outside_(outsideDir_ / "victim.txt") {
    WriteFileBytes(inside_, kContent);
    WriteFileBytes(outside_, kContent);
  }
  bool Untouched() const {
    return ReadFileBytes(inside_) == kContent && ReadFileBytes(outside_) == kContent;
  }

  // Puts kind at path (its folder must exist).
  void Plant(Hostile kind, const std::string& path) const {
    int rc = 0;
    switch (kind) {
      case Hostile::LinkInside:
        rc = symlink(inside_.c_str(), path.c_str());
        break;
      case Hostile::LinkOutside:
        rc = symlink(outside_.c_str(), path.c_str());
        break;
      case Hostile::DanglingLink:
        rc = symlink((path + ".nowhere").c_str(), path.c_str());
        break;
      case Hostile::Folder:
        rc = mkdir(path.c_str(), 0777);
        break;
      case Hostile::Fifo:
        rc = mkfifo(path.c_str(), 0666);
        break;
    }
    if (rc != 0) throw std::runtime_error("cannot plant at " + path);
  }
  // True while what Plant put at path is still there, as it was.
  static bool StillPlanted(Hostile kind, const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return false;
    if (kind == Hostile::Folder) return S_ISDIR(st.st_mode);
    if (kind == Hostile::Fifo) return S_ISFIFO(st.st_mode);
    return S_ISLNK(st.st_mode);
  }
  static void Remove(Hostile kind, const std::string& path) {
    if (kind == Hostile::Folder)
      rmdir(path.c_str());
    else
      unlink(path.c_str());
  }

 private:
  TempDir outsideDir_;
  std::string inside_;
  std::string outside_;
};

}  // namespace vexa::test
