// Print conditions: CJknSet, the print conditions of AddJknPrint and
// ModifyJknPrint, and the manager that keeps them between runs.
#include <utility>

#include "platform/case_lookup.h"
#include "vexafol/print.h"

namespace vexa {
namespace {

// The sub-section of a manager's conditions in the user settings.
constexpr const char* kJknSubSection = "JKN";

struct PrintCondition {
  const char* name;
  const char* defaultValue;
  bool flag;
};

constexpr PrintCondition kPrintConditions[] = {
    {kJknTitle, "", false},
    {kJknPrintDate, "1", true},
    {kJknPrintSite, "1", true},
};

std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c != '\r' && c != '\n') line += c;
  }
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

}  // namespace

void CJknSet::InitJkn() {
  items_.clear();
}

void CJknSet::SetJkn(const std::string& name, const std::string& value) {
  for (auto& [itemName, itemValue] : items_) {
    if (platform::EqualsNoCase(itemName, name)) {
      itemValue = value;
      return;
    }
  }
  items_.emplace_back(name, value);
}

void CJknSet::AddJkn(const std::string& name, const std::string& defaultValue) {
  if (!HasJkn(name)) items_.emplace_back(name, defaultValue);
}

bool CJknSet::HasJkn(const std::string& name) const {
  for (const auto& item : items_) {
    if (platform::EqualsNoCase(item.first, name)) return true;
  }
  return false;
}

std::string CJknSet::GetJkn(const std::string& name, const std::string& def) const {
  for (const auto& [itemName, itemValue] : items_) {
    if (platform::EqualsNoCase(itemName, name)) return itemValue;
  }
  return def;
}

std::string CJknSet::GetName(int index) const {
  if (index < 0 || index >= GetCount()) return "";
  return items_[static_cast<size_t>(index)].first;
}

std::string CJknSet::GetValue(int index) const {
  if (index < 0 || index >= GetCount()) return "";
  return items_[static_cast<size_t>(index)].second;
}

void AddJknPrint(CJknSet& jkn) {
  for (const PrintCondition& condition : kPrintConditions) {
    jkn.AddJkn(condition.name, condition.defaultValue);
  }
}

int ModifyJknPrint(CJknSet& jkn) {
  AddJknPrint(jkn);
  for (const PrintCondition& condition : kPrintConditions) {
    const std::string value = jkn.GetJkn(condition.name);
    if (condition.flag) {
      jkn.SetJkn(condition.name, OneLine(value) == "0" ? "0" : "1");
    } else {
      jkn.SetJkn(condition.name, OneLine(value));
    }
  }
  return 1;
}

CJknMan::CJknMan(const CEnvironObj& env, std::string name) : env_(&env), name_(std::move(name)) {}

int CJknMan::LoadJkn(CJknSet& jkn) const {
  int loaded = 0;
  for (int i = 0; i < jkn.GetCount(); ++i) {
    const std::string name = jkn.GetName(i);
    std::string value;
    if (saved_.HasJkn(name)) {
      value = saved_.GetJkn(name);
    } else if (!env_ || !env_->GetUserDataStr(name_, kJknSubSection, name, value)) {
      continue;
    }
    jkn.SetJkn(name, value);
    ++loaded;
  }
  return loaded;
}

int CJknMan::SaveJkn(const CJknSet& jkn) {
  int stored = 1;
  for (int i = 0; i < jkn.GetCount(); ++i) {
    saved_.SetJkn(jkn.GetName(i), jkn.GetValue(i));
    if (env_ && !env_->SetUserDataStr(name_, kJknSubSection, jkn.GetName(i), jkn.GetValue(i))) {
      stored = 0;
    }
  }
  return stored;
}

}  // namespace vexa
