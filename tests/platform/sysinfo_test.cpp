#include "platform/sysinfo.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/env.h"

namespace vexa::platform {
namespace {

class NamedEnv : public Env {
 public:
  std::string host;
  std::string user;
  std::string HostName() override { return host; }
  std::string UserName() override { return user; }
};

TEST(SysInfo, ComputerAndUserNamesWithinTheirLimits) {
  NamedEnv env;
  ScopedEnv scoped(env);
  const std::pair<std::string, std::string> cases[] = {
      {"cad-pc01.office.example.jp", "CAD-PC01"},  // the first label, upper case
      {"abcdefghijklmno", "ABCDEFGHIJKLMNO"},      // 15 characters fit
      {"abcdefghijklmnop.example", ""},            // 16 do not
  };
  for (const auto& [host, expected] : cases) {
    env.host = host;
    EXPECT_EQ(ComputerName(), expected) << host;
  }
  env.user = std::string(256, 'u');
  EXPECT_EQ(UserName(), env.user);
  env.user = std::string(257, 'u');
  EXPECT_EQ(UserName(), "");
}

TEST(SysInfo, SystemErrorTextInTheUserLanguage) {
  EXPECT_EQ(SystemErrorText(0), "");
  // The tests run in ja_JP.UTF-8 with the C library's Japanese messages.
  EXPECT_EQ(SystemErrorText(ENOENT), "(2) そのようなファイルやディレクトリはありません");
  EXPECT_EQ(SystemErrorText(4294967295UL), "(4294967295) 不明なエラーです。");
}

}  // namespace
}  // namespace vexa::platform
