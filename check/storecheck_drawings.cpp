// Drawing folders whose contents the folder list and the dialogs would show
// wrongly: no readable index file, an index file of another size than one
// header, a page count that disagrees with the page files, a title that is not
// valid CP932.
#include <cstring>
#include <set>
#include <string>

#include "check/storecheck_parts.h"
#include "platform/case_lookup.h"
#include "vexafol/file.h"
#include "vexafol/fileformat.h"
#include "vexafol/store_layout.h"
#include "vexafol/text.h"

namespace vexa::check {
namespace {

constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";

// The number after "prefix" in name (ignoring ASCII case), or -1 when the rest
// is not one to three digits. Stricter than DrawingNumberOf on purpose: the
// check reports on entries that are named exactly as the store names them.
int NumberAfter(const std::string& name, const std::string& prefix) {
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 3) return -1;
  if (!platform::EqualsNoCase(name.substr(0, prefix.size()), prefix)) return -1;
  int number = 0;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

bool IsDrawingFolder(const StoreEntry& entry) {
  const int number = NumberAfter(entry.name, kDrawingFolderPrefix);
  return S_ISDIR(entry.st.st_mode) && number >= kFirstDrawingNo && number <= kLastDrawingNo;
}

std::string NumberList(const std::set<int>& numbers) {
  std::string text;
  for (int number : numbers) text += (text.empty() ? "" : ", ") + std::to_string(number);
  return text;
}

// Reads the header; "" or what went wrong.
std::string ReadHeader(const std::string& path, VexaFileHeader& header) {
  File file;
  if (!file.Open(path, File::Mode::ReadOnly))
    return "cannot be opened: " + std::string(std::strerror(file.LastError()));
  try {
    if (!ReadHeadFile(file, header)) return "cannot be read to its end";
  } catch (const FileException& e) {
    return e.what();
  }
  return "";
}

void CheckTitle(const std::string& path, const VexaFileHeader& header, StoreCheckReport& report) {
  const size_t length = FieldLength(header.title, sizeof header.title);
  const std::string title(header.title, length);
  std::string problem;
  if (length == sizeof header.title)
    problem = "the title fills its 128 bytes without an ending NUL";
  else if (Cp932ToUtf8(title).find(kReplacementCharacter) != std::string::npos)
    problem = "the title holds bytes that are not valid CP932";
  if (problem.empty()) return;
  report.Add({"title", path, problem,
              "the drawing's name shows with replacement characters (" + header.Title() + ")",
              "give the drawing a new name in its application"});
}

void CheckPages(const StoreEntry& folder, const StoreTree& tree, const VexaFileHeader& header,
                StoreCheckReport& report) {
  std::set<int> present;
  for (const StoreEntry* child : tree.Children(folder.path)) {
    const int page = NumberAfter(child->name, kPageFilePrefix);
    if (page >= 0 && S_ISREG(child->st.st_mode)) present.insert(page);
  }
  const int count = header.pageCount;
  if (count < 0 || count > kMaxPageCount) {
    report.Add({"pages", folder.path, "the index file gives " + std::to_string(count) + " pages",
                "the page list of the drawing cannot be shown",
                "restore the drawing from its backup (BKUP) or let its application save it"});
    return;
  }
  std::set<int> missing, extra;
  for (int page = 0; page < count; ++page)
    if (!present.count(page)) missing.insert(page);
  for (int page : present)
    if (page >= count) extra.insert(page);
  if (missing.empty() && extra.empty()) return;
  std::string problem = "the index file gives " + std::to_string(count) + " pages";
  if (!missing.empty()) problem += "; missing page files: " + NumberList(missing);
  if (!extra.empty()) problem += "; page files beyond the count: " + NumberList(extra);
  report.Add({"pages", folder.path, problem,
              "pages that the page list offers cannot be opened, or pages on disk are not offered",
              "restore the drawing from its backup (BKUP) or let its application save it"});
}

void CheckDrawing(const StoreEntry& folder, const StoreTree& tree, StoreCheckReport& report) {
  // A folder the check could not list may be a good drawing: say so, never
  // that it lacks its index file.
  if (const auto unread = tree.unread.find(folder.path); unread != tree.unread.end()) {
    report.Add({"index", folder.path, "the drawing folder could not be read: " + unread->second,
                "the check cannot tell whether this drawing is whole",
                "run the check as a user who can read the folder, or look at it by hand"});
    return;
  }
  const StoreEntry* index = nullptr;
  for (const StoreEntry* child : tree.Children(folder.path))
    if (platform::EqualsNoCase(child->name, kIndexFileName) && S_ISREG(child->st.st_mode))
      index = child;
  if (!index) {
    report.Add({"index", folder.path, std::string("no index file ") + kIndexFileName,
                "the drawing shows without name, pages or dates and cannot be opened",
                "restore " + std::string(kIndexFileName) + " from the drawing's backup (" +
                    kBackupName + "), or remove the folder"});
    return;
  }
  VexaFileHeader header;
  header.version = 2;
  if (const std::string failure = ReadHeader(index->path, header); !failure.empty()) {
    report.Add({"index", index->path, "the index file " + failure,
                "the drawing shows without name, pages or dates",
                "make the file readable (see the permission findings) or restore it from BKUP"});
    return;
  }
  const auto size = static_cast<long long>(index->st.st_size);
  if (size != static_cast<long long>(sizeof(VexaFileHeader))) {
    report.Add({"index", index->path,
                "the index file is " + std::to_string(size) + " bytes, not " +
                    std::to_string(sizeof(VexaFileHeader)),
                size < static_cast<long long>(sizeof(VexaFileHeader))
                    ? "the fields beyond its end read as empty (page count, dates, creator)"
                    : "the bytes after the header are ignored; some other program wrote it",
                "let the drawing's application save it again, or restore it from BKUP"});
  }
  CheckTitle(index->path, header, report);
  CheckPages(folder, tree, header, report);
}

}  // namespace

void CheckDrawings(const StoreTree& tree, StoreCheckReport& report) {
  for (const StoreEntry& entry : tree.entries)
    if (IsDrawingFolder(entry)) CheckDrawing(entry, tree, report);
}

}  // namespace vexa::check
