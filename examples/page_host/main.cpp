// A page-drafting host in a few lines: the user chooses a page of the drawing
// named on the command line, and the program prints the page number and its
// page file.
#include <QApplication>

#include <cstdio>
#include <string>

#include <vexafol/dialogs.h>
#include <vexafol/folder_environ.h>
#include <vexafol/folderlist.h>
#include <vexafol/senyou.h>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: page_host STORE DRAWING_FOLDER\n");
    return 2;
  }
  const vexa::FolderEnvironObj env(argv[1]);
  vexa::FolMember named;
  named.path = argv[2];
  // The drawing as the folder list reads it, with the list's lock service.
  vexa::VexaFolderList list(env);
  list.Load(vexa::GetPathToSenyouId(env, named.path), 0);
  for (int i = 0; i < list.GetFolderNum(); ++i) {
    const vexa::FolMember* drawing = list.GetFolderMember(i);
    if (drawing->GetFolderNo(env) != named.GetFolderNo(env)) continue;
    const int page = vexa::SelectPageName(nullptr, env, 0, drawing, list.GetFolderLock());
    if (page < 0) return 1;
    std::printf("%d %s\n", page, drawing->GetPageFile(env, 0, page).c_str());
    return 0;
  }
  std::fprintf(stderr, "page_host: %s is no drawing of the store\n", named.path.c_str());
  return 1;
}
