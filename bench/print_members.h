// The drawings of the print benchmarks: 999 in each application of the
// host's store (10,989 with all 11), in memory only, since a list needs no
// index files to be printed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_store.h"
#include "vexafol/filetime.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou.h"

namespace vexa::bench {

inline std::vector<FolMember> MakePrintMembers(const CEnvironObj& env, int perApp = 999) {
  const char* titles[] = {"道路平面図", "縦断図 No.0〜No.25", "横断図 測点10〜20", "用地境界図",
                          "区画整理計画図 第二工区"};
  const char* people[] = {"山田太郎", "佐藤花子", "田中ｹﾝｼﾞ", "鈴木一郎"};
  std::vector<FolMember> members;
  for (int app : AppIds(env)) {
    for (int number = 1; number <= perApp; ++number) {
      FolMember member;
      char name[16];
      std::snprintf(name, sizeof name, "Fol.%03d", number);
      member.path = GetSenyouPath(env, app);
      env.AddFileName(member.path, name);
      member.appId = app;
      member.header.SetTitle(std::string(titles[number % 5]) + " " + std::to_string(number));
      member.header.SetCreator(people[number % 4]);
      member.header.SetUpdater(people[(number + 1) % 4]);
      member.header.SetMemo("現地立会い：令和5年4月 境界杭 3本 再設置 " + std::to_string(app));
      member.header.pageCount = number % 9 + 1;
      member.header.createTime = UnixToFileTime(1600000000 + number * 3600);
      member.header.updateTime = UnixToFileTime(1700000000 + number * 3600);
      members.push_back(member);
    }
  }
  return members;
}

}  // namespace vexa::bench
