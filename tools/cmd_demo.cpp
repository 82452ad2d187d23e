// vexafol demo: a sample store with drawings of several applications.
#include <cstdio>
#include <vector>

#include "tools/demo_store.h"
#include "tools/drawing_writer.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "tools/support/local_system.h"
#include "vexafol/file.h"
#include "vexafol/filetime.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou.h"
#include "vexafol/zmn_list_print.h"

namespace vexa::tool {
namespace {

// Marks a folder as a sample store, so that a later demo may replace it.
constexpr const char* kMarker = ".vexafol-demo";

struct SampleApp {
  int id;
  int drawings;
};
constexpr SampleApp kApps[] = {{0x1, 10}, {0x4, 5}, {0x8, 5}, {0x10, 4}, {0x20, 3}, {0x1000, 3}};

const char* const kTitles[] = {
    "平面図 第1工区",      "縦断図 No.0〜No.25", "横断図 測点10〜20",
    "用地実測図",          "丈量図 ①",           "境界確定図",
    "路線計画図 ｶﾞｲﾄﾞ",    "地籍調査図 第3区",   "道路台帳平面図",
    "排水計画平面図",      "河川縦断図",         "現況平面図",
    "測量成果 基準点網図", "幅杭設置図",         "構造物一般図",
    "用地幅杭図",          "法線計画図",         "縦断計画図 本線",
    "横断計画図 本線",     "横断計画図 側道",    "区画整理計画図",
    "道路詳細図",          "土量計算図",         "展開図 擁壁",
    "境界杭位置図",        "公共用地境界図",     "中心線測量図",
    "仮BM設置図",          "水準測量路線図",     "完成平面図",
};
const char* const kPeople[] = {"山田太郎", "佐藤花子", "鈴木一郎", "高橋美咲", "田中ｹﾝｼﾞ"};
const char* const kMemos[] = {
    "発注者確認済み",
    "現地立会い：令和5年4月\r\n境界杭 3本 再設置",
    "",
    "CAD製図変換後に修正\r\n縮尺 1/500",
    "NEC特殊文字 ①②③ と ㈱ を含むメモ",
};
const char* const kCaptions[] = {"平面", "縦断", "横断", "詳細", "数量"};

DrawingSpec SampleDrawing(int n) {
  DrawingSpec spec;
  spec.title = kTitles[n % 30];
  spec.memo = kMemos[n % 5];
  spec.creator = kPeople[n % 5];
  spec.updater = kPeople[(n * 3 + 1) % 5];
  // 2023-04-03 09:00 JST, then every 9 days and a little later in the day.
  const int64_t created = 1680480000 + int64_t{n} * 9 * 86400 + int64_t{n % 7} * 2237;
  spec.created = UnixToFileTime(created);
  spec.updated = UnixToFileTime(created + int64_t{n % 5} * 3 * 86400 + 5400);
  const int pages = 1 + n % 4;
  for (int page = 0; page < pages; ++page) {
    std::string caption = kCaptions[(n + page) % 5];
    spec.pages.push_back({"図面 " + std::to_string(n + 1) + " - " + std::to_string(page + 1),
                          caption + "図", n * 7 + page});
  }
  return spec;
}

}  // namespace

int MakeDemoStore(const std::string& root, std::FILE* report) {
  const FolderEnvironObj probe("");
  std::string marker = root;
  probe.AddFileName(marker, kMarker);
  if (probe.IsExist(root) == 0) return Fail(root + " is a file");
  if (probe.IsExist(root) > 0) {
    std::vector<std::string> entries;
    ListFolder(root, entries);
    if (probe.IsExist(marker) == 0) {
      if (!probe.RemoveDir(root, 1)) return Fail(root + ": cannot remove the earlier sample store");
    } else if (!entries.empty()) {
      return Fail(root + " exists and is not a sample store; choose another folder");
    }
  }
  if (!probe.CreateDir(root, 1)) return Fail(root + ": cannot create the folder");
  std::string error;
  std::string markerBytes = "sample store made by vexafol demo\n";
  {
    File file;
    if (!file.Open(marker, File::Mode::CreateTruncate)) return Fail(marker + ": cannot create");
    file.Write(markerBytes.data(), markerBytes.size());
  }

  const FolderEnvironObj env(root);
  int n = 0;
  std::string withBackups;
  for (const SampleApp& app : kApps) {
    const std::string appFolder = GetSenyouPath(env, app.id);
    for (int i = 0; i < app.drawings; ++i, ++n) {
      const std::string folder = CreateDrawing(env, appFolder, SampleDrawing(n), error);
      if (folder.empty()) return Fail(error);
      if (n != 0) continue;
      // The first drawing keeps two earlier states: BKUP and BKUP.001.
      withBackups = folder;
      for (int backup = 0; backup < 2; ++backup) {
        std::string backupFolder = folder;
        CreateBackupPath(env, backupFolder, backup);
        DrawingSpec older = SampleDrawing(n);
        older.updated = older.created;
        older.memo = backup == 0 ? "直前の保存" : "一つ前の保存";
        if (!WriteDrawingFolder(env, backupFolder, older, &error)) return Fail(error);
      }
    }
  }
  if (!InstallZmnListForm(env))
    return Fail(GetZmnListFormFolder(env) + ": cannot install the drawing-list form");
  std::fprintf(report, "Made a sample store of %d drawings in %s\n", n, Printable(root).c_str());
  std::fprintf(report, "  data folder:   %s\n", Printable(env.GetDataPath()).c_str());
  std::fprintf(report, "  with backups:  %s\n", Printable(withBackups).c_str());
  std::fprintf(report, "  list form:     %s\n", Printable(GetZmnListFormFolder(env)).c_str());
  return 0;
}

std::string DefaultSampleStore() {
  const std::string data = UserDataFolder();
  return data.empty() ? "" : data + "/vexafol/sample-store";
}

int RunDemo(Args& args) {
  const std::string root = !args.positional().empty() ? args.positional()[0]
                           : args.Has("store")        ? *args.Value("store")
                                                      : DefaultSampleStore();
  if (root.empty()) return Fail("no folder given and neither XDG_DATA_HOME nor HOME is set");
  return MakeDemoStore(root, stdout);
}

}  // namespace vexa::tool
