// vexafol check: the store doctor. Runs the library's store check and prints
// what is wrong, what it means and what to do, for people or as JSON.
#include <cstdio>
#include <string>

#include "tools/command.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/storecheck.h"

namespace vexa::tool {
namespace {

const char* YesNo(bool value) {
  return value ? "yes" : "no";
}

const char* JsonBool(bool value) {
  return value ? "true" : "false";
}

// What the deployment of the store means, in one line.
std::string DeploymentText(const StoreFileSystemFacts& facts) {
  const std::string mount = Printable(facts.mountSource) + " (" + Printable(facts.mountType) + ")";
  std::string shares;
  for (const std::string& share : facts.sambaShares)
    shares += (shares.empty() ? "[" : ", [") + Printable(share) + "]";
  if (facts.deployment == "smb-client")
    return "an SMB share mounted from a file server, " + mount +
           ": the server arbitrates byte locks and deletes among all its clients";
  if (facts.deployment == "nfs") return "NFS, " + mount + ": for Linux users only";
  if (facts.deployment == "local")
    return std::string("a disk of this computer, ") + mount + ": for Linux users of this computer" +
           (facts.sambaChecked ? " (no Samba share exports it)" : "");
  if (facts.deployment == "samba-export")
    return "a folder on " + mount + " that this computer's Samba exports as " + shares +
           ", opened directly by Linux users here";
  return "unknown (" + mount + ")";
}

void PrintReport(const StoreCheckReport& report) {
  const StoreFileSystemFacts& facts = report.facts;
  std::printf("Store %s\n", Printable(report.store).c_str());
  if (facts.probed) {
    std::printf("  locks per handle, between processes, delete by the last user: %s\n",
                YesNo(facts.locksWork));
    std::printf("  names case-sensitive: %s\n", YesNo(facts.caseSensitive));
  }
  std::printf(
      "  locks reach other computers: %s\n",
      facts.localLocks.empty() ? "yes" : ("no (" + Printable(facts.localLocks) + ")").c_str());
  std::printf("  deployment: %s\n", DeploymentText(facts).c_str());
  for (const StoreFinding& finding : report.findings) {
    std::printf("\n%s %s: %s\n", finding.fixed ? "fixed" : "problem",
                Printable(finding.path).c_str(), Printable(finding.problem).c_str());
    std::printf("  means: %s\n", Printable(finding.meaning).c_str());
    if (!finding.fixed) std::printf("  to do: %s\n", Printable(finding.action).c_str());
  }
  const size_t remaining = report.Remaining();
  const size_t fixed = report.findings.size() - remaining;
  if (report.findings.empty()) {
    std::printf("\nNothing is wrong.\n");
  } else {
    std::printf("\n%zu problem%s", report.findings.size(), report.findings.size() == 1 ? "" : "s");
    if (fixed) std::printf(", %zu fixed", fixed);
    std::printf(remaining ? ", %zu left.\n" : ".\n", remaining);
  }
}

void PrintReportJson(const StoreCheckReport& report) {
  const StoreFileSystemFacts& facts = report.facts;
  std::printf(
      "{\"store\": %s, \"probed\": %s, \"locksWork\": %s, \"caseSensitive\": %s, "
      "\"localLocks\": %s,\n \"mountType\": %s, \"mountSource\": %s, \"deployment\": %s, "
      "\"sambaChecked\": %s, \"sambaShares\": [",
      JsonString(report.store).c_str(), JsonBool(facts.probed), JsonBool(facts.locksWork),
      JsonBool(facts.caseSensitive), JsonString(facts.localLocks).c_str(),
      JsonString(facts.mountType).c_str(), JsonString(facts.mountSource).c_str(),
      JsonString(facts.deployment).c_str(), JsonBool(facts.sambaChecked));
  for (size_t i = 0; i < facts.sambaShares.size(); ++i)
    std::printf("%s%s", i ? ", " : "", JsonString(facts.sambaShares[i]).c_str());
  std::printf("],\n \"findings\": [");
  for (size_t i = 0; i < report.findings.size(); ++i) {
    const StoreFinding& f = report.findings[i];
    std::printf(
        "%s\n  {\"kind\": %s, \"path\": %s, \"problem\": %s, \"meaning\": %s, "
        "\"action\": %s, \"fixed\": %s}",
        i ? "," : "", JsonString(f.kind).c_str(), JsonString(f.path).c_str(),
        JsonString(f.problem).c_str(), JsonString(f.meaning).c_str(), JsonString(f.action).c_str(),
        JsonBool(f.fixed));
  }
  std::printf("%s],\n \"remaining\": %zu}\n", report.findings.empty() ? "" : "\n",
              report.Remaining());
}

}  // namespace

int RunCheck(Args& args) {
  const std::string store = args.positional().empty() ? ChosenStore(args) : args.positional()[0];
  if (store.empty()) return UsageError("check needs a store folder (see --help)");
  StoreCheckOptions options;
  options.fix = args.Has("fix");
  const StoreCheckReport report = CheckStore(store, options);
  if (!report.readable) return Fail(report.error);
  if (args.Has("json"))
    PrintReportJson(report);
  else
    PrintReport(report);
  return report.Remaining() ? kExitFailure : 0;
}

}  // namespace vexa::tool
