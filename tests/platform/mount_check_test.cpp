// Recognising mounts that keep file locks local, and warning once per mount.
#include "platform/mount_check.h"

#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include "platform/env.h"

namespace vexa::platform {
namespace {

constexpr const char* kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 22 0:40 / /srv/a rw,relatime shared:2 - nfs4 srv:/a rw,vers=4.2,local_lock=none\n"
    "31 22 0:41 / /srv/b rw,relatime - nfs srv:/b rw,vers=3,nolock,proto=tcp\n"
    "32 22 0:42 / /srv/c rw - nfs srv:/c rw,vers=3,local_lock=posix\n"
    "33 22 0:43 / /srv/d rw - nfs4 srv:/d rw,local_lock=flock\n"
    "34 22 0:44 / /srv/e rw,nosuid - cifs //srv/e rw,vers=3.0,nobrl,cache=strict\n"
    "35 22 0:45 / /srv/f rw - cifs //srv/f rw,vers=3.0\n"
    "36 22 0:46 / /srv/g rw,nobrl - ext4 /dev/sdb1 rw\n"
    "37 22 0:47 / /srv/h rw - nfs4 srv:/h rw,local_lock=all\n"
    "garbage line\n"
    "38 22 0:48 / /srv/i rw\n";

TEST(MountCheck, ReadsEveryMountOfADevice) {
  const std::string table =
      std::string(kMountInfo) + "39 22 0:45 /sub /mnt/bind rw - cifs //srv/f rw,vers=3.0\n";
  struct Expected {
    unsigned minor;
    const char* mountPoint;
    const char* fsType;
    const char* source;
    const char* superOptions;
  };
  const Expected cases[] = {{40, "/srv/a", "nfs4", "srv:/a", "rw,vers=4.2,local_lock=none"},
                            {44, "/srv/e", "cifs", "//srv/e", "rw,vers=3.0,nobrl,cache=strict"},
                            {45, "/srv/f", "cifs", "//srv/f", "rw,vers=3.0"},
                            {45, "/mnt/bind", "cifs", "//srv/f", "rw,vers=3.0"}};
  size_t next = 0;
  for (const unsigned minor : {40u, 44u, 45u}) {
    for (const MountEntry& mount : MountsOf(table, 0, minor)) {
      ASSERT_LT(next, std::size(cases));
      const Expected& expected = cases[next++];
      EXPECT_EQ(minor, expected.minor);
      EXPECT_EQ(mount.mountPoint, expected.mountPoint);
      EXPECT_EQ(mount.fsType, expected.fsType);
      EXPECT_EQ(mount.source, expected.source);
      EXPECT_EQ(mount.superOptions, expected.superOptions);
    }
  }
  EXPECT_EQ(next, std::size(cases));
  EXPECT_EQ(MountsOf(table, 0, 48).size(), 0u);  // no " - type" part
  EXPECT_EQ(MountsOf(table, 0, 99).size(), 0u);
}

class FakeMountTable : public Env {
 public:
  std::string ReadSystemFile(const std::string& path) override {
    ++reads;
    return path == "/proc/self/mountinfo" ? kMountInfo : "";
  }
  int reads = 0;
};

TEST(MountCheck, FindsLocalLockOptionsAndWarnsOncePerMount) {
  // By minor device number of the lines above; only flock() locks staying
  // local, or a non-network file system, are harmless.
  const std::pair<unsigned, const char*> cases[] = {
      {40, ""}, {41, "nolock"}, {42, "local_lock=posix"}, {43, ""}, {44, "nobrl"},
      {45, ""}, {46, ""},       {47, "local_lock=all"},   {48, ""}, {99, ""}};
  for (const auto& [minor, option] : cases)
    EXPECT_EQ(LocalLockOption(kMountInfo, 0, minor), option);
  EXPECT_EQ(LocalLockOption(kMountInfo, 8, 1), "");
  EXPECT_EQ(LocalLockOption("", 0, 41), "");

  FakeMountTable table;
  ScopedEnv scoped(table);
  testing::internal::CaptureStderr();
  WarnIfLocksAreLocal(makedev(0, 41), "/srv/b/CADAPP.LOC");
  WarnIfLocksAreLocal(makedev(0, 41), "/srv/b/FOL001.LOC");
  WarnIfLocksAreLocal(makedev(0, 40), "/srv/a/CADAPP.LOC");
  const std::string warnings = testing::internal::GetCapturedStderr();
  EXPECT_EQ(table.reads, 2);
  EXPECT_NE(warnings.find("/srv/b/CADAPP.LOC"), std::string::npos);
  EXPECT_NE(warnings.find("nolock"), std::string::npos);
  EXPECT_EQ(warnings.find("FOL001"), std::string::npos);
  EXPECT_EQ(warnings.find("/srv/a"), std::string::npos);
}

}  // namespace
}  // namespace vexa::platform
