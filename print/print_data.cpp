// The base operations of CPrintData: a print data that has no records and
// reads its form from the file it names.
#include "vexafol/print.h"

namespace vexa {

void CPrintData::InitJkn(CJknSet&) {}

int CPrintData::GetFormFile(std::string&) {
  return 0;
}

int CPrintData::GetForm(PrintForm& form, std::string& error) {
  std::string path;
  if (!GetFormFile(path) || path.empty()) {
    error = "帳票ファイルが指定されていません";
    return 0;
  }
  return ReadPrintForm(path, form, error) ? 1 : 0;
}

int CPrintData::GetRepeatCount(int, int) {
  return 0;
}

int CPrintData::GetSubRecCnt(int, int) {
  return 0;
}

signed char CPrintData::GetRecordItem(int, int, int, int, int, std::string&, unsigned long*) {
  return -1;
}

int CPrintData::AcceptItem(int, int, int, int, const CJknSet*) {
  return 1;
}

void CPrintData::InitItem() {}

int CPrintData::GetItemStr(int, std::string&) {
  return 0;
}

int CPrintData::IsAddElement(int) {
  return 0;
}

int CPrintData::AddItem(int, int, std::string&) {
  return -1;
}

}  // namespace vexa
