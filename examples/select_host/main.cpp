// A host application in a few lines: the user chooses a drawing of the store
// named on the command line, and the program prints the drawing's folder.
#include <QApplication>

#include <cstdio>
#include <string>

#include <vexafol/dialogs.h>
#include <vexafol/folder_environ.h>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: select_host STORE\n");
    return 2;
  }
  const vexa::FolderEnvironObj env(argv[1]);
  std::string path;
  if (!vexa::SelectFolderName(nullptr, env, 0, -1, &path)) return 1;
  std::printf("%s\n", path.c_str());
  return 0;
}
