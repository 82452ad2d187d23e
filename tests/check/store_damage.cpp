#include "tests/check/store_damage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;

void CopyDrawing(const std::string& from, const std::string& to) {
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive);
}

}  // namespace

std::string GeneralAppFolder(const std::string& root) {
  return root + "/DATA/WORK.001/SITE.001/CAD/HNY";
}

std::vector<PlantedFault> DamageStore(const std::string& root) {
  const std::string app = GeneralAppFolder(root);
  const std::string recycle = root + "/DATA/RECYCCAD";
  std::vector<PlantedFault> planted;

  ::chmod((app + "/Fol.001").c_str(), 0755);  // the group may not write, no set-group-id
  planted.push_back({"permissions", app + "/Fol.001", true});
  WriteFileBytes(app + "/CADAPP.LOC", std::string(1000, '\0'));  // a crashed user's, 0644
  ::chmod((app + "/CADAPP.LOC").c_str(), 0644);
  planted.push_back({"permissions", app + "/CADAPP.LOC", true});
  planted.push_back({"leftover", app + "/CADAPP.LOC", true});

  ::unlink((app + "/Fol.004/INDEX.VXF").c_str());
  planted.push_back({"index", app + "/Fol.004", false});
  ::truncate((app + "/Fol.005/INDEX.VXF").c_str(), 100);
  planted.push_back({"index", app + "/Fol.005/INDEX.VXF", false});
  ::unlink((app + "/Fol.003/pagefile.001").c_str());
  planted.push_back({"pages", app + "/Fol.003", false});
  {
    std::string index = ReadFileBytes(app + "/Fol.006/INDEX.VXF");
    const std::string title("\x81\x20\xFD\x41", 5);  // a broken double-byte pair, then NUL
    index.replace(4, title.size(), title);
    WriteFileBytes(app + "/Fol.006/INDEX.VXF", index);
  }
  planted.push_back({"title", app + "/Fol.006/INDEX.VXF", false});
  fs::copy_file(app + "/Fol.007/page000.bmp", app + "/Fol.007/PAGE000.BMP");
  planted.push_back({"case", app + "/Fol.007", false});

  // A draft of a process that ended while making a lock file, two minutes ago.
  const std::string draft = app + "/.vexafol-new.99999.0";
  WriteFileBytes(draft, "");
  const struct timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
  ::utimensat(AT_FDCWD, draft.c_str(), old, 0);
  planted.push_back({"leftover", draft, true});

  // The recycle folder: a stale lock, slots 1, 2 and 4 (a gap), the one in
  // slot 2 without the tokens that tell where its drawing came from.
  WriteFileBytes(recycle + "/LOCK.TMP", std::string(1, '\0'));
  planted.push_back({"leftover", recycle + "/LOCK.TMP", true});
  CopyDrawing(app + "/Fol.008", recycle + "/[WORK.001][SITE.001][HNY]古い図面.001/Fol.008");
  CopyDrawing(app + "/Fol.009", recycle + "/[WORK.001][SITE.001][HNY]前の図面.004/Fol.009");
  planted.push_back({"recycle", recycle, true});
  CopyDrawing(app + "/Fol.002", recycle + "/no tokens.002/Fol.002");
  planted.push_back({"recycle", recycle + "/no tokens.002", false});
  return planted;
}

}  // namespace vexa::test
