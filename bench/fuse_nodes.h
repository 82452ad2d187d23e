// The source files and folders the kernel knows through the delaying FUSE
// passthrough (delay_fuse.cpp), by their names in their parent folders. The
// mount's own renames and unlinks keep the names up to date; a file whose
// name is gone keeps its attributes through its opens. Thread-safe.
#pragma once

#include <fuse3/fuse_lowlevel.h>
#include <sys/stat.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>

namespace vexa::bench {

struct Node {
  Node* parent = nullptr;
  std::string name;  // "" once the name is gone
  std::pair<dev_t, ino_t> id;
  uint64_t lookups = 0;
  std::set<int> openFds;
};

// The source folder (a descriptor) that the root of the mount stands for.
void SetSourceFolder(int fd);

Node& NodeOf(fuse_ino_t ino);

// The path of node relative to the source folder; "" once a name on the way
// is gone (which the *at calls answer with ENOENT).
std::string PathOf(const Node& node);
std::string PathIn(fuse_ino_t parent, const char* name);

// The attributes of node: through an open when it has one, else by its name;
// 0 or an errno value.
int StatOf(Node& node, struct stat& st);

// Finds name in parent and counts one more lookup of it by the kernel.
int LookUp(fuse_ino_t parent, const char* name, fuse_entry_param& entry);
// The kernel forgets count lookups of a node.
void Forget(fuse_ino_t ino, uint64_t count);

// The node a name in parent holds, if the kernel knows it.
Node* NamedNode(fuse_ino_t parent, const char* name);
// After the name of node went (unlinked, or replaced by a rename): a file
// made later under the same inode number is another node.
void Unname(Node* node);
void Move(Node* node, fuse_ino_t parent, const char* name);

void AddOpen(Node& node, int fd);
void RemoveOpen(Node& node, int fd);

}  // namespace vexa::bench
