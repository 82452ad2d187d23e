// The tool's one grammar, run as processes on sample stores: every command
// takes --store, the default store (VEXAFOL_STORE, then the nearest enclosing
// store of the working folder, as git walks up), drawings named HNY/5 or
// 0x1:5, help and version.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/tool_run.h"

namespace vexa::test {
namespace {

// The working folder, and VEXAFOL_STORE set (or unset when store is empty).
ToolSetup In(const std::string& folder, const std::string& store = "") {
  return ToolSetup{.environment = {{"VEXAFOL_STORE", store}}, .folder = folder};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class ToolGrammar : public SharedStoreTest {
 protected:
  std::string Hny() const { return store_ + "/DATA/WORK.001/SITE.001/CAD/HNY"; }
  std::string outside_ = dir_ / "elsewhere";  // a folder in no store
  void SetUp() override {
    SharedStoreTest::SetUp();
    ::mkdir(outside_.c_str(), 0755);
  }
};

TEST_F(ToolGrammar, EveryCommandTakesItsStoreFromStoreOption) {
  const bool ui = RunTool({"select", "--help"}).exit == 0;
  const std::string made = dir_ / "made";
  // What each command is asked, with --store, from a folder in no store; and a
  // text its output must hold that only that store gives.
  struct Case {
    std::vector<std::string> words;
    std::string shows;
  };
  const std::map<std::string, Case> cases = {
      {"demo", {{"--store", made}, made}},
      {"new", {{"--store", store_, "--title", "新"}, Hny() + "/Fol.011"}},
      {"info", {{"--store", store_, "HNY/1"}, Hny() + "/Fol.001"}},
      {"list", {{"--store", store_, "--app", "0x1", "--json"}, Hny() + "/Fol.010"}},
      {"select", {{"--store", store_, "--screenshot", dir_ / "s.png"}, store_}},
      {"pages", {{"--store", store_, "HNY/1", "--screenshot", dir_ / "p.png"}, Hny()}},
      {"print", {{"--store", store_, "--pdf", dir_ / "l.pdf"}, "l.pdf"}},
      {"apps", {{"--store", store_}, Hny()}},
      {"lock", {{"--store", store_, "HNY/2"}, "holding 1 lock of " + Hny() + "/Fol.002"}},
      {"status", {{"--store", store_, "HNY/2"}, Hny() + "/Fol.002"}},
      {"who", {{"--store", store_, "HNY/2"}, Hny() + "/CADAPP.LOC"}},
      {"wait", {{"--store", store_, "HNY/2", "--timeout", "0"}, ""}},
      {"check", {{"--store", store_, "--json"}, "\"store\": \"" + store_}},
      {"delete", {{"--store", store_, "HNY/3", "--yes"}, "削除しました"}},
      {"recycle", {{"--store", store_, "--json"}, "/Fol.003\""}},
      {"restore", {{"--store", store_, "--slot", "1"}, Hny() + "/Fol.0"}},
  };
  // The commands as the tool lists them: each one needs a case here.
  const ToolRun listed = RunTool({"__complete", "--", ""});
  std::set<std::string> commands;
  for (const std::string& line : Lines(listed.out))
    if (line[0] != '-' && line != "help" && line != "version") commands.insert(line);
  EXPECT_GE(commands.size(), 12u) << listed.out;
  for (const std::string& command : commands) {
    const auto found = cases.find(command);
    if (found == cases.end()) {
      ADD_FAILURE() << command << " has no --store case";
      continue;
    }
    std::vector<std::string> words = found->second.words;
    words.insert(words.begin(), command);
    const ToolRun run = RunTool(words, In(outside_));
    EXPECT_EQ(run.exit, command == "check" ? run.exit : 0) << command << "\n" << run.err;
    EXPECT_NE(run.exit, 2) << command << "\n" << run.err;
    EXPECT_TRUE(Contains(run.out + run.err, found->second.shows))
        << command << " shows no " << found->second.shows << ":\n"
        << run.out << run.err;
  }
  EXPECT_EQ(commands.count("select") == 1, ui);
}

TEST_F(ToolGrammar, DefaultStoreIsTheVariableElseTheNearestEnclosingStore) {
  const std::string drawing = Hny() + "/Fol.001";
  // From deep inside the store, from its top and from its data folder.
  for (const std::string& folder : {drawing, store_, store_ + "/DATA"}) {
    const ToolRun run = RunTool({"info", "HNY/1", "--json"}, In(folder));
    EXPECT_EQ(run.exit, 0) << folder << run.err;
    EXPECT_TRUE(Contains(run.out, "\"path\": \"" + drawing + "\"")) << folder << run.out;
  }
  // Outside any store: VEXAFOL_STORE names it.
  EXPECT_EQ(RunTool({"info", "HNY/1"}, In(outside_, store_)).exit, 0);
  // Without either, each command does what it does without a store.
  const ToolRun none = RunTool({"info", "HNY/1"}, In(outside_));
  EXPECT_EQ(none.exit, 1);
  EXPECT_TRUE(Contains(none.err, "DATA/WORK.001/SITE.001/CAD/HNY/Fol.001: no such")) << none.err;
  EXPECT_EQ(RunTool({"check"}, In(outside_)).exit, 2);
  const ToolRun emptyList = RunTool({"list", "--json"}, In(outside_));
  EXPECT_EQ(emptyList.exit, 0);
  EXPECT_EQ(emptyList.out, "[]\n");

  // A second store: the variable beats the walk, --store beats both, and a
  // drawing given by its path is taken in the store that encloses it.
  const std::string other = dir_ / "other";
  ASSERT_EQ(RunTool({"demo", other}).exit, 0);
  const std::string otherDrawing = other + "/DATA/WORK.001/SITE.001/CAD/HNY/Fol.001";
  const auto pathOf = [](const ToolRun& run) {
    const size_t at = run.out.find("\"path\": \"");
    return at == std::string::npos ? ""
                                   : run.out.substr(at + 9, run.out.find('"', at + 9) - at - 9);
  };
  EXPECT_EQ(pathOf(RunTool({"info", "HNY/1", "--json"}, In(drawing, other))), otherDrawing);
  EXPECT_EQ(pathOf(RunTool({"info", "HNY/1", "--json", "--store", store_}, In(drawing, other))),
            drawing);
  const ToolRun deleted = RunTool({"delete", otherDrawing, "--yes"}, In(drawing, store_));
  EXPECT_EQ(deleted.exit, 0) << deleted.err;
  struct stat recycle {};
  EXPECT_EQ(::stat((other + "/DATA/RECYCCAD").c_str(), &recycle), 0);
  EXPECT_NE(::stat((store_ + "/DATA/RECYCCAD").c_str(), &recycle), 0);

  // A DATA that is a link makes no store: the walk goes on above it.
  const std::string linked = dir_ / "linked";
  ::mkdir(linked.c_str(), 0755);
  ASSERT_EQ(::symlink((store_ + "/DATA").c_str(), (linked + "/DATA").c_str()), 0);
  EXPECT_EQ(RunTool({"check"}, In(linked)).exit, 2);
  // A DATA with anything else in it is no store either.
  ASSERT_EQ(::mkdir((outside_ + "/DATA").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((outside_ + "/DATA/notes").c_str(), 0755), 0);
  EXPECT_EQ(RunTool({"check"}, In(outside_ + "/DATA/notes")).exit, 2);
}

TEST_F(ToolGrammar, DrawingNamesByApplicationCodeOrIdAndNumber) {
  const std::string first = "\"path\": \"" + Hny() + "/Fol.001\"";
  for (const std::string name : {"HNY/1", "hny/1", "0x1:1", "1:1", "HNY:001", "0x1/1"}) {
    const ToolRun run = RunTool({"info", "--store", store_, name, "--json"}, In(outside_));
    EXPECT_EQ(run.exit, 0) << name << run.err;
    EXPECT_TRUE(Contains(run.out, first)) << name << run.out;
  }
  // Other applications by their codes, also one whose folder lies in another's.
  const ToolRun other = RunTool({"status", "--store", store_, "odn/1", "--json"}, In(outside_));
  EXPECT_EQ(other.exit, 0) << other.err;
  EXPECT_TRUE(Contains(other.out, "/CAD/JDN/ODN/Fol.001\"")) << other.out;
  // A store copied from Windows spells the folder in capitals.
  ASSERT_EQ(::rename((Hny() + "/Fol.004").c_str(), (Hny() + "/FOL.004").c_str()), 0);
  EXPECT_TRUE(Contains(RunTool({"info", "--store", store_, "HNY/4", "--json"}).out, "/FOL.004\""));

  // Unknown applications and numbers out of range are usage errors that name
  // the codes; a free number is a failure; ./HNY/1 is a path.
  const ToolRun unknown = RunTool({"info", "--store", store_, "XYZ/1"});
  EXPECT_EQ(unknown.exit, 2);
  EXPECT_TRUE(Contains(unknown.err, "HNY, YCH")) << unknown.err;
  EXPECT_EQ(RunTool({"info", "--store", store_, "0x4000:1"}).exit, 2);
  EXPECT_EQ(RunTool({"info", "--store", store_, "HNY/0"}).exit, 2);
  EXPECT_EQ(RunTool({"info", "--store", store_, "HNY/1000"}).exit, 2);
  EXPECT_EQ(RunTool({"lock", "--store", store_, "HNY/999"}).exit, 1);
  EXPECT_EQ(RunTool({"info", "--store", store_, "./HNY/1"}, In(outside_)).exit, 1);
  // Where an option takes a drawing, a name works too.
  const ToolRun backups = RunTool({"list", "--store", store_, "--backups", "HNY/1", "--json"});
  EXPECT_EQ(backups.exit, 0) << backups.err;
  EXPECT_TRUE(Contains(backups.out, "/Fol.001/BKUP\"")) << backups.out;
  const ToolRun copy = RunTool({"restore", "--store", store_, "--backup", "HNY/1", "1"});
  EXPECT_EQ(copy.exit, 0) << copy.err;
  EXPECT_TRUE(Contains(copy.out, Hny() + "/Fol.0")) << copy.out;
}

// The JSON of the lock commands and of apps while another process holds a
// drawing and one of its pages: the holder by its pid, the answers as numbers.
TEST_F(ToolGrammar, JsonOfStatusWhoAndApps) {
  Tool holder({"lock", "--store", store_, "HNY/2", "--zmn", "--page", "1"});
  ASSERT_TRUE(Contains(holder.ReadUntil("holding"), "holding 2 locks"));
  const ToolRun status = RunTool({"status", "--store", store_, "HNY/2", "--json"});
  EXPECT_EQ(status.exit, 0);
  EXPECT_TRUE(Contains(status.out, "\"isLockZmn\": 1, \"isExistLockPage\": 1, \"pageCount\": 2,"))
      << status.out;
  EXPECT_TRUE(Contains(status.out,
                       "[{\"page\": 0, \"isLockPage\": 0}, {\"page\": 1, "
                       "\"isLockPage\": 1}]"))
      << status.out;
  const ToolRun some = RunTool({"status", "--store", store_, "HNY/2", "--page", "7", "--json"});
  EXPECT_TRUE(Contains(some.out, "\"pageCount\": null,\n \"pages\": [{\"page\": 7, ")) << some.out;

  const ToolRun who = RunTool({"who", "--store", store_, "HNY/2", "--json"});
  EXPECT_EQ(who.exit, 0);
  const std::string pid = "\"pid\": " + std::to_string(holder.pid()) + ", ";
  EXPECT_TRUE(Contains(who.out, pid)) << who.out;
  EXPECT_TRUE(Contains(who.out, "\"file\": \"CADAPP.LOC\", \"holds\": \"byte 2 (drawing lock)\""))
      << who.out;
  EXPECT_TRUE(Contains(who.out, "\"file\": \"FOL002.LOC\", \"holds\": \"page 1\"")) << who.out;
  EXPECT_TRUE(Contains(who.out, "\"exists\": true}, {\"path\": \"" + Hny() + "/FOL002.LOC\""))
      << who.out;
  holder.CloseInput();
  EXPECT_EQ(holder.Finish().exit, 0);
  EXPECT_TRUE(Contains(RunTool({"who", "--store", store_, "HNY/2", "--json"}).out,
                       "\"holders\": [],\n \"hidden\": 0}"));

  const ToolRun apps = RunTool({"apps", "--store", store_, "--host-kind", "2", "--json"});
  EXPECT_EQ(apps.exit, 0);
  EXPECT_TRUE(Contains(apps.out, "{\"hostKind\": 2, \"apps\": [")) << apps.out;
  EXPECT_TRUE(Contains(apps.out, "\"id\": 32, \"code\": \"ODN\", \"title\": \"横断\"")) << apps.out;
  EXPECT_TRUE(Contains(apps.out, "\"folder\": \"" + Hny() + "\"")) << apps.out;
}

TEST(ToolHelp, HelpCommandAndVersion) {
  const ToolRun help = RunTool({"help", "list"});
  EXPECT_EQ(help.exit, 0);
  EXPECT_EQ(help.out, RunTool({"list", "--help"}).out);
  EXPECT_TRUE(Contains(help.out, "\nWith --json:\nAn array")) << help.out;
  EXPECT_EQ(RunTool({"help"}).out, RunTool({"--help"}).out);
  EXPECT_EQ(RunTool({"help", "bogus"}).exit, 2);
  EXPECT_EQ(RunTool({"help", "list", "info"}).exit, 2);

  const ToolRun version = RunTool({"--version"});
  EXPECT_EQ(version.exit, 0);
  EXPECT_EQ(version.out, RunTool({"version"}).out);
  EXPECT_EQ(version.out, "vexafol " VEXA_VERSION "\nlibvexafol " VEXA_VERSION "\n");
}

}  // namespace
}  // namespace vexa::test
