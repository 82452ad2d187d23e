// Uses the installed headers and library: the application table and a drawing
// folder's number, through the umbrella header.
#include <vexafol/vexafol.h>

#include <cstdio>

int main() {
  std::printf("%d %s\n", vexa::GetSenyouCnt(), vexa::GetSenyouDLL(0x10).c_str());
  return vexa::GetSenyouCnt() == 12 && vexa::GetSenyouDLL(0x10) == "APPF.DLL" ? 0 : 1;
}
