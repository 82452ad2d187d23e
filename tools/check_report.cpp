// Printing what vexafol check found: for people, or as JSON for scripts.
#include <cstdio>

#include "tools/check.h"
#include "tools/json_text.h"

namespace vexa::tool {
namespace {

const char* YesNo(bool value) {
  return value ? "yes" : "no";
}

}  // namespace

size_t CheckReport::Remaining() const {
  size_t remaining = 0;
  for (const Finding& finding : findings) remaining += finding.fixed ? 0 : 1;
  return remaining;
}

void PrintReport(const CheckReport& report) {
  const FileSystemFacts& facts = report.facts;
  std::printf("Store %s\n", report.store.c_str());
  if (facts.probed) {
    std::printf("  locks per handle, between processes, delete by the last user: %s\n",
                YesNo(facts.locksWork));
    std::printf("  names case-sensitive: %s\n", YesNo(facts.caseSensitive));
  }
  std::printf("  locks reach other computers: %s\n",
              facts.localLocks.empty() ? "yes" : ("no (" + facts.localLocks + ")").c_str());
  for (const Finding& finding : report.findings) {
    std::printf("\n%s %s: %s\n", finding.fixed ? "fixed" : "problem", finding.path.c_str(),
                finding.problem.c_str());
    std::printf("  means: %s\n", finding.meaning.c_str());
    if (!finding.fixed) std::printf("  to do: %s\n", finding.action.c_str());
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

void PrintReportJson(const CheckReport& report) {
  const FileSystemFacts& facts = report.facts;
  std::printf(
      "{\"store\": %s, \"probed\": %s, \"locksWork\": %s, \"caseSensitive\": %s, "
      "\"localLocks\": %s,\n \"findings\": [",
      JsonString(report.store).c_str(), facts.probed ? "true" : "false",
      facts.locksWork ? "true" : "false", facts.caseSensitive ? "true" : "false",
      JsonString(facts.localLocks).c_str());
  for (size_t i = 0; i < report.findings.size(); ++i) {
    const Finding& f = report.findings[i];
    std::printf(
        "%s\n  {\"kind\": %s, \"path\": %s, \"problem\": %s, \"meaning\": %s, "
        "\"action\": %s, \"fixed\": %s}",
        i ? "," : "", JsonString(f.kind).c_str(), JsonString(f.path).c_str(),
        JsonString(f.problem).c_str(), JsonString(f.meaning).c_str(), JsonString(f.action).c_str(),
        f.fixed ? "true" : "false");
  }
  std::printf("%s],\n \"remaining\": %zu}\n", report.findings.empty() ? "" : "\n",
              report.Remaining());
}

}  // namespace vexa::tool
