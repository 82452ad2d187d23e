// A fresh directory under $TMPDIR for one test, removed with its contents after.
#pragma once

#include <string>

namespace vexa::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes bytes to a file (creating parent folders), replacing what was there.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Whole content of a file ("" if it cannot be read).
std::string ReadFileBytes(const std::string& path);

}  // namespace vexa::test
